#include "notifications/SystemSettings.hpp"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tidemark {

namespace {

struct Entry {
    // Names a desktop gives itself in XDG_CURRENT_DESKTOP (compared without case).
    std::vector<std::string_view> desktops;
    SystemSettingsCommand notifications;
    SystemSettingsCommand sound;
};

// In the order tried when the desktop is unknown.
const std::vector<Entry>& table()
{
    static const std::vector<Entry> entries {
        { { "GNOME", "Unity", "ubuntu", "Pantheon" },
            { "gnome-control-center", { "notifications" } },
            { "gnome-control-center", { "sound" } } },
        { { "KDE" }, { "systemsettings", { "kcm_notifications" } },
            { "systemsettings", { "kcm_pulseaudio" } } },
        { { "KDE" }, { "kcmshell6", { "kcm_notifications" } },
            { "kcmshell6", { "kcm_pulseaudio" } } },
        { { "KDE" }, { "kcmshell5", { "kcm_notifications" } },
            { "kcmshell5", { "kcm_pulseaudio" } } },
        { { "X-Cinnamon", "Cinnamon" }, { "cinnamon-settings", { "notifications" } },
            { "cinnamon-settings", { "sound" } } },
        { { "Budgie" }, { "budgie-control-center", { "notifications" } },
            { "budgie-control-center", { "sound" } } },
        { { "XFCE" }, { "xfce4-notifyd-config", {} }, { "pavucontrol", {} } },
        { { "MATE" }, { "mate-notification-properties", {} }, { "mate-volume-control", {} } },
        { { "LXQt" }, { "lxqt-config-notificationd", {} }, { "pavucontrol-qt", {} } },
    };
    return entries;
}

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x))
            == std::tolower(static_cast<unsigned char>(y));
    });
}

std::vector<std::string_view> split(std::string_view list)
{
    std::vector<std::string_view> names;
    while (!list.empty()) {
        const auto colon = list.find(':');
        const auto name = list.substr(0, colon);
        if (!name.empty())
            names.push_back(name);
        if (colon == std::string_view::npos)
            break;
        list.remove_prefix(colon + 1);
    }
    return names;
}

const SystemSettingsCommand& pageOf(const Entry& entry, SystemSettingsPage page)
{
    return page == SystemSettingsPage::notifications ? entry.notifications : entry.sound;
}

} // namespace

SystemSettings::SystemSettings(std::shared_ptr<ProcessLauncher> launcher)
    : m_launcher(std::move(launcher))
{
}

std::optional<SystemSettingsCommand> SystemSettings::command(
    SystemSettingsPage page, std::string_view currentDesktop) const
{
    const auto installed = [&](const SystemSettingsCommand& command) {
        return m_launcher->findExecutable(command.program).has_value();
    };
    for (const auto desktop : split(currentDesktop)) {
        for (const auto& entry : table()) {
            const bool matches = std::any_of(entry.desktops.begin(), entry.desktops.end(),
                [&](std::string_view name) { return sameName(name, desktop); });
            if (matches && installed(pageOf(entry, page)))
                return pageOf(entry, page);
        }
    }
    for (const auto& entry : table()) {
        if (installed(pageOf(entry, page)))
            return pageOf(entry, page);
    }
    return std::nullopt;
}

std::optional<SystemSettingsCommand> SystemSettings::command(SystemSettingsPage page) const
{
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return command(page, desktop ? desktop : "");
}

rx::Result<rx::Unit, WorkspaceError> SystemSettings::open(SystemSettingsPage page)
{
    using R = rx::Result<rx::Unit, WorkspaceError>;
    const auto found = command(page);
    if (!found) {
        return R::failure({ page == SystemSettingsPage::notifications
                ? "no notification settings program of a known desktop is installed "
                  "(gnome-control-center, systemsettings, xfce4-notifyd-config, "
                  "cinnamon-settings, mate-notification-properties or lxqt-config-notificationd)"
                : "no sound settings program of a known desktop is installed "
                  "(gnome-control-center, systemsettings, pavucontrol, cinnamon-settings or "
                  "mate-volume-control)" });
    }
    const auto program = m_launcher->findExecutable(found->program);
    if (!program)
        return R::failure({ found->program + " is no longer installed" });
    const auto started = m_launcher->startDetached(*program, found->arguments);
    if (!started.isSuccess())
        return R::failure(started.error());
    return R::success(rx::Unit {});
}

} // namespace tidemark
