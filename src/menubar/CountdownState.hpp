#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Date.hpp"
#include "reminders/Reminder.hpp"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

class DateComponentsFormatter;

struct CountdownProgressBarState {
    bool isEnabled = true;
    double opacity = 0.5;
    bool operator==(const CountdownProgressBarState&) const = default;
};

struct CountdownProgressBarActionCases {
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    struct Opacity {
        double value;
        bool operator==(const Opacity&) const = default;
    };
    using Variant = std::variant<IsEnabled, Opacity>;
};

struct CountdownProgressBarAction : ActionOf<CountdownProgressBarActionCases> {
    using ActionOf::ActionOf;
};

// What the menu bar needs to count down to the next reminder. The formatter is shared by
// every copy and compared by identity: changing its units is no change of state.
struct CountdownState {
    std::shared_ptr<DateComponentsFormatter> formatter;
    bool isEnabled = true;
    CountdownProgressBarState progressBar;
    std::optional<std::string> reminderID;

    CountdownState(); // hours and minutes, abbreviated, at most two units, leading zeros dropped
    bool operator==(const CountdownState&) const = default;
};

struct CountdownActionCases {
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    struct ProgressBar {
        CountdownProgressBarAction action;
        bool operator==(const ProgressBar&) const = default;
    };
    struct ReminderID {
        std::optional<std::string> id;
        bool operator==(const ReminderID&) const = default;
    };
    struct ReadDueDate {
        bool operator==(const ReadDueDate&) const = default;
    };
    using Variant = std::variant<IsEnabled, ProgressBar, ReminderID, ReadDueDate>;
};

struct CountdownAction : ActionOf<CountdownActionCases> {
    using ActionOf::ActionOf;
};

void countdownProgressBarReducer(
    CountdownProgressBarState& state, const CountdownProgressBarAction& action);
void countdownReducer(CountdownState& state, const CountdownAction& action);

// The reminder the countdown follows: the pinned one when it is there, else the one due
// soonest strictly after `now`; none when no reminder is due in the future.
std::optional<AnyReminder> countdownReminder(
    const std::set<AnyReminder>& reminders, const std::optional<std::string>& reminderID, Date now);

} // namespace tidemark
