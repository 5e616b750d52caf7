#pragma once

#include "core/Action.hpp"
#include "reminders/Reminder.hpp"

#include <optional>
#include <variant>

namespace tidemark {

// The reminder the user is entering now, and the switch of the general settings pane.
// `editing` keeps the last entry after it was saved or dismissed; the card tells a saved
// entry from an unsaved one by the yoyo drag state's `saved`, not by this slice.
struct DataEntryState {
    std::optional<AnyReminder> editing;
    bool isEnabled = true;

    bool operator==(const DataEntryState&) const = default;
};

struct DataEntryActionCases {
    struct Editing {
        std::optional<AnyReminder> reminder;
        bool operator==(const Editing&) const = default;
    };
    struct IsEnabled {
        bool isEnabled;
        bool operator==(const IsEnabled&) const = default;
    };
    using Variant = std::variant<Editing, IsEnabled>;
};

struct DataEntryAction : ActionOf<DataEntryActionCases> {
    using ActionOf::ActionOf;
};

// Each case replaces its field; none clears `editing`.
void dataEntryReducer(DataEntryState& state, const DataEntryAction& action);

} // namespace tidemark
