#include "entry/DragGesture.hpp"

#include "core/Overloaded.hpp"

#include <cmath>

namespace tidemark {

namespace {

double squaredLength(Size size)
{
    return size.width * size.width + size.height * size.height;
}

} // namespace

MockDragGestureValue MockDragGestureValue::random(Date now, std::mt19937& engine)
{
    std::uniform_int_distribution<int> translation(0, 999);
    std::uniform_int_distribution<int> prediction(0, 1000);
    MockDragGestureValue value;
    value.time = now;
    // Separate statements keep the order of the draws fixed.
    value.translation.width = translation(engine);
    value.translation.height = translation(engine);
    value.predictedEndLocation.x = prediction(engine);
    value.predictedEndLocation.y = prediction(engine);
    value.predictedEndTranslation.width = prediction(engine);
    value.predictedEndTranslation.height = prediction(engine);
    return value;
}

MockDragGestureValue MockDragGestureValue::random()
{
    std::mt19937 engine { std::random_device {}() };
    return random(SystemClock {}.now(), engine);
}

bool DragGestureState::exceedsMinimumDistance() const
{
    if (!value)
        return false;
    return minimumDistance * minimumDistance < squaredLength(value->translation);
}

void dragGestureReducer(
    DragGestureState& state, const DragGestureAction& action, const Clock& clock)
{
    std::visit(
        overloaded {
            [&](const DragGestureAction::DidEndTranslation& a) -> void {
                state.didEndTranslation = a.translation;
            },
            [&](const DragGestureAction::LocalFrame& a) -> void { state.localFrame = a.frame; },
            [&](const DragGestureAction::Phase& a) -> void {
                const bool withoutChange = endsWithoutChange(state, action);
                state.phase = a.phase;
                switch (a.phase) {
                case DragGesturePhase::begin:
                    state.startDate = clock.now();
                    break;
                case DragGesturePhase::changed:
                    state.didEndTranslation.reset();
                    break;
                case DragGesturePhase::ended:
                    // A pull with no change showed no blob: the one at rest stays there.
                    if (withoutChange)
                        break;
                    state.didEndTranslation
                        = state.value ? std::optional(state.value->translation) : std::nullopt;
                    break;
                }
            },
            [&](const DragGestureAction::PointPerInterval& a) -> void {
                state.pointPerInterval = clampedPointPerInterval(a.pointPerInterval);
            },
            [&](const DragGestureAction::Value& a) -> void { state.value = a.value; },
        },
        asVariant(action));
}

bool endsWithoutChange(const DragGestureState& state, const DragGestureAction& action)
{
    const auto* phase = caseOf<DragGestureAction::Phase>(action);
    return phase && phase->phase == DragGesturePhase::ended
        && state.phase == DragGesturePhase::begin;
}

Size blobTranslation(const DragGestureState& state)
{
    if (state.didEndTranslation)
        return *state.didEndTranslation;
    if (state.value)
        return state.value->translation;
    return {};
}

bool shouldDispatchPhase(const DragGestureState& state, DragGesturePhase phase)
{
    return !state.phase || *state.phase != phase;
}

bool shouldDispatchValue(const DragGestureState& state, const AnyDragGestureValue& value)
{
    if (!state.value)
        return true;
    const double step = state.pointPerInterval;
    return std::abs(squaredLength(value.translation) - squaredLength(state.value->translation))
        > step * step;
}

std::optional<DragEntry> endedDragEntry(const DragGestureState& state)
{
    if (state.phase != DragGesturePhase::ended || !state.exceedsMinimumDistance() || !state.value
        || !state.startDate)
        return std::nullopt;
    return DragEntry { *state.startDate, dragTimeInterval(*state.value, state.pointPerInterval) };
}

} // namespace tidemark
