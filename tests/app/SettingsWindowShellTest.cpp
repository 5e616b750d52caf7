// The settings window in the running composition: opened by the settings command, handed to
// the settings service, and every control's change kept in the stored settings file of a
// real (temporary) home, where the next start finds it.
#include "AppTestSupport.hpp"

#include "app/shell/AppDelegate.hpp"
#include "settings/GeneralSettingsRules.hpp"
#include "settings/views/GeneralSettingsView.hpp"
#include "settings/views/OtherSettingsView.hpp"
#include "settings/views/SettingsWindow.hpp"
#include "toolkit/WindowNotifications.hpp"

#include <QCheckBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimeEdit>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

namespace tidemark {
namespace {

class SettingsWindowShellTest : public test::ShellFixture {
protected:
    void SetUp() override
    {
        // Open at login writes into the autostart folder of this home, not the user's.
        m_savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    }
    void TearDown() override
    {
        qputenv("XDG_CONFIG_HOME", m_savedConfig);
        test::ShellFixture::TearDown();
    }

    QString configHome() const { return m_home.path() + QStringLiteral("/.config"); }

    AppModelEnvironment environment()
    {
        AppModelEnvironment result;
        result.appService = std::make_shared<MockAppService>(false);
        result.places = XdgPlaces([this](std::string_view name) -> std::optional<std::string> {
            if (name == "HOME")
                return m_home.path().toStdString();
            return std::nullopt;
        });
        result.clock = std::make_shared<ManualClock>(dateFromTimeIntervalSince1970(1709652600));
        result.calendar = Calendar("UTC");
        result.inMemory = false;
        result.windows = m_windows;
        result.commands = AppCommandsEnvironment { [] {}, [](const std::string&) {}, "" };
        result.reportProblem = [](const std::string&) {};
        return result;
    }

    static void settle()
    {
        for (int i = 0; i < 4; ++i) {
            test::mainQueue().drain();
            test::processEvents();
        }
    }

    nlohmann::json storedSettings() const
    {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(
                 std::filesystem::path(configHome().toStdString()) / "tidemark")) {
            if (entry.path().filename().string().find(".settings") != std::string::npos) {
                std::ifstream in(entry.path());
                const auto file = nlohmann::json::parse(in);
                // The domain file keeps the settings under their key.
                for (const auto& [key, value] : file.items())
                    if (key.ends_with(".settings"))
                        return value;
                return file;
            }
        }
        return {};
    }

    // The window's content (a plain widget class: looked for by its C++ type).
    static SettingsContainerView* contentOf(const WindowRef& window)
    {
        for (QWidget* child : window->findChildren<QWidget*>())
            if (auto* content = dynamic_cast<SettingsContainerView*>(child))
                return content;
        return nullptr;
    }

    QTemporaryDir m_home;
    QByteArray m_savedConfig;
};

TEST_F(SettingsWindowShellTest, TheSettingsCommandOpensOneWindowThatIsReused)
{
    AppDelegate delegate(environment());
    AppModel& model = delegate.model();
    delegate.applicationWillFinishLaunching();
    delegate.applicationDidFinishLaunching();
    settle();
    EXPECT_FALSE(model.windowsStore->state().settings) << "made at the first request only";
    EXPECT_FALSE(model.settingsService->window());

    // The popover's command opens the window through the shared settings action.
    ASSERT_TRUE(OpenSettingsAction::shared()());
    settle();
    const WindowRef window = model.windowsStore->state().settings;
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(model.settingsService->window()) << "handed to the settings service";
    EXPECT_TRUE(model.settingsService->window()->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tidemark 1.2.5 (125)"));

    window->close();
    settle();
    EXPECT_FALSE(model.store->state().settings.isPresented);
    model.store->dispatch(test::settingsPresented(true));
    ASSERT_TRUE(OpenSettingsAction::shared()());
    settle();
    EXPECT_EQ(model.windowsStore->state().settings, window) << "the same window again";
    EXPECT_TRUE(window->isVisible());

    delegate.applicationWillTerminate();
    EXPECT_FALSE(model.windowsStore->state().settings);
    EXPECT_FALSE(OpenSettingsAction::shared()()) << "nothing left to open";
}

TEST_F(SettingsWindowShellTest, EachControlEndsInTheStoredSettingsAndComesBackAfterARestart)
{
    {
        AppDelegate delegate(environment());
        AppModel& model = delegate.model();
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching();
        settle();
        model.windowsStore->dispatch(AppWindowsAction::ShowSettings {});
        settle();
        const WindowRef window = model.windowsStore->state().settings;
        ASSERT_TRUE(window);
        auto* content = contentOf(window);
        ASSERT_NE(content, nullptr);
        auto* general = static_cast<GeneralSettingsView*>(content->pane(SettingsTabs::general));
        auto* other = static_cast<OtherSettingsView*>(content->pane(SettingsTabs::other));

        general->menuBarSettings()->opacitySlider()->setValue(8);
        settle();
        general->menuBarSettings()->progressBarToggle()->click();
        general->menuBarSettings()->countdownToggle()->click();
        general->openAtLoginToggle()->click();
        general->sensitivitySlider()->setValue(SensitivitySlider::position(12.5));
        general->removalTimeEdit()->setTime(QTime(6, 45));
        settle();
        general->removalToggle()->click();
        other->logging()->loggingToggle()->click();
        other->logging()->hideDescriptionsToggle()->click();
        settle();
        EXPECT_TRUE(model.store->state().settings.general.openAtLogin)
            << "the desktop took it: the autostart folder is this home's";
        EXPECT_FALSE(model.store->state().settings.general.openAtLoginFailure);

        const nlohmann::json stored = storedSettings();
        ASSERT_TRUE(stored.is_object());
        EXPECT_EQ(stored["general"]["openAtLogin"], true);
        EXPECT_EQ(stored["gesture"]["dragGesturePointPerInterval"], 8.5);
        EXPECT_EQ(stored["logging"]["isEnabled"], true);
        EXPECT_EQ(stored["logging"]["isRedacted"], true) << "under the same key as ever";
        EXPECT_EQ(stored["menubar"]["countdownIsEnabled"], false);
        EXPECT_EQ(stored["menubar"]["progressBar"]["isEnabled"], false);
        EXPECT_EQ(stored["menubar"]["progressBar"]["opacity"], 0.8);
        EXPECT_EQ(stored["reminders"]["automaticRemoval"]["isEnabled"], false);
        delegate.applicationWillTerminate();
    }

    // The next start reads it all back.
    AppDelegate delegate(environment());
    delegate.applicationWillFinishLaunching();
    settle();
    const AppState& state = delegate.model().store->state();
    EXPECT_TRUE(state.settings.general.openAtLogin);
    EXPECT_EQ(state.dragGesture.pointPerInterval, 8.5);
    EXPECT_TRUE(state.logger.isEnabled);
    EXPECT_TRUE(state.logger.hideReminderDescriptions);
    EXPECT_FALSE(state.countdown.isEnabled);
    EXPECT_FALSE(state.countdown.progressBar.isEnabled);
    EXPECT_EQ(state.countdown.progressBar.opacity, 0.8);
    EXPECT_FALSE(state.reminders.automaticRemoval.isEnabled);
    EXPECT_EQ(removalTimeOfDay(state.reminders.automaticRemoval.date, Calendar("UTC")),
        (TimeOfDay { 6, 45 }));

    // And the panes show it.
    delegate.applicationDidFinishLaunching();
    delegate.model().windowsStore->dispatch(AppWindowsAction::ShowSettings {});
    settle();
    auto* content = contentOf(delegate.model().windowsStore->state().settings);
    ASSERT_NE(content, nullptr);
    auto* general = static_cast<GeneralSettingsView*>(content->pane(SettingsTabs::general));
    EXPECT_TRUE(general->openAtLoginToggle()->isChecked());
    EXPECT_EQ(general->sensitivitySlider()->value(), SensitivitySlider::position(12.5));
    EXPECT_EQ(general->removalTimeEdit()->time(), QTime(6, 45));
    EXPECT_FALSE(general->removalTimeEdit()->isEnabled());
    EXPECT_EQ(general->menuBarSettings()->opacitySlider()->value(), 8);
    // Leave the user's autostart as the test found it.
    general->openAtLoginToggle()->click();
    settle();
    delegate.applicationWillTerminate();
}

} // namespace
} // namespace tidemark
