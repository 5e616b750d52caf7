#include "entry/ScrollGesture.hpp"

#include "core/Overloaded.hpp"

#include <cmath>

namespace tidemark {

void scrollGestureReducer(ScrollGestureState& state, const ScrollGestureAction& action)
{
    std::visit(
        overloaded {
            [&](const ScrollGestureAction::DeltaTranslation& a) -> void {
                state.deltaTranslation = a.delta;
                if (a.delta)
                    ++state.deltaCount;
            },
            [&](const ScrollGestureAction::LocalFrame& a) -> void { state.localFrame = a.frame; },
        },
        asVariant(action));
}

TimeInterval scrolledTimeInterval(
    std::optional<TimeInterval> current, Size delta, double heightPerUnit)
{
    const TimeInterval d = current.value_or(0);
    if (!std::isfinite(delta.height) || !std::isfinite(heightPerUnit) || !(heightPerUnit > 0))
        return d;
    const TimeInterval step = d < 60 ? 1 : 60;
    const TimeInterval next = d + step * (delta.height / heightPerUnit);
    return next > 0 ? next : 0;
}

} // namespace tidemark
