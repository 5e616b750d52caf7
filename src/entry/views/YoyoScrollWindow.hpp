#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <variant>

namespace tidemark {

class YoyoScrollFrontWidget;

struct YoyoScrollWindowActionCases {
    // `itemFrame`: the scroll item's frame on screen, which the window is placed around.
    struct IsPresented {
        bool value;
        Rect itemFrame {};
        bool operator==(const IsPresented&) const = default;
    };
    struct PreparePresentation {
        Rect itemFrame {};
        bool operator==(const PreparePresentation&) const = default;
    };
    using Variant = std::variant<IsPresented, PreparePresentation>;
};

struct YoyoScrollWindowAction : ActionOf<YoyoScrollWindowActionCases> {
    using ActionOf::ActionOf;
};

// The scroll entry's window, made once and shown for every entry. `preparePresentation`
// covers the part of the screen under the pointer the card can reach from the item (the
// whole screen without an item or a card; without a screen the window keeps its frame);
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
