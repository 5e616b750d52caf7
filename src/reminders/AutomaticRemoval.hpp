#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Date.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/RemindersStore.hpp"

#include <optional>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

// The settings of the automatic removal: a switch and a time of day (only its hour and
// minute count), plus an interval kept in step with a unit and a text. The removal rule
// uses the switch and the time of day alone.
struct AutomaticRemovalState {
    enum class TimeUnit {
        minutes,
        hours,
    };

    bool isEnabled = false;
    Date date {};
    TimeInterval timeInterval = 0;
    TimeUnit unit = TimeUnit::hours;
    std::string value;

    AutomaticRemovalState() = default;
    // Switched off, at 04:00 of the day of `now` in `calendar` (at `now` itself when the
    // calendar has no such time that day), in hours, with `value` derived from the interval.
    AutomaticRemovalState(TimeInterval timeInterval, Date now, const Calendar& calendar);

    bool operator==(const AutomaticRemovalState&) const = default;
};

// Seconds in one unit: 60 for minutes, 3600 for hours.
TimeInterval secondsPerUnit(AutomaticRemovalState::TimeUnit unit);

struct AutomaticRemovalActionCases {
    struct IsEnabled {
        bool isEnabled = false;
        bool operator==(const IsEnabled&) const = default;
    };
    struct Date {
        tidemark::Date date;
        bool operator==(const Date&) const = default;
    };
    struct TimeInterval {
        tidemark::TimeInterval timeInterval = 0;
        bool operator==(const TimeInterval&) const = default;
    };
    struct Unit {
        AutomaticRemovalState::TimeUnit unit = AutomaticRemovalState::TimeUnit::hours;
        bool operator==(const Unit&) const = default;
    };
    // Text typed into the interval: only its decimal digits are kept.
    struct FilterValue {
        std::string text;
        bool operator==(const FilterValue&) const = default;
    };
    // The interval's text alone; the interval itself is left as it is.
    struct Value {
        std::string value;
        bool operator==(const Value&) const = default;
    };
    using Variant = std::variant<IsEnabled, Date, TimeInterval, Unit, FilterValue, Value>;
};

struct AutomaticRemovalAction : ActionOf<AutomaticRemovalActionCases> {
    using ActionOf::ActionOf;
};

void automaticRemovalReducer(AutomaticRemovalState& state, const AutomaticRemovalAction& action);

// What the menu-bar icon sees of the feature when it is clicked.
struct AutomaticRemindersRemovalState {
    bool isEnabled = false;
    Date date {};
    std::set<AnyReminder> items;

    bool operator==(const AutomaticRemindersRemovalState&) const = default;
};

struct AutomaticRemindersRemovalActionCases {
    // The candidates and the removal time of day.
    struct Remove {
        std::set<AnyReminder> items;
        tidemark::Date date;
        bool operator==(const Remove&) const = default;
    };
    using Variant = std::variant<Remove>;
};

struct AutomaticRemindersRemovalAction : ActionOf<AutomaticRemindersRemovalActionCases> {
    using ActionOf::ActionOf;
};

// Whether the removal time's hour and minute (read in `calendar`) have come round at
// least once since `dueDate`: the first such moment after the due date lies strictly
// before `now`. A wall-clock time a daylight-saving change skips counts at the first
// moment after the gap; one shown twice counts at its first passing.
bool isDue(Date dueDate, Date removalTime, Date now, const Calendar& calendar);

// The latest moment strictly before `now` at which the clock showed the removal time's
// hour and minute (counted as `isDue` counts them); a due date is due exactly when it lies
// before it. None when the calendar finds no such moment.
std::optional<Date> latestRemovalPassing(Date removalTime, Date now, const Calendar& calendar);

// The reminders the removal takes: copies of every reminder of `items` with a due date
// that is due, each completed at `now`. Reminders without a usable due date stay.
std::set<AnyReminder> remindersToRemove(
    const std::set<AnyReminder>& items, Date removalTime, Date now, const Calendar& calendar);

// The update request that archives them, or none when nothing is due: an empty update
// would still clear the selection and leave an empty undo step behind.
std::optional<RemindersStoreAction> automaticRemovalRequest(
    const AutomaticRemindersRemovalAction& action, Date now, const Calendar& calendar);

} // namespace tidemark
