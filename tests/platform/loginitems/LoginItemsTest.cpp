#include "platform/loginitems/LoginItems.hpp"
#include "platform/loginitems/DesktopEntry.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

namespace tidemark {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> folderContents(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(DesktopEntryTest, execLinesStartTheSameArguments)
{
    const std::vector<std::vector<std::string>> cases = {
        { "/usr/bin/tidemark", "--launched-at-login" },
        { "/home/a b/Tide Mark/tidemark" },
        { "/opt/$HOME/`x`/tidemark", "say \"hi\"" },
        { "/srv/back\\slash/100%/tidemark", "%U" },
        { "/tmp/quote'and;amp&/tidemark", "" },
        { "/tmp/tab\there/tidemark", "new\nline" },
    };
    for (const auto& arguments : cases) {
        auto line = execLine(arguments);
        EXPECT_EQ(splitExecLine(line), arguments) << line;
        // And through a whole file, whose own escaping comes on top.
        auto entry = parseDesktopEntry(desktopEntryText({ { "Exec", line }, { "Name", "T" } }));
        ASSERT_TRUE(entry) << line;
        EXPECT_EQ(entry->command(), arguments) << line;
    }
}

TEST(DesktopEntryTest, readsEntriesOfOtherWritersAndRejectsBrokenOnes)
{
    EXPECT_EQ(splitExecLine("tidemark %U --x"), (std::vector<std::string> { "tidemark", "--x" }));
    EXPECT_EQ(splitExecLine("  a   \"b c\" "), (std::vector<std::string> { "a", "b c" }));
    EXPECT_EQ(splitExecLine("\"unterminated"), std::nullopt);
    EXPECT_EQ(splitExecLine("a %Z"), std::nullopt);

    auto entry = parseDesktopEntry("# comment\n[Desktop Entry]\nName = Tide\nHidden=true\n"
                                   "[Desktop Action new]\nName=Other\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->value("Name"), "Tide");
    EXPECT_TRUE(entry->isDisabled());
    EXPECT_EQ(parseDesktopEntry("Name=no group\n"), std::nullopt);
}

TEST(CompanionProgramTest, findsTheOtherProgramInTheInstalledLayoutOrBesideItself)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path root(dir.path().toStdString());
    struct Case {
        const char* name;
        std::vector<std::string> files;
        std::string self;
        std::string expected;
    };
    const std::vector<Case> cases = {
        { "installed", { "usr/bin/tidemark", "usr/libexec/tidemark-launcher" }, "usr/bin/tidemark",
            "usr/libexec/tidemark-launcher" },
        { "build tree", { "build/tidemark", "build/tidemark-launcher" }, "build/tidemark",
            "build/tidemark-launcher" },
        // A stale copy beside the installed program is not what the installation put there.
        { "both",
            { "opt/bin/tidemark", "opt/bin/tidemark-launcher", "opt/libexec/tidemark-launcher" },
            "opt/bin/tidemark", "opt/libexec/tidemark-launcher" },
        { "neither", { "lone/bin/tidemark" }, "lone/bin/tidemark",
            "lone/libexec/tidemark-launcher" },
        // A folder of that name is no program.
        { "folder", { "dir/bin/tidemark", "dir/libexec/tidemark-launcher/x" }, "dir/bin/tidemark",
            "dir/libexec/tidemark-launcher" },
    };
    for (const auto& c : cases) {
        for (const auto& file : c.files)
            writeFile(root / file, "#!/bin/sh\n");
        EXPECT_EQ(
            companionProgram(root / c.self, "../libexec/tidemark-launcher"), root / c.expected)
            << c.name;
    }
    // And the other way round, from the launcher to the application.
    EXPECT_EQ(companionProgram(root / "usr/libexec/tidemark-launcher", "../bin/tidemark"),
        root / "usr/bin/tidemark");
}

class LoginItemsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        root = fs::path(m_dir.path().toStdString());
        // A folder with a blank and a dollar: both must survive the Exec line.
        auto programs = root / "Tide Mark $apps";
        writeFile(programs / "tidemark", "#!/bin/sh\n");
        writeFile(programs / "tidemark-launcher", "#!/bin/sh\n");
        configuration.autostartDirectory = root / "config" / "autostart";
        configuration.bundleIdentifier = "com.tidemark.Tidemark";
        configuration.applicationExecutable = programs / "tidemark";
        configuration.launcherExecutable = programs / "tidemark-launcher";
    }

    fs::path appEntry() const
    {
        return configuration.autostartDirectory / "com.tidemark.Tidemark.desktop";
    }
    fs::path launcherEntry() const
    {
        return configuration.autostartDirectory / "com.tidemark.Tidemark-OpenAtLogin.desktop";
    }
    std::vector<std::string> commandOf(const fs::path& entryPath) const
    {
        auto entry = parseDesktopEntry(readFile(entryPath));
        return entry && entry->command() ? *entry->command() : std::vector<std::string> {};
    }

    QTemporaryDir m_dir;
    fs::path root;
    LoginItemsConfiguration configuration;
};

TEST_F(LoginItemsTest, theNewerPathRegistersTheApplicationWithTheLoginMarker)
{
    LoginItems items(configuration);
    ASSERT_TRUE(items.isOperatingSystemAtLeast({ 13, 0 }));
    auto service = items.mainAppService();
    EXPECT_EQ(service.status(), AppServiceStatus::notRegistered);

    ASSERT_TRUE(service.registerService().isSuccess());
    EXPECT_EQ(service.status(), AppServiceStatus::enabled);
    auto command = commandOf(appEntry());
    EXPECT_EQ(command,
        (std::vector<std::string> {
            configuration.applicationExecutable.string(), "--launched-at-login" }));
    EXPECT_TRUE(wasLaunchedAsLoginItem(command));
    EXPECT_FALSE(wasLaunchedAsLoginItem(std::vector<std::string> { command.front() }));
    // Written in place of a temporary file, nothing left beside it.
    EXPECT_EQ(folderContents(configuration.autostartDirectory),
        std::vector<std::string> { "com.tidemark.Tidemark.desktop" });

    ASSERT_TRUE(service.unregisterService().isSuccess());
    EXPECT_FALSE(fs::exists(appEntry()));
    EXPECT_EQ(service.status(), AppServiceStatus::notRegistered);
    // Turning off what is already off is no failure.
    EXPECT_TRUE(service.unregisterService().isSuccess());
}

TEST_F(LoginItemsTest, theOlderPathEnablesTheLauncherByItsIdentifier)
{
    configuration.operatingSystemVersion = { 12, 6 };
    LoginItems items(configuration);
    EXPECT_FALSE(items.isOperatingSystemAtLeast({ 13, 0 }));
    EXPECT_EQ(items.launcherIdentifier(), "com.tidemark.Tidemark-OpenAtLogin");

    EXPECT_TRUE(items.setLoginItemEnabled(items.launcherIdentifier(), true));
    EXPECT_EQ(commandOf(launcherEntry()),
        std::vector<std::string> { configuration.launcherExecutable.string() });
    EXPECT_FALSE(fs::exists(appEntry()));
    EXPECT_EQ(
        items.loginItemService(items.launcherIdentifier()).status(), AppServiceStatus::enabled);

    EXPECT_TRUE(items.setLoginItemEnabled(items.launcherIdentifier(), false));
    EXPECT_FALSE(fs::exists(launcherEntry()));
}

TEST_F(LoginItemsTest, theLauncherEntryOfAnOlderSystemCanBeClearedOnTheNewerPath)
{
    LoginItems older([&] {
        auto c = configuration;
        c.operatingSystemVersion = { 12, 0 };
        return c;
    }());
    ASSERT_TRUE(older.setLoginItemEnabled(older.launcherIdentifier(), true));

    LoginItems items(configuration);
    EXPECT_TRUE(items.setLoginItemEnabled(items.launcherIdentifier(), false));
    EXPECT_TRUE(items.loginItemService(items.launcherIdentifier()).unregisterService().isSuccess());
    ASSERT_TRUE(items.mainAppService().registerService().isSuccess());
    EXPECT_EQ(folderContents(configuration.autostartDirectory),
        std::vector<std::string> { "com.tidemark.Tidemark.desktop" });
}

TEST_F(LoginItemsTest, anUnwritableFolderIsAnErrorOnBothPaths)
{
    // A file where the folder should be: fails for every user, root included.
    writeFile(root / "config", "not a folder");
    LoginItems items(configuration);

    auto result = items.mainAppService().registerService();
    ASSERT_FALSE(result.isSuccess());
    EXPECT_NE(result.error().localizedDescription().find("autostart"), std::string::npos);
    EXPECT_EQ(items.mainAppService().status(), AppServiceStatus::notRegistered);
    EXPECT_FALSE(items.setLoginItemEnabled(items.launcherIdentifier(), true));
}

TEST_F(LoginItemsTest, statusFollowsWhatTheDesktopDidToTheEntry)
{
    LoginItems items(configuration);
    auto service = items.mainAppService();
    ASSERT_TRUE(service.registerService().isSuccess());

    // Switched off in the desktop's startup settings.
    writeFile(appEntry(), readFile(appEntry()) + "Hidden=true\n");
    EXPECT_EQ(service.status(), AppServiceStatus::requiresApproval);
    ASSERT_TRUE(service.registerService().isSuccess());
    EXPECT_EQ(service.status(), AppServiceStatus::enabled);

    // Left by an installation elsewhere: not ours, registering replaces it.
    writeFile(
        appEntry(), desktopEntryText({ { "Type", "Application" }, { "Exec", "/old/tidemark" } }));
    EXPECT_EQ(service.status(), AppServiceStatus::notRegistered);
    ASSERT_TRUE(service.registerService().isSuccess());
    EXPECT_EQ(service.status(), AppServiceStatus::enabled);

    // The program is gone.
    fs::remove(configuration.applicationExecutable);
    EXPECT_EQ(service.status(), AppServiceStatus::notFound);
    EXPECT_FALSE(service.registerService().isSuccess());
}

TEST_F(LoginItemsTest, identifiersThatAreNotOursOrLeaveTheFolderDoNothing)
{
    LoginItems items(configuration);
    EXPECT_FALSE(items.setLoginItemEnabled("org.other.App", true));
    EXPECT_FALSE(items.setLoginItemEnabled("../../escape", true));
    EXPECT_FALSE(items.setLoginItemEnabled("../../escape", false));
    EXPECT_FALSE(fs::exists(configuration.autostartDirectory));
}

TEST(LaunchInformationTest, theMarkerIsAnArgumentAfterTheProgram)
{
    const char* atLogin[] = { "tidemark", "--launched-at-login" };
    const char* byUser[] = { "tidemark" };
    const char* markerAsProgram[] = { "--launched-at-login" };
    EXPECT_TRUE(wasLaunchedAsLoginItem(2, atLogin));
    EXPECT_FALSE(wasLaunchedAsLoginItem(1, byUser));
    EXPECT_FALSE(wasLaunchedAsLoginItem(1, markerAsProgram));
}

} // namespace
} // namespace tidemark
