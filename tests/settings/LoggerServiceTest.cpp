#include "SettingsTestSupport.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogEntry.hpp"
#include "settings/Description.hpp"
#include "settings/LoggerService.hpp"
#include "settings/SupportEmail.hpp"

#include <unistd.h>

namespace tidemark {
namespace {

using test::TemporaryFolder;

struct LoggerFixture : testing::Test {
    TemporaryFolder folder;
    std::shared_ptr<LogSystem> system = test::logSystemIn(folder / "state");
    LoggerService service { "AppState", system, folder / "Documents" };
};

TEST_F(LoggerFixture, exportsThisProcessesLinesOfItsSubsystemOnly)
{
    service.logger().log("first");
    Logger(AppInfo::bundleIdentifier(), "Other", system).error("second, other category");
    Logger("org.freedesktop.Something", "Framework", system).log("not ours");
    // A line of another process, and one of an earlier process with this identifier.
    LogEntry foreign { std::chrono::system_clock::now(), ::getpid() + 1, LogLevel::notice,
        AppInfo::bundleIdentifier(), "AppState", "another process" };
    LogEntry earlier = foreign;
    earlier.processIdentifier = ::getpid();
    earlier.date = dateByAdding(loggingStartDate(), -60);
    earlier.message = "an earlier process";
    {
        std::ofstream file(system->logFilePath(), std::ios::app);
        file << formatLogLine(foreign) << "\n" << formatLogLine(earlier) << "\nnot a log line\n";
    }
    service.logger().log("line one\nline two");

    auto entries = service.logEntries();
    ASSERT_TRUE(entries.isSuccess()) << entries.error().description;
    ASSERT_EQ(entries.value().size(), 3u);
    EXPECT_TRUE(entries.value()[0].starts_with("["));
    EXPECT_TRUE(entries.value()[0].ends_with("] [AppState] first"));
    EXPECT_TRUE(entries.value()[1].ends_with("] [Other] second, other category"));
    EXPECT_TRUE(entries.value()[2].ends_with("] [AppState] line one\nline two"))
        << "a message of many lines";

    auto text = service.logText();
    ASSERT_TRUE(text.isSuccess());
    EXPECT_EQ(test::lines(text.value()).size(), 4u);
    EXPECT_FALSE(text.value().ends_with("\n"));

    auto exported = service.exportLogs(text.value(), "logs");
    ASSERT_TRUE(exported.isSuccess()) << exported.error().description;
    EXPECT_EQ(exported.value(), folder / "Documents" / "logs");
    EXPECT_EQ(test::readFile(exported.value()), text.value());
}

TEST_F(LoggerFixture, theExportReachesBackOneDayOfTheClock)
{
    service.logger().log("recent");
    auto later
        = std::make_shared<ManualClock>(dateByAdding(std::chrono::system_clock::now(), 2 * 86400));
    LoggerService tomorrow("AppState", system, folder / "Documents", later);
    EXPECT_EQ(service.logEntries().value().size(), 1u);
    EXPECT_TRUE(tomorrow.logEntries().value().empty()) << "lines older than a day are left out";
}

TEST_F(LoggerFixture, exportingReplacesTheFileAndTakesOnlyPlainNames)
{
    ASSERT_TRUE(service.exportLogs("first", "settings").isSuccess());
    ASSERT_TRUE(service.exportLogs("", "settings").isSuccess());
    EXPECT_EQ(test::readFile(folder / "Documents" / "settings"), "");
    for (const char* name : { "", "..", "../escape", "a/b" }) {
        auto result = service.exportLogs("x", name);
        EXPECT_FALSE(result.isSuccess()) << name;
    }
    EXPECT_FALSE(test::fs::exists(folder / "escape"));

    // A documents folder that cannot be made is an error, not a silent loss.
    test::writeFile(folder / "blocked", "a file");
    LoggerService blocked("AppState", system, folder / "blocked" / "Documents");
    auto result = blocked.exportLogs("x", "logs");
    ASSERT_FALSE(result.isSuccess());
    EXPECT_NE(result.error().description.find("Unable to export logs"), std::string::npos);
}

TEST_F(LoggerFixture, hidingReplacesReminderTitlesInEveryLineAlsoEarlierOnes)
{
    AnyReminder reminder { "R1", std::nullopt, std::nullopt, "Call \"Dr. Who\" about title: x",
        std::nullopt, std::nullopt };
    service.logger().log("before: " + describe(reminder));
    service.setHidesReminderTitles(true);
    service.logger().log("while: " + describe(reminder));
    auto text = service.logText().value();
    EXPECT_EQ(text.find("Dr. Who"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(before: AnyReminder(id: "R1", title: <hidden>, start: nil)"),
        std::string::npos)
        << text;
    EXPECT_NE(
        text.find(R"(while: AnyReminder(id: "R1", title: <hidden>, start: nil)"), std::string::npos)
        << text;
    auto file = test::readFile(system->logFilePath());
    EXPECT_EQ(file.find("Dr. Who"), file.rfind("Dr. Who"))
        << "only the line from before is stored in full";

    service.setHidesReminderTitles(false);
    service.logger().log("after: " + describe(reminder));
    EXPECT_NE(service.logText().value().find(
                  "after: AnyReminder(id: \"R1\", title: \"Call \\\"Dr. Who\\\""),
        std::string::npos);
}

TEST(RedactionTest, hidesTitlesOnlyAndOnlyOnce)
{
    struct Case {
        const char* text;
        const char* redacted;
    };
    const Case cases[] = {
        { R"(AnyReminder(id: "1", title: "Buy milk", due: nil))",
            R"(AnyReminder(id: "1", title: <hidden>, due: nil))" },
        { R"(title: "a \"quoted\" one", title: "two")", R"(title: <hidden>, title: <hidden>)" },
        { R"(title: <hidden>)", R"(title: <hidden>)" },
        { R"(AnyList(id: "L", name: "Work"))", R"(AnyList(id: "L", name: "Work"))" },
        { R"(title: "unterminated)", R"(title: <hidden>)" },
        { "", "" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(redactReminderTitles(c.text), c.redacted) << c.text;
        EXPECT_EQ(redactReminderTitles(redactReminderTitles(c.text)), c.redacted) << c.text;
    }
}

TEST(SupportEmailTest, composesBothMessagesAndFailsClearlyWithoutAMailProgram)
{
    EXPECT_EQ(Email::systemInfo("Tidemark", "1.2.5 (125)", "Debian GNU/Linux 12"),
        "---\n\nTidemark 1.2.5 (125)\nDebian GNU/Linux 12");
    EXPECT_EQ(Email::systemInfo("", "", "Linux"), "---\n\n \nLinux");
    EXPECT_EQ(Email::body(), Email::bodyText() + "\n\n" + Email::systemInfo());
    EXPECT_EQ(
        applicationVersionText(), *AppInfo::shortVersion() + " (" + AppInfo::buildVersion() + ")");

    TemporaryFolder folder;
    test::writeFile(folder / "logs", "l");
    test::writeFile(folder / "settings", "s");
    auto launcher = std::make_shared<test::RecordingLauncher>();
    Workspace workspace(launcher);

    auto none = composeSupportEmail(workspace, { folder / "logs" });
    ASSERT_FALSE(none.isSuccess()) << "no mail program is not a sent message";
    EXPECT_NE(none.error().description.find("No mail program"), std::string::npos)
        << none.error().description;
    EXPECT_FALSE(composeFeedbackEmail(workspace).isSuccess());

    launcher->installed = { "xdg-email" };
    auto sent = composeSupportEmail(workspace, { folder / "logs", folder / "settings" });
    ASSERT_TRUE(sent.isSuccess());
    const auto& arguments = launcher->starts.back().arguments;
    auto logs = std::find(arguments.begin(), arguments.end(), (folder / "logs").string());
    auto settings = std::find(arguments.begin(), arguments.end(), (folder / "settings").string());
    EXPECT_LT(logs, settings) << "the log file first";
    EXPECT_EQ(arguments.back(), AppInfo::bugReportEmail());
    EXPECT_NE(std::find(arguments.begin(), arguments.end(), Email::body()), arguments.end());

    ASSERT_TRUE(composeFeedbackEmail(workspace).isSuccess());
    const auto& feedback = launcher->starts.back().arguments;
    EXPECT_EQ(feedback.back(), AppInfo::feedbackEmail());
    EXPECT_NE(
        std::find(feedback.begin(), feedback.end(), "\n\n" + Email::systemInfo()), feedback.end());
}

} // namespace
} // namespace tidemark
