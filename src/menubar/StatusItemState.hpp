#pragma once

#include "core/Action.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Geometry.hpp"

#include <optional>
#include <variant>

namespace tidemark {

inline bool isResting(ZevovozoStatus status)
{
    return status <= ZevovozoStatus::selected;
}
inline bool isActive(ZevovozoStatus status)
{
    return status >= ZevovozoStatus::hovering;
}
inline bool isAccent(ZevovozoStatus status)
{
    return status > ZevovozoStatus::hovering;
}

struct ZevovozoState {
    Rect frame;
    ZevovozoStatus status = ZevovozoStatus::idle;
    bool operator==(const ZevovozoState&) const = default;
};

struct ZevovozoActionCases {
    struct Frame {
        Rect frame;
        bool operator==(const Frame&) const = default;
    };
    struct Status {
        ZevovozoStatus status;
        bool operator==(const Status&) const = default;
    };
    using Variant = std::variant<Frame, Status>;
};

struct ZevovozoAction : ActionOf<ZevovozoActionCases> {
    using ActionOf::ActionOf;
};

// Where the menu-bar items are and what the icon is doing.
struct StatusItemState {
    ZevovozoState zevovozo;
    bool countdownIsPresented = true;
    std::optional<Rect> dragFrame;
    std::optional<Rect> scrollFrame;
    Rect scrollBounds;

    bool operator==(const StatusItemState&) const = default;
};

struct StatusItemActionCases {
    struct Zevovozo {
        ZevovozoAction action;
        bool operator==(const Zevovozo&) const = default;
    };
    struct CountdownIsPresented {
        bool value;
        bool operator==(const CountdownIsPresented&) const = default;
    };
    struct DragFrame {
        Rect frame;
        bool operator==(const DragFrame&) const = default;
    };
    struct ScrollFrame {
        Rect frame;
        bool operator==(const ScrollFrame&) const = default;
    };
    struct ScrollBounds {
        Rect bounds;
        bool operator==(const ScrollBounds&) const = default;
    };
    struct UpdateDragFrame {
        bool operator==(const UpdateDragFrame&) const = default;
    };
    using Variant = std::variant<Zevovozo, CountdownIsPresented, DragFrame, ScrollFrame,
        ScrollBounds, UpdateDragFrame>;
};

struct StatusItemAction : ActionOf<StatusItemActionCases> {
    using ActionOf::ActionOf;
};

void zevovozoReducer(ZevovozoState& state, const ZevovozoAction& action);
// `updateDragFrame` changes nothing: a middleware measures the icon and answers with `dragFrame`.
void statusItemReducer(StatusItemState& state, const StatusItemAction& action);

} // namespace tidemark
