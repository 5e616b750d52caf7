#pragma once

// The notification centre's inside, shared by the files that hold its parts: the centre
// and its categories (UNUserNotificationCenter.cpp), authorization and settings, pending
// and delivered requests, the publishers, delivery to the server, and the state kept
// across runs (UNUserNotificationCenter<Part>.cpp).

#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/UserNotificationsLog.hpp"

#include <QThread>

#include <string>

namespace tidemark {

namespace usernotifications {

inline QString toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace usernotifications

template <class F> void UNUserNotificationCenter::onCentreThread(F work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

} // namespace tidemark
