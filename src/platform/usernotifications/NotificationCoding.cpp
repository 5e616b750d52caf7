#include "platform/usernotifications/NotificationCoding.hpp"

#include "platform/foundation/UserDefaults.hpp"

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

// Every option the centre knows; a kept answer with other bits was not written by it.
constexpr unsigned knownAuthorizationOptions = 127;

// The one format version of the kept files.
constexpr int formatVersion = 1;

// Reads an optional text field: absent leaves `out` as it is; present, it must be text.
bool readText(const nlohmann::json& object, const char* key, std::string& out, std::string& problem)
{
    const auto found = object.find(key);
    if (found == object.end())
        return true;
    if (!found->is_string()) {
        problem = std::string("\"") + key + "\" is not text";
        return false;
    }
    out = validUtf8(found->get_ref<const std::string&>());
    return true;
}

bool hasFormatVersion(const nlohmann::json& document, std::string& problem)
{
    const auto version = document.find("version");
    if (version == document.end())
        return true;
    if (version->is_number_integer() && version->get<long long>() == formatVersion)
        return true;
    problem = "written in a format this version does not know (\"version\": "
        + version->dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + ")";
    return false;
}

std::string describeDate(double seconds)
{
    return nlohmann::json(seconds).dump();
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

std::optional<Date> checkedDateByAdding(Date date, TimeInterval seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    if (!checkedDateFromTimeIntervalSince1970(timeIntervalSince1970(date) + seconds))
        return std::nullopt;
    return dateByAdding(date, seconds);
}

std::optional<Date> nextRepeatDate(Date dueDate, TimeInterval interval, Date now)
{
    auto next = checkedDateByAdding(dueDate, interval);
    if (next && *next <= now)
        next = checkedDateByAdding(now, interval);
    // An interval too small to move the clock would make the request due for ever.
    if (!next || *next <= now)
        return std::nullopt;
    return next;
}

std::optional<UNError> requestProblem(const UNNotificationRequest& request)
{
    if (request.identifier.empty())
        return UNError { UNError::Code::invalidRequest,
            "a notification request needs an identifier" };
    if (!request.trigger)
        return std::nullopt;
    const auto interval = request.trigger->timeInterval;
    if (!std::isfinite(interval) || interval <= 0)
        return UNError { UNError::Code::invalidTrigger,
            "the time interval must be greater than 0" };
    if (request.trigger->repeats && interval < 60)
        return UNError { UNError::Code::invalidTrigger,
            "the time interval must be at least 60 seconds when repeating" };
    if (interval > latestTimeIntervalSince1970 - earliestTimeIntervalSince1970)
        return UNError { UNError::Code::invalidTrigger,
            "the time interval reaches beyond the dates this program can hold" };
    return std::nullopt;
}

UNNotificationRequest withValidText(UNNotificationRequest request)
{
    request.identifier = validUtf8(request.identifier);
    auto& content = request.content;
    content.title = validUtf8(content.title);
    content.subtitle = validUtf8(content.subtitle);
    content.body = validUtf8(content.body);
    content.categoryIdentifier = validUtf8(content.categoryIdentifier);
    content.threadIdentifier = validUtf8(content.threadIdentifier);
    if (content.sound)
        content.sound->name = validUtf8(content.sound->name);
    return request;
}

UNNotificationCategory withValidText(UNNotificationCategory category)
{
    category.identifier = validUtf8(category.identifier);
    for (auto& action : category.actions) {
        action.identifier = validUtf8(action.identifier);
        action.title = validUtf8(action.title);
    }
    for (auto& intent : category.intentIdentifiers)
        intent = validUtf8(intent);
    category.hiddenPreviewsBodyPlaceholder = validUtf8(category.hiddenPreviewsBodyPlaceholder);
    category.categorySummaryFormat = validUtf8(category.categorySummaryFormat);
    return category;
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

DecodedPendingRequest decodePendingRequest(const nlohmann::json& entry)
{
    DecodedPendingRequest decoded;
    auto& problem = decoded.problem;
    if (!entry.is_object()) {
        problem = "an entry that is not an object";
        return decoded;
    }
    StoredPendingRequest stored;
    auto& request = stored.request;
    if (!readText(entry, "identifier", request.identifier, problem))
        return decoded;
    const auto fail = [&](std::string why) {
        problem = request.identifier.empty() ? why : "\"" + request.identifier + "\": " + why;
        return decoded;
    };

    const auto due = entry.find("dueDate");
    if (due == entry.end() || !due->is_number())
        return fail("no due date");
    const auto dueDate = checkedDateFromTimeIntervalSince1970(due->get<double>());
    if (!dueDate)
        return fail("a due date (" + describeDate(due->get<double>())
            + ") outside the dates this program can hold");
    stored.dueDate = *dueDate;

    auto& content = request.content;
    if (!readText(entry, "title", content.title, problem)
        || !readText(entry, "subtitle", content.subtitle, problem)
        || !readText(entry, "body", content.body, problem)
        || !readText(entry, "categoryIdentifier", content.categoryIdentifier, problem)
        || !readText(entry, "threadIdentifier", content.threadIdentifier, problem))
        return fail(problem);
    if (entry.contains("sound")) {
        std::string sound;
        if (!readText(entry, "sound", sound, problem))
            return fail(problem);
        content.sound = UNNotificationSound { std::move(sound) };
    }
    if (entry.contains("interruptionLevel")) {
        std::string level;
        if (!readText(entry, "interruptionLevel", level, problem))
            return fail(problem);
        bool known = false;
        for (const auto& [value, name] : levelNames) {
            if (level == name) {
                content.interruptionLevel = value;
                known = true;
            }
        }
        if (!known)
            return fail("an unknown interruption level \"" + level + "\"");
    }
    if (const auto trigger = entry.find("trigger"); trigger != entry.end()) {
        if (!trigger->is_object())
            return fail("a trigger that is not an object");
        const auto interval = trigger->find("timeInterval");
        if (interval == trigger->end() || !interval->is_number())
            return fail("a trigger without a time interval");
        const auto repeats = trigger->find("repeats");
        if (repeats != trigger->end() && !repeats->is_boolean())
            return fail("a trigger whose \"repeats\" is not true or false");
        request.trigger = UNTimeIntervalNotificationTrigger { interval->get<double>(),
            repeats != trigger->end() && repeats->get<bool>() };
    }
    if (const auto refused = requestProblem(request))
        return fail(refused->message);
    decoded.stored = std::move(stored);
    return decoded;
}

nlohmann::json encodePendingDocument(const std::vector<StoredPendingRequest>& requests)
{
    auto entries = nlohmann::json::array();
    for (const auto& stored : requests)
        entries.push_back(encodePendingRequest(stored.request, stored.dueDate));
    return nlohmann::json { { "version", formatVersion }, { "pending", std::move(entries) } };
}

DecodedPendingDocument decodePendingDocument(const nlohmann::json& document)
{
    DecodedPendingDocument decoded;
    const auto unreadable = [&](std::string why) {
        decoded.unreadable = true;
        decoded.problem = std::move(why);
        return decoded;
    };
    if (!document.is_object())
        return unreadable("not a JSON object");
    if (!hasFormatVersion(document, decoded.problem))
        return unreadable(decoded.problem);
    const auto entries = document.find("pending");
    if (entries == document.end() || !entries->is_array())
        return unreadable("no list of pending requests");
    for (const auto& entry : *entries) {
        auto request = decodePendingRequest(entry);
        if (request.stored)
            decoded.requests.push_back(std::move(*request.stored));
        else
            decoded.dropped.push_back(std::move(request.problem));
    }
    return decoded;
}

nlohmann::json encodeAuthorization(const StoredAuthorization& authorization)
{
    return nlohmann::json {
        { "version", formatVersion },
        { "status", authorizationStatusName(authorization.status) },
        { "options", rawValue(authorization.options) },
    };
}

DecodedAuthorization decodeAuthorization(const nlohmann::json& document)
{
    DecodedAuthorization decoded;
    const auto unreadable = [&](std::string why) {
        decoded.problem = std::move(why);
        return decoded;
    };
    if (!document.is_object())
        return unreadable("not a JSON object");
    if (!hasFormatVersion(document, decoded.problem))
        return decoded;
    StoredAuthorization authorization;
    const auto status = document.find("status");
    if (status == document.end() || !status->is_string())
        return unreadable("no status");
    const auto known = authorizationStatusFromName(status->get_ref<const std::string&>());
    if (!known)
        return unreadable("an unknown status");
    authorization.status = *known;
    if (const auto options = document.find("options"); options != document.end()) {
        if (!options->is_number_unsigned()
            || options->get<unsigned long long>() > knownAuthorizationOptions)
            return unreadable("options that are not a set of known options");
        authorization.options = static_cast<UNAuthorizationOptions>(options->get<unsigned>());
    }
    decoded.authorization = authorization;
    return decoded;
}

} // namespace tidemark
