#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Geometry.hpp"

#include <variant>

namespace tidemark {

struct ScrollMenuBarExtraConnectingViewActionCases {
    struct IsPresented {
        bool isPresented;
        bool operator==(const IsPresented&) const = default;
    };
    // Where the extra stands on screen.
    struct Frame {
        Rect frame;
        bool operator==(const Frame&) const = default;
    };
    // One scroll event's translation.
    struct DeltaTranslation {
        Size delta;
        bool operator==(const DeltaTranslation&) const = default;
    };
    using Variant = std::variant<IsPresented, Frame, DeltaTranslation>;
};

// The second menu-bar item, which sets a reminder's time by scrolling. It shows nothing
// of the state, so its state has no fields and never changes.
struct ScrollMenuBarExtraConnectingView {
    struct State {
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<ScrollMenuBarExtraConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
