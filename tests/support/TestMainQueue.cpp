#include "support/TestMainQueue.hpp"

namespace tidemark::test {

rx::ManualScheduler& mainQueue()
{
    static rx::ManualScheduler queue;
    return queue;
}

rx::ManualTimerSource& timers()
{
    static rx::ManualTimerSource source;
    return source;
}

void MainQueueEnvironment::SetUp()
{
    rx::setMainQueue(&mainQueue());
    rx::setTimerSource(&timers());
}

void MainQueueEnvironment::TearDown()
{
    rx::setMainQueue(nullptr);
    rx::setTimerSource(nullptr);
}

} // namespace tidemark::test
