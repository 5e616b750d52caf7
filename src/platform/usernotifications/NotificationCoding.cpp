#include "platform/usernotifications/NotificationCoding.hpp"

#include <array>
#include <cmath>
#include <utility>

namespace tidemark {

namespace {

constexpr std::array<std::pair<UNNotificationInterruptionLevel, const char*>, 4> levelNames { {
    { UNNotificationInterruptionLevel::passive, "passive" },
    { UNNotificationInterruptionLevel::active, "active" },
    { UNNotificationInterruptionLevel::timeSensitive, "timeSensitive" },
    { UNNotificationInterruptionLevel::critical, "critical" },
} };

constexpr std::array<std::pair<UNAuthorizationStatus, const char*>, 5> statusNames { {
    { UNAuthorizationStatus::notDetermined, "notDetermined" },
    { UNAuthorizationStatus::denied, "denied" },
    { UNAuthorizationStatus::authorized, "authorized" },
    { UNAuthorizationStatus::provisional, "provisional" },
    { UNAuthorizationStatus::ephemeral, "ephemeral" },
} };

std::string stringField(const nlohmann::json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

} // namespace

const char* authorizationStatusName(UNAuthorizationStatus status)
{
    for (const auto& [value, name] : statusNames) {
        if (value == status)
            return name;
    }
    return "notDetermined";
}

std::optional<UNAuthorizationStatus> authorizationStatusFromName(const std::string& name)
{
    for (const auto& [value, text] : statusNames) {
        if (name == text)
            return value;
    }
    return std::nullopt;
}

nlohmann::json encodePendingRequest(const UNNotificationRequest& request, Date dueDate)
{
    const auto& content = request.content;
    nlohmann::json entry {
        { "identifier", request.identifier },
        { "dueDate", timeIntervalSince1970(dueDate) },
        { "title", content.title },
        { "body", content.body },
        { "categoryIdentifier", content.categoryIdentifier },
    };
    if (!content.subtitle.empty())
        entry["subtitle"] = content.subtitle;
    if (!content.threadIdentifier.empty())
        entry["threadIdentifier"] = content.threadIdentifier;
    if (content.sound)
        entry["sound"] = content.sound->name;
    for (const auto& [value, name] : levelNames) {
        if (value == content.interruptionLevel)
            entry["interruptionLevel"] = name;
    }
    if (request.trigger) {
        entry["trigger"] = {
            { "timeInterval", request.trigger->timeInterval },
            { "repeats", request.trigger->repeats },
        };
    }
    return entry;
}

std::optional<StoredPendingRequest> decodePendingRequest(const nlohmann::json& entry)
{
    if (!entry.is_object())
        return std::nullopt;
    StoredPendingRequest stored;
    auto& request = stored.request;
    request.identifier = stringField(entry, "identifier");
    const auto due = entry.find("dueDate");
    if (request.identifier.empty() || due == entry.end() || !due->is_number()
        || !std::isfinite(due->get<double>()))
        return std::nullopt;
    stored.dueDate = dateFromTimeIntervalSince1970(due->get<double>());

    auto& content = request.content;
    content.title = stringField(entry, "title");
    content.subtitle = stringField(entry, "subtitle");
    content.body = stringField(entry, "body");
    content.categoryIdentifier = stringField(entry, "categoryIdentifier");
    content.threadIdentifier = stringField(entry, "threadIdentifier");
    if (const auto sound = entry.find("sound"); sound != entry.end() && sound->is_string())
        content.sound = UNNotificationSound { sound->get<std::string>() };
    const auto level = stringField(entry, "interruptionLevel");
    for (const auto& [value, name] : levelNames) {
        if (level == name)
            content.interruptionLevel = value;
    }
    if (const auto trigger = entry.find("trigger");
        trigger != entry.end() && trigger->is_object()) {
        const auto interval = trigger->find("timeInterval");
        if (interval == trigger->end() || !interval->is_number())
            return std::nullopt;
        const auto repeats = trigger->find("repeats");
        request.trigger = UNTimeIntervalNotificationTrigger { interval->get<double>(),
            repeats != trigger->end() && repeats->is_boolean() && repeats->get<bool>() };
    }
    return stored;
}

} // namespace tidemark
