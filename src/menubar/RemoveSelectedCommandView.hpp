#pragma once

#include "core/Action.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/RemindersSlice.hpp"

#include <set>
#include <string>
#include <variant>

namespace tidemark {

struct RemoveSelectedCommandViewActionCases {
    // Complete these reminders now.
    struct Archive {
        std::set<AnyReminder> reminders;
        bool operator==(const Archive&) const = default;
    };
    // Delete the reminders with these ids.
    struct Delete {
        std::set<std::string> ids;
        bool operator==(const Delete&) const = default;
    };
    using Variant = std::variant<Archive, Delete>;
};

// The Edit menu's command that removes the reminders selected in the popover list.
struct RemoveSelectedCommandView {
    struct State {
        std::set<AnyReminder> items; // every stored reminder
        ReminderRemovalMode removalMode = ReminderRemovalMode::archive;
        std::set<std::string> selection;

        bool operator==(const State&) const = default;

        // The command is offered only while something is selected.
        bool isDisabled() const { return selection.empty(); }
    };

    struct Action : ActionOf<RemoveSelectedCommandViewActionCases> {
        using ActionOf::ActionOf;
    };

    // What the command sends: in archive mode the stored reminders whose ids are selected
    // (a selected id that no reminder has any more is skipped); otherwise the selected ids
    // as they are.
    static Action action(const State& state)
    {
        if (state.removalMode != ReminderRemovalMode::archive)
            return Action::Delete { state.selection };
        std::set<AnyReminder> selected;
        for (const auto& reminder : state.items) {
            if (state.selection.contains(reminder.id))
                selected.insert(reminder);
        }
        return Action::Archive { std::move(selected) };
    }
};

} // namespace tidemark
