#include "core/TimerSlice.hpp"
#include "core/UndoManagerSlice.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(TimerSlice, StartAndStopChangeTheIdOnlyOnARealChange)
{
    TimerState timer;
    const auto initial = timer.id;
    timerReducer(timer, TimerAction::stop);
    EXPECT_EQ(timer.id, initial) << "stopping a stopped timer changes nothing";

    timerReducer(timer, TimerAction::start);
    const auto started = timer.id;
    EXPECT_NE(started, initial);
    timerReducer(timer, TimerAction::start);
    EXPECT_EQ(timer.id, started) << "a repeated start keeps the running stream";
    EXPECT_EQ(test::timers().running(), 1u);

    int first = 0;
    int second = 0;
    auto a = timer.publisher.sink([&](const rx::Unit&) { ++first; });
    auto b = timer.publisher.sink([&](const rx::Unit&) { ++second; });
    test::timers().fire();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(test::timers().running(), 1u) << "one platform timer serves every subscriber";

    timerReducer(timer, TimerAction::stop);
    EXPECT_NE(timer.id, started);
    EXPECT_FALSE(timer.isRunning());
    test::timers().fire();
    EXPECT_EQ(first, 1) << "no ticks after stop";
    EXPECT_EQ(test::timers().running(), 0u);

    TimerState other = timer;
    other.publisher = rx::Just(rx::Unit {});
    EXPECT_EQ(other, timer) << "equality is by id alone";
}

TEST(UndoManagerSlice, SendsUndoAndRedoToTheStoredManagerOnly)
{
    UndoManagerState state;
    undoManagerReducer(state, UndoManagerAction::Undo {}); // no manager: nothing happens

    auto manager = std::make_shared<UndoManager>();
    int value = 0;
    undoManagerReducer(state, UndoManagerAction::SetManager { manager });
    manager->beginUndoGrouping();
    value = 1;
    manager->registerUndo(&value, [&] { value = 0; });
    manager->endUndoGrouping();

    undoManagerReducer(state, UndoManagerAction::Undo {});
    EXPECT_EQ(value, 0);

    undoManagerReducer(state, UndoManagerAction::SetManager { nullptr });
    EXPECT_EQ(state, UndoManagerState {});
    undoManagerReducer(state, UndoManagerAction::Redo {});
    EXPECT_EQ(value, 0);
}

#include "core/SharedValues.hpp"

TEST(SharedValues, GoldenMultiplesAndCentring)
{
    EXPECT_DOUBLE_EQ(goldenMinor(100.0), 38.1966);
    EXPECT_DOUBLE_EQ(goldenMajor(100.0), 61.8034);
    EXPECT_DOUBLE_EQ(goldenRatioMultipleInteger(std::uint64_t { 10 }), 16.18034);
    Rect rect(10, 20, 30, 40);
    setCenter(rect, { 0, 0 });
    EXPECT_EQ(rect, Rect(-15, -20, 30, 40)) << "moving the centre keeps width and height";
}
