#include "platform/reactive/QtMainQueue.hpp"

#include <QMetaObject>

namespace tidemark::rx {

QtMainQueue::QtMainQueue(QObject* parent)
    : QObject(parent)
{
}

void QtMainQueue::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

} // namespace tidemark::rx
