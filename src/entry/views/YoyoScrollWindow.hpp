#pragma once

#include "core/Action.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <variant>

namespace tidemark {

class YoyoScrollFrontWidget;

struct YoyoScrollWindowActionCases {
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    struct PreparePresentation {
        bool operator==(const PreparePresentation&) const = default;
    };
    using Variant = std::variant<IsPresented, PreparePresentation>;
};

struct YoyoScrollWindowAction : ActionOf<YoyoScrollWindowActionCases> {
    using ActionOf::ActionOf;
};

// The scroll entry's window, made once and shown for every entry. `preparePresentation`
// covers the screen under the pointer (without one the window keeps its frame);
// `isPresented(true)` does that and brings the window to the front without taking the
// keyboard, which the card asks for once it shows its title field; `false` closes it.
struct YoyoScrollWindowState {
    WindowRef window;
    bool operator==(const YoyoScrollWindowState&) const = default;
    void reduce(const YoyoScrollWindowAction& action);
};

// The overlay with the scroll entry's card: it takes the pointer only over the card (none at
// rest) and the keyboard once the card shows its title field; when it stops being key the
// entry is no longer presented.
WindowRef makeYoyoScrollWindow(const AppStoreRef& store);

// The view the maker put in the window.
YoyoScrollFrontWidget* yoyoScrollFrontView(const WindowRef& window);

} // namespace tidemark
