#include "toolkit/DevicePixels.hpp"

#include <QRect>

namespace tidemark {

std::optional<DevicePixels> devicePixels(const QTransform& deviceTransform, const QRectF& rect)
{
    const QTransform& t = deviceTransform;
    if (t.type() > QTransform::TxScale || !(t.m11() > 0) || t.m11() != t.m22())
        return std::nullopt;
    const QRectF mapped = t.mapRect(rect);
    const QRect device = mapped.toAlignedRect();
    return DevicePixels { device.size(), mapped.topLeft() - QPointF(device.topLeft()), t.m11(),
        t.inverted().mapRect(QRectF(device)) };
}

} // namespace tidemark
