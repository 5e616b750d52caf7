#include "support/TestMainQueue.hpp"

#include <QApplication>
#include <gmock/gmock.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    testing::AddGlobalTestEnvironment(new tidemark::test::MainQueueEnvironment);
    return RUN_ALL_TESTS();
}
