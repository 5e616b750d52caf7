#include "notifications/UserNotificationReminderActionIdentifier.hpp"

#include "platform/foundation/StringTables.hpp"

namespace tidemark {

namespace {

using Id = UserNotificationReminderActionIdentifier;

struct CaseInfo {
    std::string_view raw;
    bool inHours;
    int amount;
};

constexpr CaseInfo info(Id identifier)
{
    switch (identifier) {
    case Id::snooze1Min:
        return { "snooze1Min", false, 1 };
    case Id::snooze5Min:
        return { "snooze5Min", false, 5 };
    case Id::snooze15Min:
        return { "snooze15Min", false, 15 };
    case Id::snooze30Min:
        return { "snooze30Min", false, 30 };
    case Id::snooze1Hour:
        return { "snooze1Hour", true, 1 };
    case Id::snooze2Hour:
        return { "snooze2Hour", true, 2 };
    case Id::snooze4Hour:
        return { "snooze4Hour", true, 4 };
    case Id::snooze12Hour:
        break;
    }
    return { "snooze12Hour", true, 12 };
}

} // namespace

const std::array<Id, 8>& allReminderActionIdentifiers()
{
    static constexpr std::array<Id, 8> all { Id::snooze1Min, Id::snooze5Min, Id::snooze15Min,
        Id::snooze30Min, Id::snooze1Hour, Id::snooze2Hour, Id::snooze4Hour, Id::snooze12Hour };
    return all;
}

std::string_view rawValue(Id identifier)
{
    return info(identifier).raw;
}

std::optional<Id> reminderActionIdentifierFromRaw(std::string_view raw)
{
    for (const auto identifier : allReminderActionIdentifiers()) {
        if (rawValue(identifier) == raw)
            return identifier;
    }
    return std::nullopt;
}

std::string_view titleKey(Id identifier)
{
    return info(identifier).inHours ? "snooze_hour_button_label %lld"
                                    : "snooze_minute_button_label %lld";
}

int amount(Id identifier)
{
    return info(identifier).amount;
}

TimeInterval timeInterval(Id identifier)
{
    const auto& i = info(identifier);
    return static_cast<TimeInterval>(i.amount) * (i.inHours ? 3600.0 : 60.0);
}

std::string localizedTitle(Id identifier)
{
    return localized(
        "Localizable", titleKey(identifier), static_cast<long long>(amount(identifier)));
}

std::vector<UNNotificationAction> makeSnoozeActions()
{
    std::vector<UNNotificationAction> actions;
    for (const auto identifier : allReminderActionIdentifiers()) {
        actions.push_back({ std::string(rawValue(identifier)), localizedTitle(identifier),
            UNNotificationActionOptions::none });
    }
    return actions;
}

} // namespace tidemark
