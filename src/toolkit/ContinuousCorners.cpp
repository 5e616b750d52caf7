#include "toolkit/ContinuousCorners.hpp"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <list>
#include <map>
#include <optional>
#include <tuple>
#include <utility>

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
        return corner.at + corner.back * (p.along * radiusUsed)
            + corner.on * (p.across * radiusUsed);
    };
    path.moveTo(point(corners[3], segments.back().to));
    for (const Corner& corner : corners) {
        path.lineTo(point(corner, start));
        for (const Segment& segment : segments) {
            if (segment.isLine)
                path.lineTo(point(corner, segment.to));
            else
                path.cubicTo(point(corner, segment.c1), point(corner, segment.c2),
                    point(corner, segment.to));
        }
    }
    path.closeSubpath();
    return path;
}

namespace {

double clampedRadius(const QRectF& rect, double radius)
{
    return std::clamp(
        radius, 0.0, std::min(rect.width(), rect.height()) / 2 / continuousCornerExtent);
}

QPainterPath strokeOutline(const QRectF& rect, double radius, double lineWidth)
{
    const double inset = lineWidth / 2;
    QPainterPathStroker stroker;
    stroker.setWidth(lineWidth);
    stroker.setCapStyle(Qt::FlatCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(10);
    return stroker.createStroke(continuousRoundedRect(
        rect.adjusted(inset, inset, -inset, -inset), std::max(0.0, radius - inset)));
}

// A square of 2 × `corner` + 1 device pixels with the shape drawn in it: its four quadrants
// are the four corners of any larger rectangle of the same radius.
struct CornerKey {
    int corner;
    double radius;
    double lineWidth; // 0: filled
    QRgb color;
    auto operator<=>(const CornerKey&) const = default;
};

const QImage& cornerImage(const CornerKey& key)
{
    static std::map<CornerKey, QImage> images;
    static std::list<CornerKey> order;
    constexpr std::size_t capacity = 128;
    if (auto found = images.find(key); found != images.end())
        return found->second;
    if (images.size() >= capacity) {
        images.erase(order.front());
        order.pop_front();
    }
    const int side = 2 * key.corner + 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF square(0, 0, side, side);
    const QColor color = QColor::fromRgba(key.color);
    if (key.lineWidth > 0)
        painter.fillPath(strokeOutline(square, key.radius, key.lineWidth), color);
    else
        painter.fillPath(continuousRoundedRect(square, key.radius), color);
    painter.end();
    order.push_back(key);
    return images.emplace(key, std::move(image)).first->second;
}

// The rectangle in device pixels when the painter only moves and scales it onto whole
// pixels; none otherwise.
std::optional<std::pair<QRect, double>> onDevicePixels(const QPainter& painter, const QRectF& rect)
{
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m11() != t.m22())
        return std::nullopt;
    const QRectF mapped = t.mapRect(rect);
    const auto whole = [](double v) { return std::abs(v - std::round(v)) < 1e-6; };
    if (!whole(mapped.left()) || !whole(mapped.top()) || !whole(mapped.right())
        || !whole(mapped.bottom()))
        return std::nullopt;
    return std::pair(QRect(int(std::lround(mapped.left())), int(std::lround(mapped.top())),
                         int(std::lround(mapped.width())), int(std::lround(mapped.height()))),
        t.m11());
}

// Draws the shape from its corners and straight parts; false when it cannot.
bool drawSliced(
    QPainter& painter, const QRectF& rect, double radius, double lineWidth, const QColor& color)
{
    const auto device = onDevicePixels(painter, rect);
    if (!device || color.alpha() == 0)
        return false;
    const auto [r, scale] = *device;
    const double deviceRadius = clampedRadius(rect, radius) * scale;
    const double deviceLine = lineWidth * scale;
    if (deviceLine > 0 && std::abs(deviceLine - std::round(deviceLine)) > 1e-6)
        return false;
    const int corner = int(std::ceil(deviceRadius * continuousCornerExtent + deviceLine)) + 1;
    if (2 * corner + 1 > r.width() || 2 * corner + 1 > r.height())
        return false;
    const QImage& image = cornerImage({ corner, deviceRadius, deviceLine, color.rgba() });
    const int line = int(std::lround(deviceLine));

    // Everything is placed in device pixels and drawn through the painter's own transform,
    // which maps it back onto exactly those pixels.
    const QTransform toLogical = painter.deviceTransform().inverted();
    auto logical = [&](const QRect& deviceRect) { return toLogical.mapRect(QRectF(deviceRect)); };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int right = r.x() + r.width() - corner;
    const int bottom = r.y() + r.height() - corner;
    const int far = image.width() - corner;
    const std::array<std::pair<QPoint, QPoint>, 4> corners { {
        { { r.x(), r.y() }, { 0, 0 } },
        { { right, r.y() }, { far, 0 } },
        { { r.x(), bottom }, { 0, far } },
        { { right, bottom }, { far, far } },
    } };
    for (const auto& [at, from] : corners) {
        painter.drawImage(logical(QRect(at, QSize(corner, corner))), image,
            QRectF(QRect(from, QSize(corner, corner))));
    }
    const int innerWidth = r.width() - 2 * corner;
    const int innerHeight = r.height() - 2 * corner;
    std::array<QRect, 4> straight;
    if (line > 0) {
        straight = { QRect(r.x() + corner, r.y(), innerWidth, line),
            QRect(r.x() + corner, r.y() + r.height() - line, innerWidth, line),
            QRect(r.x(), r.y() + corner, line, innerHeight),
            QRect(r.x() + r.width() - line, r.y() + corner, line, innerHeight) };
    } else {
        straight = { QRect(r.x() + corner, r.y(), innerWidth, corner),
            QRect(r.x(), r.y() + corner, r.width(), innerHeight),
            QRect(r.x() + corner, bottom, innerWidth, corner), QRect() };
    }
    for (const QRect& part : straight) {
        if (!part.isEmpty())
            painter.fillRect(logical(part), color);
    }
    painter.restore();
    return true;
}

} // namespace

void fillContinuousRoundedRect(
    QPainter& painter, const QRectF& rect, double radius, const QColor& color)
{
    if (rect.isEmpty() || drawSliced(painter, rect, radius, 0, color))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(continuousRoundedRect(rect, radius), color);
    painter.restore();
}

void strokeContinuousRoundedRect(
    QPainter& painter, const QRectF& rect, double radius, double lineWidth, const QColor& color)
{
    if (rect.isEmpty() || lineWidth <= 0 || drawSliced(painter, rect, radius, lineWidth, color))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(strokeOutline(rect, radius, lineWidth), color);
    painter.restore();
}

} // namespace tidemark
