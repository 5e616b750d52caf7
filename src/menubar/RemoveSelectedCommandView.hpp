#pragma once

#include "core/Action.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/RemindersSlice.hpp"

#include <cstddef>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

// The title of the remove entry, for `count` reminders to remove out of `total`: "Remove
// All" when at least two are removed and they are all there is, else "Remove N Reminders"
// (so one reminder that is the only one reads "Remove 1 Reminder").
std::string removeSelectedTitle(std::size_t count, std::size_t total);

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
        std::string title() const { return removeSelectedTitle(selection.size(), items.size()); }
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

// The remove entry of a row's context menu: the same title, enabled while it has something
// to do.
struct EditMenuContent {
    std::size_t selectionCount = 0; // how many reminders the entry would remove
    std::size_t itemCount = 0; // how many there are in all
    bool hasRemoveSelectedAction = false;

    bool operator==(const EditMenuContent&) const = default;

    std::string title() const { return removeSelectedTitle(selectionCount, itemCount); }
    bool isEnabled() const { return hasRemoveSelectedAction; }
};

} // namespace tidemark
