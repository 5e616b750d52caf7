#include "entry/BlobShape.hpp"

#include "core/SharedValues.hpp"

#include <cmath>
#include <numbers>

namespace tidemark {

namespace {

bool finite(double value)
{
    return std::isfinite(value);
}

bool finite(Point p)
{
    return finite(p.x) && finite(p.y);
}

// A fillet's radius: (r² + (d + k + r)² − k²) / (2 (k − r)), 0 when k − r is 0.
double filletRadius(double r, double d, double k)
{
    const double denominator = 2 * (k - r);
    if (denominator == 0)
        return 0;
    return (r * r + (d + k + r) * (d + k + r) - k * k) / denominator;
}

// A fillet's angle: asin((d + k + r) / (k + R)), 0 when k + R is 0; none beyond ±1 (a value
// a hair beyond, from rounding, counts as ±1).
std::optional<double> filletAngle(double r, double d, double k, double radius)
{
    const double denominator = k + radius;
    if (denominator == 0)
        return 0.0;
    double sine = (d + k + r) / denominator;
    constexpr double tolerance = 1e-9;
    if (!finite(sine) || std::abs(sine) > 1 + tolerance)
        return std::nullopt;
    sine = std::clamp(sine, -1.0, 1.0);
    return std::asin(sine);
}

bool within(const Rect& inner, const Rect& outer)
{
    return inner.minX() >= outer.minX() && inner.maxX() <= outer.maxX()
        && inner.minY() >= outer.minY() && inner.maxY() <= outer.maxY();
}

Point pointOn(Point center, double radius, double angle)
{
    return { center.x + radius * std::cos(angle), center.y + radius * std::sin(angle) };
}

} // namespace

BlobLineViewModel::BlobLineViewModel(const Rect& startFrame, Size translation, double endRadius)
    : startFrame(startFrame)
    , translation(translation)
    , endRadius(endRadius)
{
    const double length = std::hypot(translation.width, translation.height);
    const double side = 2 * endRadius;
    endFrame
        = Rect(startFrame.midX() - endRadius, startFrame.midY() + length - endRadius, side, side);
    minLineWidth = endFrame.width() / 4;
}

std::optional<BlobBridge> blobBridge(const BlobLineViewModel& model)
{
    const Rect& a = model.startFrame;
    const Rect& b = model.endFrame;
    BlobBridge bridge;
    bridge.gap = b.minY() - a.maxY();

    // How much narrower than the lower end the bridge is.
    if (bridge.gap >= 0) {
        bridge.widthReduction = b.height() / 2 + bridge.gap / 2;
    } else {
        // The ends overlap: the half chord where the two circles cross.
        const double dy = b.midY() - a.midY();
        if (dy == 0)
            return std::nullopt;
        const double hs = a.height() / 2;
        const double he = b.height() / 2;
        const double t = (hs * hs + dy * dy - he * he) / (2 * dy);
        const double underRoot = hs * hs - t * t;
        if (!(underRoot >= 0))
            return std::nullopt;
        bridge.widthReduction = hs - std::sqrt(underRoot);
    }

    bridge.width
        = std::max(std::min(b.width() - bridge.widthReduction, b.width()), model.minLineWidth);
    const double r = bridge.width / 2;

    if (bridge.gap > 0)
        bridge.offset = std::min(bridge.gap - bridge.width / 2, 0.0);
    else
        bridge.offset = bridge.widthReduction / 2 - b.height() + (b.midY() - a.midY()) / 2;
    const double d = bridge.offset;

    const double ra = a.width() / 2;
    bridge.upperWaist = { a.midX(), a.midY() + a.height() / 2 + d + r };
    bridge.upperRadius = filletRadius(r, d, ra);
    const auto upperAngle = filletAngle(r, d, ra, bridge.upperRadius);
    if (!upperAngle || bridge.upperRadius < 0)
        return std::nullopt;
    bridge.upperAngle = *upperAngle;
    bridge.upperRightCenter = { bridge.upperWaist.x + r + bridge.upperRadius, bridge.upperWaist.y };
    bridge.upperLeftCenter = { bridge.upperWaist.x - r - bridge.upperRadius, bridge.upperWaist.y };

    const double rb = b.width() / 2;
    bridge.lowerWaist = { b.midX(), b.midY() - (b.height() / 2 + d + r) };
    bridge.lowerRadius = filletRadius(r, d, rb);
    const auto lowerAngle = filletAngle(r, d, rb, bridge.lowerRadius);
    if (!lowerAngle || bridge.lowerRadius < 0)
        return std::nullopt;
    bridge.lowerAngle = *lowerAngle;
    bridge.lowerLeftCenter = { bridge.lowerWaist.x - r - bridge.lowerRadius, bridge.lowerWaist.y };
    bridge.lowerRightCenter = { bridge.lowerWaist.x + r + bridge.lowerRadius, bridge.lowerWaist.y };

    const double numbers[] = { bridge.gap, bridge.widthReduction, bridge.width, bridge.offset,
        bridge.upperRadius, bridge.upperAngle, bridge.lowerRadius, bridge.lowerAngle };
    for (double number : numbers) {
        if (!finite(number))
            return std::nullopt;
    }
    for (Point p : { bridge.upperWaist, bridge.upperRightCenter, bridge.upperLeftCenter,
             bridge.lowerWaist, bridge.lowerLeftCenter, bridge.lowerRightCenter }) {
        if (!finite(p))
            return std::nullopt;
    }
    return bridge;
}

Point BlobArc::startPoint() const
{
    return pointOn(center, radius, startAngle);
}

Point BlobArc::endPoint() const
{
    return pointOn(center, radius, startAngle + sweep);
}

std::vector<BlobArc> blobOutline(const BlobLineViewModel& model)
{
    if (within(model.endFrame, model.startFrame))
        return {};
    const std::optional<BlobBridge> bridge = blobBridge(model);
    if (!bridge)
        return {};
    constexpr double pi = std::numbers::pi;
    const double r1 = bridge->upperRadius;
    const double t1 = bridge->upperAngle;
    const double r2 = bridge->lowerRadius;
    const double t2 = bridge->lowerAngle;
    return {
        { bridge->upperRightCenter, r1, -pi, t1 },
        { bridge->upperLeftCenter, r1, -t1, t1 },
        { bridge->lowerLeftCenter, r2, 0, t2 },
        { bridge->lowerRightCenter, r2, -pi - t2, t2 },
    };
}

std::optional<Rect> outlineBounds(const std::vector<BlobArc>& arcs)
{
    std::optional<Rect> bounds;
    constexpr int samples = 8;
    for (const BlobArc& arc : arcs) {
        for (int i = 0; i <= samples; ++i) {
            const Point p
                = pointOn(arc.center, arc.radius, arc.startAngle + arc.sweep * i / samples);
            const Rect dot(p, {});
            bounds = bounds ? bounds->united(dot) : dot;
        }
    }
    return bounds;
}

double blobRotation(Size translation)
{
    if (translation.width == 0 && translation.height == 0)
        return 0;
    const double angle = std::atan2(-translation.width, translation.height);
    return finite(angle) ? angle : 0;
}

Point rotated(Point point, Point pivot, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double x = point.x - pivot.x;
    const double y = point.y - pivot.y;
    return { pivot.x + x * c - y * s, pivot.y + x * s + y * c };
}

double BlobViewModel::length() const
{
    const double l = std::hypot(translation.width, translation.height);
    return finite(l) ? l : 0;
}

Rect BlobViewModel::upperEnd() const
{
    const double w = std::abs(startFrame.width());
    const double h = std::abs(startFrame.height());
    double dw = w / 4;
    double dh = h / 4;
    if (!isSmall) {
        const double s = length() / 4;
        dw = std::min(s, dw);
        dh = std::min(s, dh);
    }
    Rect shrunk({}, { w - dw, h - dh });
    setCenter(shrunk, startFrame.center());
    return shrunk;
}

Rect BlobViewModel::lowerEnd() const
{
    const double l = length();
    Rect end({}, { std::min(l, MenuBar::iconSize.width), std::min(l, MenuBar::iconSize.height) });
    const Point c = upperEnd().center();
    if (l == 0) {
        setCenter(end, c);
        return end;
    }
    setCenter(end, { c.x + translation.width, c.y + translation.height });
    return end;
}

BlobLineViewModel BlobViewModel::line() const
{
    return BlobLineViewModel(upperEnd(), length() == 0 ? Size {} : translation,
        std::min(length(), MenuBar::iconSize.height) / 2);
}

std::vector<BlobArc> BlobViewModel::bridgeOutline() const
{
    std::vector<BlobArc> arcs = blobOutline(line());
    const double angle = blobRotation(translation);
    if (angle == 0)
        return arcs;
    const Point pivot = upperEnd().center();
    for (BlobArc& arc : arcs) {
        arc.center = rotated(arc.center, pivot, angle);
        arc.startAngle += angle;
    }
    return arcs;
}

Point BlobViewModel::bottomBlobLeadingPosition() const
{
    const Rect end = lowerEnd();
    return { end.minX(), end.midY() };
}

double BlobViewModel::gradientEnd() const
{
    const double t = length() == 0 ? 0 : translation.height;
    return upperEnd().midY() + t - std::abs(startFrame.height()) / 2;
}

Rect BlobViewModel::bounds(double margin) const
{
    Rect all = startFrame.standardized().united(upperEnd()).united(lowerEnd());
    if (const std::optional<Rect> bridge = outlineBounds(bridgeOutline()))
        all = all.united(*bridge);
    return all.insetBy(-margin, -margin);
}

} // namespace tidemark
