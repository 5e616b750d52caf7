#include "entry/YoyoLayout.hpp"
#include "entry/BlobIcon.hpp"

#include <gtest/gtest.h>

#include <cmath>

using namespace tidemark;

namespace {

Rect square(Point center, double side)
{
    return { center.x - side / 2, center.y - side / 2, side, side };
}

} // namespace

TEST(YoyoLayout, TheLabelStandsBesideTheLowerEndOrCoversIt)
{
    // The icon at (1900, 12), pulled 100 points straight down.
    const BlobViewModel blob { square({ 1900, 12 }, 16), { 0, 100 }, false };
    const Size content { 120, 60 };
    EXPECT_EQ(yoyoTimeLabelFrame(content, 0, blob), square({ 1900, 112 }, 16))
        << "not presented: the lower end's frame";
    EXPECT_EQ(yoyoTimeLabelFrame(content, 1, blob), Rect(1892 - 4 - 120, 112 - 30, 120, 60))
        << "presented: trailing middle 4 points short of the lower end's leading middle";
    EXPECT_EQ(yoyoTimeLabelFrame(content, 0.5, blob),
        Rect((1892 + 1768) / 2.0, (104 + 82) / 2.0, 68, 38));
}

TEST(YoyoLayout, TheLabelsLookFollowsItsPresentation)
{
    const struct {
        bool presented;
        double blobOpacity;
        YoyoTimeLabelLook look;
    } cases[] = {
        { true, 1, { 14.5, 1, 1, 0, 1, 1, 4 } },
        { true, 0.3, { 14.5, 1, 1, 0, 1, 1, 4 } }, // no cover while presented
        { false, 1, { 0, 0, 0, 1, 0, 0, 0 } },
        { false, 0, { 0, 0, 0, 0, 0, 0, 0 } }, // nothing visible
        { false, 1.7, { 0, 0, 0, 1, 0, 0, 0 } }, // the cover's opacity is capped at 1
    };
    for (const auto& c : cases)
        EXPECT_EQ(YoyoTimeLabelLook::of(c.presented, c.blobOpacity), c.look)
            << c.presented << " " << c.blobOpacity;
}

TEST(YoyoLayout, TheCardGrowsOutOfTheLowerEndAndSettlesUnderTheIcon)
{
    const Rect window(0, 0, 1920, 1080);
    const BlobViewModel blob { square({ 1900, 12 }, 16), { 1, 0 }, true };
    const Size card { 230, 140 };
    const Rect hidden
        = dragDataEntryCardFrame(card, 0, DataEntryPosition::belowMenubar, blob, window);
    EXPECT_EQ(hidden.size, blob.topBlobSize()) << "the upper end's size";
    EXPECT_EQ(hidden.center(), blob.bottomBlobFrame().center()) << "on the lower end";

    const BlobViewModel inland { square({ 1500, 12 }, 16), { 1, 0 }, true };
    EXPECT_EQ(dragDataEntryCardFrame(card, 1, DataEntryPosition::belowMenubar, inland, window),
        Rect(1500 - 115, 12 + 16, 230, 140))
        << "centred under the icon, its top 16 points (the padding) below the upper end's centre";
    // An icon near an edge of the screen: the card stays whole on it, 16 points inside.
    EXPECT_EQ(dragDataEntryCardFrame(card, 1, DataEntryPosition::belowMenubar, blob, window),
        Rect(1920 - 16 - 230, 12 + 16, 230, 140));
    const BlobViewModel leftEdge { square({ 30, 12 }, 16), { 1, 0 }, true };
    EXPECT_EQ(dragDataEntryCardFrame(card, 1, DataEntryPosition::belowMenubar, leftEdge, window),
        Rect(16, 12 + 16, 230, 140));
    const Rect centred = dragDataEntryCardFrame(card, 1, DataEntryPosition::center, blob, window);
    EXPECT_EQ(centred, Rect(960 - 115, 540 - 70, 230, 140));
}

TEST(YoyoLayout, ControlsAndCardScaleWithProgress)
{
    const struct {
        double progress;
        DataEntryControlsMetrics controls;
        DragDataEntryCardLook card;
    } cases[] = {
        { 0, { 0, 0, 0 }, { 0, 0, 0, 1 } },
        { 0.5, { 11, 5.5, 2 }, { 5.5, 2, 0.5, 0.5 } },
        { 1, { 22, 11, 4 }, { 11, 4, 1, 0 } },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DataEntryControlsMetrics::of(c.progress), c.controls) << c.progress;
        EXPECT_EQ(DragDataEntryCardLook::of(c.progress), c.card) << c.progress;
    }
    EXPECT_EQ(DataEntryControlsMetrics::of(1, 1.25).height, 27.5) << "scaled with the text";
    EXPECT_GT(DataEntryControlsMetrics::hairlineOpacity(true),
        DataEntryControlsMetrics::hairlineOpacity(false));
    EXPECT_EQ(dragDataEntrySpring(), (SpringAnimation { 0.45, 0.775, 0 }));
}

TEST(BlobIconGeometry, ThePresetsAndTheCircleOffsetRule)
{
    const auto& small = BlobIcon::State::small();
    const auto& large = BlobIcon::State::large();
    EXPECT_EQ(&small, &BlobIcon::State::small()) << "built once";
    EXPECT_EQ(small.bridge.circleYOffSet({ 16, 16 }), 4.5);
    EXPECT_EQ(large.bridge.circleYOffSet({ 16, 16 }), 3);
    EXPECT_EQ(large.circle.offset({ 99, 5 }), -2.5) << "height = diameter gives −padding";
    EXPECT_TRUE(small.backgroundIsPresented);
    EXPECT_FALSE(large.backgroundIsPresented);
    EXPECT_EQ(small.padding, 2);
    EXPECT_EQ(large.padding, 0);

    // The bar keeps its resting length when the circle is changed later.
    BlobIcon::State merged = large;
    merged.circle.yOffset = 0;
    EXPECT_EQ(merged.bridge.circleYOffSet({ 16, 16 }), 3);
    EXPECT_EQ(merged.circle.offset({ 16, 16 }), 0);

    // In 16 points the large dots sit 3 from the centre, the bar is 16 − 10 high.
    const BlobIcon::Shapes shapes = BlobIcon::shapes(large, { 16, 16 });
    EXPECT_EQ(shapes.topCircle, square({ 8, 5 }, 5));
    EXPECT_EQ(shapes.bottomCircle, square({ 8, 11 }, 5));
    EXPECT_EQ(shapes.bar, Rect(6.5, 5, 3, 6));
    EXPECT_EQ(shapes.centerCircle, square({ 8, 8 }, 2));
}
