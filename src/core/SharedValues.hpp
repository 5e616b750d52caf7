#pragma once

#include "platform/foundation/Geometry.hpp"

#include <concepts>
#include <cstdint>

namespace tidemark {

// Golden-ratio multiples used to proportion controls.
constexpr double goldenMinorFactor = 0.381966;
constexpr double goldenMajorFactor = 0.618034;
constexpr double goldenRatioFactor = 1.618034;

template <std::floating_point T> constexpr double goldenMinor(T value)
{
    return static_cast<double>(value) * goldenMinorFactor;
}
template <std::floating_point T> constexpr double goldenMajor(T value)
{
    return static_cast<double>(value) * goldenMajorFactor;
}
template <std::floating_point T> constexpr double goldenRatioMultiple(T value)
{
    return static_cast<double>(value) * goldenRatioFactor;
}
template <std::integral T> constexpr double goldenRatioMultipleInteger(T value)
{
    return static_cast<double>(value) * goldenRatioFactor;
}

// Moves a rectangle so that its centre is `center`; the size stays.
inline void setCenter(Rect& rect, Point center)
{
    const Point old = rect.center();
    rect.origin = rect.origin.offsetBy(center.x - old.x, center.y - old.y);
}

// A colour as components from 0 to 1, in linear sRGB.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    bool operator==(const Color&) const = default;
};

// The shade behind the time entry's blob, label and card.
constexpr Color translucentBlack { 0, 0, 0, 0.3 };

namespace MenuBar {
// The size of the menu-bar icon, shared by every view that draws or mirrors it.
constexpr Size iconSize { 16, 16 };
} // namespace MenuBar

} // namespace tidemark
