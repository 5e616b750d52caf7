#pragma once

#include <QPainterPath>
#include <QRectF>

namespace tidemark {

// How far along each edge a continuous corner of radius 1 reaches.
inline constexpr double continuousCornerExtent = 1.52866483;

// A rounded rectangle whose corners ease into the straight edges (continuous curvature, a
// squircle-like corner) rather than joining them with a quarter circle: the shape of every
// rounded plate, border and card of the toolkit. Each corner reaches `continuousCornerExtent`
// × radius along its two edges; a radius too large for the rectangle is reduced so that the
// corners meet. A radius of 0 (or an empty rectangle) gives the plain rectangle.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

} // namespace tidemark
