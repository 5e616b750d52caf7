#include "ConnectorsTestSupport.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "menubar/BackgroundProgressBar.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <gmock/gmock.h>

#include <cmath>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;
using test::reminder;
using test::utc;

namespace {

class MenuBarConnectors : public ConnectorsTest { };

const AppAction* submittedUpdate(const AppAction& action, std::set<AnyReminder>& submitted)
{
    const auto* items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
    if (!items || !items->action.asUpdate() || !items->action.asUpdate()->asSubmit())
        return nullptr;
    submitted = items->action.asUpdate()->asSubmit()->input;
    return &action;
}

} // namespace

TEST(CountdownProgress, FallsFromFullAtTheStartToEmptyAtTheDueDateAndIsNeverNaN)
{
    struct Case {
        const char* name;
        Date start;
        Date end;
        Date now;
        double expected;
    };
    const Date ten = utc(2024, 6, 10, 10, 0);
    const Date eleven = utc(2024, 6, 10, 11, 0);
    const Case cases[] = {
        { "a quarter in", ten, eleven, utc(2024, 6, 10, 10, 15), 0.75 },
        { "half way", ten, eleven, utc(2024, 6, 10, 10, 30), 0.5 },
        { "at the start", ten, eleven, ten, 1.0 },
        { "before the start", ten, eleven, utc(2024, 6, 10, 9, 0), 1.0 },
        { "at the end", ten, eleven, eleven, 0.0 },
        { "after the end", ten, eleven, utc(2024, 6, 10, 12, 0), 0.0 },
        { "no run, before its end", ten, ten, utc(2024, 6, 10, 9, 59), 1.0 },
        { "no run, at its end (0/0)", ten, ten, ten, 0.0 },
        { "no run, after its end", ten, ten, utc(2024, 6, 10, 10, 1), 0.0 },
        { "ends before it starts, before the end", eleven, ten, utc(2024, 6, 10, 9, 0), 1.0 },
        { "ends before it starts, between", eleven, ten, utc(2024, 6, 10, 10, 30), 0.0 },
        { "ends before it starts, after both", eleven, ten, utc(2024, 6, 10, 12, 0), 0.0 },
    };
    for (const auto& c : cases) {
        const double progress = countdownProgress(c.start, c.end, c.now);
        EXPECT_FALSE(std::isnan(progress)) << c.name;
        EXPECT_DOUBLE_EQ(progress, c.expected) << c.name;
    }
    EXPECT_EQ(BackgroundProgressBar::progress(std::nullopt, eleven, ten), 0.0);
    EXPECT_EQ(BackgroundProgressBar::progress(ten, std::nullopt, ten), 0.0);
    EXPECT_EQ(BackgroundProgressBar::progress(ten, eleven, utc(2024, 6, 10, 10, 30)), 0.5);
}

TEST_F(MenuBarConnectors, TheCountdownFollowsThePinnedReminderElseTheSoonestFutureOne)
{
    struct Case {
        const char* name;
        std::vector<AnyReminder> items;
        std::optional<std::string> pinned;
        bool isEnabled;
        bool roomInTheStatusItem;
        std::optional<std::string> followed;
        bool presented;
    };
    const auto in10 = reminder("in10", in(600));
    const auto in5 = reminder("in5", in(300));
    const auto past = reminder("past", in(-300));
    const auto dueNow = reminder("now", in(0));
    const auto undated = reminder("undated", std::nullopt);
    const Case cases[] = {
        { "nothing in the future", { past, dueNow, undated }, std::nullopt, true, true,
            std::nullopt, false },
        { "the sooner of two", { in10, in5, past }, std::nullopt, true, true, "in5", true },
        { "pinned, even when past", { in10, in5, past }, "past", true, true, "past", true },
        { "pinned but gone: the soonest", { in10, in5 }, "gone", true, true, "in5", true },
        { "pinned without a due date", { in10, undated }, "undated", true, true, "undated", false },
        { "countdown switched off", { in5 }, "in5", false, true, "in5", false },
        { "no room in the status item", { in5 }, std::nullopt, true, false, "in5", false },
    };
    for (const auto& c : cases) {
        AppState state = initialState();
        state.remindersStore.items.value = { c.items.begin(), c.items.end() };
        state.countdown.reminderID = c.pinned;
        state.countdown.isEnabled = c.isEnabled;
        state.view.statusItem.countdownIsPresented = c.roomInTheStatusItem;
        const auto countdown = CountdownConnector { clock }.mapState(state);
        EXPECT_EQ(
            countdown.reminder ? std::optional(countdown.reminder->id) : std::nullopt, c.followed)
            << c.name;
        EXPECT_EQ(countdown.isPresented, c.presented) << c.name;
        EXPECT_EQ(countdown.formatter, state.countdown.formatter) << c.name;
        EXPECT_EQ(countdown.timer, state.timer) << c.name;
    }
}

TEST_F(MenuBarConnectors, TheCountdownCountsSecondsUpToAMinuteAndHoursAndMinutesBeyond)
{
    struct Case {
        const char* name;
        std::optional<TimeInterval> dueIn;
        std::optional<std::string> title;
        bool secondsOnly;
    };
    const Case cases[] = {
        { "45 seconds", 45, "45s", true },
        { "exactly a minute", 60, "60s", true },
        { "61 seconds: minutes, leading zero hours dropped", 61, "1m", false },
        { "two and a half hours", 9000, "2h 30m", false },
        { "due now", 0, "0s", true },
        { "past", -1, std::nullopt, true },
        { "no due date", std::nullopt, std::nullopt, true },
    };
    const AppState initial = initialState();
    for (const auto& c : cases) {
        CountdownView::State state;
        state.formatter = initial.countdown.formatter;
        state.reminder = reminder("r", c.dueIn ? std::optional(in(*c.dueIn)) : std::nullopt);
        state.formatter->setAllowedUnits(DateComponentsFormatter::Unit::second);
        const auto before = state.formatter->allowedUnits();
        EXPECT_EQ(state.title(now()), c.title) << c.name;
        if (c.title) {
            const bool secondsOnly = state.formatter->allowedUnits()
                == DateComponentsFormatter::Units(DateComponentsFormatter::Unit::second);
            EXPECT_EQ(secondsOnly, c.secondsOnly)
                << c.name << ": the shared formatter keeps the units of the last title";
        } else {
            EXPECT_EQ(state.formatter->allowedUnits(), before) << c.name;
        }
    }
    CountdownView::State none;
    EXPECT_EQ(none.title(now()), std::nullopt);
}

TEST_F(MenuBarConnectors, ATimerTickAloneIsNoNewCountdownState)
{
    AppState state = initialState();
    state.remindersStore.items.value = { reminder("r", in(600)) };
    const CountdownConnector countdown { clock };
    const auto first = countdown.mapState(state);
    clock->advance(1);
    EXPECT_EQ(countdown.mapState(state), first) << "the same reminder a second later";
    timerReducer(state.timer, TimerAction::start);
    EXPECT_NE(countdown.mapState(state), first) << "a started timer is a new stream to follow";
    timerReducer(state.timer, TimerAction::stop);
}

TEST_F(MenuBarConnectors, SelectingTheIconRemovesOnlyWhatTheAutomaticRemovalHasDue)
{
    using A = StatusItemConnectingView::Action;
    using S = ZevovozoStatus;
    const Date fourToday = utc(2024, 6, 10, 4, 0);
    const auto dueYesterday = reminder("yesterday", utc(2024, 6, 9, 15, 0));
    const auto dueThisMorning = reminder("morning", utc(2024, 6, 10, 5, 0));
    struct Case {
        const char* name;
        bool isEnabled;
        std::vector<AnyReminder> items;
        ZevovozoStatus status;
        bool removes;
        std::optional<bool> popover; // none: the popover is left alone
    };
    const Case cases[] = {
        { "selected, removal on, something due", true, { dueYesterday, dueThisMorning },
            S::selected, true, true },
        { "selected, removal on, nothing due", true, { dueThisMorning }, S::selected, false, true },
        { "selected, removal on, no reminders", true, {}, S::selected, false, true },
        { "selected, removal off", false, { dueYesterday }, S::selected, false, true },
        { "idle closes", true, { dueYesterday }, S::idle, false, false },
        { "dragging closes", true, { dueYesterday }, S::dragging, false, false },
        { "hovering leaves the popover", true, { dueYesterday }, S::hovering, false, std::nullopt },
        { "a long hold leaves the popover", true, { dueYesterday }, S::longHold, false,
            std::nullopt },
    };
    const StatusItemConnector icon { clock, calendar };
    for (const auto& c : cases) {
        AppState state = initialState();
        state.reminders.automaticRemoval.isEnabled = c.isEnabled;
        state.reminders.automaticRemoval.date = fourToday;
        state.remindersStore.items.value = { c.items.begin(), c.items.end() };
        const auto view = icon.mapState(state);
        EXPECT_EQ(view.automaticRemindersRemoval,
            (AutomaticRemindersRemovalState {
                c.isEnabled, fourToday, state.remindersStore.items.value }))
            << c.name;

        std::vector<A> expected;
        if (c.removes)
            expected.push_back(
                A::AutomaticRemindersRemoval { AutomaticRemindersRemovalAction::Remove {
                    state.remindersStore.items.value, fourToday } });
        if (c.popover)
            expected.push_back(A::PopoverIsPresented { *c.popover });
        expected.push_back(A::ZevovozoStatus { c.status });
        EXPECT_EQ(statusItemStatusActions(view, c.status, now(), calendar), expected) << c.name;
    }
}

TEST_F(MenuBarConnectors, OpeningFromTheIconCompletesTheDueRemindersBeforeThePopoverShows)
{
    auto store = makeStore();
    const auto dueYesterday = reminder("yesterday", utc(2024, 6, 9, 15, 0));
    const auto dueThisMorning = reminder("morning", utc(2024, 6, 10, 5, 0));
    store->dispatch(readItems({ dueYesterday, dueThisMorning }));
    store->dispatch(AppAction::Reminders {
        RemindersAction::AutomaticRemoval { AutomaticRemovalAction::IsEnabled { true } } });
    store->dispatch(AppAction::Reminders { RemindersAction::Selection { { "morning" } } });

    const StatusItemConnector icon { clock, calendar };
    for (const auto& action : statusItemStatusActions(
             icon.mapState(store->state()), ZevovozoStatus::selected, now(), calendar))
        store->dispatch(icon.mapAction(action));

    AnyReminder completed = dueYesterday;
    completed.completionDate = now();
    const auto& items = store->state().remindersStore.items;
    EXPECT_EQ(items.submittedValues.update, std::set<AnyReminder> { completed });
    EXPECT_EQ(items.value, std::set<AnyReminder> { dueThisMorning });
    EXPECT_TRUE(store->state().view.popover.isPresented);
    EXPECT_EQ(store->state().view.statusItem.zevovozo.status, ZevovozoStatus::selected);

    // A second opening finds nothing due: the selection made since survives, and no empty
    // update is submitted.
    store->dispatch(AppAction::Reminders { RemindersAction::Selection { { "morning" } } });
    for (const auto& action : statusItemStatusActions(
             icon.mapState(store->state()), ZevovozoStatus::selected, now(), calendar))
        store->dispatch(icon.mapAction(action));
    EXPECT_EQ(store->state().reminders.selection, std::set<std::string> { "morning" });
    EXPECT_EQ(store->state().remindersStore.items.submittedValues.update,
        std::set<AnyReminder> { completed });

    // Should a remove with nothing due reach the connector anyway, it changes nothing.
    const AppState before = store->state();
    const AppAction stray
        = icon.mapAction(StatusItemConnectingView::Action::AutomaticRemindersRemoval {
            AutomaticRemindersRemovalAction::Remove {
                { dueThisMorning }, utc(2024, 6, 1, 4, 0) } });
    EXPECT_EQ(stray, AppAction(AppAction::Countdown { CountdownAction::ReadDueDate {} }));
    store->dispatch(stray);
    EXPECT_EQ(store->state(), before);
}

TEST_F(MenuBarConnectors, TheIconsOtherActionsReachTheirSlices)
{
    auto store = makeStore();
    const StatusItemConnector icon { clock, calendar };
    using A = StatusItemConnectingView::Action;
    store->dispatch(icon.mapAction(A::IconFrame { Rect(10, 0, 22, 22) }));
    store->dispatch(icon.mapAction(A::ZevovozoStatus { ZevovozoStatus::hovering }));
    store->dispatch(icon.mapAction(A::PopoverIsPresented { true }));
    EXPECT_EQ(store->state().view.statusItem.zevovozo,
        (ZevovozoState { Rect(10, 0, 22, 22), ZevovozoStatus::hovering }));
    EXPECT_TRUE(store->state().view.popover.isPresented);

    AnyDragGestureValue value;
    value.translation = { 0, 40 };
    store->dispatch(icon.mapAction(A::DragGestureValue { value }));
    store->dispatch(icon.mapAction(A::DragGestureStatus { DragGesturePhase::changed }));
    const auto view = icon.mapState(store->state());
    EXPECT_EQ(view.dragGestureValue, value);
    EXPECT_EQ(view.dragGestureStatus, DragGesturePhase::changed);
    EXPECT_EQ(view.pointPerInterval, store->state().dragGesture.pointPerInterval);
    EXPECT_EQ(view.zevovozoStatus, ZevovozoStatus::hovering);
    EXPECT_EQ(view.countdown, CountdownConnector { clock }.mapState(store->state()));
}

TEST_F(MenuBarConnectors, ThePopoverIsEmptyWithoutListedRemindersAndReplacesItsBanners)
{
    AppState state = initialState();
    const PopoverViewConnector popover { clock };
    EXPECT_TRUE(popover.mapState(state).isEmpty);
    state.remindersStore.items.value = { reminder("undated", std::nullopt) };
    EXPECT_TRUE(popover.mapState(state).isEmpty) << "undated reminders are hidden by default";
    state.remindersStore.items.value = { reminder("past", in(-60)) };
    EXPECT_FALSE(popover.mapState(state).isEmpty);
    EXPECT_FALSE(popover.mapState(state).emptyStateIsPlaying);
    state.view.popover.isPresented = true;
    state.view.popover.presentedNotification = { PopoverNotification::review };
    EXPECT_TRUE(popover.mapState(state).emptyStateIsPlaying);
    EXPECT_EQ(popover.mapState(state).notifications.notifications,
        std::set { PopoverNotification::review });

    auto store = makeStore(state);
    store->dispatch(popover.mapAction(PopoverViewActionCases::Notifications {
        PopoverNotificationsViewActionCases::Notifications { {} } }));
    EXPECT_TRUE(store->state().view.popover.presentedNotification.empty());
}

TEST_F(MenuBarConnectors, TheToolbarSeesTheStoreAndSendsOneRootActionPerCommand)
{
    AppState state = initialState();
    const PopoverToolbarConnector toolbar { clock };
    EXPECT_EQ(toolbar.mapState(state).sources, std::nullopt) << "not read yet";
    state.remindersStore.sources.value = std::set<AnySource> {};
    EXPECT_EQ(toolbar.mapState(state).sources, std::vector<AnySource> {}) << "read, no accounts";
    state.reminders.selection = { "a", "gone" };
    state.remindersStore.items.value = { reminder("a", in(60)), reminder("b", in(120)) };
    EXPECT_EQ(toolbar.mapState(state).selectionCount, 2) << "ids count whether or not they match";
    EXPECT_EQ(toolbar.mapState(state).itemCount, 2);
    EXPECT_EQ(toolbar.mapState(state).selectedItems, std::set { reminder("a", in(60)) })
        << "the stored reminders of the selected ids, no other";

    const auto before = toolbar.mapState(state);
    state.undoManager.undoManager = std::make_shared<UndoManager>();
    EXPECT_NE(toolbar.mapState(state), before) << "a new undo manager reaches the toolbar";

    using A = PopoverToolbar::Action;
    struct Case {
        const char* name;
        A action;
        AppAction expected;
    };
    const Case cases[] = {
        { "delete nothing", A::Delete {}, test::deleteRequest({}) },
        { "archive nothing", A::Archive {}, test::updateRequest({}) },
        { "list", A::SelectedList { AnyList { "l", "L" } },
            AppAction::Reminders { RemindersAction::SelectedList { AnyList { "l", "L" } } } },
        { "select all", A::SelectAll {}, AppAction::Reminders { RemindersAction::SelectAll {} } },
        { "help", A::OpenHelp {}, actions::viewAction(ViewAction::HelpIsPresented { true }) },
        { "settings", A::OpenSettings {},
            AppAction::Settings { SettingsAction::IsPresented { true } } },
        { "what's new", A::OpenWhatsNew {},
            actions::viewAction(ViewAction::WhatsNew { WhatsNewAction { true } }) },
        { "undo", A::Undo {}, AppAction::UndoManager { UndoManagerAction::Undo {} } },
        { "redo", A::Redo {}, AppAction::UndoManager { UndoManagerAction::Redo {} } },
        { "quit", A::Quit {}, actions::viewAction(ViewAction::Quit {}) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(toolbar.mapAction(c.action), c.expected) << c.name;
}

TEST_F(MenuBarConnectors, ArchivingCompletesEachReminderAtTheClocksNowAndKeepsEverythingElse)
{
    const auto a = reminder("a", in(60), "first");
    const auto b = reminder("b", std::nullopt, "second");
    for (const bool fromToolbar : { true, false }) {
        const AppAction action = fromToolbar
            ? PopoverToolbarConnector { clock }.mapAction(
                PopoverToolbar::Action::Archive { { a, b } })
            : RemoveSelectedCommandConnector { clock }.mapAction(
                RemoveSelectedCommandView::Action::Archive { { a, b } });
        std::set<AnyReminder> submitted;
        ASSERT_TRUE(submittedUpdate(action, submitted));
        ASSERT_EQ(submitted.size(), 2u);
        for (const auto& copy : submitted) {
            AnyReminder original = copy.id == "a" ? a : b;
            EXPECT_EQ(copy.completionDate, now());
            original.completionDate = copy.completionDate;
            EXPECT_EQ(copy, original) << "only the completion date changes";
        }
    }
}

TEST_F(MenuBarConnectors, TheRemoveCommandArchivesTheStoredSelectionOrDeletesTheIds)
{
    const auto a = reminder("a", in(60));
    const auto b = reminder("b", in(120));
    AppState state = initialState();
    state.remindersStore.items.value = { a, b };
    state.reminders.selection = { "a", "gone" };
    const RemoveSelectedCommandConnector command { clock };
    auto view = command.mapState(state);
    EXPECT_EQ(view.items, state.remindersStore.items.value);
    EXPECT_FALSE(view.isDisabled());
    EXPECT_EQ(RemoveSelectedCommandView::action(view),
        RemoveSelectedCommandView::Action(RemoveSelectedCommandView::Action::Archive { { a } }))
        << "an id no longer stored is skipped";
    view.removalMode = ReminderRemovalMode::delete_;
    EXPECT_EQ(RemoveSelectedCommandView::action(view),
        RemoveSelectedCommandView::Action(
            RemoveSelectedCommandView::Action::Delete { { "a", "gone" } }));
    EXPECT_EQ(command.mapAction(RemoveSelectedCommandView::Action::Delete { { "a", "gone" } }),
        test::deleteRequest({ "a", "gone" }));
    state.reminders.selection.clear();
    EXPECT_TRUE(command.mapState(state).isDisabled());
}
