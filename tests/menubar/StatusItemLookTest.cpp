#include "menubar/StatusItemLook.hpp"
#include "menubar/BackgroundProgressBar.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tidemark;

TEST(StatusItemLook, TheItemWidensWithTheCountdown)
{
    EXPECT_EQ(StatusItemLook::size(40, false), (Size { 34, 22 }))
        << "hidden countdown: the 16-point icon with 9 points either side";
    EXPECT_EQ(StatusItemLook::size(40, true), (Size { 34 + 2 + 40 + 5, 22 }));
    EXPECT_EQ(StatusItemLook::iconFrame({ 34, 22 }), Rect(9, 3, 16, 16));
    EXPECT_EQ(StatusItemLook::hitFrame({ 81, 22 }), Rect(6, 0, 22, 22))
        << "a pull starts only on the icon, not on the countdown";
}

TEST(StatusItemLook, IconColoursFollowTheProgressBarAndThePreset)
{
    using C = StatusItemColor;
    CountdownView::State barOn;
    barOn.progressBar.isEnabled = true;
    CountdownView::State barOff;
    barOff.progressBar.isEnabled = false;
    const auto& small = BlobIcon::State::small(); // with a background
    const auto& large = BlobIcon::State::large(); // without
    BlobIcon::State active = large;
    active.tintColor = BlobIcon::Tint::accent;

    const struct {
        const BlobIcon::State* icon;
        const CountdownView::State* countdown;
        bool dark;
        C background, tint;
    } cases[] = {
        { &large, &barOff, false, C::primary, C::primary },
        { &small, &barOff, false, C::primary, C::white },
        { &small, &barOff, true, C::primary, C::black },
        { &small, &barOn, false, C::tertiaryLabel, C::primary },
        { &active, &barOff, false, C::primary, C::accent },
        { &active, &barOn, true, C::tertiaryLabel, C::accent },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusItemLook::iconBackground(*c.countdown), c.background);
        EXPECT_EQ(StatusItemLook::iconTint(*c.icon, *c.countdown, c.dark), c.tint);
    }
    EXPECT_EQ(StatusItemLook::iconBackgroundOpacity(small), 1);
    EXPECT_EQ(StatusItemLook::iconBackgroundOpacity(large), 0);
    EXPECT_EQ(StatusItemLook::containerCornerRadius(large, 22), 6);
    EXPECT_EQ(StatusItemLook::containerCornerRadius(active, 22), 6)
        << "radius 6 until the look changes";
    BlobIcon::State capsule = active;
    capsule.cornerRadius = std::numeric_limits<double>::infinity();
    EXPECT_EQ(StatusItemLook::containerCornerRadius(capsule, 22), 11);
}

TEST(StatusItemLook, AClickTogglesSelectionAndControlClickDoesNothing)
{
    using S = ZevovozoStatus;
    EXPECT_EQ(StatusItemLook::tapStatus(S::idle, false), S::selected);
    EXPECT_EQ(StatusItemLook::tapStatus(S::selected, false), S::idle);
    EXPECT_EQ(StatusItemLook::tapStatus(S::hovering, false), S::selected)
        << "a hovering icon is selected again";
    EXPECT_EQ(StatusItemLook::tapStatus(S::idle, true), std::nullopt);
    EXPECT_EQ(StatusItemLook::tapStatus(S::selected, true), std::nullopt);
}

TEST(BackgroundProgressBar, TheBarIsAsWideAsTheShareAheadInsetByOne)
{
    const Size area { 80, 22 };
    const struct {
        double progress;
        Rect bar;
        long pixels; // at device pixel ratio 2
    } cases[] = {
        { 1, Rect(1, 1, 78, 20), 156 },
        { 0.5, Rect(1, 1, 38, 20), 76 },
        { 0.0125, Rect(0.5, 1, 0, 20), 0 }, // one point wide: nothing left inside the inset
        { 0, Rect(0, 1, 0, 20), 0 },
        { 1.5, Rect(1, 1, 78, 20), 156 },
        { std::numeric_limits<double>::quiet_NaN(), Rect(0, 1, 0, 20), 0 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BackgroundProgressBar::barRect(area, c.progress), c.bar) << c.progress;
        EXPECT_EQ(BackgroundProgressBar::visibleWidth(area, c.progress, 2), c.pixels) << c.progress;
    }
}
