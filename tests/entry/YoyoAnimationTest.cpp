#include "entry/YoyoAnimation.hpp"
#include "entry/YoyoState.hpp"
#include "entry/YoyoViewStates.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace tidemark;

TEST(YoyoAnimation, TheBlobSpringsBackToOnePointAlongThePull)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        Size translation;
        Size unit;
    } cases[] = {
        { { 30, 40 }, { 0.6, 0.8 } },
        { { -5, 0 }, { -1, 0 } },
        { { 0, 22 }, { 0, 1 } },
        { { -3, -4 }, { -0.6, -0.8 } },
        { { 0, 0 }, { 0, 0 } }, // no direction: zero, not NaN
        { { nan, 1 }, { 0, 0 } },
        { { inf, 1 }, { 0, 0 } },
    };
    for (const auto& c : cases) {
        const Size unit = springBackTranslation(c.translation);
        EXPECT_DOUBLE_EQ(unit.width, c.unit.width)
            << c.translation.width << ", " << c.translation.height;
        EXPECT_DOUBLE_EQ(unit.height, c.unit.height)
            << c.translation.width << ", " << c.translation.height;
    }
    const Size tiny = springBackTranslation({ 1e-300, 1e-300 });
    EXPECT_NEAR(std::hypot(tiny.width, tiny.height), 1, 1e-12)
        << "a tiny pull still has a direction";
}

TEST(YoyoAnimation, FadesOutThenFinishesInTheYoyoSpring)
{
    using Action = YoyoAnimation::Action;
    EXPECT_EQ(yoyoSpring(), (SpringAnimation { 0.35, 0.46, 0.25 }));
    EXPECT_EQ(&yoyoSpring(), &yoyoSpring()) << "built once";

    EXPECT_EQ(yoyoFadeOutSteps(),
        (std::vector<YoyoAnimationStep> {
            { Action::ZevovozoStatus { ZevovozoStatus::longHold }, yoyoSpring() },
            { Action::BlobOpacity { 0 }, std::nullopt },
        }));
    EXPECT_EQ(yoyoFinishSteps(),
        (std::vector<YoyoAnimationStep> {
            { Action::BlobOpacityAnimationDidFinish {}, std::nullopt },
            { Action::ZevovozoStatus { ZevovozoStatus::idle }, yoyoSpring() },
        }));
}

TEST(YoyoAnimation, EveryFinishedFadeLowersTheSemaphoreOnce)
{
    // The connector turns a finished fade into animateOutDidEnd; two finishes lower twice.
    YoyoDragState drag;
    drag.semaphore = 2;
    for (int i = 0; i < 2; ++i) {
        for (const auto& step : yoyoFinishSteps()) {
            if (caseOf<YoyoAnimation::Action::BlobOpacityAnimationDidFinish>(step.action))
                yoyoDragReducer(drag, YoyoDragAction::AnimateOutDidEnd {});
        }
    }
    EXPECT_EQ(drag.semaphore, 0);
}

TEST(YoyoViewStates, CompareFormattersByIdentity)
{
    auto formatter = std::make_shared<DateComponentsFormatter>();
    YoyoTimeView::State a;
    a.formatter = formatter;
    YoyoTimeView::State b = a;
    EXPECT_EQ(a, b);
    b.formatter = std::make_shared<DateComponentsFormatter>();
    EXPECT_NE(a, b) << "another formatter is another state";

    DragDataEntryConnectingView::State card;
    card.formatter = formatter;
    YoyoBackView::State back { {}, {}, card, a };
    YoyoBackView::State other = back;
    EXPECT_EQ(back, other);
    other.blobView.translation = Size { 0, -0.0 };
    EXPECT_EQ(back, other) << "0 and -0 compare equal";
    other.animation.phase = DragGesturePhase::ended;
    EXPECT_NE(back, other);

    using CardAction = DragDataEntryConnectingView::Action;
    EXPECT_NE(
        YoyoFrontView::Action(YoyoFrontView::Action::DataEntry { CardAction::SaveID { "a" } }),
        YoyoFrontView::Action(YoyoFrontView::Action::DataEntry { CardAction::SaveID { "b" } }));
}
