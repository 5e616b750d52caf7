#pragma once

#include "core/Action.hpp"
#include "entry/DragGesture.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "menubar/CountdownView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Geometry.hpp"
#include "reminders/AutomaticRemoval.hpp"

#include <optional>
#include <variant>
#include <vector>

namespace tidemark {

struct StatusItemConnectingViewActionCases {
    struct ZevovozoStatus {
        tidemark::ZevovozoStatus status;
        bool operator==(const ZevovozoStatus&) const = default;
    };
    struct AutomaticRemindersRemoval {
        AutomaticRemindersRemovalAction action;
        bool operator==(const AutomaticRemindersRemoval&) const = default;
    };
    struct DragGestureStatus {
        DragGesturePhase phase;
        bool operator==(const DragGestureStatus&) const = default;
    };
    struct DragGestureValue {
        AnyDragGestureValue value;
        bool operator==(const DragGestureValue&) const = default;
    };
    struct IconFrame {
        Rect frame;
        bool operator==(const IconFrame&) const = default;
    };
    struct PopoverIsPresented {
        bool isPresented;
        bool operator==(const PopoverIsPresented&) const = default;
    };
    using Variant = std::variant<ZevovozoStatus, AutomaticRemindersRemoval, DragGestureStatus,
        DragGestureValue, IconFrame, PopoverIsPresented>;
};

// The menu-bar icon with its countdown: what it shows and what it sends. The countdown
// sends nothing, so no case carries its actions.
struct StatusItemConnectingView {
    struct State {
        ZevovozoStatus zevovozoStatus = ZevovozoStatus::idle;
        AutomaticRemindersRemovalState automaticRemindersRemoval;
        CountdownView::State countdown;
        std::optional<DragGesturePhase> dragGestureStatus;
        std::optional<AnyDragGestureValue> dragGestureValue;
        double pointPerInterval = defaultPointPerInterval;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<StatusItemConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

// What the icon sends, in order, when its status is set to `status`. Selecting it opens
// the popover, first completing what the automatic removal has due (only when the removal
// is on and something is due at `now`: an empty update would still clear the selection
// and leave an empty undo step); idle and dragging close the popover; hovering and a long
// hold open or close nothing. The new status always comes last.
std::vector<StatusItemConnectingView::Action> statusItemStatusActions(
    const StatusItemConnectingView::State& state, ZevovozoStatus status, Date now,
    const Calendar& calendar);

// What the icon's drag handler sends for one sample: the phase when it differs from the
// stored one, then the value when none is stored or its squared pull differs from the
// stored one's by more than the square of the points per interval.
std::vector<StatusItemConnectingView::Action> statusItemDragActions(
    const StatusItemConnectingView::State& state, DragGesturePhase phase,
    const AnyDragGestureValue& value);

} // namespace tidemark
