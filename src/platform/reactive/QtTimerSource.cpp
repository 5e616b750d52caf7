#include "platform/reactive/QtTimerSource.hpp"

#include <QPointer>
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
        if (guard)
            guard->deleteLater();
    });
}

} // namespace tidemark::rx
