#pragma once

#include "platform/foundation/Date.hpp"
#include "reminders/Reminder.hpp"

#include <nlohmann/json_fwd.hpp>

#include <optional>
#include <string>

namespace tidemark {

class Calendar;

// Every preference kept across launches, in nine groups. Coded as nested JSON objects whose
// keys are the field names; an absent optional field has no key.
struct UserSettings {
    struct General {
        bool openAtLogin = false;
        bool operator==(const General&) const = default;
    };
    struct Gesture {
        double dragGesturePointPerInterval = 4.0;
        bool operator==(const Gesture&) const = default;
    };
    struct Logging {
        bool isEnabled = false;
        bool isRedacted = false;
        bool operator==(const Logging&) const = default;
    };
    struct Notifications {
        bool isEnabled = false;
        bool operator==(const Notifications&) const = default;
    };
    struct Onboarding {
        std::optional<std::string> lastPresentedVersion;
        bool operator==(const Onboarding&) const = default;
    };
    struct Menubar {
        struct ProgressBar {
            bool isEnabled = true;
            double opacity = 0.5;
            bool operator==(const ProgressBar&) const = default;
        };
        bool countdownIsEnabled = true;
        ProgressBar progressBar;
        bool operator==(const Menubar&) const = default;
    };
    struct Reminders {
        struct AutomaticRemoval {
            bool isEnabled = true;
            Date date;
            bool operator==(const AutomaticRemoval&) const = default;

            // 04:00:00 of the day of `now` in `calendar` (the next existing time where the
            // day skips it, the first where it repeats); `now` when there is none.
            static Date defaultDate(const Calendar& calendar, Date now);
        };
        AutomaticRemoval automaticRemoval;
        RemindersDataSource dataSource = RemindersDataSource::local;
        std::optional<AnyList> selectedList;
        bool operator==(const Reminders&) const = default;

        // The declared defaults: removal on at the default date, local data, no list.
        static Reminders makeDefault(const Calendar& calendar, Date now);
    };
    struct Review {
        std::optional<std::string> lastVersionPrompted;
        bool operator==(const Review&) const = default;
    };
    struct WhatsNew {
        std::optional<std::string> lastPresentedVersion;
        bool operator==(const WhatsNew&) const = default;
    };

    General general;
    Gesture gesture;
    Logging logging;
    Notifications notifications;
    Onboarding onboarding;
    Menubar menubar;
    Reminders reminders;
    Review review;
    WhatsNew whatsNew;

    bool operator==(const UserSettings&) const = default;

    // The defaults of every group, the removal date taken from `calendar` and `now`.
    static UserSettings makeDefault(const Calendar& calendar, Date now);
};

// Dates are stored as seconds since 1 January 2001 00:00:00 UTC, with fraction.
double secondsSinceReferenceDate(Date date);
Date dateFromSecondsSinceReferenceDate(double seconds);
// The same for a stored number: none when it is not finite or lies outside the dates a
// `Date` holds (`checkedDateFromTimeIntervalSince1970`).
std::optional<Date> checkedDateFromSecondsSinceReferenceDate(double seconds);

// Throw nlohmann::json::exception for a missing required key, a value of the wrong kind or
// an unknown data source.
void to_json(nlohmann::json& json, const UserSettings& settings);
void from_json(const nlohmann::json& json, UserSettings& settings);
void to_json(nlohmann::json& json, const UserSettings::General& value);
void from_json(const nlohmann::json& json, UserSettings::General& value);
void to_json(nlohmann::json& json, const UserSettings::Gesture& value);
void from_json(const nlohmann::json& json, UserSettings::Gesture& value);
void to_json(nlohmann::json& json, const UserSettings::Logging& value);
void from_json(const nlohmann::json& json, UserSettings::Logging& value);
void to_json(nlohmann::json& json, const UserSettings::Notifications& value);
void from_json(const nlohmann::json& json, UserSettings::Notifications& value);
void to_json(nlohmann::json& json, const UserSettings::Onboarding& value);
void from_json(const nlohmann::json& json, UserSettings::Onboarding& value);
void to_json(nlohmann::json& json, const UserSettings::Menubar& value);
void from_json(const nlohmann::json& json, UserSettings::Menubar& value);
void to_json(nlohmann::json& json, const UserSettings::Reminders& value);
void from_json(const nlohmann::json& json, UserSettings::Reminders& value);
void to_json(nlohmann::json& json, const UserSettings::Review& value);
void from_json(const nlohmann::json& json, UserSettings::Review& value);
void to_json(nlohmann::json& json, const UserSettings::WhatsNew& value);
void from_json(const nlohmann::json& json, UserSettings::WhatsNew& value);

} // namespace tidemark
