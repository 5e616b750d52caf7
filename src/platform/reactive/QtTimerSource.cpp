#include "platform/reactive/QtTimerSource.hpp"

#include <QPointer>
#include <QThread>
#include <QTimer>

namespace tidemark::rx {

Cancellable QtTimerSource::start(std::chrono::milliseconds interval, std::function<void()> tick)
{
    auto* timer = new QTimer;
    timer->setTimerType(Qt::PreciseTimer);
    timer->setInterval(interval);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(tick));
    timer->start();
    return Cancellable([guard = QPointer<QTimer>(timer)] {
        if (!guard)
            return;
        // Stopped at once, so that no tick already due arrives after the cancel (a timer
        // stops on its own thread only).
        if (QThread::currentThread() == guard->thread())
            guard->stop();
        guard->deleteLater();
    });
}

} // namespace tidemark::rx
