#include "toolkit/ContinuousCorners.hpp"

#include <algorithm>
#include <array>

namespace tidemark {

namespace {

struct CornerPoint {
    double along; // distance from the corner along the incoming edge, in radii
    double across; // distance from the corner along the outgoing edge, in radii
};

// One corner, from the incoming edge to the outgoing one: a cubic into the curve, a short
// line, the symmetric middle cubic, a short line and a cubic out. Symmetric under swapping the
// two coordinates.
constexpr CornerPoint start { 1.52866483, 0 };
struct Segment {
    bool isLine;
    CornerPoint c1;
    CornerPoint c2;
    CornerPoint to;
};
constexpr std::array<Segment, 5> segments { {
    { false, { 1.08849323, 0 }, { 0.86840689, 0 }, { 0.66993427, 0.06549600 } },
    { true, {}, {}, { 0.63149399, 0.07491100 } },
    { false, { 0.37282392, 0.16905899 }, { 0.16905899, 0.37282392 }, { 0.07491100, 0.63149399 } },
    { true, {}, {}, { 0.06549600, 0.66993427 } },
    { false, { 0, 0.86840689 }, { 0, 1.08849323 }, { 0, 1.52866483 } },
} };

} // namespace

QPainterPath continuousRoundedRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    const QRectF r = rect.normalized();
    const double limit = std::min(r.width(), r.height()) / 2 / continuousCornerExtent;
    const double radiusUsed = std::clamp(radius, 0.0, limit);
    if (radiusUsed <= 0 || r.isEmpty()) {
        path.addRect(r);
        return path;
    }
    // Each corner: its point and the directions back along the incoming edge and on along
    // the outgoing edge, clockwise from the top right.
    struct Corner {
        QPointF at;
        QPointF back;
        QPointF on;
    };
    const std::array<Corner, 4> corners { {
        { r.topRight(), { -1, 0 }, { 0, 1 } },
        { r.bottomRight(), { 0, -1 }, { -1, 0 } },
        { r.bottomLeft(), { 1, 0 }, { 0, -1 } },
        { r.topLeft(), { 0, 1 }, { 1, 0 } },
    } };
    auto point = [radiusUsed](const Corner& corner, CornerPoint p) {
        return corner.at + corner.back * (p.along * radiusUsed) + corner.on * (p.across * radiusUsed);
    };
    path.moveTo(point(corners[3], segments.back().to));
    for (const Corner& corner : corners) {
        path.lineTo(point(corner, start));
        for (const Segment& segment : segments) {
            if (segment.isLine)
                path.lineTo(point(corner, segment.to));
            else
                path.cubicTo(
                    point(corner, segment.c1), point(corner, segment.c2), point(corner, segment.to));
        }
    }
    path.closeSubpath();
    return path;
}

} // namespace tidemark
