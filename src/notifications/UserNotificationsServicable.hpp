#pragma once

#include "platform/foundation/Date.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"
#include "reminders/Reminder.hpp"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

// The notification service as the middleware sees it. Plain values and the standard
// library only, so whatever drives it (the middleware, a test's fake) needs neither Qt nor
// the session bus.

namespace tidemark {

class DateComponentsFormatter;

// The user's answer to one notification, exactly as the centre reported it.
struct UserNotificationResponse {
    std::string actionIdentifier;
    std::string requestIdentifier;

    bool operator==(const UserNotificationResponse&) const = default;
};

// What one sync did.
struct NotificationSyncReport {
    // Requests the centre took, and those it refused (without permission, for example).
    std::size_t scheduled = 0;
    std::size_t refused = 0;
    // Reminders without a usable due date, or due now or earlier.
    std::size_t skipped = 0;
    // Pending or delivered notifications removed because no reminder of the set has them.
    std::size_t removed = 0;
    // A newer set arrived before this one's turn came: it was not applied.
    bool superseded = false;

    bool operator==(const NotificationSyncReport&) const = default;
};

// Completions may run on another thread than the caller's (the centre's); a caller that
// touches the main thread's things from one moves there first.
class UserNotificationsServicable {
public:
    using SettingsCompletion = std::function<void(UNNotificationSettings)>;
    using AuthorizationCompletion = std::function<void(bool granted, std::optional<UNError>)>;
    using SyncCompletion = std::function<void(NotificationSyncReport)>;
    using AddCompletion = std::function<void(std::optional<UNError>)>;

    virtual ~UserNotificationsServicable() = default;

    // What the user allows and what the desktop can show.
    virtual void getNotificationSettings(SettingsCompletion completion) = 0;
    // Asks the user for permission (once; later requests get the kept answer). Asking for
    // provisional permission while undecided grants it quietly.
    virtual void requestAuthorization(
        UNAuthorizationOptions options, AuthorizationCompletion completion)
        = 0;
    // Forgets the user's answer, so the next request asks again.
    virtual void resetAuthorization() = 0;

    // The user's responses, from now until the next finish; every subscriber made before
    // that finish receives every response.
    virtual rx::Publisher<UserNotificationResponse> receiveResponsePublisher() = 0;
    // Ends every subscription to the responses; the next read starts afresh.
    virtual void finishResponsePublisher() = 0;

    // Schedules one request per reminder due in the future and then removes every pending
    // or delivered notification whose identifier is not the id of a reminder of the set
    // (reminders skipped for their dates keep theirs). A refused request stops nothing.
    // `titleFormatter` writes the body of untitled reminders (their span); none gives them
    // an empty body.
    virtual void syncNotifications(std::set<AnyReminder> reminders,
        std::shared_ptr<const DateComponentsFormatter> titleFormatter,
        SyncCompletion completion = {})
        = 0;
    // One request of the category "reminders", due `timeInterval` seconds from now.
    virtual void addNotification(const std::string& identifier, const std::string& body,
        TimeInterval timeInterval, const UNNotificationSound& sound, AddCompletion completion = {})
        = 0;
    // Withdraws every request not yet shown (for when notifications are switched off).
    virtual void removePendingNotifications() = 0;
};

} // namespace tidemark
