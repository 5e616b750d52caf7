#pragma once

#include "core/TimerSlice.hpp"
#include "entry/YoyoViewStates.hpp"
#include "menubar/CountdownState.hpp"
#include "platform/foundation/Date.hpp"
#include "reminders/Reminder.hpp"

#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class DateComponentsFormatter;

// The countdown to the next reminder beside the menu-bar icon. It sends nothing.
struct CountdownView {
    struct State {
        bool isPresented = false;
        std::shared_ptr<DateComponentsFormatter> formatter; // the countdown's, compared by identity
        CountdownProgressBarState progressBar;
        std::optional<AnyReminder> reminder;
        TimerState timer; // compared by id: a tick alone is no new state

        bool operator==(const State&) const = default;

        // The text at `now`: none without a reminder, without a usable due date, once the
        // due date has passed, or when the formatter gives nothing. Up to a minute away it
        // counts seconds, beyond that hours and minutes; the shared formatter keeps the
        // units chosen last.
        std::optional<std::string> title(Date now) const;
    };
    using Action = NoAction;
};

} // namespace tidemark
