#include "platform/foundation/Transition.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

Transition Transition::move(RectEdge edge)
{
    Transition transition;
    switch (edge) {
    case RectEdge::minX:
        transition.moveUnit = { -1, 0 };
        break;
    case RectEdge::maxX:
        transition.moveUnit = { 1, 0 };
        break;
    case RectEdge::minY:
        transition.moveUnit = { 0, -1 };
        break;
    case RectEdge::maxY:
        transition.moveUnit = { 0, 1 };
        break;
    }
    return transition;
}

Transition Transition::combined(const Transition& other) const
{
    return { opacity * other.opacity,
        { moveUnit.x + other.moveUnit.x, moveUnit.y + other.moveUnit.y }, scale * other.scale,
        other.scale != 1 ? other.anchor : anchor };
}

TransitionAppearance Transition::appearance(double presence, Size size) const
{
    if (!std::isfinite(presence))
        presence = 1;
    const double away = 1 - presence;
    TransitionAppearance look;
    look.opacity = std::clamp(opacity + (1 - opacity) * presence, 0.0, 1.0);
    look.offset = { moveUnit.x * size.width * away, moveUnit.y * size.height * away };
    look.scale = std::max(0.0, scale + (1 - scale) * presence);
    look.anchor = anchor;
    return look;
}

} // namespace tidemark
