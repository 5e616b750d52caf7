#include "entry/BlobShape.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

using namespace tidemark;

namespace {

constexpr double pi = std::numbers::pi;

double distance(Point a, Point b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool finite(const BlobArc& arc)
{
    return std::isfinite(arc.center.x) && std::isfinite(arc.center.y) && std::isfinite(arc.radius)
        && std::isfinite(arc.startAngle) && std::isfinite(arc.sweep);
}

// A square of `side` centred on `center`.
Rect square(Point center, double side)
{
    return { center.x - side / 2, center.y - side / 2, side, side };
}

} // namespace

TEST(BlobShape, TheBridgeIsSolvedForSeparatedOverlappingAndTouchingEnds)
{
    const struct {
        const char* name;
        BlobLineViewModel model;
        double gap, widthReduction, width, offset, upperRadius, lowerRadius;
    } cases[] = {
        // Far apart: the bridge is as narrow as allowed (a quarter of the lower end) and its
        // waist sits on the upper end.
        { "separated", { square({ 0, 0 }, 12), { 0, 40 }, 8 }, 26, 21, 4, 0, 4, 10.0 / 3 },
        // Overlapping ends: the chord where the circles cross (half length 3) narrows the
        // bridge less.
        { "overlapping", { square({ 0, 0 }, 10), { 0, 8 }, 5 }, -2, 2, 8, -5, 3.5, 3.5 },
        // Touching (gap exactly 0): the width by the separated rule, the offset by the
        // overlapping one (g/2 − B.h + dy/2 = 4 − 16 + 7, where the separated rule gives −4).
        { "touching", { square({ 0, 0 }, 12), { 0, 14 }, 8 }, 0, 8, 8, -5, 1.25, 0.125 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<BlobBridge> bridge = blobBridge(c.model);
        ASSERT_TRUE(bridge);
        EXPECT_DOUBLE_EQ(bridge->gap, c.gap);
        EXPECT_DOUBLE_EQ(bridge->widthReduction, c.widthReduction);
        EXPECT_DOUBLE_EQ(bridge->width, c.width);
        EXPECT_DOUBLE_EQ(bridge->offset, c.offset);
        EXPECT_NEAR(bridge->upperRadius, c.upperRadius, 1e-12);
        EXPECT_NEAR(bridge->lowerRadius, c.lowerRadius, 1e-12);
        EXPECT_GE(bridge->width, c.model.minLineWidth) << "never narrower than a quarter";

        // Each fillet touches its end from outside: its tangent point lies on that end's
        // circle and on the fillet's own.
        const std::vector<BlobArc> arcs = blobOutline(c.model);
        ASSERT_EQ(arcs.size(), 4u);
        const Point upper = c.model.startFrame.center();
        const Point lower = c.model.endFrame.center();
        const double a = c.model.startFrame.width() / 2;
        const double b = c.model.endFrame.width() / 2;
        EXPECT_NEAR(distance(arcs[0].endPoint(), upper), a, 1e-9);
        EXPECT_NEAR(distance(arcs[1].startPoint(), upper), a, 1e-9);
        EXPECT_NEAR(distance(arcs[2].endPoint(), lower), b, 1e-9);
        EXPECT_NEAR(distance(arcs[3].startPoint(), lower), b, 1e-9);
        // The waist: the right fillet starts, and the left one ends, `width` apart.
        EXPECT_NEAR(arcs[0].startPoint().x - arcs[1].endPoint().x, bridge->width, 1e-9);
        EXPECT_NEAR(arcs[3].endPoint().x - arcs[2].startPoint().x, bridge->width, 1e-9);
    }
}

TEST(BlobShape, FormulasWithoutAFiniteAnswerGiveNoBridgeNeverNaN)
{
    const struct {
        const char* name;
        BlobLineViewModel model;
    } cases[] = {
        // Overlapping ends whose centres lie level: the chord divides by dy = 0.
        { "level centres", { square({ 0, 0 }, 12), { 0, 0 }, 8 } },
        // A small upper end deep inside a large lower one: the circles do not cross, so the
        // chord would need the root of a negative number.
        { "no crossing", { square({ 0, 0 }, 4), { 0, 1 }, 10 } },
        // A bridge as wide as the upper end: no fillet radius (R1 = 0), and its angle would
        // be asin((d + 2a) / a) = asin(2).
        { "arc sine beyond 1", { square({ 0, 0 }, 4), { 0, 40 }, 8 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(blobBridge(c.model));
        EXPECT_TRUE(blobOutline(c.model).empty());
    }
}

TEST(BlobShape, NoPullDrawsOnlyTheUpperEnd)
{
    const BlobViewModel blob { square({ 100, 12 }, 16), { 0, 0 }, false };
    EXPECT_EQ(blob.lowerEnd(), Rect(100, 12, 0, 0)) << "size 0 at the upper end's centre";
    EXPECT_EQ(blob.upperEnd(), blob.startFrame) << "full size";
    EXPECT_TRUE(blob.bridgeOutline().empty());

    const BlobViewModel small { square({ 100, 12 }, 16), { 0, 0 }, true };
    EXPECT_EQ(small.upperEnd(), square({ 100, 12 }, 12)) << "three quarters while small";
}

TEST(BlobShape, TheEndsFollowThePullLength)
{
    const Rect start = square({ 0, 0 }, 16);
    const struct {
        Size pull;
        double upperSide; // the shrunk upper end
        double lowerSide; // the lower end's diameter
    } cases[] = {
        { { 0, 4 }, 15, 4 },
        { { 0, 10 }, 13.5, 10 },
        { { 6, 8 }, 13.5, 10 }, // the length counts, not the direction
        { { 0, 16 }, 12, 16 }, // a full icon width: three quarters, and the cap of 16
        { { 0, 300 }, 12, 16 },
        { { -200, -100 }, 12, 16 },
    };
    for (const auto& c : cases) {
        const BlobViewModel blob { start, c.pull, false };
        SCOPED_TRACE(testing::Message() << c.pull.width << ", " << c.pull.height);
        EXPECT_EQ(blob.upperEnd(), square({ 0, 0 }, c.upperSide));
        EXPECT_EQ(blob.lowerEnd(), square({ c.pull.width, c.pull.height }, c.lowerSide));
        EXPECT_EQ(blob.bottomBlobFrame(), blob.lowerEnd());
        EXPECT_EQ(blob.topBlobSize(), (Size { c.upperSide, c.upperSide }));
        EXPECT_EQ(blob.bottomBlobLeadingPosition(),
            (Point { c.pull.width - c.lowerSide / 2, c.pull.height }));
        EXPECT_EQ(blob.topBlobBottomPosition(), (Point { 0, 0 }));
    }
}

TEST(BlobShape, APullInAnyDirectionDrawsTheSameBridgeTurnedAboutTheUpperEnd)
{
    const Rect start = square({ 50, 12 }, 16);
    const BlobViewModel down { start, { 0, 60 }, false };
    EXPECT_EQ(blobRotation({ 0, 60 }), 0.0) << "straight down is not turned";
    EXPECT_DOUBLE_EQ(blobRotation({ 60, 0 }), -pi / 2);
    EXPECT_DOUBLE_EQ(blobRotation({ -60, 0 }), pi / 2);
    EXPECT_DOUBLE_EQ(std::abs(blobRotation({ 0, -60 })), pi);

    const std::vector<BlobArc> vertical = down.bridgeOutline();
    ASSERT_EQ(vertical.size(), 4u);
    for (Size pull : { Size { 60, 0 }, Size { -60, 0 }, Size { 0, -60 }, Size { 36, 48 } }) {
        SCOPED_TRACE(testing::Message() << pull.width << ", " << pull.height);
        const BlobViewModel turned { start, pull, false };
        const std::vector<BlobArc> arcs = turned.bridgeOutline();
        ASSERT_EQ(arcs.size(), 4u);
        const double angle = blobRotation(pull);
        for (std::size_t i = 0; i < 4; ++i) {
            const Point expected = rotated(vertical[i].center, start.center(), angle);
            EXPECT_NEAR(arcs[i].center.x, expected.x, 1e-9);
            EXPECT_NEAR(arcs[i].center.y, expected.y, 1e-9);
            EXPECT_DOUBLE_EQ(arcs[i].radius, vertical[i].radius);
            EXPECT_DOUBLE_EQ(arcs[i].sweep, vertical[i].sweep);
        }
        // The lower fillets end on the lower end, wherever the pull points.
        const Point lower = turned.lowerEnd().center();
        EXPECT_NEAR(distance(arcs[2].endPoint(), lower), 8, 1e-9);
    }
}

TEST(BlobShape, EveryPullGivesAFiniteOutlineInsideTheBlobBounds)
{
    const Rect start = square({ 960, 12 }, 16);
    int bridges = 0;
    for (double x = -301; x <= 301; x += 7) {
        for (double y = -31; y <= 331; y += 0.5) {
            for (bool isSmall : { false, true }) {
                const BlobViewModel blob { start, { x, y }, isSmall };
                const Rect bounds = blob.bounds(0.001);
                for (const BlobArc& arc : blob.bridgeOutline()) {
                    ASSERT_TRUE(finite(arc)) << x << ", " << y;
                    for (Point p : { arc.startPoint(), arc.endPoint() })
                        ASSERT_TRUE(bounds.contains(p)) << x << ", " << y;
                    ++bridges;
                }
            }
        }
    }
    EXPECT_GT(bridges, 0);
    const double nan = std::nan("");
    const BlobViewModel broken { start, { nan, 40 }, false };
    EXPECT_TRUE(broken.bridgeOutline().empty());
    EXPECT_EQ(broken.lowerEnd().size, (Size { 0, 0 }));
}

TEST(BlobShape, TheGradientReachesTheAccentAtTheLowerEnd)
{
    const BlobViewModel blob { square({ 100, 12 }, 16), { 0, 100 }, false };
    EXPECT_DOUBLE_EQ(blob.gradientEnd(), 12 + 100 - 8);
}
