#include "platform/usernotifications/UNUserNotificationCenterGuard.hpp"

#include "platform/usernotifications/UNUserNotificationCenter.hpp"

#include <QPointer>

namespace tidemark {

struct UNUserNotificationCenterGuard::Tracker {
    QPointer<UNUserNotificationCenter> center;
};

UNUserNotificationCenterGuard::UNUserNotificationCenterGuard(UNUserNotificationCenter* center)
    : m_tracker(center ? std::make_shared<const Tracker>(Tracker { center }) : nullptr)
{
}

UNUserNotificationCenter* UNUserNotificationCenterGuard::get() const
{
    return m_tracker ? m_tracker->center.data() : nullptr;
}

} // namespace tidemark
