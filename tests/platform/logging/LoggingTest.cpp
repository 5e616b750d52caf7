#include "platform/foundation/UserDefaults.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/logging/LogStore.hpp"
#include "platform/logging/Logger.hpp"
#include "support/LogCapture.hpp"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tidemark {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

Date at(std::int64_t millisecondsSince1970)
{
    return Date(std::chrono::milliseconds(millisecondsSince1970));
}

TEST(LogLineTest, entriesSurviveTheirLine)
{
    const LogEntry entries[] = {
        { at(1714559696789), 4242, LogLevel::notice, "com.tidemark.Tidemark", "AppState",
            "  isEnabled(true)" },
        { at(1714559696000), 1, LogLevel::fault, "s", "c", "State: AppState(\n  view: …\n)\r\n" },
        { at(0), 99999, LogLevel::debug, "s", "c", R"(back\slash \n and "] [x] " inside)" },
        { at(1714559696001), 7, LogLevel::error, "s", "c", "" },
        { at(-86400000), 7, LogLevel::info, "sub system", "Cat egory", "Erinnerung: Milch – ☕" },
    };
    // Local time is written with its offset, whichever zone the user is in.
    std::string savedZone = std::getenv("TZ") ? std::getenv("TZ") : "";
    for (const char* zone : { "UTC0", "<-0330>3:30", "<+0545>-5:45" }) {
        ::setenv("TZ", zone, 1);
        ::tzset();
        for (const auto& entry : entries) {
            auto line = formatLogLine(entry);
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
            EXPECT_EQ(parseLogLine(line), entry) << zone << " " << line;
        }
    }
    ::setenv("TZ", "<+0545>-5:45", 1);
    ::tzset();
    EXPECT_EQ(iso8601String(at(1714559696789)), "2024-05-01T16:19:56.789+05:45");
    if (savedZone.empty())
        ::unsetenv("TZ");
    else
        ::setenv("TZ", savedZone.c_str(), 1);
    ::tzset();
}

TEST(LogLineTest, namesThatCouldBreakTheLineAreMadeSafe)
{
    LogEntry entry { at(1714559696789), 5, LogLevel::info, "a] [b", "c\nd", "message" };
    auto parsed = parseLogLine(formatLogLine(entry));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->subsystem, "a_ _b");
    EXPECT_EQ(parsed->category, "c_d");
    EXPECT_EQ(parsed->message, "message");
}

TEST(LogLineTest, timesAreIsoWithMillisecondsAndAnyOffset)
{
    EXPECT_EQ(dateFromIso8601("2024-05-01T10:34:56.789Z"), at(1714559696789));
    EXPECT_EQ(dateFromIso8601("2024-05-01T12:34:56.789+02:00"), at(1714559696789));
    EXPECT_EQ(dateFromIso8601("2024-05-01T05:04:56.789-05:30"), at(1714559696789));
    for (const char* bad : { "", "2024-05-01T10:34:56Z", "2024-13-01T10:34:56.789Z",
             "2024-02-30T10:34:56.789Z", "2024-05-01 10:34:56.789Z", "2024-05-01T10:34:56.789",
             "2024-05-01T10:34:56.789+0200", "2024-05-01T10:34:56.789Zjunk",
             // Signs where digits belong.
             "2024-05-01T-1:34:56.789Z", "2024-05-01T10:34:56.-07Z", "1678-01-01T00:00:00.-07Z",
             "2024-05-01T10:34:56.789+-1:00" })
        EXPECT_EQ(dateFromIso8601(bad), std::nullopt) << bad;
    auto now = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
    EXPECT_EQ(dateFromIso8601(iso8601String(now)), Date(now));
    for (const char* bad : { "", "not a line", "2024-05-01T10:34:56.789Z [x] [info] [s] [c] m",
             "2024-05-01T10:34:56.789Z [1] [loud] [s] [c] m",
             "2024-05-01T10:34:56.789Z [1] [info]" })
        EXPECT_EQ(parseLogLine(bad), std::nullopt) << bad;
}

TEST(LogLineTest, timesNoDateCanHoldAreRefused)
{
    EXPECT_TRUE(dateFromIso8601("1678-01-01T00:00:00.000Z"));
    EXPECT_TRUE(dateFromIso8601("2261-12-31T23:59:59.999Z"));
    for (const char* far : { "0000-01-01T00:00:00.000Z", "1677-09-21T00:12:44.000Z",
             "2262-04-11T23:47:17.000Z", "9999-12-31T23:59:59.999+14:00" }) {
        EXPECT_EQ(dateFromIso8601(far), std::nullopt) << far;
        EXPECT_EQ(parseLogLine(std::string(far) + " [1] [info] [s] [c] m"), std::nullopt) << far;
    }
}

class LogSystemTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        configuration.stateDirectory = fs::path(m_dir.path().toStdString()) / "state" / "tidemark";
        configuration.writesToStandardError = false;
        ASSERT_TRUE(system->configure(configuration).isSuccess());
    }

    std::vector<LogEntry> exported(Date since = Date()) const
    {
        auto entries = system->store().entries(since);
        EXPECT_TRUE(entries.isSuccess());
        return entries.isSuccess() ? entries.value() : std::vector<LogEntry> {};
    }

    std::string fileText() const
    {
        std::ifstream file(system->logFilePath());
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    QTemporaryDir m_dir;
    LoggingConfiguration configuration;
    std::shared_ptr<LogSystem> system = std::make_shared<LogSystem>();
};

TEST_F(LogSystemTest, loggersWriteLinesThatReadBack)
{
    EXPECT_EQ(system->logFilePath(), configuration.stateDirectory / "Tidemark.log");
    Logger logger("com.tidemark.Tidemark", "AppState", system);
    Logger other("com.tidemark.Tidemark", "Sync", system);
    logger.log("  isEnabled(true)");
    other.debug("two\nlines");
    logger.fault("Unable to log.");
    other.setEnabled(false);
    other.error("not written");

    auto entries = exported();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].level, LogLevel::notice);
    EXPECT_EQ(entries[0].category, "AppState");
    EXPECT_EQ(entries[0].message, "  isEnabled(true)");
    EXPECT_EQ(entries[1].category, "Sync");
    EXPECT_EQ(entries[1].message, "two\nlines");
    EXPECT_EQ(entries[2].level, LogLevel::fault);
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.processIdentifier, ::getpid());
        EXPECT_EQ(entry.subsystem, "com.tidemark.Tidemark");
        EXPECT_GE(entry.date, loggingStartDate());
    }
    // One line per entry in the file.
    auto text = fileText();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_TRUE(exported(std::chrono::system_clock::now() + 1h).empty());
}

TEST_F(LogSystemTest, theExportHoldsThisProcesssLinesOnly)
{
    auto file = system->logFilePath();
    auto now = std::chrono::system_clock::now();
    {
        std::ofstream out(file, std::ios::app);
        // Another process, now; this identifier in an earlier process's life; noise.
        out << formatLogLine({ now, ::getpid() + 1, LogLevel::notice, "s", "c", "other" }) << "\n";
        out << formatLogLine(
            { loggingStartDate() - 1s, ::getpid(), LogLevel::notice, "s", "c", "earlier process" })
            << "\n";
        out << "a line someone else wrote\n\n";
    }
    Logger logger("s", "c", system);
    logger.notice("mine");
    auto entries = exported();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].message, "mine");
}

TEST_F(LogSystemTest, redactionHidesMessagesInTheFileAndInTheExport)
{
    Logger logger("s", "c", system);
    logger.notice("create(Call mom)"); // written before the user hid descriptions
    system->setRedaction([](std::string_view message) {
        std::string text(message);
        for (const char* title : { "Buy milk", "Call mom" }) {
            for (auto at = text.find(title); at != std::string::npos; at = text.find(title))
                text.replace(at, std::string_view(title).size(), "<redacted>");
        }
        return text;
    });
    logger.notice("create(Buy milk)");

    EXPECT_EQ(fileText().find("Buy milk"), std::string::npos);
    auto entries = exported();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].message, "create(<redacted>)");
    EXPECT_EQ(entries[1].message, "create(<redacted>)");

    system->setRedaction({});
    EXPECT_EQ(exported()[0].message, "create(Call mom)");
}

TEST_F(LogSystemTest, rotatedFilesAreReadOldestFirst)
{
    configuration.maximumFileSize = 400;
    configuration.maximumOlderFiles = 3;
    ASSERT_TRUE(system->configure(configuration).isSuccess());
    Logger logger("s", "c", system);
    for (int i = 0; i < 12; ++i)
        logger.notice("entry " + std::to_string(i));
    EXPECT_GT(logFileGenerations(system->logFilePath()).size(), 1u);
    auto entries = exported();
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.back().message, "entry 11");
    for (std::size_t i = 1; i < entries.size(); ++i) {
        auto previous = std::stoi(entries[i - 1].message.substr(6));
        EXPECT_EQ(std::stoi(entries[i].message.substr(6)), previous + 1);
    }
}

TEST_F(LogSystemTest, aStateFolderThatCannotBeMadeKeepsLoggingToStandardError)
{
    auto blocker = fs::path(m_dir.path().toStdString()) / "file";
    std::ofstream(blocker) << "not a folder";
    configuration.stateDirectory = blocker / "tidemark";
    auto result = system->configure(configuration);
    ASSERT_FALSE(result.isSuccess());
    EXPECT_NE(result.error().message.find("Tidemark.log"), std::string::npos);
    EXPECT_TRUE(system->logFilePath().empty());
    Logger("s", "c", system).notice("still fine");
    EXPECT_TRUE(exported().empty());
}

TEST(LogStoreTest, aMissingFileHoldsNoEntriesAndAnUnreadableOneIsAnError)
{
    QTemporaryDir dir;
    auto folder = fs::path(dir.path().toStdString());
    LogStore missing(folder / "none.log", ::getpid(), Date());
    ASSERT_TRUE(missing.entries(Date()).isSuccess());
    EXPECT_TRUE(missing.entries(Date()).value().empty());

    fs::create_directories(folder / "folder.log");
    LogStore unreadable(folder / "folder.log", ::getpid(), Date());
    EXPECT_FALSE(unreadable.entries(Date()).isSuccess());
}

// The foundation stands below the log; what it cannot do must still reach the exported log,
// under the application's subsystem and the category of the subsystem it concerns.
TEST(LogCategoriesTest, aBrokenSettingsFileIsLoggedUnderSettings)
{
    test::LogCapture log;
    ASSERT_TRUE(log.isCapturing());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto folder = fs::path(dir.path().toStdString());
    std::ofstream(folder / "broken.json") << "{ not json";

    const auto defaults = UserDefaults::suite("broken", folder);
    ASSERT_EQ(defaults->errors().size(), 1u);

    auto entries = LogSystem::shared()->store().entries(Date());
    ASSERT_TRUE(entries.isSuccess());
    ASSERT_EQ(entries.value().size(), 1u) << testing::PrintToString(log.lines());
    const LogEntry& entry = entries.value().front();
    EXPECT_EQ(entry.subsystem, appLogger(logcategory::settings).subsystem());
    EXPECT_EQ(entry.category, logcategory::settings);
    EXPECT_EQ(entry.level, LogLevel::error);
    EXPECT_NE(entry.message.find("moved to"), std::string::npos) << entry.message;
}

} // namespace
} // namespace tidemark
