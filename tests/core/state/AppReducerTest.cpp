#include "core/state/AppReducer.hpp"
#include "support/AppTestStore.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using testing::ElementsAre;

namespace {

const Calendar berlin("Europe/Berlin");

Date at(int hour, int minute, int second = 0)
{
    return *berlin.date(
        { CalendarIdentifier::gregorian, "Europe/Berlin", 2026, 6, 1, hour, minute, second });
}

struct Fixture {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(at(10, 0));
    ReducerEnvironment environment { clock };
    AppState state = AppState::initial(clock->now(), berlin);

    void send(const AppAction& action) { appReducer(state, action, environment); }
};

// The state at 10:00 in Berlin with the given reminders stored.
AppState stateWith(std::set<AnyReminder> items = {})
{
    AppState state = AppState::initial(at(10, 0), berlin);
    state.remindersStore.items.value = std::move(items);
    return state;
}

AnyReminder reminder(std::string id, std::string title = {})
{
    AnyReminder r { std::move(id), std::nullopt, std::nullopt, std::move(title), std::nullopt,
        std::nullopt };
    setStartDate(r, at(9, 0));
    setDueDate(r, at(11, 0));
    return r;
}

AppAction items(RemindersItemsAction action)
{
    return actions::itemsAction(std::move(action));
}
// Built from the cases themselves: through the factory functions g++ 12 warns falsely of
// an uninitialised variant.
AppAction deleteSubmit(std::set<std::string> ids)
{
    return items(RemindersItemsAction::Delete {
        RemindersItemsAction::DeleteAction::Submit { std::move(ids) } });
}
AppAction updateSubmit(std::set<AnyReminder> reminders)
{
    return items(RemindersItemsAction::Update {
        RemindersItemsAction::UpdateAction::Submit { std::move(reminders) } });
}
AppAction reminders(RemindersAction action)
{
    return AppAction::Reminders { std::move(action) };
}
AppAction view(ViewAction action)
{
    return actions::viewAction(std::move(action));
}
AppAction drag(DragGestureAction action)
{
    return AppAction::DragGesture { std::move(action) };
}

AnyDragGestureValue pull(double width, double height)
{
    AnyDragGestureValue value;
    value.translation = { width, height };
    return value;
}

} // namespace

TEST(AppState, FreshStatesAreEqualButForTheTimer)
{
    const AppState a = AppState::initial(at(10, 0), berlin);
    AppState b = AppState::initial(at(10, 0), berlin);
    EXPECT_NE(a, b) << "every timer gets an identifier of its own";
    b.timer = a.timer;
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.view.whatsNew.version, "1.2.5");
    EXPECT_EQ(a.reminders.services.dataSource, RemindersDataSource::local);
    EXPECT_EQ(a.reminders.removalMode, ReminderRemovalMode::archive);
    EXPECT_TRUE(a.dataEntry.isEnabled);
    EXPECT_EQ(a.view.onboarding.pages.size(), 5u);
    EXPECT_EQ(a.dragGesture.minimumDistance, 22.0);
    EXPECT_FALSE(a.remindersStore.sources.value.has_value());
}

TEST(AppReducer, UpdatesAndDeletionsPruneEditingAndSelection)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    test::AppTestStore store(
        stateWith({ reminder("A"), reminder("B"), reminder("C") }), test::rootReducer(clock));
    store.send(reminders(RemindersAction::Editing {
                   std::set { reminder("A", "edited"), reminder("B", "edited") } }),
        [](AppState& s) {
            s.reminders.editing = std::set { reminder("A", "edited"), reminder("B", "edited") };
        });
    store.send(reminders(RemindersAction::Selection { { "A", "B", "C" } }), [](AppState& s) {
        s.reminders.selection = { "A", "B", "C" };
    });

    store.send(deleteSubmit({ "A", "Z" }), [](AppState& s) {
        s.remindersStore.items.status = Status::loading;
        s.remindersStore.items.submittedValues.delete_ = std::set { reminder("A") };
        s.reminders.editing = std::set { reminder("B", "edited") };
        s.reminders.selection = { "B", "C" };
    });

    // Any update clears the edited reminders and the selection.
    store.send(updateSubmit({ reminder("Q") }), [](AppState& s) {
        s.remindersStore.items.submittedValues.update = std::set { reminder("Q") };
        s.reminders.editing.reset();
        s.reminders.selection.clear();
    });
}

TEST(AppReducer, SelectAllSelectsEveryStoredReminderButNoPendingOne)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    AppState state = stateWith({ reminder("A"), reminder("B") });
    state.remindersStore.items.submittedValues.create = std::set { reminder("new") };
    state.reminders.selection = { "gone" };
    test::AppTestStore store(std::move(state), test::rootReducer(clock));
    store.send(reminders(RemindersAction::SelectAll {}), [](AppState& s) {
        s.reminders.selection = { "A", "B" };
    });
}

TEST(AppReducer, EditingKeepsOnlyRemindersThatDifferFromTheStore)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    test::AppTestStore store(stateWith({ reminder("A"), reminder("B") }), test::rootReducer(clock));
    store.send(reminders(RemindersAction::Editing { std::set { reminder("A"), reminder("B") } }),
        [](AppState& s) { s.reminders.editing = std::set<AnyReminder> {}; }); // present, but empty
    store.send(reminders(RemindersAction::Editing { std::nullopt }),
        [](AppState& s) { s.reminders.editing.reset(); });
}

TEST(AppReducer, FirstListIsChosenOnceAndStably)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    test::AppTestStore store(stateWith(), test::rootReducer(clock));
    auto readSources = [](std::set<AnySource> sources) {
        return actions::sourcesAction(
            RemindersSourcesAction::read(RemindersSourcesAction::ReadAction::success(sources)));
    };
    const AnySource work { "s2", "Work", { { "l3", "Tasks" } } };
    const AnySource home { "s1", "Home", { { "l2", "Shopping" }, { "l1", "Errands" } } };
    store.send(readSources({ work, home }), [&](AppState& s) {
        s.remindersStore.sources.status = Status::completed;
        s.remindersStore.sources.value = std::set { work, home };
        s.reminders.selectedList = AnyList { "l1", "Errands" }; // first source and list by title
    });

    // A selected list is never replaced.
    const AnySource aardvark { "s0", "Aardvark", { { "l0", "Alpha" } } };
    store.send(readSources({ aardvark }),
        [&](AppState& s) { s.remindersStore.sources.value = std::set { aardvark }; });
}

TEST(AppReducer, ChoosingADataSourceForgetsWhatTheOldOneHeld)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    AppState state = stateWith({ reminder("local-1") });
    state.remindersStore.sources.value = std::set<AnySource> { { "s", "S", {} } };
    state.remindersStore.items.submittedValues.create = std::set { reminder("local-2") };
    test::AppTestStore store(state, test::rootReducer(clock));
    // Even the same source again empties the sources; the old source's reminders, and what
    // was submitted to it, are not listed.
    store.send(reminders(RemindersAction::Services {
                   RemindersServicesAction::DataSource { RemindersDataSource::local } }),
        [](AppState& s) {
            s.remindersStore.sources.value.reset();
            s.remindersStore.items.value.clear();
            s.remindersStore.items.submittedValues = {};
        });
}

TEST(AppReducer, AFinishedPullBecomesTheCardsReminder)
{
    struct Case {
        const char* name;
        std::optional<AnyDragGestureValue> value;
        std::optional<TimeInterval> expectedDuration;
    };
    const Case cases[] = {
        { "a pull past the minimum distance", pull(0, 28), 49.0 }, // 28² / 4² = 49 s
        { "above a minute, whole minutes", pull(0, 40), 60.0 }, // 100 s -> 60 s
        { "a long pull is cut to whole minutes", pull(0, 100), 600.0 }, // 625 s -> 600 s
        { "a pull short of the minimum distance", pull(0, 22), std::nullopt },
        { "no value", std::nullopt, std::nullopt },
    };
    for (const auto& c : cases) {
        Fixture f;
        f.state.reminders.selectedList = AnyList { "list", "List" };
        f.send(drag(DragGestureAction::Phase { DragGesturePhase::begin }));
        f.clock->advance(5);
        if (c.value)
            f.send(drag(DragGestureAction::Value { *c.value }));
        f.send(drag(DragGestureAction::Phase { DragGesturePhase::changed }));
        f.send(drag(DragGestureAction::Phase { DragGesturePhase::ended }));
        EXPECT_EQ(f.state.view.yoyo.drag.semaphore, 1) << c.name;
        if (!c.expectedDuration) {
            EXPECT_FALSE(f.state.dataEntry.editing) << c.name;
            continue;
        }
        ASSERT_TRUE(f.state.dataEntry.editing) << c.name;
        const AnyReminder& made = *f.state.dataEntry.editing;
        EXPECT_EQ(startDate(made), at(10, 0)) << c.name << ": the start is when the pull began";
        EXPECT_EQ(duration(made), c.expectedDuration) << c.name;
        EXPECT_EQ(made.listID, "list") << c.name;
        EXPECT_TRUE(made.title.empty()) << c.name;
    }
}

TEST(AppReducer, ScrollEntryStartsAReminderAndScrollsItsDuration)
{
    Fixture f;
    auto scrollCard = [&](bool presented) {
        f.send(view(ViewAction::Yoyo {
            YoyoAction::Scroll { YoyoScrollAction::DataEntryIsPresented { presented } } }));
    };
    auto scroll = [&](double height) {
        f.send(AppAction::ScrollGesture {
            ScrollGestureAction::DeltaTranslation { Size { 0, height } } });
    };

    scrollCard(true);
    ASSERT_TRUE(f.state.dataEntry.editing);
    EXPECT_EQ(startDate(*f.state.dataEntry.editing), at(10, 0));
    EXPECT_FALSE(duration(*f.state.dataEntry.editing)) << "no due date yet";

    struct Step {
        double height;
        TimeInterval expected;
    };
    // heightPerUnit is 8: one unit is a second below a minute, a minute from then on.
    const Step steps[] = { { 8 * 30, 30 }, { 8, 31 }, { 8 * 29, 60 }, { 8, 120 }, { -8 * 5, 0 } };
    for (const auto& step : steps) {
        scroll(step.height);
        EXPECT_EQ(duration(*f.state.dataEntry.editing).value_or(-1), step.expected) << step.height;
    }

    f.clock->advance(60);
    scrollCard(true);
    EXPECT_EQ(startDate(*f.state.dataEntry.editing), at(10, 0))
        << "an open entry keeps its reminder";
    scrollCard(false);
    EXPECT_FALSE(f.state.scrollGesture.startDate);
}

TEST(AppReducer, ClosingThePopoverRestsTheIconAndForgetsTheSelection)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    test::AppTestStore store(stateWith(), test::rootReducer(clock));
    store.send(reminders(RemindersAction::Selection { { "A" } }),
        [](AppState& s) { s.reminders.selection = { "A" }; });
    store.send(view(ViewAction::StatusItem { StatusItemAction::Zevovozo {
                   ZevovozoAction::Status { ZevovozoStatus::hovering } } }),
        [](AppState& s) { s.view.statusItem.zevovozo.status = ZevovozoStatus::hovering; });
    store.send(actions::popoverIsPresented(true), [](AppState& s) {
        s.view.popover.isPresented = true;
        s.view.popover.wasPresentedSinceAppLaunch = true;
    });
    store.send(actions::popoverIsPresented(false), [](AppState& s) {
        s.view.popover.isPresented = false;
        s.view.statusItem.zevovozo.status = ZevovozoStatus::idle;
        s.reminders.selection.clear();
    });
}

TEST(AppReducer, CountdownReturnsAfterTheBlobOnlyWhenEnabled)
{
    for (bool enabled : { true, false }) {
        SCOPED_TRACE(enabled);
        const auto clock = std::make_shared<ManualClock>(at(10, 0));
        AppState state = stateWith();
        state.view.statusItem.countdownIsPresented = false;
        test::AppTestStore store(state, test::rootReducer(clock));
        store.send(AppAction::Countdown { CountdownAction::IsEnabled { enabled } },
            [&](AppState& s) { s.countdown.isEnabled = enabled; });
        store.send(drag(DragGestureAction::Phase { DragGesturePhase::begin }), [](AppState& s) {
            s.dragGesture.phase = DragGesturePhase::begin;
            s.dragGesture.startDate = at(10, 0);
            s.view.yoyo.drag.semaphore = 1;
        });
        store.send(
            view(ViewAction::Yoyo { YoyoAction::Drag { YoyoDragAction::AnimateOutDidEnd {} } }),
            [&](AppState& s) {
                s.view.yoyo.drag.semaphore = 0;
                s.view.statusItem.countdownIsPresented = enabled;
            });
    }
}

TEST(AppReducer, ASettingsReadFillsEverySliceAndOnlyTheResultReachesMiddlewares)
{
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    std::vector<AppAction> seen;
    AppState state = stateWith();
    state.reminders.selection = { "x" };
    test::AppTestStore store(state, test::rootReducer(clock),
        { [&seen](const AppState&, const AppAction& a) -> std::optional<rx::Publisher<AppAction>> {
            seen.push_back(a);
            return rx::Empty<AppAction>();
        } });

    UserSettings u = UserSettings::makeDefault(berlin, clock->now());
    u.notifications.isEnabled = true;
    u.reminders.automaticRemoval = { false, at(5, 30) };
    u.reminders.dataSource = RemindersDataSource::appleReminders;
    u.reminders.selectedList = AnyList { "l", "Later" };
    u.general.openAtLogin = true;
    u.menubar = { false, { false, 0.8 } };
    u.gesture.dragGesturePointPerInterval = 7;
    u.logging = { true, true };

    const AppAction read = actions::settingsRead(SettingsReadAction::success(u));
    store.send(read, [](AppState& s) {
        s.settings.submit.status = Status::completed;
        s.notifications.user.isEnabled = true;
        s.reminders.automaticRemoval.isEnabled = false;
        s.reminders.automaticRemoval.date = at(5, 30);
        s.reminders.services.dataSource = RemindersDataSource::appleReminders;
        s.reminders.selectedList = AnyList { "l", "Later" };
        s.settings.general.openAtLogin = true;
        s.countdown.isEnabled = false;
        s.countdown.progressBar = { false, 0.8 };
        s.dragGesture.pointPerInterval = 7;
        s.logger.isEnabled = true;
        s.logger.hideReminderDescriptions = true;
    });
    EXPECT_THAT(seen, ElementsAre(read)) << "the twelve copies are never dispatched";

    // A failed read copies nothing.
    store.send(actions::settingsRead(SettingsReadAction::failure(Error("unreadable"))),
        [](AppState& s) { s.settings.submit.error = Error("unreadable"); });
}

TEST(AppReducer, APullThatEndsWithoutChangeCountsAsNoDrag)
{
    // A card of an earlier pull still stands (its animate-out holds the count at 1); a flick
    // too fast for any change in between begins and ends at once.
    const auto clock = std::make_shared<ManualClock>(at(10, 0));
    AppState state = stateWith();
    state.dragGesture.phase = DragGesturePhase::ended;
    state.dragGesture.didEndTranslation = Size { 0, 1 };
    state.view.yoyo.drag.semaphore = 1;
    state.view.yoyo.drag.isPresented = true;
    test::AppTestStore store(state, test::rootReducer(clock));
    store.send(drag(DragGestureAction::Phase { DragGesturePhase::begin }), [](AppState& s) {
        s.dragGesture.phase = DragGesturePhase::begin;
        s.dragGesture.startDate = at(10, 0);
        s.view.yoyo.drag.semaphore = 2;
    });
    store.send(drag(DragGestureAction::Value { pull(0, 60) }),
        [](AppState& s) { s.dragGesture.value = pull(0, 60); });
    store.send(drag(DragGestureAction::Phase { DragGesturePhase::ended }), [](AppState& s) {
        s.dragGesture.phase = DragGesturePhase::ended;
        s.view.yoyo.drag.semaphore = 1; // no reminder, and the blob stays at rest
    });

    // A pull with a change ends as usual.
    store.send(drag(DragGestureAction::Phase { DragGesturePhase::begin }), [](AppState& s) {
        s.dragGesture.phase = DragGesturePhase::begin;
        s.view.yoyo.drag.semaphore = 2;
    });
    store.send(drag(DragGestureAction::Phase { DragGesturePhase::changed }), [](AppState& s) {
        s.dragGesture.phase = DragGesturePhase::changed;
        s.dragGesture.didEndTranslation.reset();
        s.view.yoyo.drag.blobOpacity = 1;
    });
    store.send(drag(DragGestureAction::Phase { DragGesturePhase::ended }),
        [](AppState& s, const AppState& actual) {
            s.dragGesture.phase = DragGesturePhase::ended;
            s.dragGesture.didEndTranslation = Size { 0, 60 };
            s.dataEntry.editing = actual.dataEntry.editing;
        });
    ASSERT_TRUE(store.state().dataEntry.editing);
    EXPECT_EQ(duration(*store.state().dataEntry.editing), 180.0) << "60² / 4² = 225 s";
}
