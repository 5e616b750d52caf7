#include "menubar/views/MenuBarExtra.hpp"

#include "platform/ui/PinnedLayout.hpp"

#include <QWidget>

namespace tidemark {

void MenuBarExtraState::reduce(const MenuBarExtraAction& action, StatusBar& statusBar)
{
    if (const auto* enabled = caseOf<MenuBarExtraAction::IsEnabled>(action)) {
        isEnabled = enabled->value;
        // The old item goes first, so the new one takes its place in the bar.
        item.reset();
        if (enabled->value)
            item = statusBar.statusItem(StatusItem::variableLength);
    }
}

namespace {

void reduceMenuBarExtra(MenuBarExtraState& state, const MenuBarExtraAction& action,
    const MenuBarExtraEnvironment& environment)
{
    if (const auto* window = caseOf<MenuBarExtraAction::Window>(action)) {
        if (!state.item || !state.item->button() || !static_cast<bool>(environment.content))
            return;
        if (QWidget* view = environment.content(window->store))
            addPinnedSubview(state.item->button(), view);
        return;
    }
    if (environment.statusBar)
        state.reduce(action, *environment.statusBar);
}

} // namespace

void reduceDragDropMenuBarExtra(MenuBarExtraState& state, const MenuBarExtraAction& action,
    const MenuBarExtraEnvironment& environment)
{
    reduceMenuBarExtra(state, action, environment);
}

void reduceScrollMenuBarExtra(MenuBarExtraState& state, const MenuBarExtraAction& action,
    const MenuBarExtraEnvironment& environment)
{
    reduceMenuBarExtra(state, action, environment);
}

} // namespace tidemark
