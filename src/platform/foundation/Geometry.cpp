#include "platform/foundation/Geometry.hpp"

namespace tidemark {

Rect Rect::adjacent(const Rect& anchor, RectEdge edge, double spacing) const
{
    const bool alongX = edge == RectEdge::minX || edge == RectEdge::maxX;
    const double distance = alongX ? (anchor.size.width + size.width) * 0.5 + spacing
                                   : (anchor.size.height + size.height) * 0.5 + spacing;
    Point centre = anchor.center();
    switch (edge) {
    case RectEdge::minX:
        centre.x -= distance;
        break;
    case RectEdge::maxX:
        centre.x += distance;
        break;
    case RectEdge::minY:
        centre.y -= distance;
        break;
    case RectEdge::maxY:
        centre.y += distance;
        break;
    }
    return { centre.x - size.width * 0.5, centre.y - size.height * 0.5, size.width, size.height };
}

Rect Rect::keptInside(const Rect& bounds) const
{
    if (bounds.contains(*this))
        return *this;
    double x = origin.x;
    if (minX() < bounds.minX())
        x += bounds.minX() - minX();
    if (bounds.maxX() < maxX())
        x += bounds.maxX() - maxX();
    double y = origin.y;
    if (minY() < bounds.minY())
        y += bounds.minY() - minY();
    if (bounds.maxY() < maxY())
        y += bounds.maxY() - maxY();
    return { x, y, size.width, size.height };
}

Rect Rect::centered(const Rect& bounds) const
{
    return { bounds.midX() - size.width * 0.5, bounds.midY() - size.height * 0.5, size.width,
        size.height };
}

} // namespace tidemark
