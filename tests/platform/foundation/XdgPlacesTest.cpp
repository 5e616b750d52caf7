#include "platform/foundation/XdgPlaces.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <map>

namespace tidemark {
namespace {

XdgPlaces::Environment environment(std::map<std::string, std::string> values)
{
    return [values = std::move(values)](std::string_view name) -> std::optional<std::string> {
        const auto it = values.find(std::string(name));
        if (it == values.end())
            return std::nullopt;
        return it->second;
    };
}

struct PlaceCase {
    const char* name;
    std::map<std::string, std::string> environment;
    std::string config;
    std::string data;
    std::string state;
    std::string cache;
    std::string runtime; // empty: none
};

TEST(XdgPlacesTest, VariablesAndDefaults)
{
    const PlaceCase cases[] = {
        { "nothing set", { { "HOME", "/home/ann" } }, "/home/ann/.config", "/home/ann/.local/share",
            "/home/ann/.local/state", "/home/ann/.cache", "" },
        { "all set",
            { { "HOME", "/home/ann" }, { "XDG_CONFIG_HOME", "/c" }, { "XDG_DATA_HOME", "/d" },
                { "XDG_STATE_HOME", "/s" }, { "XDG_CACHE_HOME", "/k" },
                { "XDG_RUNTIME_DIR", "/run/user/1000" } },
            "/c", "/d", "/s", "/k", "/run/user/1000" },
        { "empty values are ignored",
            { { "HOME", "/home/ann" }, { "XDG_CONFIG_HOME", "" }, { "XDG_DATA_HOME", "" },
                { "XDG_RUNTIME_DIR", "" } },
            "/home/ann/.config", "/home/ann/.local/share", "/home/ann/.local/state",
            "/home/ann/.cache", "" },
        { "relative values are ignored",
            { { "HOME", "/home/ann" }, { "XDG_CONFIG_HOME", "conf" }, { "XDG_STATE_HOME", "./s" },
                { "XDG_CACHE_HOME", "~/.cache2" }, { "XDG_RUNTIME_DIR", "run" } },
            "/home/ann/.config", "/home/ann/.local/share", "/home/ann/.local/state",
            "/home/ann/.cache", "" },
    };
    for (const auto& c : cases) {
        const XdgPlaces places(environment(c.environment));
        EXPECT_EQ(places.configHome(), c.config) << c.name;
        EXPECT_EQ(places.dataHome(), c.data) << c.name;
        EXPECT_EQ(places.stateHome(), c.state) << c.name;
        EXPECT_EQ(places.cacheHome(), c.cache) << c.name;
        EXPECT_EQ(places.runtimeDir().value_or(""), c.runtime) << c.name;
    }

    const XdgPlaces lists(environment(
        { { "HOME", "/h" }, { "XDG_DATA_DIRS", "/a:rel::/b" }, { "XDG_CONFIG_DIRS", "x:y" } }));
    EXPECT_EQ(lists.dataDirs(), (std::vector<std::filesystem::path> { "/a", "/b" }));
    EXPECT_EQ(lists.configDirs(), (std::vector<std::filesystem::path> { "/etc/xdg" }));
    // A relative HOME is no home: the account's entry answers.
    EXPECT_TRUE(XdgPlaces(environment({ { "HOME", "relative" } })).home().is_absolute());
}

TEST(XdgPlacesTest, DocumentsFolderFromUserDirs)
{
    QTemporaryDir config;
    const std::string configHome = config.path().toStdString();
    const XdgPlaces places(
        environment({ { "HOME", "/home/ann" }, { "XDG_CONFIG_HOME", configHome } }));
    EXPECT_EQ(places.documentsDir(), "/home/ann/Documents"); // no user-dirs.dirs

    const std::pair<std::string, std::string> cases[] = {
        { "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "/home/ann/Dokumente" },
        { "# comment\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\n  XDG_DOCUMENTS_DIR=\"/data/docs\"\n",
            "/data/docs" },
        { "XDG_DOCUMENTS_DIR=\"$HOME\"\n", "/home/ann" },
        { "XDG_DOCUMENTS_DIR=\"relative/docs\"\n", "/home/ann/Documents" },
    };
    for (const auto& [contents, expected] : cases) {
        std::ofstream(configHome + "/user-dirs.dirs") << contents;
        EXPECT_EQ(places.documentsDir(), expected) << contents;
    }
}

} // namespace
} // namespace tidemark
