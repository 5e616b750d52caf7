#pragma once

#include "platform/reactive/Scheduler.hpp"
#include "platform/reactive/Timer.hpp"

#include <gtest/gtest.h>

namespace tidemark::test {

// The main queue every test sees: a manual queue the test drains itself, so follow-up
// actions and derived states arrive exactly when the test says so.
rx::ManualScheduler& mainQueue();

// Runs every pending main-queue item, including items they post, and returns how many ran.
inline std::size_t drainMainQueue()
{
    return mainQueue().drain();
}

// The timer source every test sees: timers tick only on `timers().fire()`.
rx::ManualTimerSource& timers();

class MainQueueEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace tidemark::test
