#pragma once

#include <deque>
#include <functional>
#include <mutex>

namespace tidemark::rx {

// Somewhere work can be posted to run later, in the order it was posted.
class Scheduler {
public:
    virtual ~Scheduler() = default;
    // Safe to call from any thread.
    virtual void post(std::function<void()> work) = 0;
};

// A queue that runs nothing until it is drained: the main queue of tests.
class ManualScheduler final : public Scheduler {
public:
    void post(std::function<void()> work) override;
    // Runs every pending item, and the items they post, until none is left.
    std::size_t drain();
    // Runs at most one pending item; false when there was none.
    bool runOne();
    std::size_t pending() const;

private:
    mutable std::mutex m_mutex;
    std::deque<std::function<void()>> m_items;
};

// The main queue: the Qt event loop of the main thread in the program, a manual
// queue in tests. Everything that must come back to the main thread posts here.
Scheduler& mainQueue();
void setMainQueue(Scheduler* queue);

} // namespace tidemark::rx
