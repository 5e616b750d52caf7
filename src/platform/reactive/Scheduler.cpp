#include "platform/reactive/Scheduler.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace tidemark::rx {

void ManualScheduler::post(std::function<void()> work)
{
    std::lock_guard lock(m_mutex);
    m_items.push_back(std::move(work));
}

bool ManualScheduler::runOne()
{
    std::function<void()> work;
    {
        std::lock_guard lock(m_mutex);
        if (m_items.empty())
            return false;
        work = std::move(m_items.front());
        m_items.pop_front();
    }
    work();
    return true;
}

std::size_t ManualScheduler::drain()
{
    std::size_t count = 0;
    while (runOne())
        ++count;
    return count;
}

std::size_t ManualScheduler::pending() const
{
    std::lock_guard lock(m_mutex);
    return m_items.size();
}

namespace {
std::atomic<Scheduler*> g_mainQueue { nullptr };
}

Scheduler& mainQueue()
{
    Scheduler* queue = g_mainQueue.load(std::memory_order_acquire);
    if (!queue) {
        std::fputs("tidemark: the main queue is used before it was set\n", stderr);
        std::abort();
    }
    return *queue;
}

void setMainQueue(Scheduler* queue)
{
    g_mainQueue.store(queue, std::memory_order_release);
}

} // namespace tidemark::rx
