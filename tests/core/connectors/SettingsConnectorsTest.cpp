#include "ConnectorsTestSupport.hpp"

#include "core/connectors/SettingsConnectors.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;
using test::reminder;
using test::utc;

namespace {

class SettingsConnectors : public ConnectorsTest { };

} // namespace

TEST_F(SettingsConnectors, TheSensitivitySliderMirrorsThePointsPerInterval)
{
    struct Case {
        double pointPerInterval;
        double sensitivity;
    };
    const Case cases[] = { { 4, 17 }, { 1, 20 }, { 20, 1 }, { 10.5, 10.5 } };
    const GeneralSettingsConnector general;
    for (const auto& c : cases) {
        auto store = makeStore();
        store->dispatch(general.mapAction(
            GeneralSettingsConnectingView::Action::DragSensitivity { c.sensitivity }));
        EXPECT_EQ(store->state().dragGesture.pointPerInterval, c.pointPerInterval) << c.sensitivity;
        EXPECT_EQ(general.mapState(store->state()).dragSensitivity, c.sensitivity)
            << c.pointPerInterval;
    }
}

TEST_F(SettingsConnectors, TheGeneralPaneReadsAndWritesItsSlices)
{
    auto store = makeStore();
    const GeneralSettingsConnector general;
    using A = GeneralSettingsConnectingView::Action;
    using M = MenuBarSettingsConnectingView::Action;
    store->dispatch(general.mapAction(A::DataEntryIsEnabled { false }));
    store->dispatch(general.mapAction(A::OpenAtLogin { true }));
    store->dispatch(general.mapAction(
        A::RemindersAutomaticRemoval { AutomaticRemovalAction::IsEnabled { true } }));
    store->dispatch(
        general.mapAction(A::MenuBarSettings { M::MenuBarCountdownIsEnabled { false } }));
    store->dispatch(general.mapAction(
        A::MenuBarSettings { M::ProgressBar { CountdownProgressBarAction::Opacity { 0.8 } } }));
    store->dispatch(general.mapAction(
        A::MenuBarSettings { M::ProgressBar { CountdownProgressBarAction::IsEnabled { false } } }));

    const auto& state = store->state();
    EXPECT_FALSE(state.dataEntry.isEnabled);
    EXPECT_TRUE(state.settings.general.openAtLogin);
    EXPECT_TRUE(state.reminders.automaticRemoval.isEnabled);
    EXPECT_FALSE(state.countdown.isEnabled);
    EXPECT_EQ(state.countdown.progressBar, (CountdownProgressBarState { false, 0.8 }));

    const auto view = general.mapState(state);
    EXPECT_FALSE(view.dataEntryIsEnabled);
    EXPECT_TRUE(view.openAtLogin);
    EXPECT_EQ(view.remindersAutomaticRemoval, state.reminders.automaticRemoval)
        << "the whole removal state";
    EXPECT_EQ(
        view.menuBarSettings, (MenuBarSettingsConnectingView::State { { false, 0.8 }, false }));
}

// Removal at 04:00, opened at 10:00 on 10 June.
TEST_F(SettingsConnectors, TheAutomaticRemovalCompletesWhatIsDueAtTheClocksNow)
{
    const Date fourToday = utc(2024, 6, 10, 4, 0);
    const auto yesterday = reminder("yesterday", utc(2024, 6, 9, 15, 0), "kept title");
    const auto early = reminder("early", utc(2024, 6, 10, 3, 0));
    const auto atFourToday = reminder("atFour", fourToday);
    const auto later = reminder("later", utc(2024, 6, 10, 5, 0));
    const auto undated = reminder("undated", std::nullopt);
    AnyReminder malformed = reminder("malformed", std::nullopt);
    DateComponents noCalendar;
    noCalendar.hour = 1;
    malformed.dueDateComponents = noCalendar; // names no calendar: no date

    AppState state = initialState();
    state.reminders.automaticRemoval.isEnabled = true;
    state.reminders.automaticRemoval.date = fourToday;
    state.remindersStore.items.value = { yesterday, early, atFourToday, later, undated, malformed };
    const AutomaticRemindersRemovalConnector removal { clock, calendar };
    const auto view = removal.mapState(state);
    EXPECT_EQ(view,
        (AutomaticRemindersRemovalState { true, fourToday, state.remindersStore.items.value }));

    auto store = makeStore(state);
    store->dispatch(
        removal.mapAction(AutomaticRemindersRemovalAction::Remove { view.items, view.date }));
    std::set<AnyReminder> expected;
    for (auto r : { yesterday, early }) {
        r.completionDate = now();
        expected.insert(r);
    }
    EXPECT_EQ(store->state().remindersStore.items.submittedValues.update, expected)
        << "due before today's 04:00 only; id, title, list and dates kept";
    EXPECT_EQ(store->state().remindersStore.items.value,
        (std::set<AnyReminder> { atFourToday, later, undated, malformed }));

    struct Case {
        const char* name;
        Date due;
        Date now;
        bool due_;
    };
    const Case cases[] = {
        { "due at the removal time, same day", fourToday, utc(2024, 6, 10, 10, 0), false },
        { "due at the removal time, a day later", fourToday, utc(2024, 6, 11, 4, 0, 1), true },
        { "due at 05:00, next morning", utc(2024, 6, 10, 5, 0), utc(2024, 6, 11, 4, 1), true },
    };
    for (const auto& c : cases) {
        clock->set(c.now);
        EXPECT_EQ(removal.isDue(c.due, fourToday), c.due_) << c.name;
    }
}

TEST_F(SettingsConnectors, TheSyncPaneSwitchesTheDataSourceAndListsTheSources)
{
    AppState state = initialState();
    const AppleRemindersConnector sync;
    EXPECT_TRUE(sync.mapState(state).sources.empty()) << "nothing read yet";
    EXPECT_FALSE(sync.mapState(state).isEnabled);

    const AnySource account { "s", "Account", { AnyList { "l", "List" } } };
    state.remindersStore.sources.value = std::set { account };
    state.reminders.services.dataSource = RemindersDataSource::appleReminders;
    state.reminders.selectedList = AnyList { "l", "List" };
    EXPECT_EQ(sync.mapState(state),
        (AppleRemindersConnectingView::State { true, AnyList { "l", "List" }, { account } }));

    using A = AppleRemindersConnectingView::Action;
    auto dataSource = [](RemindersDataSource source) {
        return AppAction(AppAction::Reminders {
            RemindersAction::Services { RemindersServicesAction::DataSource { source } } });
    };
    EXPECT_EQ(
        sync.mapAction(A::IsEnabled { true }), dataSource(RemindersDataSource::appleReminders));
    EXPECT_EQ(sync.mapAction(A::IsEnabled { false }), dataSource(RemindersDataSource::local));
    EXPECT_EQ(sync.mapAction(A::SelectedList { std::nullopt }),
        AppAction(AppAction::Reminders { RemindersAction::SelectedList { std::nullopt } }));
}

TEST_F(SettingsConnectors, TheOnboardingsLeadingButtonShowsBetweenTheFirstAndTheLastPage)
{
    struct Case {
        OnboardingPage page;
        bool hidden;
    };
    const Case cases[] = {
        { OnboardingPage::root, true },
        { OnboardingPage::notifications, false },
        { OnboardingPage::sync, false },
        { OnboardingPage::general, false },
        { OnboardingPage::completion, true },
    };
    const OnboardingLeadingItemsConnector leading;
    for (const auto& c : cases) {
        AppState state = initialState();
        state.view.onboarding.selection = c.page;
        EXPECT_EQ(leading.mapState(state).isHidden, c.hidden) << static_cast<int>(c.page);
    }

    auto store = makeStore();
    store->dispatch(DebugSettingsConnector {}.mapAction(
        DebugSettingsView::Action::OnboardingIsPresented { true }));
    EXPECT_TRUE(store->state().view.onboarding.isPresented);
    store->dispatch(leading.mapAction(OnboardingLeadingItems::Action::Skip {}));
    EXPECT_EQ(store->state().view.onboarding.selection, OnboardingPage::notifications)
        << "skip moves to the next page";
    EXPECT_EQ(DebugSettingsConnector {}.mapState(store->state()), DebugSettingsView::State {});
}
