#pragma once

#include "platform/foundation/Geometry.hpp"

namespace tidemark {

// How a view looks at one moment of its transition: drawn with this opacity, shifted by this
// offset and scaled by this factor about this anchor (a unit point of its own bounds,
// (0.5, 0.5) its centre).
struct TransitionAppearance {
    double opacity = 1;
    Size offset;
    double scale = 1;
    Point anchor { 0.5, 0.5 };

    bool operator==(const TransitionAppearance&) const = default;

    bool isIdentity() const { return opacity == 1 && offset == Size {} && scale == 1; }
};

// How a view comes and goes: what it looks like when removed, from which it moves to its
// resting look as it is inserted, and back as it is removed. Pieces combine: opacity and scale
// multiply, moves add up.
struct Transition {
    // Opacity when removed.
    double opacity = 1;
    // Offset when removed, in multiples of the view's own width and height: (-1, 0) lies one
    // width to the left.
    Point moveUnit;
    // Scale when removed, about `anchor`.
    double scale = 1;
    Point anchor { 0.5, 0.5 };

    bool operator==(const Transition&) const = default;

    // No change at all: the view simply appears and disappears.
    static Transition identity() { return {}; }
    // Fades in and out.
    static Transition fade() { return { 0, {}, 1, { 0.5, 0.5 } }; }
    // Slides in from the given edge of the view and out towards it, by the view's own size.
    static Transition move(RectEdge edge);
    // Grows from `scale` about `anchor`, and shrinks back to it.
    static Transition scaled(double scale = 0, Point anchor = { 0.5, 0.5 })
    {
        return { 1, {}, scale, anchor };
    }

    // Both transitions at once. The anchor is the other's when it scales, else this one's.
    Transition combined(const Transition& other) const;

    // The look at `presence`, 0 removed and 1 in place, for a view of `size`. A spring may carry
    // presence past either end: the offset and scale follow it, opacity stays within 0…1 and
    // scale never turns negative.
    TransitionAppearance appearance(double presence, Size size) const;
};

} // namespace tidemark
