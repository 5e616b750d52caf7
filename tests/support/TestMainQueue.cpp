#include "support/TestMainQueue.hpp"

namespace tidemark::test {

rx::ManualScheduler& mainQueue()
{
    static rx::ManualScheduler queue;
    return queue;
}

void MainQueueEnvironment::SetUp() { rx::setMainQueue(&mainQueue()); }

void MainQueueEnvironment::TearDown() { rx::setMainQueue(nullptr); }

} // namespace tidemark::test
