#include "toolkit/middleware/HapticFeedbackMiddleware.hpp"

namespace tidemark {

bool yoyoTimeViewIsPresented(const AppState& state)
{
    const DragGestureState& drag = state.dragGesture;
    return drag.phase != DragGesturePhase::ended && drag.exceedsMinimumDistance();
}

namespace {

bool isChangedPhase(const AppAction& action)
{
    const auto* drag = caseOf<AppAction::DragGesture>(action);
    if (!drag)
        return false;
    const auto* phase = std::get_if<DragGestureAction::Phase>(&drag->action);
    return phase && phase->phase == DragGesturePhase::changed;
}

const bool* scrollDataEntryIsPresented(const AppAction& action)
{
    const auto* view = caseOf<AppAction::View>(action);
    if (!view)
        return nullptr;
    const auto* yoyo = std::get_if<ViewAction::Yoyo>(&view->action);
    if (!yoyo)
        return nullptr;
    const auto* scroll = std::get_if<YoyoAction::Scroll>(&yoyo->action);
    if (!scroll)
        return nullptr;
    const auto* presented = std::get_if<YoyoScrollAction::DataEntryIsPresented>(&scroll->action);
    return presented ? &presented->dataEntryIsPresented : nullptr;
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
        } else if (const bool* presented = scrollDataEntryIsPresented(action)) {
            if (*presented != service->flag()) {
                service->setFlag(*presented);
                service->performGenericFeedback();
            }
        }
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
