#include "platform/reactive/Timer.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace tidemark::rx {

namespace {
std::atomic<TimerSource*> g_timerSource { nullptr };
}

TimerSource& timerSource()
{
    TimerSource* source = g_timerSource.load(std::memory_order_acquire);
    if (!source) {
        std::fputs("tidemark: a timer is started before the timer source was set\n", stderr);
        std::abort();
    }
    return *source;
}

void setTimerSource(TimerSource* source)
{
    g_timerSource.store(source, std::memory_order_release);
}

Publisher<Unit> repeatingTimer(std::chrono::milliseconds interval)
{
    return Publisher<Unit>([interval](Subscriber<Unit> subscriber) {
        return timerSource().start(
            interval, [receive = std::move(subscriber.receive)] { receive(Unit {}); });
    });
}

Cancellable ManualTimerSource::start(std::chrono::milliseconds, std::function<void()> tick)
{
    const auto key = m_nextKey++;
    m_entries->push_back({ key, std::make_shared<std::function<void()>>(std::move(tick)) });
    return Cancellable([entries = std::weak_ptr(m_entries), key] {
        if (auto list = entries.lock())
            std::erase_if(*list, [key](const Entry& e) { return e.key == key; });
    });
}

void ManualTimerSource::fire()
{
    const auto snapshot = *m_entries;
    for (const auto& entry : snapshot)
        (*entry.tick)();
}

std::size_t ManualTimerSource::running() const
{
    return m_entries->size();
}

} // namespace tidemark::rx
