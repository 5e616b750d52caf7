#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// The per-user folders of the XDG base-directory rules. A variable that is unset, empty or
// not an absolute path is ignored and its default used. The environment is read through
// a function, so tests can give their own.
class XdgPlaces {
public:
    using Environment = std::function<std::optional<std::string>(std::string_view name)>;

    // The process environment.
    static Environment processEnvironment();

    explicit XdgPlaces(Environment environment = processEnvironment());

    // $HOME when absolute, else the home folder of the user's account entry.
    std::filesystem::path home() const;
    // $XDG_CONFIG_HOME, else ~/.config.
    std::filesystem::path configHome() const;
    // $XDG_DATA_HOME, else ~/.local/share.
    std::filesystem::path dataHome() const;
    // $XDG_STATE_HOME, else ~/.local/state.
    std::filesystem::path stateHome() const;
    // $XDG_CACHE_HOME, else ~/.cache.
    std::filesystem::path cacheHome() const;
    // $XDG_RUNTIME_DIR; none when it is not set to an absolute path (the rules leave the
    // replacement to the application).
    std::optional<std::filesystem::path> runtimeDir() const;
    // $XDG_DATA_DIRS (default /usr/local/share:/usr/share) and $XDG_CONFIG_DIRS (default
    // /etc/xdg), relative entries left out.
    std::vector<std::filesystem::path> dataDirs() const;
    std::vector<std::filesystem::path> configDirs() const;
    // The user's documents folder: XDG_DOCUMENTS_DIR from user-dirs.dirs in the config
    // home, else ~/Documents.
    std::filesystem::path documentsDir() const;

private:
    std::optional<std::filesystem::path> absolute(std::string_view name) const;
    std::vector<std::filesystem::path> list(std::string_view name, const char* fallback) const;

    Environment m_environment;
};

} // namespace tidemark
