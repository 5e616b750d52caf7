#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

namespace tidemark {

// How far along each edge a continuous corner of radius 1 reaches.
inline constexpr double continuousCornerExtent = 1.52866483;

// A rounded rectangle whose corners ease into the straight edges (continuous curvature, a
// squircle-like corner) rather than joining them with a quarter circle: the shape of every
// rounded plate, border and card of the toolkit. Each corner reaches `continuousCornerExtent`
// × radius along its two edges; a radius too large for the rectangle is reduced so that the
// corners meet. A radius of 0 (or an empty rectangle) gives the plain rectangle.
QPainterPath continuousRoundedRect(const QRectF& rect, double radius);

// Fills that shape in `color`; strokes its outline inset by half of `lineWidth`, with the
// radius reduced by as much, so the whole line lies inside `rect`. Where the painter only
// scales and moves and `rect` lies on whole device pixels (a card or a window's content),
// the four corners come from a rendering kept per size and colour and the straight parts are
// plain rectangles, which costs a fraction of rasterising the curve each time; otherwise the
// path is drawn.
void fillContinuousRoundedRect(
    QPainter& painter, const QRectF& rect, double radius, const QColor& color);
void strokeContinuousRoundedRect(
    QPainter& painter, const QRectF& rect, double radius, double lineWidth, const QColor& color);

} // namespace tidemark
