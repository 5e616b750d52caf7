#pragma once

#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/Uuid.hpp"

#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class UserNotificationsServicable;

using AppMiddleware = Store<AppState, AppAction>::Middleware;

struct UserNotificationsMiddlewareEnvironment {
    // The moment a snooze counts from.
    std::shared_ptr<const Clock> clock = Clock::system();
    // The identifiers of preview notifications.
    Uuid::Generator makeIdentifier = Uuid::systemGenerator();
};

// Carries the notifications slice's effects out through the service: permission and
// settings reads, forgetting the user's answer to the permission request, the response
// subscription while notifications are on, one sync of the notification requests after
// every read of the reminders (and when notifications are switched on or permitted), the
// preview, snoozes and clicks, and the upgrade of a provisional permission after a time
// entry. Always answers with a publisher (empty when there is nothing to add), so the
// middlewares after it run.
AppMiddleware userNotificationsMiddleware(std::shared_ptr<UserNotificationsServicable> service,
    UserNotificationsMiddlewareEnvironment environment = {});

// The answer to the user's response `actionIdentifier` on the notification
// `requestIdentifier`: a click opens the popover; a snooze submits the reminder with its
// due date moved to `now` plus the snooze's length plus one second; anything else (a
// dismissal, an unknown action, a reminder that is gone) gives none.
std::optional<AppAction> notificationResponseAction(const std::string& actionIdentifier,
    const std::string& requestIdentifier, const RemindersStore::Items& items, Date now);

} // namespace tidemark
