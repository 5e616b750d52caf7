#include "AppTestSupport.hpp"

#include "app/shell/AppDelegate.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/loginitems/LoginItems.hpp"

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>

namespace tidemark {
namespace {

using test::onboardingPresented;

// 2024-03-05 15:30:00 UTC: after four in the morning.
Date afternoon()
{
    return dateFromTimeIntervalSince1970(1709652600);
}
// 2024-03-05 04:00:00 UTC.
Date fourThisMorning()
{
    return dateFromTimeIntervalSince1970(1709611200);
}

class AppModelTest : public test::ShellFixture {
protected:
    AppModelEnvironment environment(
        std::shared_ptr<AppServicable> appService = std::make_shared<MockAppService>(false))
    {
        AppModelEnvironment result;
        result.appService = std::move(appService);
        result.places = XdgPlaces([this](std::string_view name) -> std::optional<std::string> {
            if (name == "HOME")
                return m_home.path().toStdString();
            return std::nullopt;
        });
        result.clock = std::make_shared<ManualClock>(afternoon());
        result.calendar = Calendar("UTC");
        result.inMemory = true;
        result.windows = m_windows;
        result.commands = AppCommandsEnvironment { [] {}, [](const std::string&) {}, "" };
        return result;
    }

    // A settings middleware that answers the read with `stored`.
    static AppMiddleware answeringSettings(UserSettings stored)
    {
        return [stored](const AppState&,
                   const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
            const auto* read = caseAt<AppAction::Settings, SettingsAction::Read>(action);
            if (read && read->action.asSubmit())
                return rx::Just<AppAction>(
                    actions::settingsRead(SettingsReadAction::success(stored)));
            return rx::Empty<AppAction>();
        };
    }

    QTemporaryDir m_home;
};

TEST_F(AppModelTest, TheMiddlewaresRunInTheirFixedOrder)
{
    AppModel model(environment());
    const std::vector<std::string> expected {
        "listenerMiddleware",
        "appleRemindersMiddleware",
        "makeAppCommandsMiddleware",
        "activationPolicyMiddleware",
        "makeHapticFeedbackMiddleware",
        "loggerMiddleware",
        "userNotificationsMiddleware",
        "windowActivationMiddleware",
        "persistentRemindersMiddleware",
        "userSettingsMiddleware",
        "popoverPresentationMiddleware",
        "makeViewMiddleware",
        "makeSettingsMiddleware",
        "usageStatisticsMiddleware",
        "whatsNewMiddleware",
        "makeDragGestureMiddleware",
        "viewActionMiddleware",
        "makeStatusItemDragMiddleware",
        "updaterMiddleware",
    };
    EXPECT_EQ(model.middlewareNames(), expected);
}

TEST_F(AppModelTest, EveryMiddlewareSeesEveryActionInOrder)
{
    // Each entry replaced by one that notes its name: none of them hides an action.
    std::vector<std::string> calls;
    AppModelEnvironment env = environment();
    AppModel names(environment());
    for (const std::string& name : names.middlewareNames()) {
        env.middlewareOverrides[name]
            = [&calls, name](
                  const AppState&, const AppAction&) -> std::optional<rx::Publisher<AppAction>> {
            calls.push_back(name);
            return rx::Empty<AppAction>();
        };
    }
    AppModel model(env);
    model.store->dispatch(actions::popoverIsPresented(false));
    EXPECT_EQ(calls, names.middlewareNames());
}

TEST_F(AppModelTest, TheDefaultSettingsRemoveAtFourThisMorning)
{
    AppModel model(environment());
    const UserSettings& defaults = model.defaultSettings();
    EXPECT_EQ(defaults.reminders.automaticRemoval.date, fourThisMorning());
    // Every other field as a fresh installation has it.
    UserSettings expected = UserSettings::makeDefault(Calendar("UTC"), afternoon());
    EXPECT_EQ(defaults, expected);
    EXPECT_FALSE(defaults.onboarding.lastPresentedVersion);
    EXPECT_EQ(defaults.reminders.dataSource, RemindersDataSource::local);
    EXPECT_EQ(defaults.gesture.dragGesturePointPerInterval, 4.0);
    EXPECT_TRUE(defaults.menubar.countdownIsEnabled);
    EXPECT_EQ(defaults.menubar.progressBar.opacity, 0.5);
    EXPECT_EQ(model.settingsDefaults()->domain(), AppInfo::bundleIdentifier() + ".settings");
}

TEST_F(AppModelTest, WillFinishLaunchingReadsTheStoredSettingsAndPresentsWhatTheyCallFor)
{
    AppModelEnvironment env = environment();
    env.middlewareOverrides["userSettingsMiddleware"] = answeringSettings(UserSettings {});
    AppDelegate delegate(env);
    AppModel& model = delegate.model();
    EXPECT_EQ(model.store->state().settings.submit.status, Status::idle);

    delegate.applicationWillFinishLaunching();
    EXPECT_EQ(model.store->state().settings.submit.status, Status::loading);
    EXPECT_EQ(model.userNotificationService->center().delegate(),
        model.userNotificationService->userNotificationDelegateService());

    delegate.applicationDidFinishLaunching();
    test::mainQueue().drain();
    EXPECT_EQ(model.store->state().settings.submit.status, Status::completed);
    // A first start: onboarding shows, and the application takes a taskbar entry for it.
    EXPECT_TRUE(model.store->state().view.onboarding.isPresented);
    ASSERT_TRUE(model.windowsStore->state().onboarding.window);
    EXPECT_TRUE(model.windowsStore->state().onboarding.window->isVisible());
    EXPECT_EQ(m_application.activationPolicy(), ActivationPolicy::regular);
}

TEST_F(AppModelTest, TheRealSettingsMiddlewareAnswersTheReadFromTheStoredSettings)
{
    AppModelEnvironment env = environment();
    env.inMemory = false; // on disk, in the test's home folder
    {
        // What an earlier run stored: onboarding seen, the countdown off.
        AppModel earlier(env);
        UserSettings stored = earlier.defaultSettings();
        stored.onboarding.lastPresentedVersion = "1.2.5";
        stored.menubar.countdownIsEnabled = false;
        ASSERT_TRUE(earlier.persistentSettings()->save(stored).isSuccess());
    }
    AppDelegate delegate(env);
    delegate.applicationWillFinishLaunching();
    test::mainQueue().drain();
    const AppState& state = delegate.model().store->state();
    EXPECT_EQ(state.settings.submit.status, Status::completed);
    EXPECT_FALSE(state.countdown.isEnabled);
    EXPECT_FALSE(state.view.onboarding.isPresented) << "onboarding was seen already";
}

TEST_F(AppModelTest, ABrokenReminderStoreIsMovedAsideAndTheStartGoesOnWithANewOne)
{
    AppModelEnvironment env = environment();
    env.inMemory = false;
    std::vector<std::string> shown;
    env.showMessage = [&](const std::string& title, const std::string& text) {
        shown.push_back(title + ": " + text);
    };
    const std::filesystem::path folder
        = std::filesystem::path(m_home.path().toStdString()) / ".local/share/tidemark";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Tidemark.sqlite") << "not a database";

    AppModel model(env);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find((folder / "Tidemark.broken-").string()), std::string::npos) << shown[0];
    AnyReminder tea;
    tea.id = "tea";
    tea.title = "Tea";
    model.remindersService()->create({ tea });
    EXPECT_EQ(model.remindersService()->read().size(), 1u);
}

TEST_F(AppModelTest, DidFinishLaunchingPutsTheStatusItemUpAndRecordsHowTheStartCame)
{
    for (const bool atLogin : { false, true }) {
        SCOPED_TRACE(atLogin);
        const std::vector<std::string> arguments = atLogin
            ? std::vector<std::string> { "tidemark", launchedAtLoginArgument }
            : std::vector<std::string> { "tidemark" };
        AppModelEnvironment env
            = environment(std::make_shared<AppLaunchService>([arguments] { return arguments; }));
        UserSettings seen;
        seen.onboarding.lastPresentedVersion = "1.2.5";
        seen.whatsNew.lastPresentedVersion = "1.2.5";
        env.middlewareOverrides["userSettingsMiddleware"] = answeringSettings(seen);
        AppDelegate delegate(env);
        AppModel& model = delegate.model();
        EXPECT_FALSE(model.store->state().view.popover.launchedAsLoginItem);
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching();
        test::mainQueue().drain();

        EXPECT_EQ(model.store->state().view.popover.launchedAsLoginItem, atLogin);
        EXPECT_EQ(model.windowsStore->state().store, model.store);
        EXPECT_TRUE(model.windowsStore->state().popover);
        ASSERT_EQ(m_bar.items().size(), 1u);
        EXPECT_EQ(
            m_bar.items().front(), model.windowsStore->state().dragDropMenuBarExtra.item.get());
        EXPECT_TRUE(model.windowsStore->state().yoyoDragBack);

        // The status item reports its frame: the popover opens by itself after a start by the
        // user only.
        model.store->dispatch(test::statusItem(StatusItemAction::DragFrame { { 10, 0, 24, 24 } }));
        test::mainQueue().drain();
        EXPECT_EQ(model.store->state().view.popover.isPresented, !atLogin);
        EXPECT_EQ(model.windowsStore->state().popover->window->isVisible(), !atLogin);

        delegate.applicationWillTerminate();
        EXPECT_TRUE(m_bar.items().empty());
    }
}

TEST_F(AppModelTest, TheLaunchServiceAsksTheArgumentsAnewEachTime)
{
    std::vector<std::string> arguments { "tidemark" };
    AppLaunchService service([&arguments] { return arguments; });
    EXPECT_FALSE(service.launchedAsLoginItem());
    arguments.push_back(launchedAtLoginArgument);
    EXPECT_TRUE(service.launchedAsLoginItem());
    EXPECT_FALSE(AppLaunchService(nullptr).launchedAsLoginItem());
}

TEST_F(AppModelTest, TheModelLetsGoOfEverythingItBuilt)
{
    std::weak_ptr<AppStore> store;
    std::weak_ptr<AppWindowsStore> windows;
    WindowRef popover;
    {
        AppDelegate delegate(environment());
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching();
        delegate.model().store->dispatch(onboardingPresented(true));
        test::mainQueue().drain();
        store = delegate.model().store;
        windows = delegate.model().windowsStore;
        popover = delegate.model().windowsStore->state().popover->window;
    }
    test::mainQueue().drain();
    // Windows let go are deleted on the next turn of the event loop, as the program does
    // after its teardown.
    test::processEvents();
    EXPECT_TRUE(store.expired());
    EXPECT_TRUE(windows.expired());
    EXPECT_FALSE(popover->isVisible());
    EXPECT_TRUE(m_bar.items().empty());
}

TEST(AppEntryPoint, ChoosesTheEmptyApplicationOnlyForPreviewsAndTestHarnesses)
{
    const struct {
        bool harness;
        std::optional<std::string> previews;
        ApplicationKind expected;
    } cases[] = {
        { false, std::nullopt, ApplicationKind::main },
        { false, "1", ApplicationKind::empty },
        { false, "0", ApplicationKind::main },
        { false, "", ApplicationKind::main },
        { false, "true", ApplicationKind::main },
        { false, " 1", ApplicationKind::main },
        { true, std::nullopt, ApplicationKind::empty },
        { true, "0", ApplicationKind::empty },
    };
    for (const auto& c : cases)
        EXPECT_EQ(applicationKindFor(c.harness, c.previews), c.expected)
            << c.harness << " " << c.previews.value_or("(none)");
}

TEST(ScrollEntryVariable, OnlyExactlyOneTurnsTheScrollItemOn)
{
    EXPECT_STREQ(scrollEntryVariable, "TIDEMARK_SCROLL_ENTRY");
    const struct {
        const char* value;
        bool expected;
    } cases[] = { { "1", true }, { "", false }, { "0", false }, { "true", false }, { " 1", false },
        { "11", false } };
    for (const auto& c : cases)
        EXPECT_EQ(scrollEntryRequested(c.value), c.expected) << '"' << c.value << '"';
}

} // namespace
} // namespace tidemark
