#pragma once

#include "core/Action.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <variant>

namespace tidemark {

// A window that exists at most once at a time and is shown on request.
struct SingleInstanceWindowState {
    // The window while it exists; none before it is made and after it is dismissed.
    WindowRef window;

    bool operator==(const SingleInstanceWindowState&) const = default;
};

struct SingleInstanceWindowActionCases {
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    // Make the window, its content bound to the main store. Handled by each window's owner.
    struct Window {
        AppStoreRef store;
        bool operator==(const Window&) const = default;
    };
    using Variant = std::variant<IsPresented, Window>;
};

struct SingleInstanceWindowAction : ActionOf<SingleInstanceWindowActionCases> {
    using ActionOf::ActionOf;
};

// `isPresented(true)` fronts and centres the kept window (when there is one) and then always
// activates the application; `isPresented(false)` closes the window and forgets it, so the
// next showing makes a new one; `window` is left to the owner's reducer.
void singleInstanceWindowReducer(
    SingleInstanceWindowState& state, const SingleInstanceWindowAction& action);

} // namespace tidemark
