#pragma once

#include "core/Action.hpp"
#include "platform/ui/StatusBar.hpp"
#include "toolkit/MainStore.hpp"

#include <functional>
#include <variant>

class QWidget;

namespace tidemark {

struct MenuBarExtraAction;

// One of the application's items in the status bar, kept in the windows store.
struct MenuBarExtraState {
    // Whether the extra was last enabled.
    bool isEnabled = false;
    // The status item while the extra is enabled.
    StatusItemRef item;

    bool operator==(const MenuBarExtraState&) const = default;

    // `isEnabled(true)` makes a new variable-length item in `statusBar` (an item held before
    // is let go), `isEnabled(false)` lets the item go; `window` is left to the extra's reducer.
    void reduce(const MenuBarExtraAction& action, StatusBar& statusBar);
};

struct MenuBarExtraActionCases {
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    // Put the extra's view into the item's button, bound to the main store.
    struct Window {
        AppStoreRef store;
        bool operator==(const Window&) const = default;
    };
    using Variant = std::variant<IsEnabled, Window>;
};

struct MenuBarExtraAction : ActionOf<MenuBarExtraActionCases> {
    using ActionOf::ActionOf;
};

// Makes the root view an extra hosts in its button, bound to the main store.
using MenuBarExtraContent = std::function<QWidget*(const AppStoreRef& store)>;

// What an extra's reducer works with: the status bar its items go to and the view it hosts.
struct MenuBarExtraEnvironment {
    StatusBar* statusBar = nullptr;
    MenuBarExtraContent content;
};

// The drag-and-drop extra (its view is the status item container view) and the scroll extra
// (the scroll container view): `isEnabled` as MenuBarExtraState::reduce; `window(store)` adds
// the extra's view to the item's button, pinned to its four edges, when there is an item
// with a button. Earlier views of the button stay.
void reduceDragDropMenuBarExtra(MenuBarExtraState& state, const MenuBarExtraAction& action,
    const MenuBarExtraEnvironment& environment);
void reduceScrollMenuBarExtra(MenuBarExtraState& state, const MenuBarExtraAction& action,
    const MenuBarExtraEnvironment& environment);

} // namespace tidemark
