#include "ConnectorsTestSupport.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "core/connectors/TimeEntryConnectors.hpp"

#include <gmock/gmock.h>

#include <cmath>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;
using test::reminder;

namespace {

AnyDragGestureValue pull(double width, double height)
{
    AnyDragGestureValue value;
    value.translation = { width, height };
    value.predictedEndTranslation = value.translation;
    return value;
}

class TimeEntryConnectors : public ConnectorsTest { };

} // namespace

// A pull as the icon reports it: each sample goes through the icon's filters on its view
// state, the filtered actions through its connector into the real reducer, and the time
// label reads the result through its own connector.
TEST_F(TimeEntryConnectors, APullThroughTheIconFiltersValuesAndShowsTheLabelPastTheMinimum)
{
    struct Step {
        const char* name;
        DragGesturePhase phase;
        Size translation;
        bool phaseSent;
        bool valueSent;
        bool labelShown;
        bool beyondMinimum;
        TimeInterval interval;
    };
    using P = DragGesturePhase;
    // Points per interval 4 (step² 16), minimum distance 22 (484).
    const Step steps[] = {
        { "begin at the icon", P::begin, { 0, 0 }, true, true, false, false, 0 },
        { "a change of 9 is filtered", P::changed, { 3, 0 }, true, false, false, false, 0 },
        { "a change of 16 is filtered", P::changed, { 4, 0 }, false, false, false, false, 0 },
        { "a change of 17 goes through", P::changed, { 4, 1 }, false, true, false, false, 1 },
        { "exactly the minimum is not beyond it", P::changed, { 22, 0 }, false, true, false, false,
            30 },
        { "beyond the minimum shows the label", P::changed, { 23, 0 }, false, true, true, true,
            33 },
        { "above a minute snaps to minutes", P::changed, { 40, 30 }, false, true, true, true, 120 },
        { "a pull shrinking back is sent too", P::changed, { 30, 30 }, false, true, true, true,
            60 },
        { "release hides the label", P::ended, { 30, 30 }, true, false, false, true, 60 },
    };

    auto store = makeStore();
    const StatusItemConnector icon { clock, calendar };
    const YoyoTimeViewConnector label { clock };
    const Date begin = now();
    for (const auto& step : steps) {
        clock->advance(0.1);
        const auto before = store->state();
        const auto sent = statusItemDragActions(icon.mapState(before), step.phase,
            pull(step.translation.width, step.translation.height));
        bool phaseSent = false;
        bool valueSent = false;
        for (const auto& action : sent) {
            phaseSent
                = phaseSent || caseOf<StatusItemConnectingView::Action::DragGestureStatus>(action);
            valueSent
                = valueSent || caseOf<StatusItemConnectingView::Action::DragGestureValue>(action);
            store->dispatch(icon.mapAction(action));
        }
        EXPECT_EQ(phaseSent, step.phaseSent) << step.name;
        EXPECT_EQ(valueSent, step.valueSent) << step.name;

        const auto shown = label.mapState(store->state());
        EXPECT_EQ(shown.isPresented, step.labelShown) << step.name;
        EXPECT_EQ(shown.translationDistanceIsGreaterThanMinimum, step.beyondMinimum) << step.name;
        EXPECT_EQ(shown.timeInterval, step.interval) << step.name;
        EXPECT_EQ(shown.startDate, begin + std::chrono::milliseconds(100))
            << step.name << ": the pull's start, not now";
    }
    ASSERT_TRUE(store->state().dataEntry.editing) << "a pull past the minimum enters a reminder";
    EXPECT_EQ(duration(*store->state().dataEntry.editing), 60.0);
}

TEST_F(TimeEntryConnectors, TheLabelIsShownOnlyForAPullBeyondTheMinimumThatHasNotEnded)
{
    struct Case {
        const char* name;
        std::optional<DragGesturePhase> phase;
        std::optional<Size> translation;
        bool shown;
        bool beyondMinimum;
    };
    using P = DragGesturePhase;
    const Case cases[] = {
        { "no value", std::nullopt, std::nullopt, false, false },
        { "short pull, no phase", std::nullopt, Size { 10, 10 }, false, false },
        { "short pull, begin", P::begin, Size { 10, 10 }, false, false },
        { "short pull, changed", P::changed, Size { 10, 10 }, false, false },
        { "short pull, ended", P::ended, Size { 10, 10 }, false, false },
        { "long pull, no phase", std::nullopt, Size { 0, 30 }, true, true },
        { "long pull, begin", P::begin, Size { 0, 30 }, true, true },
        { "long pull, changed", P::changed, Size { -30, 0 }, true, true },
        { "long pull, ended", P::ended, Size { 0, 30 }, false, true },
    };
    const YoyoTimeViewConnector label { clock };
    for (const auto& c : cases) {
        AppState state = initialState();
        state.dragGesture.phase = c.phase;
        if (c.translation)
            state.dragGesture.value = pull(c.translation->width, c.translation->height);
        const auto shown = label.mapState(state);
        EXPECT_EQ(shown.isPresented, c.shown) << c.name;
        EXPECT_EQ(shown.translationDistanceIsGreaterThanMinimum, c.beyondMinimum) << c.name;
    }

    const auto idle = label.mapState(initialState());
    EXPECT_EQ(idle.timeInterval, 0.0);
    EXPECT_EQ(idle.startDate, now()) << "before any pull the label counts from now";
    EXPECT_EQ(idle.formatter, initialState().settings.general.relativeTimeFormatter)
        << "the settings' formatter itself, not a copy";
}

TEST_F(TimeEntryConnectors, TheCardShowsTheEnteredReminderAndSavesItAsOneCreateRequest)
{
    const DragDataEntryConnector card;
    AppState state = initialState();
    EXPECT_EQ(card.mapState(state).progress, 0.0);
    state.view.yoyo.drag.isPresented = true;
    state.dataEntry.editing = reminder("r", in(300));
    state.view.yoyo.drag.saved = "earlier";
    const auto shown = card.mapState(state);
    EXPECT_EQ(shown.progress, 1.0);
    EXPECT_EQ(shown.reminder, state.dataEntry.editing);
    EXPECT_EQ(shown.saved, "earlier");
    EXPECT_EQ(shown.position, DataEntryPosition::belowMenubar);

    using A = DragDataEntryConnectingView::Action;
    const AnyReminder r = reminder("r", in(300));
    EXPECT_EQ(card.mapAction(A::IsPresented { true }),
        actions::viewAction(
            ViewAction::Yoyo { YoyoAction::Drag { YoyoDragAction::IsPresented { true } } }));
    EXPECT_EQ(card.mapAction(A::Reminder { std::nullopt }),
        AppAction(AppAction::DataEntry { DataEntryAction::Editing { std::nullopt } }));
    EXPECT_EQ(card.mapAction(A::SaveID { "r" }),
        actions::viewAction(
            ViewAction::Yoyo { YoyoAction::Drag { YoyoDragAction::Saved { "r" } } }));

    auto store = makeStore();
    store->dispatch(card.mapAction(A::Save { r }));
    EXPECT_EQ(
        store->state().remindersStore.items.submittedValues.create, std::set<AnyReminder> { r });
    EXPECT_EQ(store->state().remindersStore.items.status, Status::loading);
}

TEST_F(TimeEntryConnectors, TheBlobSpringsBackToAUnitVectorAndAZeroPullStaysAtItsStart)
{
    struct Case {
        Size translation;
        Size expected;
    };
    const Case cases[] = {
        { { 30, 40 }, { 0.6, 0.8 } },
        { { -3, 0 }, { -1, 0 } },
        { { 0, 0 }, { 0, 0 } }, // no direction: never NaN
        { { 0, -0.5 }, { 0, -1 } },
    };
    const YoyoAnimationConnector animation;
    for (const auto& c : cases) {
        const auto action = animation.mapAction(
            YoyoAnimation::Action::AnimateTranslationToStart { c.translation });
        const auto* end
            = caseAt<AppAction::DragGesture, DragGestureAction::DidEndTranslation>(action);
        ASSERT_TRUE(end);
        const auto& sent = end->translation;
        ASSERT_TRUE(sent);
        EXPECT_DOUBLE_EQ(sent->width, c.expected.width);
        EXPECT_DOUBLE_EQ(sent->height, c.expected.height);
        EXPECT_FALSE(std::isnan(sent->width) || std::isnan(sent->height));
    }

    using A = YoyoAnimation::Action;
    auto yoyoDrag = [](YoyoDragAction a) {
        return actions::viewAction(ViewAction::Yoyo { YoyoAction::Drag { a } });
    };
    EXPECT_EQ(animation.mapAction(A::ZevovozoStatus { ZevovozoStatus::longHold }),
        actions::viewAction(ViewAction::StatusItem {
            StatusItemAction::Zevovozo { ZevovozoAction::Status { ZevovozoStatus::longHold } } }));
    EXPECT_EQ(animation.mapAction(A::BlobOpacity { 0.25 }),
        yoyoDrag(YoyoDragAction::BlobOpacity { 0.25 }));
    EXPECT_EQ(
        animation.mapAction(A::PopoverIsPresented { true }), actions::popoverIsPresented(true));
    EXPECT_EQ(animation.mapAction(A::BlobOpacityAnimationDidFinish {}),
        yoyoDrag(YoyoDragAction::AnimateOutDidEnd {}));
}

TEST_F(TimeEntryConnectors, TheBlobStartsOnTheIconAndEndsWhereThePullRests)
{
    AppState state = initialState();
    const YoyoBlobConnector blob;
    const YoyoAnimationConnector animation;
    EXPECT_EQ(blob.mapState(state).startFrame, Rect(-8, -8, 16, 16))
        << "no drag frame yet: centred on a zero rectangle";
    EXPECT_EQ(animation.mapState(state).translation, Size {}) << "always present";

    state.view.statusItem.dragFrame = Rect(100, 0, 24, 22);
    state.dragGesture.value = pull(5, 50);
    EXPECT_EQ(blob.mapState(state).startFrame, Rect(104, 3, 16, 16));
    EXPECT_EQ(blob.mapState(state).translation, (Size { 5, 50 }));
    state.dragGesture.didEndTranslation = Size { 0.1, 0.99 };
    EXPECT_EQ(animation.mapState(state).translation, (Size { 0.1, 0.99 }))
        << "the resting translation wins";

    state.view.yoyo.drag.isPresented = true;
    state.view.yoyo.drag.blobOpacity = 0.4;
    const auto front = YoyoFrontConnector {}.mapState(state);
    const auto back = YoyoBackConnector { clock }.mapState(state);
    EXPECT_EQ(front.blobView, blob.mapState(state));
    EXPECT_TRUE(front.blobView.isSmall);
    EXPECT_EQ(front.animation.blobOpacity, 0.4);
    EXPECT_EQ(back.dataEntry, DragDataEntryConnector {}.mapState(state));
    EXPECT_EQ(back.timeView, YoyoTimeViewConnector { clock }.mapState(state));

    const YoyoFrontView::Action fromCard
        = YoyoOverlayActionCases::DataEntry { DragDataEntryConnectingView::Action::SaveID { "x" } };
    EXPECT_EQ(YoyoFrontConnector {}.mapAction(fromCard),
        DragDataEntryConnector {}.mapAction(DragDataEntryConnectingView::Action::SaveID { "x" }));
    const YoyoBackView::Action fromAnimation
        = YoyoOverlayActionCases::Animation { YoyoAnimation::Action::BlobOpacity { 0 } };
    EXPECT_EQ(YoyoBackConnector { clock }.mapAction(fromAnimation),
        YoyoAnimationConnector {}.mapAction(YoyoAnimation::Action::BlobOpacity { 0 }));
}

TEST_F(TimeEntryConnectors, TheScrollExtrasFrameBecomesTheScrollBoundsNotTheScrollFrame)
{
    auto store = makeStore();
    const ScrollMenuBarExtraConnector extra;
    using A = ScrollMenuBarExtraConnectingView::Action;
    store->dispatch(extra.mapAction(A::Frame { Rect(300, 0, 22, 22) }));
    EXPECT_EQ(store->state().view.statusItem.scrollBounds, Rect(300, 0, 22, 22));
    EXPECT_EQ(store->state().view.statusItem.scrollFrame, std::nullopt);

    store->dispatch(extra.mapAction(A::IsPresented { true }));
    EXPECT_TRUE(store->state().view.yoyo.scroll.isPresented);
    store->dispatch(extra.mapAction(A::DeltaTranslation { { 0, 8 } }));
    EXPECT_EQ(store->state().scrollGesture.deltaTranslation, (Size { 0, 8 }));
    EXPECT_EQ(extra.mapState(store->state()), ScrollMenuBarExtraConnectingView::State {});
}
