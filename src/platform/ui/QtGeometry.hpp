#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>

#include <cmath>

// Conversions between the plain geometry values and Qt's. Integer Qt rectangles are reached
// by rounding each edge, so adjacent rectangles stay adjacent.

namespace tidemark {

inline Point fromQt(const QPointF& p)
{
    return { p.x(), p.y() };
}
inline Point fromQt(const QPoint& p)
{
    return { double(p.x()), double(p.y()) };
}
inline Size fromQt(const QSizeF& s)
{
    return { s.width(), s.height() };
}
inline Size fromQt(const QSize& s)
{
    return { double(s.width()), double(s.height()) };
}
inline Rect fromQt(const QRectF& r)
{
    return { r.x(), r.y(), r.width(), r.height() };
}
inline Rect fromQt(const QRect& r)
{
    return { double(r.x()), double(r.y()), double(r.width()), double(r.height()) };
}

inline QPointF toQPointF(Point p)
{
    return { p.x, p.y };
}
inline QPoint toQPoint(Point p)
{
    return { int(std::lround(p.x)), int(std::lround(p.y)) };
}
inline QSizeF toQSizeF(Size s)
{
    return { s.width, s.height };
}
inline QSize toQSize(Size s)
{
    return { int(std::lround(s.width)), int(std::lround(s.height)) };
}
inline QRectF toQRectF(const Rect& r)
{
    return { r.x(), r.y(), r.width(), r.height() };
}
inline QRect toQRect(const Rect& r)
{
    const int left = int(std::lround(r.minX()));
    const int top = int(std::lround(r.minY()));
    return { left, top, int(std::lround(r.maxX())) - left, int(std::lround(r.maxY())) - top };
}

} // namespace tidemark
