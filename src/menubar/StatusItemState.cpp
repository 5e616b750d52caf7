#include "menubar/StatusItemState.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void zevovozoReducer(ZevovozoState& state, const ZevovozoAction& action)
{
    std::visit(overloaded {
                   [&](const ZevovozoAction::Frame& a) -> void { state.frame = a.frame; },
                   [&](const ZevovozoAction::Status& a) -> void { state.status = a.status; },
               },
        action);
}

void statusItemReducer(StatusItemState& state, const StatusItemAction& action)
{
    std::visit(
        overloaded {
            [&](const StatusItemAction::Zevovozo& a) -> void {
                zevovozoReducer(state.zevovozo, a.action);
            },
            [&](const StatusItemAction::CountdownIsPresented& a) -> void {
                state.countdownIsPresented = a.value;
            },
            [&](const StatusItemAction::DragFrame& a) -> void { state.dragFrame = a.frame; },
            [&](const StatusItemAction::ScrollFrame& a) -> void { state.scrollFrame = a.frame; },
            [&](const StatusItemAction::ScrollBounds& a) -> void { state.scrollBounds = a.bounds; },
            [&](const StatusItemAction::UpdateDragFrame&) -> void {},
        },
        action);
}

} // namespace tidemark
