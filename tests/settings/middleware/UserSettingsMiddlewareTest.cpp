#include "MiddlewareTestSupport.hpp"

#include "platform/foundation/AppInfo.hpp"

namespace tidemark {
namespace {

using namespace test;
using nlohmann::json;

TEST(UserSettingsMiddlewareTest, theLaunchReadFeedsTheStoredSettingsIntoTheSlices)
{
    StoredSettings settings;
    auto stored = defaultSettings();
    stored.notifications.isEnabled = true;
    stored.menubar.countdownIsEnabled = false;
    stored.menubar.progressBar.opacity = 0.25;
    stored.gesture.dragGesturePointPerInterval = 9;
    stored.logging.isEnabled = true;
    stored.logging.isRedacted = true;
    stored.general.openAtLogin = true;
    ASSERT_TRUE(settings.service->save(stored).isSuccess());

    auto store = makeAppTestStore({ userSettingsMiddleware(settings.service) });
    store.send(readSettings(), [](AppState& s) { s.settings.submit.status = Status::loading; });
    EXPECT_EQ(settings.stored(), json(stored)) << "reading writes nothing";
    store.receive(actions::settingsRead(SettingsReadAction::success(stored)), [](AppState& s) {
        s.settings.submit.status = Status::completed;
        s.notifications.user.isEnabled = true;
        s.reminders.automaticRemoval.isEnabled = true; // as a fresh installation has it
        s.countdown.isEnabled = false;
        s.countdown.progressBar.opacity = 0.25;
        s.dragGesture.pointPerInterval = 9;
        s.logger.isEnabled = true;
        s.logger.hideReminderDescriptions = true;
        s.settings.general.openAtLogin = true;
    });
    EXPECT_EQ(settings.stored(), json(stored)) << "the values fed in are not written back";
}

TEST(UserSettingsMiddlewareTest, everyChangeOfAStoredPreferenceIsSavedAtOnce)
{
    using AR = AutomaticRemovalAction;
    const Date removal = dateFromTimeIntervalSince1970(1'714'600'000.5);
    struct Case {
        const char* name;
        AppAction action;
        const char* pointer; // into the stored settings; "" when nothing may change
        json value;
    };
    const Case cases[] = {
        { "logging", loggerAction(LoggerAction::IsEnabled { true }), "/logging/isEnabled", true },
        { "hiding titles", loggerAction(LoggerAction::HideReminderDescriptions { true }),
            "/logging/isRedacted", true },
        { "notifications",
            AppAction::Notifications { { UserNotificationsAction::IsEnabled { true } } },
            "/notifications/isEnabled", true },
        { "onboarding shown",
            actions::viewAction(ViewAction::Onboarding { OnboardingAction::IsPresented { true } }),
            "/onboarding/lastPresentedVersion", *AppInfo::shortVersion() },
        { "onboarding closed",
            actions::viewAction(ViewAction::Onboarding { OnboardingAction::IsPresented { false } }),
            "", {} },
        { "removal off",
            AppAction::Reminders { RemindersAction::AutomaticRemoval { AR::IsEnabled { false } } },
            "/reminders/automaticRemoval/isEnabled", false },
        { "removal time",
            AppAction::Reminders { RemindersAction::AutomaticRemoval { AR::Date { removal } } },
            "/reminders/automaticRemoval/date", secondsSinceReferenceDate(removal) },
        { "list",
            AppAction::Reminders { RemindersAction::SelectedList { AnyList { "L", "Work" } } },
            "/reminders/selectedList", json { { "id", "L" }, { "title", "Work" } } },
        { "data source",
            AppAction::Reminders { RemindersAction::Services {
                RemindersServicesAction::DataSource { RemindersDataSource::appleReminders } } },
            "/reminders/dataSource", "appleReminders" },
        { "open at login", openAtLogin(true), "/general/openAtLogin", true },
        { "countdown", AppAction::Countdown { CountdownAction::IsEnabled { false } },
            "/menubar/countdownIsEnabled", false },
        { "progress bar",
            AppAction::Countdown {
                CountdownAction::ProgressBar { CountdownProgressBarAction::IsEnabled { false } } },
            "/menubar/progressBar/isEnabled", false },
        { "opacity",
            AppAction::Countdown {
                CountdownAction::ProgressBar { CountdownProgressBarAction::Opacity { 0.75 } } },
            "/menubar/progressBar/opacity", 0.75 },
        { "what's new shown", actions::viewAction(ViewAction::WhatsNew { WhatsNewAction { true } }),
            "/whatsNew/lastPresentedVersion", "1.2.5" },
        { "drag sensitivity",
            AppAction::DragGesture { DragGestureAction::PointPerInterval { 6.5 } },
            "/gesture/dragGesturePointPerInterval", 6.5 },
        { "dock icon (not stored)",
            AppAction::Settings {
                SettingsAction::Appearance { AppearanceSettingsAction { false } } },
            "", {} },
        { "tab (not stored)",
            AppAction::Settings { SettingsAction::SelectedTab { SettingsTabs::other } }, "", {} },
    };
    for (const auto& c : cases) {
        StoredSettings settings;
        auto store = makeAppStore({ userSettingsMiddleware(settings.service) });
        json expected = settings.stored();
        if (*c.pointer)
            expected[json::json_pointer(c.pointer)] = c.value;
        store->dispatch(c.action);
        EXPECT_EQ(settings.stored(), expected) << c.name;
        EXPECT_EQ(settings.service->data(), expected.get<UserSettings>()) << c.name;
        EXPECT_EQ(drainMainQueue(), 0u) << c.name << ": nothing follows a save";
    }
}

} // namespace
} // namespace tidemark
