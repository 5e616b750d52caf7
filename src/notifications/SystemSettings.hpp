#pragma once

#include "platform/reactive/Result.hpp"
#include "platform/workspace/Workspace.hpp"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// The pages of the desktop's own settings that the notification panes lead to.
enum class SystemSettingsPage {
    notifications,
    sound,
};

// A program (and its arguments) that opens one settings page.
struct SystemSettingsCommand {
    std::string program;
    std::vector<std::string> arguments;

    bool operator==(const SystemSettingsCommand&) const = default;
};

// Opens the desktop's notification and sound settings. Desktops keep them in programs of
// their own (GNOME's control centre, Plasma's system settings, Xfce's notifyd settings …):
// the desktop named first in XDG_CURRENT_DESKTOP whose program is installed wins; without
// one, the first program of the table that is installed.
class SystemSettings {
public:
    explicit SystemSettings(
        std::shared_ptr<ProcessLauncher> launcher = std::make_shared<SystemProcessLauncher>());

    // The command for `page` on `currentDesktop` (a colon-separated list as in
    // XDG_CURRENT_DESKTOP), or none when no known settings program is installed.
    std::optional<SystemSettingsCommand> command(
        SystemSettingsPage page, std::string_view currentDesktop) const;
    // The same for this session's desktop.
    std::optional<SystemSettingsCommand> command(SystemSettingsPage page) const;
    bool canOpen(SystemSettingsPage page) const { return command(page).has_value(); }

    // Starts the settings program; fails with a text that says what to install.
    rx::Result<rx::Unit, WorkspaceError> open(SystemSettingsPage page);

private:
    std::shared_ptr<ProcessLauncher> m_launcher;
};

} // namespace tidemark
