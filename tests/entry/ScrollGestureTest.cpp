#include "entry/ScrollGesture.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tidemark;

TEST(ScrollGestureState, StartsEmptyWithEightPointsPerStep)
{
    EXPECT_EQ(ScrollGestureState::initial().heightPerUnit, 8.0);
    EXPECT_EQ(ScrollGestureState::initial(),
        (ScrollGestureState { std::nullopt, 8.0, std::nullopt, std::nullopt }));
}

TEST(ScrollGestureState, StoresTheLatestDeltaAndFrameOnly)
{
    ScrollGestureState state;
    state.startDate = dateFromTimeIntervalSince1970(10);
    ScrollGestureState expected = state;

    scrollGestureReducer(state, ScrollGestureAction::DeltaTranslation { Size { 1, 16 } });
    scrollGestureReducer(state, ScrollGestureAction::DeltaTranslation { Size { 0, 8 } });
    expected.deltaTranslation = Size { 0, 8 };
    expected.deltaCount = 2;
    EXPECT_EQ(state, expected) << "the delta replaces the previous one, nothing is summed";

    // Equal deltas are two events all the same: the count tells them apart.
    scrollGestureReducer(state, ScrollGestureAction::DeltaTranslation { Size { 0, 8 } });
    expected.deltaCount = 3;
    EXPECT_EQ(state, expected);

    scrollGestureReducer(state, ScrollGestureAction::LocalFrame { Rect { 0, 0, 22, 22 } });
    expected.localFrame = Rect { 0, 0, 22, 22 };
    EXPECT_EQ(state, expected);

    scrollGestureReducer(state, ScrollGestureAction::DeltaTranslation { std::nullopt });
    expected.deltaTranslation.reset();
    EXPECT_EQ(state, expected) << "none clears the delta and counts no event";
}

TEST(ScrollToInterval, StepsBySecondsThenMinutesAndNeverBelowZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        std::optional<TimeInterval> current;
        Size delta;
        double heightPerUnit;
        TimeInterval result;
    } cases[] = {
        { std::nullopt, { 0, 16 }, 8, 2 }, // no due date counts as 0
        { 0, { 0, 8 }, 8, 1 },
        { 59.5, { 0, 16 }, 8, 61.5 }, // the step is chosen before the change
        { 61.5, { 0, 8 }, 8, 121.5 },
        { 60, { 0, 8 }, 8, 120 }, // exactly a minute takes the minute step
        { 60, { 0, -8 }, 8, 0 },
        { 30, { 0, -800 }, 8, 0 }, // never negative
        { 30, { 0, 4 }, 8, 30.5 }, // not rounded
        { 30, { 500, 0 }, 8, 30 }, // horizontal scrolling never counts
        { 600, { 0, -4 }, 8, 570 },
        { 30, { 0, nan }, 8, 30 }, // a broken event changes nothing
        { 30, { 0, inf }, 8, 30 },
        { 30, { 0, 8 }, 0, 30 }, // as does a scale that is not a positive number
        { 30, { 0, 8 }, -8, 30 },
        { 30, { 0, 8 }, nan, 30 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(scrolledTimeInterval(c.current, c.delta, c.heightPerUnit), c.result)
            << "from " << c.current.value_or(-1) << " by (" << c.delta.width << ", "
            << c.delta.height << ") per " << c.heightPerUnit;
    }
}
