#include "platform/loginitems/LoginItems.hpp"

#include "platform/loginitems/DesktopEntry.hpp"
#include "platform/loginitems/InstallLayout.hpp"

#include <cstdlib>
#include <fstream>

namespace tidemark {

namespace {

LoginItemResult success()
{
    return LoginItemResult::success(rx::Unit {});
}
LoginItemResult failure(std::string message)
{
    return LoginItemResult::failure({ std::move(message) });
}

std::filesystem::path configHome()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && std::filesystem::path(xdg).is_absolute())
        return xdg;
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : "/") / ".config";
}

bool isExecutableFile(const std::filesystem::path& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

} // namespace

bool wasLaunchedAsLoginItem(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        if (argv[i] && std::string_view(argv[i]) == launchedAtLoginArgument)
            return true;
    }
    return false;
}

bool wasLaunchedAsLoginItem(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == launchedAtLoginArgument)
            return true;
    }
    return false;
}

std::filesystem::path companionProgram(
    const std::filesystem::path& self, const std::filesystem::path& installedPath)
{
    const auto folder = self.parent_path();
    const auto installed = (folder / installedPath).lexically_normal();
    if (isExecutableFile(installed))
        return installed;
    const auto beside = folder / installedPath.filename();
    if (isExecutableFile(beside))
        return beside;
    return installed;
}

LoginItemsConfiguration LoginItemsConfiguration::standard(std::string bundleIdentifier)
{
    LoginItemsConfiguration configuration;
    configuration.autostartDirectory = configHome() / "autostart";
    configuration.bundleIdentifier = std::move(bundleIdentifier);
    std::error_code error;
    auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        configuration.applicationExecutable = self;
        configuration.launcherExecutable = companionProgram(self, launcherFromApplication);
    }
    configuration.operatingSystemVersion = currentOperatingSystemVersion();
    return configuration;
}

AppService::AppService(std::filesystem::path entryPath, std::string name, std::string identifier,
    std::vector<std::string> command)
    : m_entryPath(std::move(entryPath))
    , m_name(std::move(name))
    , m_identifier(std::move(identifier))
    , m_command(std::move(command))
{
}

AppServiceStatus AppService::status() const
{
    if (m_command.empty() || !isExecutableFile(m_command.front()))
        return AppServiceStatus::notFound;
    std::ifstream file(m_entryPath, std::ios::binary);
    if (!file)
        return AppServiceStatus::notRegistered;
    std::ostringstream text;
    text << file.rdbuf();
    auto entry = parseDesktopEntry(text.str());
    if (!entry)
        return AppServiceStatus::notRegistered;
    // An entry left by an older installation starts another program: not ours.
    if (entry->command() != m_command)
        return AppServiceStatus::notRegistered;
    if (entry->isDisabled())
        return AppServiceStatus::requiresApproval;
    return AppServiceStatus::enabled;
}

LoginItemResult AppService::registerService() const
{
    if (m_command.empty())
        return failure("No login item is known by the identifier \"" + m_identifier + "\".");
    if (!isExecutableFile(m_command.front()))
        return failure("The program " + m_command.front() + " was not found.");
    auto text = desktopEntryText({
        { "Type", "Application" },
        { "Name", m_name },
        { "Exec", execLine(m_command) },
        { "Terminal", "false" },
        { "NoDisplay", "true" },
        { "X-GNOME-Autostart-enabled", "true" },
        { "X-Tidemark-Identifier", m_identifier },
    });
    auto written = writeFileAtomically(m_entryPath, text);
    if (!written.isSuccess())
        return failure(written.error());
    return success();
}

LoginItemResult AppService::unregisterService() const
{
    if (m_entryPath.empty())
        return failure("No login item is known by the identifier \"" + m_identifier + "\".");
    std::error_code error;
    std::filesystem::remove(m_entryPath, error);
    if (error) {
        return failure("Could not remove " + m_entryPath.string() + ": " + error.message());
    }
    return success();
}

LoginItems::LoginItems(LoginItemsConfiguration configuration)
    : m_configuration(std::move(configuration))
{
}

const OperatingSystemVersion& LoginItems::operatingSystemVersion() const
{
    return m_configuration.operatingSystemVersion;
}

bool LoginItems::isOperatingSystemAtLeast(OperatingSystemVersion version) const
{
    return m_configuration.operatingSystemVersion >= version;
}

std::string LoginItems::launcherIdentifier() const
{
    return m_configuration.bundleIdentifier + "-OpenAtLogin";
}

AppService LoginItems::mainAppService() const
{
    std::vector<std::string> command;
    if (!m_configuration.applicationExecutable.empty())
        command = { m_configuration.applicationExecutable.string(), launchedAtLoginArgument };
    const auto& identifier = m_configuration.bundleIdentifier;
    return AppService(m_configuration.autostartDirectory / (identifier + ".desktop"),
        m_configuration.applicationName, identifier, std::move(command));
}

AppService LoginItems::loginItemService(const std::string& identifier) const
{
    // An identifier names a file in the autostart folder: nothing that leaves it.
    bool isPlainName = !identifier.empty() && identifier.find('/') == std::string::npos
        && identifier != "." && identifier != "..";
    std::vector<std::string> command;
    if (identifier == launcherIdentifier() && !m_configuration.launcherExecutable.empty())
        command = { m_configuration.launcherExecutable.string() };
    auto path = isPlainName ? m_configuration.autostartDirectory / (identifier + ".desktop")
                            : std::filesystem::path();
    return AppService(std::move(path), m_configuration.applicationName, identifier,
        isPlainName ? std::move(command) : std::vector<std::string> {});
}

bool LoginItems::setLoginItemEnabled(const std::string& identifier, bool enabled) const
{
    auto service = loginItemService(identifier);
    if (service.entryPath().empty())
        return false;
    auto result = enabled ? service.registerService() : service.unregisterService();
    return result.isSuccess();
}

} // namespace tidemark
