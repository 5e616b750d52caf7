#include "menubar/views/ZevovozoView.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "menubar/ZevovozoConfiguring.hpp"
#include "menubar/ZevovozoViewModel.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/ui/FrameClock.hpp"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPalette>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace tidemark {
namespace {

// The widget laid out and painted into a transparent image at `ratio`.
QImage render(QWidget* widget, double ratio)
{
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    QCoreApplication::processEvents();
    QImage image(widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The colour at a point given in points, unpremultiplied.
QColor pixelAt(const QImage& image, double x, double y)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(int(std::floor(x * ratio)), int(std::floor(y * ratio)));
}

::testing::AssertionResult colorNear(const QColor& actual, const QColor& expected, int tolerance)
{
    const QColor a = actual.toRgb();
    const QColor e = expected.toRgb();
    if (std::abs(a.red() - e.red()) <= tolerance && std::abs(a.green() - e.green()) <= tolerance
        && std::abs(a.blue() - e.blue()) <= tolerance
        && std::abs(a.alpha() - e.alpha()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "rgba(" << a.red() << ", " << a.green() << ", " << a.blue() << ", " << a.alpha()
        << "), expected rgba(" << e.red() << ", " << e.green() << ", " << e.blue() << ", "
        << e.alpha() << ")";
}

constexpr double pi = std::numbers::pi;
const QColor text(0, 0, 0);
const QColor window(255, 255, 255);
const QColor accent(0, 120, 255);

QPalette iconPalette()
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::Highlight, accent);
    return palette;
}

ZevovozoViewModel::Parameters parameters(
    ZevovozoStatus status, std::shared_ptr<const ZevovozoConfiguring> config)
{
    return ZevovozoViewModel { status, std::move(config), {} }.parameters();
}

std::unique_ptr<ZevovozoView> makeView(const ZevovozoViewModel::Parameters& p, double progress)
{
    auto view = std::make_unique<ZevovozoView>(p, progress);
    view->setPalette(iconPalette());
    view->resize(view->sizeHint());
    return view;
}

bool isAccent(const QColor& color)
{
    return colorNear(color, accent, 24);
}

TEST(ZevovozoView, TheArcRunsClockwiseFromTheTopAsFarAsTheProgress)
{
    const auto listItem = std::make_shared<const ListItemZevovozoConfiguration>();
    // The ring's line: 4 wide, its middle 27.5 from the centre of the 64-point icon.
    auto onRing = [](const QImage& image, double degrees) {
        const double a = degrees * pi / 180;
        return pixelAt(image, 32 + 27.5 * std::sin(a), 32 - 27.5 * std::cos(a));
    };
    struct Case {
        std::string name;
        double progress;
        std::vector<double> accentAt;
        std::vector<double> plainAt;
    };
    std::vector<double> allRound;
    for (double degrees = 0; degrees < 360; degrees += 7.5)
        allRound.push_back(degrees);
    const Case cases[] = {
        { "a quarter", 0.25, { 10, 45, 80 }, { 135, 225, 315 } },
        { "a half", 0.5, { 45, 135, 170 }, { 190, 225, 315 } },
        { "none at 0", 0, {}, allRound },
        { "past due: no arc the other way round", -0.2, {}, allRound },
        { "full from 1 on", 1, allRound, {} },
        { "above 1: full, not wrapped", 1.3, allRound, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto view = makeView(parameters(ZevovozoStatus::idle, listItem), c.progress);
        for (double ratio : { 1.0, 2.0 }) {
            const QImage image = render(view.get(), ratio);
            for (double degrees : c.accentAt)
                EXPECT_TRUE(isAccent(onRing(image, degrees))) << degrees << "°, ratio " << ratio;
            for (double degrees : c.plainAt) {
                // The ring's own line: the text colour at 0.3.
                const QColor plain = onRing(image, degrees);
                EXPECT_FALSE(isAccent(plain)) << degrees << "°, ratio " << ratio;
                EXPECT_TRUE(colorNear(plain, QColor(0, 0, 0, 77), 12))
                    << degrees << "°, ratio " << ratio;
            }
        }
    }
}

TEST(ZevovozoView, DraggingPaintsASmallAccentFaceWithAShadowAndIdleNone)
{
    const auto menubar = std::make_shared<const MenubarZevovozoConfiguration>();
    auto distance = [](double x, double y) { return std::hypot(x - 11, y - 11); };

    auto dragging = makeView(parameters(ZevovozoStatus::dragging, menubar), 0.5);
    ASSERT_EQ(dragging->size(), QSize(22, 22));
    const QImage drag = render(dragging.get(), 2);
    for (double a = 0; a < 2 * pi; a += pi / 8) {
        const double dx = std::sin(a);
        const double dy = -std::cos(a);
        // The face: 10 across, round, in the accent colour, covering the ring.
        EXPECT_TRUE(isAccent(pixelAt(drag, 11 + 4.5 * dx, 11 + 4.5 * dy))) << a;
        const QColor outside = pixelAt(drag, 11 + 5.75 * dx, 11 + 5.75 * dy);
        EXPECT_FALSE(isAccent(outside)) << a;
        // Around it, all the same way round, the shadow: dark and see-through.
        EXPECT_GT(outside.alpha(), 8) << a;
        EXPECT_LT(outside.alpha(), 84) << a;
        EXPECT_LT(outside.lightness(), 40) << a;
    }

    auto idle = makeView(parameters(ZevovozoStatus::idle, menubar), 0.5);
    const QImage rest = render(idle.get(), 2);
    // At rest: the ring's line reaches 8 from the centre and nothing lies beyond it.
    for (int y = 0; y < rest.height(); ++y) {
        for (int x = 0; x < rest.width(); ++x) {
            if (distance((x + 0.5) / 2, (y + 0.5) / 2) > 8.6) {
                ASSERT_EQ(rest.pixelColor(x, y).alpha(), 0) << x << ", " << y;
            }
        }
    }
    // And the face, inside the ring, is in the text colour.
    EXPECT_TRUE(colorNear(pixelAt(rest, 11, 11 - 5), text, 40));
}

TEST(ZevovozoView, TheClocksShadowFollowsAHandThatReachesBeyondTheFace)
{
    // A wide clock frame holds a face of 20 and a hand reaching 8 beyond it.
    ManualFrameClock frames;
    ZevovozoViewModel::Parameters p;
    p.size = { 64, 64 };
    p.contentSize = { 59, 59 };
    p.timerIndicatorWidth = 0;
    p.clockSize = { 40, 20 };
    p.hourHandSize = { 4, 0 };
    p.minuteHandSize = { 4, 18 };
    p.minuteAngle = Angle { pi / 2 };
    p.shadowRadius = 5;
    ZevovozoView view(p, 0, nullptr, &frames);
    view.setPalette(iconPalette());
    view.resize(64, 64);
    // Two points just under the hand's lower edge, beyond the face, to the right and left.
    const QPointF right(32 + 14, 32 + 3);
    const QPointF left(32 - 14, 32 + 3);
    // At the ratio the view may also be painted at on its own, so that no change of ratio
    // makes the clock draw itself afresh.
    const QImage before = render(&view, 1);
    EXPECT_TRUE(colorNear(pixelAt(before, 32 + 14, 32), window, 8));
    EXPECT_GT(pixelAt(before, right.x(), right.y()).alpha(), 15);
    EXPECT_LT(pixelAt(before, left.x(), left.y()).alpha(), 8);

    p.minuteAngle = Angle { -pi / 2 };
    view.setParameters(p);
    frames.runUntilIdle();
    const QImage after = render(&view, 1);
    EXPECT_TRUE(colorNear(pixelAt(after, 32 - 14, 32), window, 8));
    EXPECT_LT(pixelAt(after, right.x(), right.y()).alpha(), 8);
    EXPECT_GT(pixelAt(after, left.x(), left.y()).alpha(), 15);
}

TEST(ZevovozoContainerView, ShowsTheProgressOfItsMakingUntilTheTimerTicksThenEasesToTheNewOne)
{
    ManualFrameClock frames;
    const auto clock = std::make_shared<ManualClock>(dateFromTimeIntervalSince1970(400));
    rx::PassthroughSubject<rx::Unit> timer;
    const ZevovozoViewModel model { ZevovozoStatus::idle,
        std::make_shared<const ListItemZevovozoConfiguration>(),
        { {}, {}, dateFromTimeIntervalSince1970(0), dateFromTimeIntervalSince1970(1000) } };
    ZevovozoContainerView container(model, timer.publisher(), clock, nullptr, &frames);
    EXPECT_DOUBLE_EQ(container.view()->timerIndicatorProgress(), 0.6);

    // Time passes; the ring waits for the timer.
    clock->set(dateFromTimeIntervalSince1970(800));
    frames.runFrames(10);
    EXPECT_DOUBLE_EQ(container.view()->timerIndicatorProgress(), 0.6);

    timer.send(rx::Unit {});
    std::vector<double> shown;
    for (int frame = 0; frame < 21; ++frame) {
        frames.advance(1.0 / 60);
        shown.push_back(container.view()->timerIndicatorProgress());
    }
    // Ease in and out over 0.35 s: a slow start, half way at half time, then on to 0.2.
    EXPECT_GT(shown.front(), 0.59);
    EXPECT_NEAR(shown[9], 0.4, 0.03);
    for (std::size_t i = 1; i < shown.size(); ++i)
        EXPECT_LE(shown[i], shown[i - 1]);
    frames.runUntilIdle();
    EXPECT_DOUBLE_EQ(container.view()->timerIndicatorProgress(), 0.2);

    // Past the due date the value goes below 0 and stays there.
    clock->set(dateFromTimeIntervalSince1970(1100));
    timer.send(rx::Unit {});
    frames.runUntilIdle();
    EXPECT_DOUBLE_EQ(container.view()->timerIndicatorProgress(), -0.1);
}

} // namespace
} // namespace tidemark
