#include "platform/foundation/XdgPlaces.hpp"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tidemark {

XdgPlaces::Environment XdgPlaces::processEnvironment()
{
    return [](std::string_view name) -> std::optional<std::string> {
        const char* value = std::getenv(std::string(name).c_str());
        if (!value)
            return std::nullopt;
        return std::string(value);
    };
}

XdgPlaces::XdgPlaces(Environment environment)
    : m_environment(std::move(environment))
{
}

std::optional<std::filesystem::path> XdgPlaces::absolute(std::string_view name) const
{
    const auto value = m_environment(name);
    if (!value || value->empty() || (*value)[0] != '/')
        return std::nullopt;
    return std::filesystem::path(*value);
}

std::filesystem::path XdgPlaces::home() const
{
    if (auto fromEnvironment = absolute("HOME"))
        return *fromEnvironment;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_dir && found->pw_dir[0] == '/')
        return found->pw_dir;
    return "/";
}

std::filesystem::path XdgPlaces::configHome() const
{
    return absolute("XDG_CONFIG_HOME").value_or(home() / ".config");
}

std::filesystem::path XdgPlaces::dataHome() const
{
    return absolute("XDG_DATA_HOME").value_or(home() / ".local" / "share");
}

std::filesystem::path XdgPlaces::stateHome() const
{
    return absolute("XDG_STATE_HOME").value_or(home() / ".local" / "state");
}

std::filesystem::path XdgPlaces::cacheHome() const
{
    return absolute("XDG_CACHE_HOME").value_or(home() / ".cache");
}

std::optional<std::filesystem::path> XdgPlaces::runtimeDir() const
{
    return absolute("XDG_RUNTIME_DIR");
}

std::vector<std::filesystem::path> XdgPlaces::list(
    std::string_view name, const char* fallback) const
{
    auto value = m_environment(name);
    std::vector<std::filesystem::path> result;
    auto split = [&result](const std::string& text) {
        std::stringstream stream(text);
        std::string entry;
        while (std::getline(stream, entry, ':')) {
            if (!entry.empty() && entry[0] == '/')
                result.emplace_back(entry);
        }
    };
    if (value)
        split(*value);
    if (result.empty())
        split(fallback);
    return result;
}

std::vector<std::filesystem::path> XdgPlaces::dataDirs() const
{
    return list("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
}

std::vector<std::filesystem::path> XdgPlaces::configDirs() const
{
    return list("XDG_CONFIG_DIRS", "/etc/xdg");
}

std::filesystem::path XdgPlaces::documentsDir() const
{
    // Lines of the form XDG_DOCUMENTS_DIR="$HOME/Documents" or ="/absolute/path".
    std::ifstream file(configHome() / "user-dirs.dirs");
    std::string line;
    while (std::getline(file, line)) {
        const std::string prefix = "XDG_DOCUMENTS_DIR=";
        const auto start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, prefix.size(), prefix) != 0)
            continue;
        std::string value = line.substr(start + prefix.size());
        while (
            !value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
            value.pop_back();
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0) {
            const std::string rest = value.substr(5);
            if (rest.empty())
                return home();
            if (rest[0] == '/')
                return home() / rest.substr(1);
        } else if (!value.empty() && value[0] == '/') {
            return value;
        }
    }
    return home() / "Documents";
}

} // namespace tidemark
