#include "entry/DragTimeInterval.hpp"
#include "entry/DragGesture.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tidemark;

namespace {

AnyDragGestureValue pull(double width, double height, Size predicted = {})
{
    AnyDragGestureValue value;
    value.translation = { width, height };
    value.predictedEndTranslation = predicted;
    return value;
}

struct PullCase {
    Size translation;
    double pointPerInterval;
    TimeInterval seconds;
};

} // namespace

TEST(PullToInterval, GivesTheSecondsOfEveryWorkedPull)
{
    const PullCase cases[] = {
        { { 0, 0 }, 4, 0 },
        { { 0, 1 }, 4, 0 }, // q = 0.0625
        { { 2, 2 }, 4, 1 }, // q = 0.5: halves go away from zero, not to the even 0
        { { 0, 6 }, 4, 2 }, // q = 2.25
        { { 0, 22 }, 4, 30 }, // q = 30.25
        { { 0, 30 }, 4, 56 }, // q = 56.25
        { { 0, 31 }, 4, 60 }, // q = 60.0625 rounds to 60, which stays
        { { 0, 32 }, 4, 60 }, // q = 64 snaps down to the minute
        { { 0, 40 }, 4, 60 },
        { { 0, -40 }, 4, 60 }, // direction does not matter
        { { -40, 0 }, 4, 60 },
        { { 30, 40 }, 4, 120 }, // q = 156.25
        { { 0, 100 }, 4, 600 },
        { { 0, 240 }, 4, 3600 },
        { { 0, 537 }, 4, 18000 }, // q = 18023.0625
        { { 0, 40 }, 1, 1560 }, // 1600 snaps down to 26 minutes
        { { 0, 40 }, 20, 4 },
        { { 0, 400 }, 20, 360 },
        { { 0, 10 }, 2, 25 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            dragTimeInterval(pull(c.translation.width, c.translation.height), c.pointPerInterval),
            c.seconds)
            << "pull (" << c.translation.width << ", " << c.translation.height << ") at scale "
            << c.pointPerInterval;
    }
}

TEST(PullToInterval, IgnoresThePredictedEnd)
{
    for (Size predicted : { Size { 0, 0 }, Size { 1000, 1000 }, Size { -500, 3 } }) {
        EXPECT_EQ(dragTimeInterval(pull(30, 40, predicted), 4), 120);
        EXPECT_EQ(AdditiveTimeInterval {}.additiveTimeInterval({ 0, 22 }, predicted, 4), 30);
    }
}

TEST(PullToInterval, ScalesOutsideTheSensitivityBoundsAreClampedNotDividedBy)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double scale;
        TimeInterval seconds; // for a pull of (0, 40)
    } cases[] = {
        { 0, 1560 }, // as at 1.0, not infinity
        { -4, 1560 }, // as at 1.0, not as at 4.0 by squaring away the sign
        { 0.5, 1560 }, { 25, 4 }, // as at 20.0
        { inf, 4 }, { nan, 60 }, // the default scale
    };
    for (const auto& c : cases)
        EXPECT_EQ(dragTimeInterval(pull(0, 40), c.scale), c.seconds) << "scale " << c.scale;
}

TEST(PullToInterval, NonFinitePullsGiveZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (Size s : { Size { nan, 0 }, Size { 0, inf }, Size { -inf, 5 } }) {
        const TimeInterval t = dragTimeInterval(pull(s.width, s.height), 4);
        EXPECT_EQ(t, 0) << s.width << ", " << s.height;
    }
}

TEST(DragSensitivity, MirrorsThePointsPerInterval)
{
    EXPECT_EQ(DragSensitivity::minimum, 1.0);
    EXPECT_EQ(DragSensitivity::maximum, 20.0);
    EXPECT_EQ(dragSensitivity(4.0), 17.0);
    EXPECT_EQ(pointPerInterval(17.0), 4.0);
    EXPECT_EQ(dragSensitivity(DragSensitivity::minimum), DragSensitivity::maximum);
    for (double x : { 1.0, 2.5, 4.0, 19.75, 20.0 })
        EXPECT_EQ(pointPerInterval(dragSensitivity(x)), x);
}
