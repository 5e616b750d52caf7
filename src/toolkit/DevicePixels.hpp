#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <optional>

namespace tidemark {

// Where an image of `rect` goes so that it lands pixel for pixel under a painter that only
// moves and scales (by the same factor on both axes): `pixels` whole device pixels that cover
// the rectangle, which starts `origin` device pixels into them, at `scale` device pixels a
// point; `target` the points the image covers. None for a painter that turns or shears.
struct DevicePixels {
    QSize pixels;
    QPointF origin;
    double scale = 1;
    QRectF target;

    bool operator==(const DevicePixels&) const = default;
};

std::optional<DevicePixels> devicePixels(const QTransform& deviceTransform, const QRectF& rect);

} // namespace tidemark
