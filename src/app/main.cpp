#include "app/SignalWatcher.hpp"
#include "platform/reactive/QtMainQueue.hpp"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tidemark::rx::QtMainQueue mainQueue;
    tidemark::rx::setMainQueue(&mainQueue);

    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::terminationRequested, &app, [] { QApplication::quit(); });

    const int status = QApplication::exec();
    tidemark::rx::setMainQueue(nullptr);
    return status;
}
