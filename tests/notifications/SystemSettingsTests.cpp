#include "notifications/SystemSettings.hpp"

#include <gmock/gmock.h>

#include <set>

namespace tidemark {
namespace {

// Programs "installed" by the test; starts are recorded, nothing runs.
class FakeLauncher final : public ProcessLauncher {
public:
    explicit FakeLauncher(std::set<std::string> installed)
        : m_installed(std::move(installed))
    {
    }
    std::optional<std::filesystem::path> findExecutable(const std::string& name) const override
    {
        if (!m_installed.contains(name))
            return std::nullopt;
        return std::filesystem::path("/usr/bin") / name;
    }
    rx::Result<int, WorkspaceError> startDetached(
        const std::filesystem::path& program, const std::vector<std::string>& arguments) override
    {
        started.push_back({ program.string(), arguments });
        return rx::Result<int, WorkspaceError>::success(4242);
    }
    std::vector<SystemSettingsCommand> started;

private:
    std::set<std::string> m_installed;
};

TEST(SystemSettings, FindsTheDesktopsOwnSettingsProgram)
{
    using Page = SystemSettingsPage;
    struct Case {
        std::string desktop;
        std::set<std::string> installed;
        Page page;
        std::optional<SystemSettingsCommand> expected;
    };
    const std::vector<Case> cases {
        { "GNOME", { "gnome-control-center", "systemsettings" }, Page::notifications,
            SystemSettingsCommand { "gnome-control-center", { "notifications" } } },
        { "ubuntu:GNOME", { "gnome-control-center" }, Page::sound,
            SystemSettingsCommand { "gnome-control-center", { "sound" } } },
        { "KDE", { "gnome-control-center", "systemsettings" }, Page::notifications,
            SystemSettingsCommand { "systemsettings", { "kcm_notifications" } } },
        { "KDE", { "kcmshell6" }, Page::notifications,
            SystemSettingsCommand { "kcmshell6", { "kcm_notifications" } } },
        { "xfce", { "xfce4-notifyd-config", "pavucontrol" }, Page::notifications,
            SystemSettingsCommand { "xfce4-notifyd-config", {} } },
        { "XFCE", { "xfce4-notifyd-config", "pavucontrol" }, Page::sound,
            SystemSettingsCommand { "pavucontrol", {} } },
        { "X-Cinnamon", { "cinnamon-settings" }, Page::notifications,
            SystemSettingsCommand { "cinnamon-settings", { "notifications" } } },
        // A desktop whose program is missing, or one we do not know: any installed one.
        { "MATE", { "gnome-control-center" }, Page::notifications,
            SystemSettingsCommand { "gnome-control-center", { "notifications" } } },
        { "", { "lxqt-config-notificationd" }, Page::notifications,
            SystemSettingsCommand { "lxqt-config-notificationd", {} } },
        { "sway", {}, Page::notifications, std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.desktop);
        const SystemSettings settings(std::make_shared<FakeLauncher>(c.installed));
        EXPECT_EQ(settings.command(c.page, c.desktop), c.expected);
    }
}

TEST(SystemSettings, OpensTheProgramOrSaysWhatToInstall)
{
    auto launcher
        = std::make_shared<FakeLauncher>(std::set<std::string> { "gnome-control-center" });
    SystemSettings settings(launcher);
    ASSERT_TRUE(settings.open(SystemSettingsPage::notifications).isSuccess());
    EXPECT_EQ(launcher->started,
        (std::vector<SystemSettingsCommand> {
            { "/usr/bin/gnome-control-center", { "notifications" } } }));

    SystemSettings nothing(std::make_shared<FakeLauncher>(std::set<std::string> {}));
    EXPECT_FALSE(nothing.canOpen(SystemSettingsPage::notifications));
    const auto failed = nothing.open(SystemSettingsPage::notifications);
    ASSERT_FALSE(failed.isSuccess());
    EXPECT_THAT(failed.error().message, testing::HasSubstr("gnome-control-center"));
}

} // namespace
} // namespace tidemark
