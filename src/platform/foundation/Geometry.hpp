#pragma once

#include <algorithm>
#include <cmath>

// Plain geometry values for the whole program. Coordinates are in points (device-independent
// pixels) with the origin at the top left and y growing downwards, as Qt counts them; screen
// coordinates are those of the virtual desktop. No Qt here: the model and the pure rules use
// these types, and platform/ui/QtGeometry.hpp converts at the boundary.

namespace tidemark {

struct Point {
    double x = 0;
    double y = 0;

    bool operator==(const Point&) const = default;

    Point offsetBy(double dx, double dy) const { return { x + dx, y + dy }; }
};

struct Size {
    double width = 0;
    double height = 0;

    bool operator==(const Size&) const = default;
};

// A side of a rectangle. With y growing downwards, `minY` is the top and `maxY` the bottom.
enum class RectEdge {
    minX,
    minY,
    maxX,
    maxY,
};

struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(Point origin, Size size)
        : origin(origin)
        , size(size)
    {
    }
    Rect(double x, double y, double width, double height)
        : origin { x, y }
        , size { width, height }
    {
    }

    bool operator==(const Rect&) const = default;

    double x() const { return origin.x; }
    double y() const { return origin.y; }
    double width() const { return size.width; }
    double height() const { return size.height; }

    double minX() const { return std::min(origin.x, origin.x + size.width); }
    double maxX() const { return std::max(origin.x, origin.x + size.width); }
    double minY() const { return std::min(origin.y, origin.y + size.height); }
    double maxY() const { return std::max(origin.y, origin.y + size.height); }
    double midX() const { return origin.x + size.width * 0.5; }
    double midY() const { return origin.y + size.height * 0.5; }
    Point center() const { return { midX(), midY() }; }

    // True when the rectangle encloses no area.
    bool isEmpty() const { return size.width == 0 || size.height == 0; }

    // The same rectangle with a non-negative width and height.
    Rect standardized() const { return { minX(), minY(), maxX() - minX(), maxY() - minY() }; }

    Rect offsetBy(double dx, double dy) const { return { origin.offsetBy(dx, dy), size }; }

    // Shrinks (positive) or grows (negative) every side; a rectangle inset past its centre
    // collapses to an empty rectangle at its centre rather than turning inside out.
    Rect insetBy(double dx, double dy) const
    {
        const Rect r = standardized();
        const double width = r.size.width - 2 * dx;
        const double height = r.size.height - 2 * dy;
        return { width < 0 ? r.midX() : r.origin.x + dx, height < 0 ? r.midY() : r.origin.y + dy,
            std::max(width, 0.0), std::max(height, 0.0) };
    }

    // A point on the left or top edge is inside; one on the right or bottom edge is not, so
    // that rectangles side by side never both contain a point.
    bool contains(Point p) const
    {
        return p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
    }

    // True when `other` lies wholly inside, edges included.
    bool contains(const Rect& other) const
    {
        if (isEmpty() || other.isEmpty())
            return false;
        return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY()
            && other.maxY() <= maxY();
    }

    bool intersects(const Rect& other) const
    {
        return minX() < other.maxX() && other.minX() < maxX() && minY() < other.maxY()
            && other.minY() < maxY();
    }

    // The smallest rectangle that holds both.
    Rect united(const Rect& other) const
    {
        const double left = std::min(minX(), other.minX());
        const double top = std::min(minY(), other.minY());
        return { left, top, std::max(maxX(), other.maxX()) - left,
            std::max(maxY(), other.maxY()) - top };
    }

    // Mirrored inside a space of the given height: y becomes height - y - rectangle height.
    // Nothing is clamped. Used where frames cross between top-left and bottom-left origins.
    Rect flipped(double spaceHeight) const
    {
        return { origin.x, spaceHeight - origin.y - size.height, size.width, size.height };
    }

    // This rectangle's size placed against `anchor`'s given side with `spacing` between the
    // two, centred on the anchor along the other axis.
    Rect adjacent(const Rect& anchor, RectEdge edge, double spacing) const;

    // Shifted so that it lies inside `bounds` where it can; the size never changes. Each
    // side's correction is measured on the unshifted rectangle, so one that overhangs both
    // sides of an axis gets both corrections.
    Rect keptInside(const Rect& bounds) const;

    // This rectangle's size centred in `bounds`.
    Rect centered(const Rect& bounds) const;
};

// An angle, kept in radians. Turning by a positive angle is clockwise on screen (y grows
// downwards).
struct Angle {
    double radians = 0;

    static Angle degrees(double value) { return { value * 0.017453292519943295 }; }
    double degrees() const { return radians * 57.29577951308232; }
    bool operator==(const Angle&) const = default;
};

// Padding of a view inside its container, in points.
struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    bool operator==(const EdgeInsets&) const = default;
};

} // namespace tidemark
