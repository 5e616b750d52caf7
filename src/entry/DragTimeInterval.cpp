#include "entry/DragTimeInterval.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

double clampedPointPerInterval(double pointPerInterval)
{
    if (std::isnan(pointPerInterval))
        return defaultPointPerInterval;
    return std::clamp(pointPerInterval, DragSensitivity::minimum, DragSensitivity::maximum);
}

double dragSensitivity(double pointPerInterval)
{
    return DragSensitivity::maximum - pointPerInterval + DragSensitivity::minimum;
}

double pointPerInterval(double dragSensitivity)
{
    return DragSensitivity::maximum - dragSensitivity + DragSensitivity::minimum;
}

TimeInterval AdditiveTimeInterval::additiveTimeInterval(
    Size translation, Size, double pointPerInterval) const
{
    const double s = clampedPointPerInterval(pointPerInterval);
    const double q
        = (translation.width * translation.width + translation.height * translation.height)
        / (s * s);
    if (!std::isfinite(q))
        return 0;
    double t = std::round(q); // halves away from zero
    if (t > 60)
        t -= std::fmod(t, 60.0);
    return t;
}

} // namespace tidemark
