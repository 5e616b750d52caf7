#include "platform/foundation/Geometry.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

namespace tidemark {

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}

namespace {

TEST(Rect, MeasuresAndMovesLikeTheViewsExpect)
{
    const Rect r(10, 20, 30, 40);
    EXPECT_EQ(r.minX(), 10);
    EXPECT_EQ(r.maxX(), 40);
    EXPECT_EQ(r.midX(), 25);
    EXPECT_EQ(r.minY(), 20);
    EXPECT_EQ(r.maxY(), 60);
    EXPECT_EQ(r.midY(), 40);
    EXPECT_EQ(r.center(), (Point { 25, 40 }));
    EXPECT_EQ(r.offsetBy(-10, 5), Rect(0, 25, 30, 40));
    EXPECT_EQ(r.insetBy(5, 10), Rect(15, 30, 20, 20));
    EXPECT_EQ(r.insetBy(-5, 0), Rect(5, 20, 40, 40));
    // Inset past the centre: an empty rectangle at the centre, never a negative size.
    EXPECT_EQ(r.insetBy(20, 0), Rect(25, 20, 0, 40));
    EXPECT_EQ(r.united(Rect(100, 0, 10, 10)), Rect(10, 0, 100, 60));
    EXPECT_EQ(Rect(10, 10, -5, -5).standardized(), Rect(5, 5, 5, 5));
    EXPECT_EQ(Rect(0, 0, 40, 20).centered(Rect(100, 100, 200, 100)), Rect(180, 140, 40, 20));
}

TEST(Rect, ContainsPointsOnTheLeadingEdgesOnly)
{
    const Rect r(0, 0, 100, 50);
    struct Case {
        Point point;
        bool inside;
    };
    const Case cases[] = {
        { { 0, 0 }, true },
        { { 99.5, 49.5 }, true },
        { { 100, 10 }, false },
        { { 10, 50 }, false },
        { { -0.1, 10 }, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.point), c.inside) << c.point.x << ", " << c.point.y;

    EXPECT_TRUE(r.contains(r));
    EXPECT_TRUE(r.contains(Rect(10, 10, 90, 40)));
    EXPECT_FALSE(r.contains(Rect(10, 10, 91, 40)));
    EXPECT_FALSE(r.contains(Rect(10, 10, 0, 0)));
    EXPECT_TRUE(r.intersects(Rect(99, 49, 10, 10)));
    EXPECT_FALSE(r.intersects(Rect(100, 0, 10, 10)));
}

TEST(Rect, FlippedMirrorsInsideAHeight)
{
    EXPECT_EQ(Rect(0, 0, 10, 20).flipped(100), Rect(0, 80, 10, 20));
    EXPECT_EQ(Rect(3, 7, 10, 20).flipped(100).flipped(100), Rect(3, 7, 10, 20));
    EXPECT_EQ(Rect(3, 7, 10, 20).flipped(0), Rect(3, -27, 10, 20));
}

TEST(Rect, AdjacentPlacesAgainstTheChosenSideWithTheSpacing)
{
    const Rect icon(1000, 180, 24, 30);
    const Rect popover(0, 0, 300, 200);
    struct Case {
        RectEdge edge;
        Rect expected;
    };
    const Case cases[] = {
        // Below the icon (y grows downwards): top edge 6 below the icon's bottom, centred.
        { RectEdge::maxY, Rect(862, 216, 300, 200) },
        { RectEdge::minY, Rect(862, -26, 300, 200) },
        { RectEdge::maxX, Rect(1030, 95, 300, 200) },
        { RectEdge::minX, Rect(694, 95, 300, 200) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(popover.adjacent(icon, c.edge, 6), c.expected) << int(c.edge);
}

TEST(Rect, KeptInsideShiftsOntoTheBoundsWithoutResizing)
{
    const Rect screen(0, 0, 1920, 1080);
    struct Case {
        const char* name;
        Rect rect;
        Rect bounds;
        Rect expected;
    };
    const Case cases[] = {
        { "inside stays bit for bit", Rect(10.25, 20.5, 30, 40), screen,
            Rect(10.25, 20.5, 30, 40) },
        { "past the right edge", Rect(1762, 216, 300, 200), screen, Rect(1620, 216, 300, 200) },
        { "past the left edge", Rect(-40, 216, 300, 200), screen, Rect(0, 216, 300, 200) },
        { "past the bottom", Rect(100, 1000, 300, 200), screen, Rect(100, 880, 300, 200) },
        { "above the top", Rect(100, -30, 300, 200), screen, Rect(100, 0, 300, 200) },
        { "past two sides", Rect(1800, 1000, 300, 200), screen, Rect(1620, 880, 300, 200) },
        // Wider than the bounds: both corrections, each from the unshifted rectangle.
        { "overhangs both sides", Rect(-10, 0, 200, 10), Rect(0, 0, 100, 100),
            Rect(-90, 0, 200, 10) },
        { "overhangs both sides evenly", Rect(-50, 0, 200, 10), Rect(0, 0, 100, 100),
            Rect(-50, 0, 200, 10) },
        { "bounds off the origin", Rect(0, 0, 50, 50), Rect(1920, 0, 1280, 1024),
            Rect(1920, 0, 50, 50) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.rect.keptInside(c.bounds), c.expected) << c.name;
}

TEST(Rect, PopoverBelowAnIconStaysOnScreen)
{
    const Rect screen(0, 0, 1920, 1080);
    const Rect popover(0, 0, 300, 200);
    EXPECT_EQ(popover.adjacent(Rect(1000, 180, 24, 30), RectEdge::maxY, 6).keptInside(screen),
        Rect(862, 216, 300, 200));
    EXPECT_EQ(popover.adjacent(Rect(1900, 0, 20, 24), RectEdge::maxY, 6).keptInside(screen),
        Rect(1620, 30, 300, 200));
}

TEST(QtGeometry, ConvertsBothWaysAndRoundsEdges)
{
    EXPECT_EQ(fromQt(QRect(1, 2, 3, 4)), Rect(1, 2, 3, 4));
    EXPECT_EQ(fromQt(QRectF(1.5, 2.5, 3, 4)), Rect(1.5, 2.5, 3, 4));
    EXPECT_EQ(toQRectF(Rect(1.5, 2.5, 3, 4)), QRectF(1.5, 2.5, 3, 4));
    EXPECT_EQ(fromQt(QPointF(1.5, -2)), (Point { 1.5, -2 }));
    EXPECT_EQ(toQPointF(Point { 1.5, -2 }), QPointF(1.5, -2));
    // Rounding edges, not origin and size, keeps neighbours touching.
    EXPECT_EQ(toQRect(Rect(0.4, 0, 10.4, 5)), QRect(0, 0, 11, 5));
    EXPECT_EQ(toQRect(Rect(10.8, 0, 10, 5)), QRect(11, 0, 10, 5));
}

TEST(Screen, TheFirstScreenListedThatHoldsThePointerWins)
{
    const std::vector<Rect> sideBySide { Rect(0, 0, 1920, 1080), Rect(1920, 0, 1280, 1024) };
    EXPECT_EQ(indexOfFrameContaining(sideBySide, { 2000, 500 }), std::optional<std::size_t>(1));
    EXPECT_EQ(indexOfFrameContaining(sideBySide, { 1919, 500 }), std::optional<std::size_t>(0));
    EXPECT_EQ(indexOfFrameContaining(sideBySide, { 1920, 1050 }), std::nullopt);
    EXPECT_EQ(indexOfFrameContaining({}, { 0, 0 }), std::nullopt);

    const std::vector<Rect> mirrored { Rect(0, 0, 1920, 1080), Rect(0, 0, 1280, 1024) };
    EXPECT_EQ(indexOfFrameContaining(mirrored, { 10, 10 }), std::optional<std::size_t>(0));
}

} // namespace
} // namespace tidemark
