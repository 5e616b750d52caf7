#include "settings/UserSettings.hpp"

#include "platform/foundation/Calendar.hpp"

#include <nlohmann/json.hpp>

namespace tidemark {

namespace {

constexpr double referenceDateSince1970 = 978307200.0;

template <class T> T required(const nlohmann::json& json, const char* key)
{
    return json.at(key).get<T>();
}

// A number, integer or floating; JSON does not keep "4" and "4.0" apart.
double requiredNumber(const nlohmann::json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_number())
        throw nlohmann::json::type_error::create(
            302, std::string("\"") + key + "\" is not a number", &json);
    return value.get<double>();
}

// A stored date; one no `Date` can hold is refused like a value of the wrong kind, so the
// default takes its place.
Date requiredDate(const nlohmann::json& json, const char* key)
{
    auto date = checkedDateFromSecondsSinceReferenceDate(requiredNumber(json, key));
    if (!date)
        throw nlohmann::json::type_error::create(
            302, std::string("\"") + key + "\" is not a date between 1678 and 2261", &json);
    return *date;
}

bool requiredBool(const nlohmann::json& json, const char* key)
{
    const auto& value = json.at(key);
    if (!value.is_boolean())
        throw nlohmann::json::type_error::create(
            302, std::string("\"") + key + "\" is not a Boolean", &json);
    return value.get<bool>();
}

std::optional<std::string> optionalText(const nlohmann::json& json, const char* key)
{
    auto found = json.find(key);
    if (found == json.end() || found->is_null())
        return std::nullopt;
    return found->get<std::string>();
}

void putOptional(nlohmann::json& json, const char* key, const std::optional<std::string>& value)
{
    if (value)
        json[key] = *value;
}

} // namespace

double secondsSinceReferenceDate(Date date)
{
    return timeIntervalSince1970(date) - referenceDateSince1970;
}

Date dateFromSecondsSinceReferenceDate(double seconds)
{
    return dateFromTimeIntervalSince1970(seconds + referenceDateSince1970);
}

std::optional<Date> checkedDateFromSecondsSinceReferenceDate(double seconds)
{
    return checkedDateFromTimeIntervalSince1970(seconds + referenceDateSince1970);
}

Date UserSettings::Reminders::AutomaticRemoval::defaultDate(const Calendar& calendar, Date now)
{
    return calendar
        .dateBySettingHour(4, 0, 0, now, MatchingPolicy::nextTime, RepeatedTimePolicy::first,
            SearchDirection::forward)
        .value_or(now);
}

UserSettings::Reminders UserSettings::Reminders::makeDefault(const Calendar& calendar, Date now)
{
    Reminders reminders;
    reminders.automaticRemoval = { true, AutomaticRemoval::defaultDate(calendar, now) };
    return reminders;
}

UserSettings UserSettings::makeDefault(const Calendar& calendar, Date now)
{
    UserSettings settings;
    settings.reminders = Reminders::makeDefault(calendar, now);
    return settings;
}

void to_json(nlohmann::json& json, const UserSettings::General& value)
{
    json = { { "openAtLogin", value.openAtLogin } };
}
void from_json(const nlohmann::json& json, UserSettings::General& value)
{
    value.openAtLogin = requiredBool(json, "openAtLogin");
}

void to_json(nlohmann::json& json, const UserSettings::Gesture& value)
{
    json = { { "dragGesturePointPerInterval", value.dragGesturePointPerInterval } };
}
void from_json(const nlohmann::json& json, UserSettings::Gesture& value)
{
    value.dragGesturePointPerInterval = requiredNumber(json, "dragGesturePointPerInterval");
}

void to_json(nlohmann::json& json, const UserSettings::Logging& value)
{
    json = { { "isEnabled", value.isEnabled }, { "isRedacted", value.isRedacted } };
}
void from_json(const nlohmann::json& json, UserSettings::Logging& value)
{
    value.isEnabled = requiredBool(json, "isEnabled");
    value.isRedacted = requiredBool(json, "isRedacted");
}

void to_json(nlohmann::json& json, const UserSettings::Notifications& value)
{
    json = { { "isEnabled", value.isEnabled } };
}
void from_json(const nlohmann::json& json, UserSettings::Notifications& value)
{
    value.isEnabled = requiredBool(json, "isEnabled");
}

void to_json(nlohmann::json& json, const UserSettings::Onboarding& value)
{
    json = nlohmann::json::object();
    putOptional(json, "lastPresentedVersion", value.lastPresentedVersion);
}
void from_json(const nlohmann::json& json, UserSettings::Onboarding& value)
{
    value.lastPresentedVersion = optionalText(json, "lastPresentedVersion");
}

void to_json(nlohmann::json& json, const UserSettings::Menubar& value)
{
    json = nlohmann::json::object();
    json["countdownIsEnabled"] = value.countdownIsEnabled;
    json["progressBar"] = { { "isEnabled", value.progressBar.isEnabled },
        { "opacity", value.progressBar.opacity } };
}
void from_json(const nlohmann::json& json, UserSettings::Menubar& value)
{
    value.countdownIsEnabled = requiredBool(json, "countdownIsEnabled");
    const auto& bar = json.at("progressBar");
    value.progressBar.isEnabled = requiredBool(bar, "isEnabled");
    value.progressBar.opacity = requiredNumber(bar, "opacity");
}

void to_json(nlohmann::json& json, const UserSettings::Reminders& value)
{
    json = nlohmann::json::object();
    json["automaticRemoval"] = { { "isEnabled", value.automaticRemoval.isEnabled },
        { "date", secondsSinceReferenceDate(value.automaticRemoval.date) } };
    json["dataSource"] = value.dataSource;
    if (value.selectedList)
        json["selectedList"] = *value.selectedList;
}
void from_json(const nlohmann::json& json, UserSettings::Reminders& value)
{
    const auto& removal = json.at("automaticRemoval");
    value.automaticRemoval.isEnabled = requiredBool(removal, "isEnabled");
    value.automaticRemoval.date = requiredDate(removal, "date");
    value.dataSource = required<RemindersDataSource>(json, "dataSource");
    auto list = json.find("selectedList");
    if (list == json.end() || list->is_null())
        value.selectedList.reset();
    else
        value.selectedList = list->get<AnyList>();
}

void to_json(nlohmann::json& json, const UserSettings::Review& value)
{
    json = nlohmann::json::object();
    putOptional(json, "lastVersionPrompted", value.lastVersionPrompted);
}
void from_json(const nlohmann::json& json, UserSettings::Review& value)
{
    value.lastVersionPrompted = optionalText(json, "lastVersionPrompted");
}

void to_json(nlohmann::json& json, const UserSettings::WhatsNew& value)
{
    json = nlohmann::json::object();
    putOptional(json, "lastPresentedVersion", value.lastPresentedVersion);
}
void from_json(const nlohmann::json& json, UserSettings::WhatsNew& value)
{
    value.lastPresentedVersion = optionalText(json, "lastPresentedVersion");
}

void to_json(nlohmann::json& json, const UserSettings& s)
{
    json = nlohmann::json::object();
    json["general"] = s.general;
    json["gesture"] = s.gesture;
    json["logging"] = s.logging;
    json["notifications"] = s.notifications;
    json["onboarding"] = s.onboarding;
    json["menubar"] = s.menubar;
    json["reminders"] = s.reminders;
    json["review"] = s.review;
    json["whatsNew"] = s.whatsNew;
}

void from_json(const nlohmann::json& json, UserSettings& s)
{
    s.general = required<UserSettings::General>(json, "general");
    s.gesture = required<UserSettings::Gesture>(json, "gesture");
    s.logging = required<UserSettings::Logging>(json, "logging");
    s.notifications = required<UserSettings::Notifications>(json, "notifications");
    s.onboarding = required<UserSettings::Onboarding>(json, "onboarding");
    s.menubar = required<UserSettings::Menubar>(json, "menubar");
    s.reminders = required<UserSettings::Reminders>(json, "reminders");
    s.review = required<UserSettings::Review>(json, "review");
    s.whatsNew = required<UserSettings::WhatsNew>(json, "whatsNew");
}

} // namespace tidemark
