#include "menubar/PopoverToolbarMenus.hpp"

#include "menubar/RemoveSelectedCommandView.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/foundation/UndoManager.hpp"

#include <algorithm>

namespace tidemark {

namespace {

std::string stepTitle(const char* plainKey, const char* namedKey, const std::string& name)
{
    if (name.empty())
        return localized("MainMenu", plainKey);
    return localized("MainMenu", namedKey, name);
}

} // namespace

PopoverActionMenu popoverActionMenu(const PopoverToolbar::State& state, const UndoManager* manager)
{
    PopoverActionMenu menu;
    menu.undoTitle = stepTitle(
        "undo_label", "undo_action_label %@", manager ? manager->undoActionName() : std::string());
    menu.canUndo = manager && manager->canUndo();
    menu.redoTitle = stepTitle(
        "redo_label", "redo_action_label %@", manager ? manager->redoActionName() : std::string());
    menu.canRedo = manager && manager->canRedo();
    const std::size_t count = static_cast<std::size_t>(std::max(state.selectionCount, 0));
    menu.removeTitle
        = removeSelectedTitle(count, static_cast<std::size_t>(std::max(state.itemCount, 0)));
    menu.hasSelection = count > 0;
    menu.selectAllTitle = localized("MainMenu", "select_all_button_label");
    menu.isNotEmpty = state.itemCount > 0;
    return menu;
}

PopoverMoreMenu popoverMoreMenu(const std::string& applicationName)
{
    return {
        .settingsTitle = localized("Settings", "menu_item_label"),
        .whatsNewTitle = localized("WhatsNew", "menu_item_label"),
        .helpTitle = localized("MainMenu", "help_label"),
        .quitTitle = localized("MainMenu", "quit_label %@", applicationName),
    };
}

PopoverToolbar::Action popoverRemoveSelectedAction(const PopoverToolbar::State& state)
{
    const auto command = RemoveSelectedCommandView::action({ .items = state.selectedItems,
        .removalMode = state.removalMode,
        .selection = state.selection });
    if (const auto* archive = caseOf<RemoveSelectedCommandView::Action::Archive>(command))
        return PopoverToolbar::Action::Archive { archive->reminders };
    return PopoverToolbar::Action::Delete { state.selection };
}

} // namespace tidemark
