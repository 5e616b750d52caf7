#include "menubar/StatusItemConnectingView.hpp"

namespace tidemark {

std::vector<StatusItemConnectingView::Action> statusItemStatusActions(
    const StatusItemConnectingView::State& state, ZevovozoStatus status, Date now,
    const Calendar& calendar)
{
    using Action = StatusItemConnectingView::Action;
    std::vector<Action> actions;
    actions.reserve(3);
    switch (status) {
    case ZevovozoStatus::selected: {
        const auto& removal = state.automaticRemindersRemoval;
        if (removal.isEnabled
            && !remindersToRemove(removal.items, removal.date, now, calendar).empty()) {
            actions.push_back(Action::AutomaticRemindersRemoval {
                AutomaticRemindersRemovalAction::Remove { removal.items, removal.date } });
        }
        actions.push_back(Action::PopoverIsPresented { true });
        break;
    }
    case ZevovozoStatus::idle:
    case ZevovozoStatus::dragging:
        actions.push_back(Action::PopoverIsPresented { false });
        break;
    case ZevovozoStatus::hovering:
    case ZevovozoStatus::longHold:
        break;
    }
    actions.push_back(Action::ZevovozoStatus { status });
    return actions;
}

std::vector<StatusItemConnectingView::Action> statusItemDragActions(
    const StatusItemConnectingView::State& state, DragGesturePhase phase,
    const AnyDragGestureValue& value)
{
    using Action = StatusItemConnectingView::Action;
    // The same filters the drag's own slice keeps, over what the icon sees of it.
    DragGestureState drag;
    drag.phase = state.dragGestureStatus;
    drag.value = state.dragGestureValue;
    drag.pointPerInterval = state.pointPerInterval;

    std::vector<Action> actions;
    actions.reserve(2);
    if (shouldDispatchPhase(drag, phase))
        actions.push_back(Action::DragGestureStatus { phase });
    if (shouldDispatchValue(drag, value))
        actions.push_back(Action::DragGestureValue { value });
    return actions;
}

} // namespace tidemark
