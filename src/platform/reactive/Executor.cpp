#include "platform/reactive/Executor.hpp"

#include <utility>

namespace tidemark::rx {

ThreadPool::ThreadPool(unsigned threads)
{
    m_threads.reserve(threads);
    for (unsigned i = 0; i < threads; ++i)
        m_threads.emplace_back([this](std::stop_token stop) { run(stop); });
}

ThreadPool::~ThreadPool()
{
    for (auto& thread : m_threads)
        thread.request_stop();
    m_wake.notify_all();
}

void ThreadPool::post(std::function<void()> work)
{
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(work));
    }
    m_wake.notify_one();
}

void ThreadPool::run(std::stop_token stop)
{
    while (true) {
        std::function<void()> work;
        {
            std::unique_lock lock(m_mutex);
            if (!m_wake.wait(lock, stop, [this] { return !m_items.empty(); }))
                return;
            work = std::move(m_items.front());
            m_items.pop_front();
        }
        work();
    }
}

SerialQueue::SerialQueue(Scheduler& target)
    : m_target(target)
    , m_state(std::make_shared<State>())
{
}

void SerialQueue::post(std::function<void()> work)
{
    bool start = false;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->items.push_back(std::move(work));
        start = !std::exchange(m_state->running, true);
    }
    if (start)
        pump(m_state, m_target);
}

void SerialQueue::pump(std::shared_ptr<State> state, Scheduler& target)
{
    target.post([state, &target] {
        std::function<void()> work;
        {
            std::lock_guard lock(state->mutex);
            work = std::move(state->items.front());
            state->items.pop_front();
        }
        work();
        bool more = false;
        {
            std::lock_guard lock(state->mutex);
            more = !state->items.empty();
            state->running = more;
        }
        if (more)
            pump(state, target);
    });
}

Scheduler& backgroundQueue()
{
    static ThreadPool pool;
    return pool;
}

} // namespace tidemark::rx
