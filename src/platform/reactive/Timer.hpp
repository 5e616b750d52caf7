#pragma once

#include "platform/reactive/Publisher.hpp"

#include <chrono>

namespace tidemark::rx {

// Where repeating timers come from: the main thread's event loop in the program, a
// manual source in tests.
class TimerSource {
public:
    virtual ~TimerSource() = default;
    // Calls `tick` every `interval` on the main thread until the token is cancelled.
    virtual Cancellable start(std::chrono::milliseconds interval, std::function<void()> tick) = 0;
};

TimerSource& timerSource();
void setTimerSource(TimerSource* source);

// A stream of ticks, one timer per subscription.
Publisher<Unit> repeatingTimer(std::chrono::milliseconds interval);

// Timers that tick only when a test says so.
class ManualTimerSource final : public TimerSource {
public:
    Cancellable start(std::chrono::milliseconds interval, std::function<void()> tick) override;
    // Ticks every running timer once.
    void fire();
    std::size_t running() const;

private:
    struct Entry {
        std::uint64_t key;
        std::shared_ptr<std::function<void()>> tick;
    };
    std::shared_ptr<std::vector<Entry>> m_entries = std::make_shared<std::vector<Entry>>();
    std::uint64_t m_nextKey = 0;
};

} // namespace tidemark::rx
