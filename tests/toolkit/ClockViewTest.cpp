#include "toolkit/ClockView.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/ui/FrameClock.hpp"

#include "ToolkitTesting.hpp"

#include <QColor>
#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>

namespace tidemark {
namespace {

using test::colorNear;
using test::pixelAt;

constexpr double pi = std::numbers::pi;
const QColor faceColor(40, 60, 90);
const QColor handColor(240, 200, 80);

// A clock in a palette of its own, so that face, hands and anchor tell apart.
std::unique_ptr<ClockView> makeClock(QSize size, double anchor, const ClockHand& hour,
    const ClockHand& minute, FrameClock* clock = nullptr)
{
    auto view = std::make_unique<ClockView>(anchor, hour, minute, nullptr, clock);
    QPalette palette = view->palette();
    palette.setColor(QPalette::WindowText, faceColor);
    palette.setColor(QPalette::Window, handColor);
    view->setPalette(palette);
    view->resize(size);
    return view;
}

// The point `radius` from the centre of a `side`-point square in the direction a hand of
// `angle` points.
QPointF along(double side, double angle, double radius)
{
    return { side / 2 + radius * std::sin(angle), side / 2 - radius * std::cos(angle) };
}

TEST(ClockView, AHandPointsUpAtZeroAndTurnsClockwise)
{
    struct Case {
        std::string name;
        double angle;
    };
    const Case cases[] = {
        { "0: twelve o'clock", 0 },
        { "pi/2: three o'clock", pi / 2 },
        { "pi: six o'clock", pi },
        { "-pi/2: nine o'clock", -pi / 2 },
    };
    const double directions[] = { 0, pi / 2, pi, -pi / 2 };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = makeClock({ 100, 100 }, 0, { {}, 0, 0 }, { Angle { c.angle }, 40, 4 });
        const QImage image = test::render(view.get(), 2);
        for (double direction : directions) {
            const QPointF at = along(100, direction, 30);
            const QColor expected = direction == c.angle ? handColor : faceColor;
            EXPECT_TRUE(colorNear(pixelAt(image, at.x(), at.y()), expected, 8))
                << "towards " << direction;
        }
        // The hand starts at the centre and ends at its length.
        EXPECT_TRUE(colorNear(
            pixelAt(image, along(100, c.angle, 3).x(), along(100, c.angle, 3).y()), handColor, 8));
        EXPECT_TRUE(
            colorNear(pixelAt(image, along(100, c.angle, 43).x(), along(100, c.angle, 43).y()),
                faceColor, 8));
    }
}

TEST(ClockView, TheAnchorIsWhiteAndHandsAndAnchorCastAShadowDownwards)
{
    auto view
        = makeClock({ 100, 100 }, 16, { Angle { pi / 2 }, 30, 4 }, { Angle { -pi / 2 }, 40, 4 });
    const QImage image = test::render(view.get(), 2);
    EXPECT_TRUE(colorNear(pixelAt(image, 50, 50), Qt::white, 2));
    EXPECT_TRUE(colorNear(pixelAt(image, 50, 56), Qt::white, 2));
    // Just below the anchor its shadow darkens the face; just above it there is none.
    const QColor below = pixelAt(image, 50, 58.5);
    const QColor above = pixelAt(image, 50, 41.5);
    EXPECT_TRUE(colorNear(above, faceColor, 2));
    EXPECT_LT(below.lightness(), faceColor.lightness() - 4);
    // The hour hand at three o'clock: its shadow lies under its lower edge, not its upper.
    EXPECT_LT(pixelAt(image, 70, 52.5).lightness(), faceColor.lightness() - 4);
    EXPECT_TRUE(colorNear(pixelAt(image, 70, 47.5), faceColor, 2));
}

TEST(ClockView, TheFaceIsACircleOfTheSmallerSideCentred)
{
    auto view = makeClock({ 40, 20 }, 0, { {}, 0, 0 }, { {}, 0, 0 });
    for (double ratio : { 1.0, 2.0 }) {
        SCOPED_TRACE(ratio);
        const QImage image = test::render(view.get(), ratio);
        const QColor clear(0, 0, 0, 0);
        // Across the middle: from x 10 to 30; down the middle: the whole height.
        EXPECT_TRUE(colorNear(pixelAt(image, 20, 10), faceColor, 2));
        EXPECT_TRUE(colorNear(pixelAt(image, 10.6, 10), faceColor, 40));
        EXPECT_TRUE(colorNear(pixelAt(image, 29.4, 10), faceColor, 40));
        EXPECT_TRUE(colorNear(pixelAt(image, 20, 0.6), faceColor, 40));
        EXPECT_TRUE(colorNear(pixelAt(image, 20, 19.4), faceColor, 40));
        EXPECT_EQ(pixelAt(image, 9.4, 10).alpha(), 0);
        EXPECT_EQ(pixelAt(image, 30.6, 10).alpha(), 0);
        // Round, not a rounded rectangle: the corners of its square stay clear.
        EXPECT_EQ(pixelAt(image, 11, 1).alpha(), 0);
        EXPECT_EQ(pixelAt(image, 29, 19).alpha(), 0);
    }
}

// Where the minute hand of a 200-point clock stands in `image`, read from the pixels of the
// hands' colour on a circle beyond the hour hand's reach; none when there are none.
std::optional<double> minuteHandAngle(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int step = 0; step < 1440; ++step) {
        const double angle = -pi + step * 2 * pi / 1440;
        const QPointF at = along(200, angle, 75);
        if (colorNear(pixelAt(image, at.x(), at.y()), handColor, 24)) {
            sum += angle;
            ++count;
        }
    }
    if (count == 0)
        return std::nullopt;
    return sum / count;
}

TEST(ClockView, ANewMinuteAngleSpringsTheMinuteHandAloneAndSettlesOnIt)
{
    ManualFrameClock frames;
    const ClockHand hour { Angle { pi }, 50, 6 };
    auto view = makeClock({ 200, 200 }, 0, hour, { Angle { 0 }, 90, 6 }, &frames);
    const QImage before = test::render(view.get());
    ASSERT_NEAR(minuteHandAngle(before).value_or(99), 0, 0.02);
    // The hour hand points down the middle of this strip; the minute hand never reaches it.
    const QRect hourStrip(92, 108, 16, 45);
    const QImage hourBefore = before.copy(hourStrip);

    view->setMinute({ Angle { pi / 2 }, 90, 6 });
    double previous = 0;
    double farthest = 0;
    bool movedEveryFrameAtFirst = true;
    for (int frame = 0; frame < 120; ++frame) {
        frames.advance(1.0 / 60);
        const QImage image = test::render(view.get());
        const std::optional<double> minute = minuteHandAngle(image);
        ASSERT_TRUE(minute.has_value()) << "frame " << frame;
        if (frame < 8 && !(*minute > previous))
            movedEveryFrameAtFirst = false;
        previous = *minute;
        farthest = std::max(farthest, *minute);
        EXPECT_EQ(image.copy(hourStrip), hourBefore) << "frame " << frame;
        EXPECT_EQ(view->hourAngle(), hour.angle);
    }
    EXPECT_TRUE(movedEveryFrameAtFirst);
    // The spring carries the hand past a quarter past, then back.
    EXPECT_GT(farthest, pi / 2 + 0.05);
    frames.runUntilIdle();
    EXPECT_EQ(view->minuteAngle(), Angle { pi / 2 });
    EXPECT_NEAR(minuteHandAngle(test::render(view.get())).value_or(99), pi / 2, 0.02);
}

} // namespace
} // namespace tidemark
