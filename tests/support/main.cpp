#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>

// The main of test programs that need no Qt: GoogleTest with the manual main queue and
// timers.
int main(int argc, char** argv)
{
    testing::InitGoogleMock(&argc, argv);
    testing::AddGlobalTestEnvironment(new tidemark::test::MainQueueEnvironment);
    return RUN_ALL_TESTS();
}
