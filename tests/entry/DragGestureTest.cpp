#include "entry/DragGesture.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tidemark;

namespace {

AnyDragGestureValue pull(double width, double height)
{
    AnyDragGestureValue value;
    value.translation = { width, height };
    value.location = { 100 + width, 10 + height };
    value.startLocation = { 100, 10 };
    return value;
}

DragGestureState holding(std::optional<AnyDragGestureValue> value)
{
    DragGestureState state;
    state.value = value;
    return state;
}

class DragGestureReducer : public ::testing::Test {
protected:
    void send(DragGestureAction action) { dragGestureReducer(state, action, clock); }

    ManualClock clock { dateFromTimeIntervalSince1970(1'000'000) };
    DragGestureState state;
};

} // namespace

TEST(DragGestureState, StartsWithTheDefaultDistanceAndScale)
{
    const DragGestureState initial = DragGestureState::initial();
    EXPECT_EQ(initial.minimumDistance, 22.0);
    EXPECT_EQ(initial.pointPerInterval, 4.0);
    EXPECT_FALSE(initial.startDate || initial.localFrame || initial.phase
        || initial.didEndTranslation || initial.value);
}

TEST(DragGestureState, ExceedsTheMinimumDistanceOnlyStrictly)
{
    const struct {
        std::optional<AnyDragGestureValue> value;
        bool exceeds;
    } cases[] = {
        { std::nullopt, false },
        { pull(0, 0), false },
        { pull(0, 22), false }, // exactly the minimum
        { pull(0, -22), false },
        { pull(22, 0), false },
        { pull(0, 22.01), true },
        { pull(16, 16), true }, // 512 > 484
        { pull(15, 16), false }, // 225 + 256 = 481 < 484
        { pull(-30, 40), true },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(holding(c.value).exceedsMinimumDistance(), c.exceeds)
            << (c.value ? c.value->translation.width : -1) << ", "
            << (c.value ? c.value->translation.height : -1);
    }
}

TEST_F(DragGestureReducer, StampsTheStartFromTheClockOnEveryBegin)
{
    send(DragGestureAction::Phase { DragGesturePhase::begin });
    EXPECT_EQ(state.startDate, clock.now());
    EXPECT_EQ(state.phase, DragGesturePhase::begin);

    clock.advance(5);
    send(DragGestureAction::Phase { DragGesturePhase::begin });
    EXPECT_EQ(state.startDate, clock.now()) << "a repeated begin stamps again";
}

TEST_F(DragGestureReducer, RunsOneDragAndKeepsItsTraces)
{
    send(DragGestureAction::Value { pull(1, 1) }); // left over from an earlier drag
    send(DragGestureAction::DidEndTranslation { Size { 0, 1 } });
    send(DragGestureAction::Phase { DragGesturePhase::begin });
    EXPECT_EQ(state.value, pull(1, 1)) << "begin clears neither the value";
    EXPECT_EQ(state.didEndTranslation, (Size { 0, 1 })) << "nor the resting translation";

    send(DragGestureAction::Phase { DragGesturePhase::changed });
    EXPECT_EQ(state.didEndTranslation, std::nullopt);
    send(DragGestureAction::Value { pull(3, 40) });
    send(DragGestureAction::Phase { DragGesturePhase::ended });

    DragGestureState expected;
    expected.startDate = clock.now();
    expected.phase = DragGesturePhase::ended;
    expected.value = pull(3, 40);
    expected.didEndTranslation = Size { 3, 40 };
    EXPECT_EQ(state, expected);
}

TEST_F(DragGestureReducer, EndingWithoutAValueLeavesNoRestingTranslation)
{
    send(DragGestureAction::DidEndTranslation { Size { 5, 5 } });
    send(DragGestureAction::Phase { DragGesturePhase::ended });
    EXPECT_EQ(state.didEndTranslation, std::nullopt);
}

TEST_F(DragGestureReducer, StoresFramesAndTranslationsAsGiven)
{
    send(DragGestureAction::LocalFrame { Rect { 1, 2, 3, 4 } });
    send(DragGestureAction::DidEndTranslation { Size { 0.6, 0.8 } });
    EXPECT_EQ(state.localFrame, (Rect { 1, 2, 3, 4 }));
    EXPECT_EQ(state.didEndTranslation, (Size { 0.6, 0.8 }));
    send(DragGestureAction::LocalFrame { std::nullopt });
    EXPECT_EQ(state.localFrame, std::nullopt);
}

TEST_F(DragGestureReducer, KeepsTheScaleWithinTheSensitivityBounds)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double sent;
        double stored;
    } cases[] = {
        { 4, 4 },
        { 1, 1 },
        { 20, 20 },
        { 7.5, 7.5 },
        { 0, 1 },
        { -3, 1 },
        { 0.25, 1 },
        { 21, 20 },
        { 1e9, 20 },
        { std::numeric_limits<double>::infinity(), 20 },
        { nan, 4 },
    };
    for (const auto& c : cases) {
        send(DragGestureAction::PointPerInterval { c.sent });
        EXPECT_EQ(state.pointPerInterval, c.stored) << "sent " << c.sent;
    }
}

TEST(DragGestureEquality, ComparesEveryFieldAndTellsNoneFromZero)
{
    AnyDragGestureValue a = pull(3, 4);
    AnyDragGestureValue b = a;
    b.predictedEndTranslation.height = 1;
    EXPECT_NE(a, b);

    DragGestureState none;
    DragGestureState zero;
    zero.localFrame = Rect {};
    EXPECT_EQ(none, DragGestureState {});
    EXPECT_NE(none, zero);

    EXPECT_EQ(DragGestureAction(DragGestureAction::LocalFrame { std::nullopt }),
        DragGestureAction(DragGestureAction::LocalFrame { std::nullopt }));
    EXPECT_NE(DragGestureAction(DragGestureAction::LocalFrame { std::nullopt }),
        DragGestureAction(DragGestureAction::DidEndTranslation { std::nullopt }));
    EXPECT_NE(DragGestureAction(DragGestureAction::Value { a }),
        DragGestureAction(DragGestureAction::Value { b }));
}

TEST(DragGestureFilter, SendsAPhaseOnlyWhenItChanges)
{
    DragGestureState state;
    EXPECT_TRUE(shouldDispatchPhase(state, DragGesturePhase::begin));
    EXPECT_TRUE(shouldDispatchPhase(state, DragGesturePhase::ended));
    state.phase = DragGesturePhase::changed;
    EXPECT_FALSE(shouldDispatchPhase(state, DragGesturePhase::changed));
    EXPECT_TRUE(shouldDispatchPhase(state, DragGesturePhase::ended));
    EXPECT_TRUE(shouldDispatchPhase(state, DragGesturePhase::begin));
}

TEST(DragGestureFilter, SendsAValueOnlyWhenTheSquaredPullMovedByMoreThanTheSquaredScale)
{
    // Held pull (0, 10): squared length 100. At scale 4 a new value passes when its squared
    // length differs by more than 16.
    const struct {
        std::optional<AnyDragGestureValue> held;
        double scale;
        AnyDragGestureValue next;
        bool sent;
    } cases[] = {
        { std::nullopt, 4, pull(0, 0), true }, // the first value always goes
        { pull(0, 10), 4, pull(0, 10), false },
        { pull(0, 10), 4, pull(4, 10), false }, // 116: exactly 16 more
        { pull(0, 10), 4, pull(0, 10.8), true }, // 116.64: just over
        { pull(0, 10), 4, pull(0, 11), true }, // 121
        { pull(0, 10), 4, pull(0, -11), true }, // direction does not matter
        { pull(0, 10), 4, pull(0, 9), true }, // 81: a shrinking pull also updates
        { pull(0, 10), 4, pull(0, 9.3), false }, // 86.49: 13.51 less
        { pull(0, 10), 1, pull(0, 10.1), true }, // 102.01 at scale 1
        { pull(0, 10), 20, pull(0, 20), false }, // 300 < 400 at scale 20
        { pull(0, 10), 20, pull(0, 23), true }, // 529 - 100 = 429 > 400
    };
    for (const auto& c : cases) {
        DragGestureState state;
        state.value = c.held;
        state.pointPerInterval = c.scale;
        const double moved = c.held ? std::abs(c.next.translation.width * c.next.translation.width
                                 + c.next.translation.height * c.next.translation.height - 100)
                                    : 0;
        EXPECT_EQ(shouldDispatchValue(state, c.next), c.sent)
            << "next (" << c.next.translation.width << ", " << c.next.translation.height
            << ") moved " << moved << " at scale " << c.scale;
    }
}

TEST(DragGestureRules, TheBlobFollowsTheRestingTranslationThenThePull)
{
    DragGestureState state;
    EXPECT_EQ(blobTranslation(state), (Size { 0, 0 }));
    state.value = pull(30, 40);
    EXPECT_EQ(blobTranslation(state), (Size { 30, 40 }));
    state.didEndTranslation = Size { 0.6, 0.8 };
    EXPECT_EQ(blobTranslation(state), (Size { 0.6, 0.8 }));
}

TEST(DragGestureRules, AnEndedPullPastTheMinimumEntersItsStartAndInterval)
{
    const Date start = dateFromTimeIntervalSince1970(5000);
    DragGestureState ended;
    ended.phase = DragGesturePhase::ended;
    ended.startDate = start;
    ended.value = pull(30, 40);
    EXPECT_EQ(endedDragEntry(ended), (DragEntry { start, 120 }));

    ended.pointPerInterval = 20;
    EXPECT_EQ(endedDragEntry(ended), (DragEntry { start, 6 })) << "the scale of the slice counts";

    DragGestureState shortPull = ended;
    shortPull.value = pull(0, 22);
    DragGestureState noStart = ended;
    noStart.startDate.reset();
    DragGestureState noValue = ended;
    noValue.value.reset();
    DragGestureState stillRunning = ended;
    stillRunning.phase = DragGesturePhase::changed;
    for (const auto& state : { shortPull, noStart, noValue, stillRunning })
        EXPECT_EQ(endedDragEntry(state), std::nullopt);
}

TEST(DragGestureValues, AnySampleBecomesStorableState)
{
    std::mt19937 engine { 42 };
    const Date now = dateFromTimeIntervalSince1970(77);
    for (int i = 0; i < 200; ++i) {
        const MockDragGestureValue mock = MockDragGestureValue::random(now, engine);
        EXPECT_EQ(mock.time, now);
        EXPECT_EQ(mock.location, (Point { 0, 0 }));
        EXPECT_EQ(mock.startLocation, (Point { 0, 0 }));
        for (double v : { mock.translation.width, mock.translation.height })
            EXPECT_TRUE(v >= 0 && v <= 999 && v == std::floor(v)) << v;
        for (double v : { mock.predictedEndLocation.x, mock.predictedEndLocation.y,
                 mock.predictedEndTranslation.width, mock.predictedEndTranslation.height })
            EXPECT_TRUE(v >= 0 && v <= 1000 && v == std::floor(v)) << v;

        const AnyDragGestureValue stored = AnyDragGestureValue::from(mock);
        EXPECT_EQ(stored.time, mock.time);
        EXPECT_EQ(stored.translation, mock.translation);
        EXPECT_EQ(stored.predictedEndLocation, mock.predictedEndLocation);
        EXPECT_EQ(stored.predictedEndTranslation, mock.predictedEndTranslation);
        EXPECT_EQ(AnyDragGestureValue::from(stored), stored);
    }
}
