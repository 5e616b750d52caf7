#include "entry/YoyoState.hpp"

#include <gtest/gtest.h>

#include <limits>

using namespace tidemark;

namespace {

YoyoAction drag(YoyoDragAction action)
{
    return YoyoAction::Drag { std::move(action) };
}

YoyoAction scroll(YoyoScrollAction action)
{
    return YoyoAction::Scroll { std::move(action) };
}

const YoyoAction animateOutDidEnd = drag(YoyoDragAction::AnimateOutDidEnd {});

} // namespace

TEST(YoyoState, StartsWithAVisibleBlobAndNothingPresented)
{
    const YoyoState state;
    EXPECT_EQ(state.drag.blobOpacity, 1.0);
    EXPECT_FALSE(state.drag.isPresented);
    EXPECT_EQ(state.drag.position, DataEntryPosition::belowMenubar);
    EXPECT_EQ(state.drag.saved, std::nullopt);
    EXPECT_EQ(state.drag.semaphore, 0);
    EXPECT_EQ(state.scroll, (YoyoScrollState { false, false }));
}

TEST(YoyoState, TheSemaphoreCountsOverlappingDragsAndNeverGoesBelowZero)
{
    YoyoState state;
    raiseSemaphore(state.drag);
    raiseSemaphore(state.drag); // a new drag begins while the first animates out
    yoyoReducer(state, animateOutDidEnd);
    EXPECT_EQ(state.drag.semaphore, 1) << "the newer drag keeps its windows";
    yoyoReducer(state, animateOutDidEnd);
    EXPECT_EQ(state.drag.semaphore, 0);

    yoyoReducer(state, animateOutDidEnd); // a stray end with no drag behind it
    EXPECT_EQ(state.drag.semaphore, 0);
    raiseSemaphore(state.drag);
    yoyoReducer(state, animateOutDidEnd);
    EXPECT_EQ(state.drag.semaphore, 0) << "the next drag still ends at 0, so its windows close";

    state.drag.semaphore = std::numeric_limits<std::int64_t>::max();
    raiseSemaphore(state.drag);
    EXPECT_EQ(state.drag.semaphore, std::numeric_limits<std::int64_t>::max())
        << "saturates, never wraps";
}

TEST(YoyoState, StoresEachDragPayloadAsItComes)
{
    YoyoState state;
    yoyoReducer(state, drag(YoyoDragAction::BlobOpacity { 1.5 }));
    yoyoReducer(state, drag(YoyoDragAction::IsPresented { true }));
    yoyoReducer(state, drag(YoyoDragAction::Saved { "A" }));
    yoyoReducer(state, drag(YoyoDragAction::Saved { "B" }));

    YoyoState expected;
    expected.drag.blobOpacity = 1.5; // not clamped
    expected.drag.isPresented = true;
    expected.drag.saved = "B";
    EXPECT_EQ(state, expected);
}

TEST(YoyoState, EachHalfChangesAlone)
{
    YoyoState state;
    state.drag.semaphore = 3;
    state.drag.saved = "x";
    YoyoState expected = state;

    yoyoReducer(state, scroll(YoyoScrollAction::IsPresented { true }));
    expected.scroll.isPresented = true;
    EXPECT_EQ(state, expected);
    yoyoReducer(state, scroll(YoyoScrollAction::DataEntryIsPresented { true }));
    expected.scroll.dataEntryIsPresented = true;
    EXPECT_EQ(state, expected);

    YoyoDragState half = state.drag;
    yoyoDragReducer(half, YoyoDragAction::IsPresented { true });
    yoyoReducer(state, drag(YoyoDragAction::IsPresented { true }));
    EXPECT_EQ(state.drag, half);
    EXPECT_EQ(state.scroll, expected.scroll);

    YoyoState other = state;
    other.drag.semaphore = 2;
    EXPECT_NE(state, other);
}
