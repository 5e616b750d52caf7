#include "entry/ScrollEntry.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

using namespace tidemark;

namespace {

using Model = ScrollDataEntryView::AnimationViewModel;
using A = YoyoScrollFrontViewActionCases;
constexpr double inf = std::numeric_limits<double>::infinity();

} // namespace

TEST(ScrollDeltaTranslation, PixelDeltaElseTwentyFourPointsPerNotchTowardsTheUser)
{
    const struct {
        const char* name;
        WheelDeltas deltas;
        Size expected;
    } cases[] = {
        { "one notch towards the user (X button 5)", { {}, { 0, -120 } }, { 0, 24 } },
        { "one notch away from the user (X button 4)", { {}, { 0, 120 } }, { 0, -24 } },
        { "half a notch of a fine wheel", { {}, { 0, -60 } }, { 0, 12 } },
        { "horizontal wheel to the right (X button 7)", { {}, { -120, 0 } }, { 24, 0 } },
        { "horizontal wheel to the left (X button 6)", { {}, { 120, 0 } }, { -24, 0 } },
        { "touchpad pixels win over the angle", { { 3, -7 }, { 0, -120 } }, { -3, 7 } },
        { "touchpad pixels upwards", { { 0, 5 }, { 0, 40 } }, { 0, -5 } },
        { "horizontal pixels alone", { { -2, 0 }, {} }, { 2, 0 } },
        { "nothing at all", { {}, {} }, { 0, 0 } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(scrollDeltaTranslation(c.deltas), c.expected) << c.name;
}

TEST(ScrollCardModel, FollowsTheScrollToTheThresholdThenGrowsShowsLabelAndControls)
{
    // Initial 16 × 16 and a measured height of 0 with 25 of minimum: T = 25.
    struct Case {
        const char* name;
        std::vector<double> deltas;
        double translation;
        Size maxSize;
        bool label;
        bool controls;
    };
    const Case cases[] = {
        { "two points follow twenty below", { 2 }, 20, { 16, 16 }, false, false },
        { "one more rests at T and grows by 5", { 2, 1 }, 25, { 21, 21 }, false, false },
        { "upwards from rest stays at rest", { -3 }, 0, { 16, 16 }, false, false },
        { "the sum goes below zero without limit", { -3, 2 }, 0, { 16, 16 }, false, false },
        { "a width of 171 shows the label", { 18 }, 25, { 171, 171 }, true, false },
        { "170 does not", { 17.9 }, 25, { 170, 170 }, false, false },
        { "230 shows the controls", { 23.9 }, 25, { 230, 230 }, true, true },
        { "then one point per point", { 23.9, 10 }, 25, { 230, 240 }, true, true },
        { "scrolling back hides the controls, tenfold again", { 23.9, -1, -1 }, 25, { 219, 219 },
            true, false },
    };
    for (const Case& c : cases) {
        Model model(Size { 16, 16 }, 25);
        model.height = 0;
        for (double d : c.deltas)
            model.update(Size { 0, d });
        EXPECT_DOUBLE_EQ(model.translation.height, c.translation) << c.name;
        EXPECT_NEAR(model.maxSize.width, c.maxSize.width, 1e-9) << c.name;
        EXPECT_NEAR(model.maxSize.height, c.maxSize.height, 1e-9) << c.name;
        EXPECT_EQ(model.labelIsPresented, c.label) << c.name;
        EXPECT_EQ(model.controlsArePresented, c.controls) << c.name;
        EXPECT_EQ(model.iconMaxWidth, c.label ? std::optional<double>(59) : std::nullopt) << c.name;
        EXPECT_EQ(model.cornerRadius, c.label ? 16 : inf) << c.name;
        EXPECT_EQ(model.iconPadding, c.label ? 10 : 0) << c.name;
    }
}

TEST(ScrollCardModel, StartsAsTheInitialSizeAndOpensFullyWhenPushed)
{
    const Model rest(Size { 16, 16 }, 17);
    EXPECT_EQ(rest.maxSize, (Size { 16, 16 }));
    EXPECT_EQ(rest.height, 16);
    EXPECT_EQ(rest.iconMaxLength, 59);
    EXPECT_EQ(rest.iconMaxWidth, std::optional<double>(0));
    EXPECT_EQ(rest.cornerRadius, inf);
    EXPECT_EQ(rest.threshold(), 16 * 0.5 + 17);

    const Model open = Model::expanded(inf);
    EXPECT_TRUE(open.labelIsPresented);
    EXPECT_TRUE(open.controlsArePresented);
    EXPECT_EQ(open.maxSize.width, 230);
    EXPECT_EQ(open.maxSize.height, inf);
    EXPECT_EQ(open.cornerRadius, 16);
    EXPECT_EQ(open.iconPadding, 10);

    const Model pushed = Model::expanded(230);
    EXPECT_TRUE(pushed.labelIsPresented);
    EXPECT_TRUE(pushed.controlsArePresented);
    EXPECT_EQ(pushed.maxSize, (Size { 230, 2300 }));
}

TEST(ScrollCardModel, CollapsesInFourStepsAndTheNextEntryStartsFromNothing)
{
    Model model(Size { 16, 16 }, 25);
    model.height = 0;
    model.update(Size { 3, 30 }); // fully open
    ASSERT_TRUE(model.controlsArePresented);

    model.hideControls();
    EXPECT_FALSE(model.controlsArePresented);
    EXPECT_TRUE(model.labelIsPresented);
    model.hideLabel();
    EXPECT_FALSE(model.labelIsPresented);
    EXPECT_EQ(model.iconMaxWidth, std::nullopt);
    EXPECT_EQ(model.cornerRadius, inf);
    EXPECT_EQ(model.iconPadding, 0);
    model.shrinkToIcon();
    EXPECT_EQ(model.maxSize, (Size { 59, 59 }));
    EXPECT_EQ(model.translation.height, 25);
    model.resetTranslation();
    EXPECT_EQ(model.maxSize, (Size { 16, 16 }));
    EXPECT_EQ(model.translation.height, 0);
    EXPECT_EQ(model.additiveTranslation, (Size { 3, 300 })) << "the steps keep the sum";

    // Without the reset the first notch of the next entry would open the card at once.
    Model kept = model;
    kept.update(Size { 0, 0.1 });
    EXPECT_TRUE(kept.controlsArePresented);

    model.resetSum();
    EXPECT_EQ(model.additiveTranslation, (Size { 0, 0 }));
    model.update(Size { 0, 0.1 });
    EXPECT_EQ(model.translation.height, 1);
    EXPECT_FALSE(model.labelIsPresented);
    EXPECT_EQ(model.maxSize, (Size { 16, 16 }));
}

TEST(ScrollFrontView, ADeltaPresentsOrEndsTheEntryByWhereTheCardStands)
{
    Model model(Size { 16, 16 }, 17);
    const struct {
        const char* name;
        double delta;
        bool isPresented;
        std::vector<YoyoScrollFrontView::Action> expected;
    } cases[] = {
        { "away from rest", 1, false,
            { A::IsPresented { true }, A::DataEntryIsPresented { true } } },
        { "away again (the window is fronted again)", 1, true,
            { A::IsPresented { true }, A::DataEntryIsPresented { true } } },
        { "back at rest: the entry ends and its window goes", -5, true,
            { A::DataEntryIsPresented { false }, A::IsPresented { false } } },
        { "upwards at rest, nothing presented", -1, false, { A::DataEntryIsPresented { false } } },
    };
    for (const auto& c : cases) {
        model.update(Size { 0, c.delta });
        EXPECT_EQ(YoyoScrollFrontView::actionsAfterDelta(model, c.isPresented), c.expected)
            << c.name;
    }
    EXPECT_EQ(YoyoScrollFrontView::minTranslationHeight(24), 17);
}

TEST(ScrollFrontView, TheWindowIsTheColumnOfTheScreenTheCardCanReach)
{
    // Open card 120 high, threshold 60 + 17; room for overshoot: width 230 × 1.5 + 2 × 10 =
    // 365, lowest 12 + (77 + 60) × 1.5 + 10 = 227.5 below a top-strip item's centre; the
    // frame in whole points.
    const YoyoScrollFrontView::Reach reach { 120, 17, 10 };
    const Rect screen(0, 0, 1920, 1080);
    const Rect second(1920, -200, 1280, 1024);
    const struct {
        const char* name;
        Rect screen;
        Rect item;
        Rect expected;
    } cases[] = {
        { "centred on the item", screen, Rect(943, 1, 34, 22), Rect(777, 0, 365, 228) },
        { "near the left edge: shifted, not cut", screen, Rect(0, 1, 34, 22),
            Rect(0, 0, 365, 228) },
        { "near the right edge", screen, Rect(1886, 1, 34, 22), Rect(1555, 0, 365, 228) },
        { "a second screen away from the origin", second, Rect(3150, -199, 34, 22),
            Rect(2835, -200, 365, 228) },
        { "a screen smaller than the reach", Rect(0, 0, 300, 200), Rect(100, 0, 20, 20),
            Rect(0, 0, 300, 200) },
        { "item not yet known: the whole screen", screen, Rect(), screen },
        { "item on another screen: the whole screen", screen, Rect(2000, 1, 34, 22), screen },
    };
    for (const auto& c : cases) {
        const Rect frame = YoyoScrollFrontView::windowFrame(c.screen, c.item, reach);
        EXPECT_EQ(frame, c.expected) << c.name;
        // The open card, kept on the screen, stands in the window as on the whole screen.
        const double width = Model::maxWidth;
        const double left
            = std::clamp(c.item.midX() - width / 2, c.screen.minX(), c.screen.maxX() - width);
        if (c.screen.width() >= width) {
            EXPECT_GE(left, frame.minX()) << c.name;
            EXPECT_LE(left + width, frame.maxX()) << c.name;
        }
    }
}
