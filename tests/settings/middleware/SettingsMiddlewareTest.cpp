#include "MiddlewareTestSupport.hpp"

#include "settings/middleware/SettingsMiddleware.hpp"

namespace tidemark {
namespace {

using namespace test;

// Open at login through the real autostart folder of a temporary home, on the newer path
// (the application's own entry) or the older one (the launcher's entry).
struct OpenAtLoginFixture : testing::TestWithParam<int> {
    StoredSettings settings;
    fs::path programs = settings.folder / "bin";
    fs::path autostart = settings.folder / "config" / "autostart";
    std::vector<std::string> reports;
    std::shared_ptr<SettingsService> service;
    std::optional<AppTestStore> store;

    void SetUp() override
    {
        LoginItemsConfiguration configuration;
        configuration.autostartDirectory = autostart;
        configuration.bundleIdentifier = "com.tidemark.Tidemark";
        configuration.applicationExecutable = programs / "tidemark";
        configuration.launcherExecutable = programs / "tidemark-launcher";
        configuration.operatingSystemVersion = { GetParam(), 0 };
        for (const auto& program :
            { configuration.applicationExecutable, configuration.launcherExecutable }) {
            writeFile(program, "#!/bin/sh\n");
            fs::permissions(program, fs::perms::owner_all);
        }
        service = std::make_shared<SettingsService>(std::make_shared<LoginItems>(configuration));
        store.emplace(AppState::initial(testStart(), testCalendar()),
            rootReducer(std::make_shared<ManualClock>(testStart())),
            std::vector<AppMiddleware> { userSettingsMiddleware(settings.service),
                makeSettingsMiddleware(
                    service, [this](const std::string& message) { reports.push_back(message); }) });
    }
    void TearDown() override { store.reset(); }

    static auto openAtLoginIs(bool value)
    {
        return [value](AppState& s) { s.settings.general.openAtLogin = value; };
    }
    // The launch's read of `stored`: the stored choice is fed into the state.
    void readAtLaunch(const UserSettings& stored)
    {
        store->send(
            readSettings(), [](AppState& s) { s.settings.submit.status = Status::loading; });
        store->receive(
            actions::settingsRead(SettingsReadAction::success(stored)), [&stored](AppState& s) {
                s.settings.submit.status = Status::completed;
                s.reminders.automaticRemoval.isEnabled = true; // as a fresh installation has it
                s.settings.general.openAtLogin = stored.general.openAtLogin;
                s.settings.general.openAtLoginFailure.reset(); // each change starts afresh
            });
    }

    static AppAction openAtLoginFailed(std::string reason)
    {
        return AppAction::Settings { SettingsAction::OpenAtLoginFailed { std::move(reason) } };
    }

    bool newerPath() const { return GetParam() >= 13; }
    fs::path appEntry() const { return autostart / "com.tidemark.Tidemark.desktop"; }
    fs::path launcherEntry() const
    {
        return autostart / "com.tidemark.Tidemark-OpenAtLogin.desktop";
    }
    fs::path expectedEntry() const { return newerPath() ? appEntry() : launcherEntry(); }
    fs::path otherEntry() const { return newerPath() ? launcherEntry() : appEntry(); }
};

TEST_P(OpenAtLoginFixture, writesAndRemovesTheAutostartEntry)
{
    store->send(openAtLogin(true), openAtLoginIs(true));
    EXPECT_TRUE(fs::exists(expectedEntry()));
    EXPECT_FALSE(fs::exists(otherEntry()));
    EXPECT_NE(readFile(expectedEntry()).find(newerPath() ? "tidemark" : "tidemark-launcher"),
        std::string::npos);
    store->send(openAtLogin(true));
    EXPECT_TRUE(fs::exists(expectedEntry())) << "enabling twice keeps one entry";
    EXPECT_EQ(settings.stored()["general"]["openAtLogin"], true);

    store->send(openAtLogin(false), openAtLoginIs(false));
    EXPECT_FALSE(fs::exists(expectedEntry()));
    EXPECT_EQ(settings.stored()["general"]["openAtLogin"], false);
    EXPECT_TRUE(reports.empty());
}

TEST_P(OpenAtLoginFixture, theStoredChoiceIsAppliedAtLaunch)
{
    auto stored = defaultSettings();
    stored.general.openAtLogin = true;
    ASSERT_TRUE(settings.service->save(stored).isSuccess());
    readAtLaunch(stored);
    EXPECT_TRUE(fs::exists(expectedEntry()));
    if (newerPath()) {
        // A launcher entry left from the older path goes whenever the setting is applied.
        writeFile(launcherEntry(), "[Desktop Entry]\n");
        store->send(openAtLogin(true));
        EXPECT_FALSE(fs::exists(launcherEntry()));
    }
}

TEST_P(OpenAtLoginFixture, aFailureIsReportedAndTheSettingLeftOff)
{
    fs::remove(newerPath() ? programs / "tidemark" : programs / "tidemark-launcher");
    store->send(openAtLogin(true), openAtLoginIs(true));
    EXPECT_FALSE(fs::exists(expectedEntry()));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].starts_with("Failed to enable launch at login: ")) << reports[0];
    store->receive(openAtLogin(false), openAtLoginIs(false));
    // The reason reaches the pane, after the switch was turned back (which clears it).
    const std::string reason
        = reports[0].substr(std::string("Failed to enable launch at login: ").size());
    EXPECT_FALSE(reason.empty());
    store->receive(openAtLoginFailed(reason),
        [&](AppState& s) { s.settings.general.openAtLoginFailure = reason; });
    EXPECT_EQ(settings.stored()["general"]["openAtLogin"], false) << "not saved as on";
    EXPECT_EQ(reports.size(), 1u) << "turning it off again works";

    // The same at launch: a stored choice the desktop refuses is turned off.
    auto stored = defaultSettings();
    stored.general.openAtLogin = true;
    ASSERT_TRUE(settings.service->save(stored).isSuccess());
    readAtLaunch(stored);
    store->receive(openAtLogin(false), openAtLoginIs(false));
    store->receive(openAtLoginFailed(reason),
        [&](AppState& s) { s.settings.general.openAtLoginFailure = reason; });
    EXPECT_EQ(settings.stored()["general"]["openAtLogin"], false);
    EXPECT_EQ(reports.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Paths, OpenAtLoginFixture, testing::Values(14, 12),
    [](const testing::TestParamInfo<int>& info) {
        return info.param >= 13 ? "ownEntry" : "launcherEntry";
    });

struct RecordingWindow : SettingsWindow {
    bool visible = false;
    std::vector<std::string> calls;
    bool isVisible() const override { return visible; }
    void makeKeyAndOrderFront() override { calls.push_back("makeKey"); }
    void orderFrontRegardless() override { calls.push_back("orderFront"); }
};

TEST(SettingsWindowTest, presentingBringsTheWindowForwardOnBothPaths)
{
    for (int major : { 14, 13 }) {
        SCOPED_TRACE(major);
        TemporaryFolder folder;
        LoginItemsConfiguration configuration;
        configuration.autostartDirectory = folder / "autostart";
        configuration.bundleIdentifier = "com.tidemark.Tidemark";
        configuration.operatingSystemVersion = { major, 0 };
        std::vector<std::string> hooks;
        auto service
            = std::make_shared<SettingsService>(std::make_shared<LoginItems>(configuration),
                SettingsServiceHooks {
                    [&] { hooks.push_back("activate"); }, [&] { hooks.push_back("show"); } });
        auto store = makeAppTestStore({ makeSettingsMiddleware(service) });
        const AppAction present = AppAction::Settings { SettingsAction::IsPresented { true } };
        store.send(present, [](AppState& s) { s.settings.isPresented = true; });
        EXPECT_EQ(hooks,
            major >= 14 ? std::vector<std::string> { "activate" } : std::vector<std::string> {});
        EXPECT_TRUE(service->isPresented());

        auto window = std::make_shared<RecordingWindow>();
        service->setWindow(window);
        hooks.clear();
        store.send(present);
        const std::vector<std::string> expected = major >= 14
            ? std::vector<std::string> { "activate" }
            : std::vector<std::string> { "show", "activate" };
        EXPECT_EQ(hooks, expected);
        EXPECT_EQ(window->calls, std::vector<std::string> { "makeKey" });

        store.send(actions::popoverIsPresented(true), [](AppState& s) {
            s.view.popover.isPresented = true;
            s.view.popover.wasPresentedSinceAppLaunch = true;
        });
        EXPECT_EQ(window->calls.size(), 1u) << "a hidden window stays hidden";
        window->visible = true;
        store.send(actions::popoverIsPresented(true));
        EXPECT_EQ(window->calls.back(), "orderFront");
    }
}

} // namespace
} // namespace tidemark
