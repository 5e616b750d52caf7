#include "app/SignalWatcher.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/reactive/QtTimerSource.hpp"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tidemark::rx::QtMainQueue mainQueue;
    tidemark::rx::setMainQueue(&mainQueue);
    tidemark::rx::QtTimerSource timers;
    tidemark::rx::setTimerSource(&timers);

    SignalWatcher signals;
    QObject::connect(&signals, &SignalWatcher::terminationRequested, &app, [] { QApplication::quit(); });

    const int status = QApplication::exec();
    tidemark::rx::setTimerSource(nullptr);
    tidemark::rx::setMainQueue(nullptr);
    return status;
}
