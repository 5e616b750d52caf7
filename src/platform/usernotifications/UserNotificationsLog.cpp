#include "platform/usernotifications/UserNotificationsLog.hpp"

#include "platform/logging/LogCategories.hpp"

namespace tidemark::usernotifications {

const Logger& logger()
{
    static const Logger logger = appLogger(logcategory::userNotifications);
    return logger;
}

} // namespace tidemark::usernotifications
