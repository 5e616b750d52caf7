#pragma once

#include "platform/foundation/Date.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// The snooze buttons of a reminder's notification, shortest first. The raw value is the
// action identifier the notification centre reports back.
enum class UserNotificationReminderActionIdentifier {
    snooze1Min,
    snooze5Min,
    snooze15Min,
    snooze30Min,
    snooze1Hour,
    snooze2Hour,
    snooze4Hour,
    snooze12Hour,
};

// Every case in declaration order.
const std::array<UserNotificationReminderActionIdentifier, 8>& allReminderActionIdentifiers();

std::string_view rawValue(UserNotificationReminderActionIdentifier identifier);
// The case whose raw value is exactly `raw` (case-sensitive); none for anything else, the
// centre's default and dismiss identifiers included.
std::optional<UserNotificationReminderActionIdentifier> reminderActionIdentifierFromRaw(
    std::string_view raw);

// The key of the button's text in the "Localizable" table: minutes for the first four
// cases, hours for the last four.
std::string_view titleKey(UserNotificationReminderActionIdentifier identifier);
// The number shown in the button's text.
int amount(UserNotificationReminderActionIdentifier identifier);
// How far the reminder is put off, in seconds.
TimeInterval timeInterval(UserNotificationReminderActionIdentifier identifier);
// The button's text in the current language, with its count ("Snooze 5 Minutes").
std::string localizedTitle(UserNotificationReminderActionIdentifier identifier);

// One notification action per case, in case order, titled with the localised text.
std::vector<UNNotificationAction> makeSnoozeActions();

} // namespace tidemark
