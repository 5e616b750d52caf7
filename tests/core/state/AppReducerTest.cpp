#include "core/state/AppReducer.hpp"
#include "core/Store.hpp"
#include "support/TestMainQueue.hpp"

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
    Fixture f;
    f.state.remindersStore.items.value = { reminder("A"), reminder("B"), reminder("C") };
    f.send(reminders(RemindersAction::Editing {
        std::set { reminder("A", "edited"), reminder("B", "edited") } }));
    f.send(reminders(RemindersAction::Selection { { "A", "B", "C" } }));

    f.send(items(
        RemindersItemsAction::delete_(RemindersItemsAction::DeleteAction::submit({ "A", "Z" }))));
    ASSERT_TRUE(f.state.reminders.editing);
    EXPECT_THAT(*f.state.reminders.editing, ElementsAre(reminder("B", "edited")));
    EXPECT_EQ(f.state.reminders.selection, (std::set<std::string> { "B", "C" }));

    f.send(items(RemindersItemsAction::update(
        RemindersItemsAction::UpdateAction::submit({ reminder("Q") }))));
    EXPECT_FALSE(f.state.reminders.editing) << "any update clears the edited reminders";
    EXPECT_TRUE(f.state.reminders.selection.empty());
}

TEST(AppReducer, EditingKeepsOnlyRemindersThatDifferFromTheStore)
{
    Fixture f;
    f.state.remindersStore.items.value = { reminder("A"), reminder("B") };
    f.send(reminders(RemindersAction::Editing { std::set { reminder("A"), reminder("B") } }));
    ASSERT_TRUE(f.state.reminders.editing);
    EXPECT_TRUE(f.state.reminders.editing->empty()) << "present, but empty";
    f.send(reminders(RemindersAction::Editing { std::nullopt }));
    EXPECT_FALSE(f.state.reminders.editing);
}

TEST(AppReducer, FirstListIsChosenOnceAndStably)
{
    Fixture f;
    auto readSources = [&](std::set<AnySource> sources) {
        f.send(actions::sourcesAction(
            RemindersSourcesAction::read(RemindersSourcesAction::ReadAction::success(sources))));
    };
    const AnySource work { "s2", "Work", { { "l3", "Tasks" } } };
    const AnySource home { "s1", "Home", { { "l2", "Shopping" }, { "l1", "Errands" } } };
    readSources({ work, home });
    EXPECT_EQ(f.state.reminders.selectedList, (AnyList { "l1", "Errands" }))
        << "first source and list by title";

    readSources({ { "s0", "Aardvark", { { "l0", "Alpha" } } } });
    EXPECT_EQ(f.state.reminders.selectedList, (AnyList { "l1", "Errands" }))
        << "a selected list is never replaced";
}

TEST(AppReducer, ChoosingADataSourceForgetsWhatTheOldOneHeld)
{
    Fixture f;
    f.state.remindersStore.items.value = { reminder("local-1") };
    f.state.remindersStore.sources.value = std::set<AnySource> { { "s", "S", {} } };
    f.send(reminders(RemindersAction::Services {
        RemindersServicesAction::DataSource { RemindersDataSource::local } }));
    EXPECT_FALSE(f.state.remindersStore.sources.value)
        << "even the same source again empties the sources";
    EXPECT_TRUE(f.state.remindersStore.items.value.empty())
        << "the old source's reminders are not listed";
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
    Fixture f;
    f.send(reminders(RemindersAction::Selection { { "A" } }));
    f.send(view(ViewAction::StatusItem {
        StatusItemAction::Zevovozo { ZevovozoAction::Status { ZevovozoStatus::hovering } } }));
    f.send(actions::popoverIsPresented(true));
    EXPECT_EQ(f.state.view.statusItem.zevovozo.status, ZevovozoStatus::hovering);
    EXPECT_FALSE(f.state.reminders.selection.empty());
    f.send(actions::popoverIsPresented(false));
    EXPECT_EQ(f.state.view.statusItem.zevovozo.status, ZevovozoStatus::idle);
    EXPECT_TRUE(f.state.reminders.selection.empty());
}

TEST(AppReducer, CountdownReturnsAfterTheBlobOnlyWhenEnabled)
{
    for (bool enabled : { true, false }) {
        Fixture f;
        f.state.view.statusItem.countdownIsPresented = false;
        f.send(AppAction::Countdown { CountdownAction::IsEnabled { enabled } });
        f.send(drag(DragGestureAction::Phase { DragGesturePhase::begin }));
        f.send(view(ViewAction::Yoyo { YoyoAction::Drag { YoyoDragAction::AnimateOutDidEnd {} } }));
        EXPECT_EQ(f.state.view.statusItem.countdownIsPresented, enabled);
        EXPECT_EQ(f.state.view.yoyo.drag.semaphore, 0);
    }
}

TEST(AppReducer, ASettingsReadFillsEverySliceAndOnlyTheResultReachesMiddlewares)
{
    auto clock = std::make_shared<ManualClock>(at(10, 0));
    ReducerEnvironment environment { clock };
    std::vector<AppAction> seen;
    auto store = Store<AppState, AppAction>::make(AppState::initial(clock->now(), berlin),
        [environment](AppState& s, const AppAction& a) { appReducer(s, a, environment); },
        { [&seen](const AppState&, const AppAction& a) -> std::optional<rx::Publisher<AppAction>> {
            seen.push_back(a);
            return rx::Empty<AppAction>();
        } });
    store->dispatch(AppAction::Reminders { RemindersAction::Selection { { "x" } } });
    seen.clear();

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
    store->dispatch(read);
    EXPECT_THAT(seen, ElementsAre(read)) << "the twelve copies are never dispatched";

    const AppState& s = store->state();
    EXPECT_TRUE(s.notifications.user.isEnabled);
    EXPECT_FALSE(s.reminders.automaticRemoval.isEnabled);
    EXPECT_EQ(s.reminders.automaticRemoval.date, at(5, 30));
    EXPECT_EQ(s.reminders.services.dataSource, RemindersDataSource::appleReminders);
    EXPECT_EQ(s.reminders.selectedList, (AnyList { "l", "Later" }));
    EXPECT_TRUE(s.settings.general.openAtLogin);
    EXPECT_FALSE(s.countdown.isEnabled);
    EXPECT_EQ(s.countdown.progressBar, (CountdownProgressBarState { false, 0.8 }));
    EXPECT_EQ(s.dragGesture.pointPerInterval, 7);
    EXPECT_EQ(s.logger, (LoggerState { true, true, {} }));
    EXPECT_EQ(s.settings.submit.status, Status::completed);

    AppState before = store->state();
    store->dispatch(actions::settingsRead(SettingsReadAction::failure(Error("unreadable"))));
    before.settings.submit.error = Error("unreadable");
    EXPECT_EQ(store->state(), before) << "a failed read copies nothing";
}
