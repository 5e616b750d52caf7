#pragma once

#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

namespace tidemark {

// The bounds of the drag-sensitivity setting, which scales a pull into time.
struct DragSensitivity {
    static constexpr double minimum = 1.0;
    static constexpr double maximum = 20.0;
};

// The scale a drag starts with: points of pull per unit of time.
inline constexpr double defaultPointPerInterval = 4.0;

// A scale safe to divide by: clamped into the sensitivity bounds; a NaN gives the default.
// Settings files and older builds can hand us anything, and a scale of 0 would turn every
// pull into an infinite or NaN interval.
double clampedPointPerInterval(double pointPerInterval);

// The slider shows the scale mirrored: a higher sensitivity is fewer points per interval.
// Both are maximum - other + minimum, so each undoes the other.
double dragSensitivity(double pointPerInterval);
double pointPerInterval(double dragSensitivity);

// The rule that turns a pull into seconds: the squared length of the pull over the squared
// scale, rounded half away from zero; above a minute it snaps down to whole minutes.
struct AdditiveTimeInterval {
    // The predicted end translation is accepted and ignored: only where the pointer is
    // counts, not where it was heading. The scale is clamped (clampedPointPerInterval) and
    // a non-finite pull gives 0, so the result is always a finite number.
    TimeInterval additiveTimeInterval(
        Size translation, Size predictedEndTranslation, double pointPerInterval) const;
};

// The seconds that a drag value stands for at the given scale; never negative.
template <class V> TimeInterval dragTimeInterval(const V& value, double pointPerInterval)
{
    const Size translation = value.translation;
    const Size predictedEndTranslation = value.predictedEndTranslation;
    const TimeInterval t = AdditiveTimeInterval {}.additiveTimeInterval(
        translation, predictedEndTranslation, pointPerInterval);
    return t <= 0 ? 0 : t;
}

} // namespace tidemark
