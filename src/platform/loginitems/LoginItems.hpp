#pragma once

#include "platform/foundation/OperatingSystemVersion.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Result.hpp"

#include <compare>
#include <filesystem>
#include <string>
#include <vector>

namespace tidemark {

struct LoginItemError {
    std::string message;

    const std::string& localizedDescription() const { return message; }
    bool operator==(const LoginItemError&) const = default;
};

using LoginItemResult = rx::Result<rx::Unit, LoginItemError>;

// The state of a login item as the desktop sees it.
enum class AppServiceStatus {
    notRegistered = 0,
    enabled = 1,
    // The entry exists but the user switched it off in the desktop's startup settings.
    requiresApproval = 2,
    // The program the entry would start does not exist.
    notFound = 3,
};

// The argument the application's own login entry passes, and the launcher passes on, so a
// start at login can be told from a start by the user.
inline constexpr const char* launchedAtLoginArgument = "--launched-at-login";

bool wasLaunchedAsLoginItem(int argc, const char* const* argv);

// The other of the two programs, seen from `self`: where the installed layout puts it
// (`installedPath`, relative to the folder of `self`, e.g. "../libexec/tidemark-launcher"),
// else beside `self` under the same name, as in the build tree. When neither is there, the
// installed place, so what is reported missing is where it should be.
std::filesystem::path companionProgram(
    const std::filesystem::path& self, const std::filesystem::path& installedPath);
bool wasLaunchedAsLoginItem(const std::vector<std::string>& arguments);

struct LoginItemsConfiguration {
    // Where autostart entries live: $XDG_CONFIG_HOME/autostart (~/.config/autostart).
    std::filesystem::path autostartDirectory;
    // The application's identifier; its entry is "<identifier>.desktop" and the
    // launcher's identifier is "<identifier>-OpenAtLogin".
    std::string bundleIdentifier;
    std::string applicationName = "Tidemark";
    std::filesystem::path applicationExecutable;
    std::filesystem::path launcherExecutable;
    // The platform version decides the path: the newest registers the application itself;
    // an older one (before 13) enables a helper program by identifier instead.
    OperatingSystemVersion operatingSystemVersion;

    // The configuration of the running application: the standard autostart folder, this
    // program as the application, "tidemark-launcher" in libexec/ (or beside it in the
    // build tree), the newest version
    // unless TIDEMARK_PLATFORM_VERSION (e.g. "12.0") says otherwise.
    static LoginItemsConfiguration standard(std::string bundleIdentifier);
};

class LoginItems;

// One login item: the application itself, or a helper named by identifier. Each is one
// autostart entry.
class AppService {
public:
    AppServiceStatus status() const;
    // Writes the entry (atomically); fails when the folder cannot be written or the
    // program is missing.
    LoginItemResult registerService() const;
    // Removes the entry; an entry that is not there is already unregistered.
    LoginItemResult unregisterService() const;

    const std::filesystem::path& entryPath() const { return m_entryPath; }
    const std::vector<std::string>& command() const { return m_command; }

private:
    friend class LoginItems;
    AppService(std::filesystem::path entryPath, std::string name, std::string identifier,
        std::vector<std::string> command);

    std::filesystem::path m_entryPath;
    std::string m_name;
    std::string m_identifier;
    std::vector<std::string> m_command;
};

// Login items through XDG autostart entries.
class LoginItems {
public:
    explicit LoginItems(LoginItemsConfiguration configuration);

    const OperatingSystemVersion& operatingSystemVersion() const;
    bool isOperatingSystemAtLeast(OperatingSystemVersion version) const;

    // The application's bundle identifier followed by "-OpenAtLogin".
    std::string launcherIdentifier() const;

    // The newer path: the application registers itself.
    AppService mainAppService() const;
    // A helper's login item by identifier; the launcher's identifier names the launcher.
    AppService loginItemService(const std::string& identifier) const;

    // The older path: turns the login item of the helper `identifier` on or off and tells
    // whether that worked. Only the launcher's identifier names a helper of ours.
    bool setLoginItemEnabled(const std::string& identifier, bool enabled) const;

    const LoginItemsConfiguration& configuration() const { return m_configuration; }

private:
    LoginItemsConfiguration m_configuration;
};

} // namespace tidemark
