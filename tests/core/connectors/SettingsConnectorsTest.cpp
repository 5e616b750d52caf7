#include "ConnectorsTestSupport.hpp"

#include "core/connectors/SettingsConnectors.hpp"
#include "settings/GeneralSettingsRules.hpp"

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

TEST_F(SettingsConnectors, TheWindowKeepsItsTabInTheSliceAndReportsItsPresence)
{
    auto store = makeStore();
    const SettingsContainerConnector window;
    using A = SettingsContainer::Action;
    EXPECT_EQ(window.mapState(store->state()).selectedTab, SettingsTabs::general);
    store->dispatch(window.mapAction(A::SelectedTab { SettingsTabs::sync }));
    store->dispatch(window.mapAction(A::IsPresented { true }));
    EXPECT_EQ(store->state().settings.selectedTab, SettingsTabs::sync);
    EXPECT_TRUE(store->state().settings.isPresented);
    store->dispatch(window.mapAction(A::IsPresented { false }));
    EXPECT_FALSE(store->state().settings.isPresented);
    EXPECT_EQ(window.mapState(store->state()).selectedTab, SettingsTabs::sync)
        << "closing keeps the tab";

    // The four tabs in order; stepping goes round; values that name no tab show the first.
    EXPECT_EQ(SettingsContainer::tabs(),
        (std::vector { SettingsTabs::general, SettingsTabs::notifications, SettingsTabs::sync,
            SettingsTabs::other }));
    struct Step {
        SettingsTabs from;
        int steps;
        SettingsTabs to;
    };
    const Step steps[] = {
        { SettingsTabs::general, 1, SettingsTabs::notifications },
        { SettingsTabs::other, 1, SettingsTabs::general },
        { SettingsTabs::general, -1, SettingsTabs::other },
        { SettingsTabs::sync, -1, SettingsTabs::notifications },
        { SettingsTabs::debug, 1, SettingsTabs::notifications },
    };
    for (const Step& s : steps)
        EXPECT_EQ(SettingsContainer::tabAfter(s.from, s.steps), s.to) << int(s.from) << s.steps;
    EXPECT_EQ(SettingsContainer::tabIndex(SettingsTabs::appearance), 0);

    // The title: name, one blank, version; a missing build number leaves the blank.
    EXPECT_EQ(SettingsContainer::title("Tidemark", "1.2.5 (125)"), "Tidemark 1.2.5 (125)");
    EXPECT_EQ(SettingsContainer::title("Tidemark", ""), "Tidemark ");
    EXPECT_EQ(SettingsContainer::title("", ""), " ");
    EXPECT_NEAR(SettingsContainer::minimumHeight, 309.017, 1e-9);
}

TEST_F(SettingsConnectors, TheLoggingPaneShowsItsStatesAndSendsItsActions)
{
    struct Case {
        const char* name;
        Status status;
        std::optional<Error> error;
        std::optional<Error> feedbackError;
        bool buttonEnabled;
        bool spinner;
        std::optional<std::string> bugReportFailure;
        std::optional<std::string> feedbackFailure;
    };
    const Case cases[] = {
        { "idle", Status::idle, {}, {}, true, false, {}, {} },
        { "loading disables and spins", Status::loading, {}, {}, false, true, {}, {} },
        { "answered", Status::completed, {}, {}, true, false, {}, {} },
        { "answered with a failure", Status::completed, Error("no mail"), {}, true, false,
            "no mail", {} },
        { "a failure stays hidden while a report is under way", Status::loading, Error("old"), {},
            false, true, {}, {} },
        { "feedback failed", Status::idle, {}, Error("no mail program"), true, false, {},
            "no mail program" },
    };
    const LoggingConnector logging;
    for (const Case& c : cases) {
        AppState state = initialState();
        state.logger.isEnabled = true;
        state.logger.submit = { c.error, c.status };
        state.logger.feedbackError = c.feedbackError;
        const auto view = logging.mapState(state);
        EXPECT_TRUE(view.isEnabled) << c.name;
        EXPECT_EQ(view.status, c.status) << c.name;
        EXPECT_EQ(LoggingView::bugReportButtonIsEnabled(view), c.buttonEnabled) << c.name;
        EXPECT_EQ(LoggingView::isReporting(view), c.spinner) << c.name;
        EXPECT_EQ(view.bugReportFailure, c.bugReportFailure) << c.name;
        EXPECT_EQ(view.feedbackFailure, c.feedbackFailure) << c.name;
    }

    using A = LoggingView::Action;
    const std::pair<A, AppAction> actions[] = {
        { A::IsEnabled { true }, AppAction::Logger { LoggerAction::IsEnabled { true } } },
        { A::HideReminderDescriptions { true },
            AppAction::Logger { LoggerAction::HideReminderDescriptions { true } } },
        { A::SubmitBugReport {},
            AppAction::Logger {
                LoggerAction::SubmitBugReport { BugReportAction::submit(EquatableVoid {}) } } },
        { A::SendFeedback {}, AppAction::Logger { LoggerAction::SendFeedback {} } },
        // The support website is the application's help, not a logger action.
        { A::Help {}, actions::viewAction(ViewAction::HelpIsPresented { true }) },
    };
    for (const auto& [view, root] : actions)
        EXPECT_EQ(logging.mapAction(view), root);

    const CheckForUpdatesConnector updates;
    AppState state = initialState();
    EXPECT_FALSE(updates.mapState(state).canCheck);
    state.update.canCheck = true;
    EXPECT_TRUE(updates.mapState(state).canCheck);
    EXPECT_EQ(updates.mapAction(CheckForUpdatesButton::Action::Check {}),
        AppAction(AppAction::Update { UpdateAction::Check {} }));
}

TEST_F(SettingsConnectors, TheGeneralPaneEnablesItsRowsByWhatTheyDependOn)
{
    struct Case {
        bool removal;
        bool countdown;
        bool progressBar;
        GeneralSettingsEnabling expected;
    };
    const Case cases[] = {
        { true, true, true, { true, true, true } },
        { false, true, true, { false, true, true } },
        // The countdown off disables the bar's switch and opacity, whatever the bar says.
        { true, false, true, { true, false, false } },
        { true, false, false, { true, false, false } },
        // The bar off disables only its opacity.
        { true, true, false, { true, true, false } },
        { false, false, false, { false, false, false } },
    };
    for (const Case& c : cases) {
        AppState state = initialState();
        state.reminders.automaticRemoval.isEnabled = c.removal;
        state.countdown.isEnabled = c.countdown;
        state.countdown.progressBar.isEnabled = c.progressBar;
        const auto view = GeneralSettingsConnector {}.mapState(state);
        EXPECT_EQ(generalSettingsEnabling(view.remindersAutomaticRemoval, view.menuBarSettings),
            c.expected)
            << c.removal << c.countdown << c.progressBar;
    }
}

TEST_F(SettingsConnectors, TheSlidersStepAsTheirControlsDo)
{
    // Sensitivity: continuous in hundredths over 1…20, clamped.
    EXPECT_EQ(SensitivitySlider::maximumPosition(), 1900);
    struct Sensitivity {
        double value;
        int position;
    };
    const Sensitivity sensitivities[]
        = { { 1, 0 }, { 17, 1600 }, { 20, 1900 }, { 10.555, 956 }, { 0, 0 }, { 25, 1900 } };
    for (const auto& s : sensitivities)
        EXPECT_EQ(SensitivitySlider::position(s.value), s.position) << s.value;
    EXPECT_EQ(SensitivitySlider::value(1600), 17);
    EXPECT_DOUBLE_EQ(SensitivitySlider::value(955), 10.55);

    // Opacity: ten stops, never 0, exactly the tenths at both ends.
    struct Opacity {
        double value;
        int position;
    };
    const Opacity opacities[]
        = { { 0.5, 5 }, { 0.1, 1 }, { 1.0, 10 }, { 0.0, 1 }, { 0.34, 3 }, { 1.7, 10 } };
    for (const auto& o : opacities)
        EXPECT_EQ(OpacitySlider::position(o.value), o.position) << o.value;
    EXPECT_EQ(OpacitySlider::value(1), 0.1);
    EXPECT_EQ(OpacitySlider::value(10), 1.0);
    EXPECT_EQ(OpacitySlider::value(3), 0.3);
}

TEST_F(SettingsConnectors, ThePickedRemovalTimeIsSetOnTheStoredDayByTheCalendar)
{
    // Berlin: the clocks go from 02:00 to 03:00 on 31 March 2024 and from 03:00 back to 02:00
    // on 27 October 2024.
    const Calendar berlin("Europe/Berlin");
    struct Case {
        const char* name;
        Date stored;
        TimeOfDay picked;
        Date expected;
    };
    const Case cases[] = {
        { "an ordinary day", utc(2024, 6, 10, 2, 0), { 5, 30 }, utc(2024, 6, 10, 3, 30) },
        { "a skipped time takes the next that exists", utc(2024, 3, 31, 0, 0), { 2, 30 },
            utc(2024, 3, 31, 1, 0) },
        { "after the change on the same day", utc(2024, 3, 31, 0, 0), { 4, 0 },
            utc(2024, 3, 31, 2, 0) },
        { "a time shown twice takes the first", utc(2024, 10, 27, 0, 0), { 2, 30 },
            utc(2024, 10, 27, 0, 30) },
        // 23:30 UTC is already the 25th in Berlin: the calendar's day counts.
        { "the day of the stored moment in the calendar's zone", utc(2024, 12, 24, 23, 30),
            { 4, 0 }, utc(2024, 12, 25, 3, 0) },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(timeIntervalSince1970(removalDate(c.picked, c.stored, berlin)),
            timeIntervalSince1970(c.expected))
            << c.name;
        if (std::string(c.name) != "a skipped time takes the next that exists") {
            EXPECT_EQ(removalTimeOfDay(c.expected, berlin), c.picked) << c.name;
        }
    }
    EXPECT_EQ(removalTimeOfDay(utc(2024, 3, 31, 1, 0), berlin), (TimeOfDay { 3, 0 }));
}
