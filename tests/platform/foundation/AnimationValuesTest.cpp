#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Transition.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tidemark {
namespace {

TEST(AnimationValues, DelayTravelsWithEitherKindAndLeavesTheRestAlone)
{
    const Animation spring = Animation::spring(0.35, 0.46, 0.25);
    const Animation delayed = spring.delayed(0.2);
    EXPECT_EQ(spring.delay(), 0);
    EXPECT_EQ(delayed.delay(), 0.2);
    EXPECT_EQ(std::get<SpringAnimation>(delayed), (SpringAnimation { 0.35, 0.46, 0.25, 0.2 }));

    const Animation curve = Animation::easeOut(0.5).delayed(1);
    EXPECT_EQ(std::get<TimingCurveAnimation>(curve),
        (TimingCurveAnimation { CubicBezier::easeOut(), 0.5, 1 }));
    EXPECT_NE(curve, Animation::easeOut(0.5));
    EXPECT_EQ(Animation::defaultAnimation(), Animation::easeInOut(0.35));
}

TEST(AnimationValues, WithAnimationSetsTheTransactionForItsBodyOnlyAndNests)
{
    EXPECT_FALSE(currentTransaction().animation);
    std::optional<Animation> inner;
    std::optional<Animation> afterInner;
    const int result = withAnimation(Animation::linear(1), [&] {
        withAnimation(std::nullopt, [&] { inner = currentTransaction().animation; });
        afterInner = currentTransaction().animation;
        return 7;
    });
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(inner) << "an inner scope without animation makes its changes jump";
    EXPECT_EQ(afterInner, Animation::linear(1)) << "and the outer one is back after it";
    EXPECT_FALSE(currentTransaction().animation);

    try {
        withAnimation([] { throw 1; });
    } catch (int) {
    }
    EXPECT_FALSE(currentTransaction().animation) << "restored when the body throws";
}

TEST(Transitions, AppearanceAtEachPresence)
{
    const Size size { 200, 100 };
    struct Case {
        const char* name;
        Transition transition;
        double presence;
        TransitionAppearance expected;
    };
    const Case cases[] = {
        { "fade, removed", Transition::fade(), 0, { 0, {}, 1, { 0.5, 0.5 } } },
        { "fade, halfway", Transition::fade(), 0.5, { 0.5, {}, 1, { 0.5, 0.5 } } },
        { "fade, in place", Transition::fade(), 1, {} },
        { "move from the left edge, removed", Transition::move(RectEdge::minX), 0,
            { 1, { -200, 0 }, 1, { 0.5, 0.5 } } },
        { "move from the top edge, a quarter in", Transition::move(RectEdge::minY), 0.25,
            { 1, { 0, -75 }, 1, { 0.5, 0.5 } } },
        { "move from the right edge, removed", Transition::move(RectEdge::maxX), 0,
            { 1, { 200, 0 }, 1, { 0.5, 0.5 } } },
        { "move from the bottom edge, removed", Transition::move(RectEdge::maxY), 0,
            { 1, { 0, 100 }, 1, { 0.5, 0.5 } } },
        { "scale from nothing about the top left, halfway", Transition::scaled(0, { 0, 0 }), 0.5,
            { 1, {}, 0.5, { 0, 0 } } },
        { "fade, move and scale combined, removed",
            Transition::fade()
                .combined(Transition::move(RectEdge::maxY))
                .combined(Transition::scaled(0.5)),
            0, { 0, { 0, 100 }, 0.5, { 0.5, 0.5 } } },
        { "a spring overshooting past in place: opacity held at 1, scale follows",
            Transition::fade().combined(Transition::scaled(0.5)), 1.2,
            { 1, {}, 1.1, { 0.5, 0.5 } } },
        { "a spring swinging below removed: opacity held at 0, scale never negative",
            Transition::fade().combined(Transition::scaled(0)), -0.5, { 0, {}, 0, { 0.5, 0.5 } } },
        { "not a number counts as in place", Transition::fade(),
            std::numeric_limits<double>::quiet_NaN(), {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const TransitionAppearance look = c.transition.appearance(c.presence, size);
        EXPECT_DOUBLE_EQ(look.opacity, c.expected.opacity);
        EXPECT_DOUBLE_EQ(look.offset.width, c.expected.offset.width);
        EXPECT_DOUBLE_EQ(look.offset.height, c.expected.offset.height);
        EXPECT_DOUBLE_EQ(look.scale, c.expected.scale);
        EXPECT_EQ(look.anchor, c.expected.anchor);
    }
}

TEST(Transitions, MovesFromTwoEdgesAddUp)
{
    const Transition corner
        = Transition::move(RectEdge::minX).combined(Transition::move(RectEdge::minY));
    EXPECT_EQ(corner.appearance(0, { 10, 20 }).offset, (Size { -10, -20 }));
    EXPECT_TRUE(corner.appearance(1, { 10, 20 }).isIdentity());
}

} // namespace
} // namespace tidemark
