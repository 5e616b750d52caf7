#include "support/TestMainQueue.hpp"

#include <QApplication>
#include <gmock/gmock.h>

// The main of test programs that need Qt's event loop, widgets or D-Bus: GoogleTest inside
// a QApplication (offscreen unless told otherwise), with the manual main queue and timers.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    testing::AddGlobalTestEnvironment(new tidemark::test::MainQueueEnvironment);
    return RUN_ALL_TESTS();
}
