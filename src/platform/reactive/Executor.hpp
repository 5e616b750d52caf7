#pragma once

#include "platform/reactive/Scheduler.hpp"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tidemark::rx {

// A pool of worker threads for work that must not run on the main thread.
class ThreadPool final : public Scheduler {
public:
    explicit ThreadPool(unsigned threads = std::max(2u, std::thread::hardware_concurrency()));
    ~ThreadPool() override;
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    void post(std::function<void()> work) override;

private:
    void run(std::stop_token stop);

    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    std::deque<std::function<void()>> m_items;
    std::vector<std::jthread> m_threads;
};

// Runs posted work one item at a time, in order, on a pool: a serial queue.
class SerialQueue final : public Scheduler {
public:
    explicit SerialQueue(Scheduler& target);
    void post(std::function<void()> work) override;

private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> items;
        bool running = false;
    };
    static void pump(std::shared_ptr<State> state, Scheduler& target);

    Scheduler& m_target;
    std::shared_ptr<State> m_state;
};

// The shared pool for background work of the whole program.
Scheduler& backgroundQueue();

} // namespace tidemark::rx
