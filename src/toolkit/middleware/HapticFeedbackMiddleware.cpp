#include "toolkit/middleware/HapticFeedbackMiddleware.hpp"

#include "core/Action.hpp"

namespace tidemark {

bool yoyoTimeViewIsPresented(const AppState& state)
{
    const DragGestureState& drag = state.dragGesture;
    return drag.phase != DragGesturePhase::ended && drag.exceedsMinimumDistance();
}

namespace {

bool isChangedPhase(const AppAction& action)
{
    const auto* phase = caseAt<AppAction::DragGesture, DragGestureAction::Phase>(action);
    return phase && phase->phase == DragGesturePhase::changed;
}

} // namespace

AppStore::Middleware makeHapticFeedbackMiddleware(std::shared_ptr<HapticFeedbackService> service)
{
    return [service](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (isChangedPhase(action)) {
            const bool presented = yoyoTimeViewIsPresented(state);
            if (presented != service->flag()) {
                service->setFlag(presented);
                service->performAlignmentFeedback();
            }
        } else if (const auto* scroll = caseAt<AppAction::View, ViewAction::Yoyo,
                       YoyoAction::Scroll, YoyoScrollAction::DataEntryIsPresented>(action)) {
            if (scroll->dataEntryIsPresented != service->flag()) {
                service->setFlag(scroll->dataEntryIsPresented);
                service->performGenericFeedback();
            }
        }
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
