#pragma once

#include "core/Action.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/RemindersSlice.hpp"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tidemark {

struct PopoverToolbarActionCases {
    // The selected reminders, to be completed now.
    struct Archive {
        std::set<AnyReminder> reminders;
        bool operator==(const Archive&) const = default;
    };
    // The selected ids.
    struct Delete {
        std::set<std::string> ids;
        bool operator==(const Delete&) const = default;
    };
    struct SelectedList {
        std::optional<AnyList> list;
        bool operator==(const SelectedList&) const = default;
    };
    // Every stored reminder, chosen by the store as it stands when the command arrives.
    struct SelectAll {
        bool operator==(const SelectAll&) const = default;
    };
    struct OpenHelp {
        bool operator==(const OpenHelp&) const = default;
    };
    struct OpenSettings {
        bool operator==(const OpenSettings&) const = default;
    };
    struct OpenWhatsNew {
        bool operator==(const OpenWhatsNew&) const = default;
    };
    struct Undo {
        bool operator==(const Undo&) const = default;
    };
    struct Redo {
        bool operator==(const Redo&) const = default;
    };
    struct Quit {
        bool operator==(const Quit&) const = default;
    };
    using Variant = std::variant<Archive, Delete, SelectedList, SelectAll, OpenHelp, OpenSettings,
        OpenWhatsNew, Undo, Redo, Quit>;
};

// The popover's toolbar, its menus and its title: the small state they work on and what
// they send. It holds no reminder but the selected ones, so a change to any other reminder
// costs the toolbar no copy.
struct PopoverToolbar {
    struct State {
        int itemCount = 0; // reminders the data source holds
        ReminderRemovalMode removalMode = ReminderRemovalMode::archive;
        std::optional<AnyList> selectedList;
        int selectionCount = 0; // ids selected, matching a reminder or not
        std::set<std::string> selection;
        std::set<AnyReminder> selectedItems; // the stored reminders whose ids are selected
        std::optional<std::vector<AnySource>> sources; // none until the sources were read
        std::shared_ptr<UndoManager> undoManager; // compared by identity

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<PopoverToolbarActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
