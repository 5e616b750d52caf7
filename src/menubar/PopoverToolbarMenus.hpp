#pragma once

#include "menubar/PopoverToolbar.hpp"

#include <string>

namespace tidemark {

class UndoManager;

// What the entries of the popover's action menu show: titles and whether they can be chosen.
struct PopoverActionMenu {
    std::string undoTitle;
    bool canUndo = false;
    std::string redoTitle;
    bool canRedo = false;
    std::string removeTitle;
    bool hasSelection = false;
    std::string selectAllTitle;
    bool isNotEmpty = false;

    bool operator==(const PopoverActionMenu&) const = default;
};

// The action menu for a toolbar state and the undo manager as it stands now (none: nothing
// to undo or redo, and the plain titles). Undo and Redo are named after the step they take
// back or do again ("Undo Remove"); the remove entry reads "Remove All" only when at least
// two reminders are selected and they are all there is.
PopoverActionMenu popoverActionMenu(const PopoverToolbar::State& state, const UndoManager* manager);

// The titles of the more menu, in order: settings, what's new, help and quit.
struct PopoverMoreMenu {
    std::string settingsTitle;
    std::string whatsNewTitle;
    std::string helpTitle;
    std::string quitTitle;

    bool operator==(const PopoverMoreMenu&) const = default;
};
PopoverMoreMenu popoverMoreMenu(const std::string& applicationName);

// The remove entry: the selected ids in delete mode; in archive mode the stored reminders
// whose ids are selected (ids no reminder has any more are skipped).
PopoverToolbar::Action popoverRemoveSelectedAction(const PopoverToolbar::State& state);

} // namespace tidemark
