#include "MiddlewareTestSupport.hpp"

#include "settings/middleware/LoggerMiddleware.hpp"

namespace tidemark {
namespace {

using namespace test;

const AnyReminder secret { "R1", std::nullopt, std::nullopt, "Surprise party for Ann", std::nullopt,
    std::nullopt };

AppAction createSecret()
{
    return actions::itemsAction(
        RemindersItemsAction::create(RemindersItemsAction::CreateAction::submit({ secret })));
}
AppAction bugReport(BugReportAction step)
{
    return loggerAction(LoggerAction::SubmitBugReport { std::move(step) });
}
AppAction submitBugReport()
{
    return bugReport(BugReportAction::submit(EquatableVoid {}));
}
bool isFailedBugReport(const AppAction& action)
{
    const auto* logger = caseOf<AppAction::Logger>(action);
    const auto* report
        = logger ? std::get_if<LoggerAction::SubmitBugReport>(&asVariant(logger->action)) : nullptr;
    const auto* result = report ? report->action.asResult() : nullptr;
    return result && !result->result.isSuccess();
}
void loading(AppState& s)
{
    s.logger.submit.status = Status::loading;
}

struct LoggerMiddlewareFixture : testing::Test {
    StoredSettings settings;
    std::shared_ptr<LogSystem> system = logSystemIn(settings.folder / "state");
    fs::path documents = settings.folder / "Documents";
    std::shared_ptr<LoggerService> logger
        = std::make_shared<LoggerService>("AppState", system, documents);
    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    std::vector<Error> feedbackFailures;
    std::optional<AppTestStore> store;

    void SetUp() override
    {
        LoggerMiddlewareEnvironment environment;
        environment.logger = logger;
        environment.settings = settings.service;
        environment.workspace = std::make_shared<Workspace>(launcher);
        environment.calendarDescription = [] { return std::string("Calendar(Europe/Berlin)"); };
        environment.reportFeedbackFailure
            = [this](const Error& error) { feedbackFailures.push_back(error); };
        environment.queue = &mainQueue();
        store.emplace(AppState::initial(testStart(), testCalendar()),
            rootReducer(std::make_shared<ManualClock>(testStart())),
            std::vector<AppMiddleware> {
                loggerMiddleware(environment), userSettingsMiddleware(settings.service) });
    }
    void TearDown() override { store.reset(); }

    std::string logged() const { return logger->logText().value(); }
    // The attachments of the last message the mail program was asked to open.
    std::vector<std::string> attachments() const
    {
        std::vector<std::string> files;
        const auto& arguments = launcher->starts.back().arguments;
        for (std::size_t i = 0; i + 1 < arguments.size(); ++i)
            if (arguments[i] == "--attach")
                files.push_back(fs::path(arguments[i + 1]).filename().string());
        return files;
    }
};

TEST_F(LoggerMiddlewareFixture, logsActionsOnlyWhileLoggingIsOn)
{
    store->send(AppAction::Countdown { CountdownAction::IsEnabled { false } },
        [](AppState& s) { s.countdown.isEnabled = false; });
    store->send(loggerAction(LoggerAction::IsEnabled { true }),
        [](AppState& s) { s.logger.isEnabled = true; });
    store->send(AppAction::Countdown { CountdownAction::ReadDueDate {} });
    store->send(loggerAction(LoggerAction::IsEnabled { false }),
        [](AppState& s) { s.logger.isEnabled = false; });
    store->send(AppAction::Countdown { CountdownAction::IsEnabled { true } },
        [](AppState& s) { s.countdown.isEnabled = true; });
    auto lines = test::lines(logged());
    ASSERT_EQ(lines.size(), 2u) << logged();
    EXPECT_TRUE(lines[0].ends_with("] [AppState]   logger(isEnabled(true))")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with("] [AppState]   countdown(readDueDate)")) << lines[1];
    EXPECT_EQ(actionLogLine("quit"), "  quit      ") << "padded to ten";
}

TEST_F(LoggerMiddlewareFixture, hidingReplacesReminderTitlesInTheLogAndTheExport)
{
    const auto hiding = [](bool value) {
        return [value](AppState& s) { s.logger.hideReminderDescriptions = value; };
    };
    store->send(loggerAction(LoggerAction::IsEnabled { true }),
        [](AppState& s) { s.logger.isEnabled = true; });
    store->send(createSecret(), [](AppState& s) {
        s.remindersStore.items.status = Status::loading;
        s.remindersStore.items.submittedValues.create = std::set { secret };
    });
    EXPECT_NE(logged().find("Surprise party"), std::string::npos)
        << "shown in full while not hidden";

    store->send(loggerAction(LoggerAction::HideReminderDescriptions { true }), hiding(true));
    store->send(createSecret()); // the same request again
    EXPECT_EQ(logged().find("Surprise party"), std::string::npos) << logged();
    EXPECT_NE(logged().find("title: <hidden>"), std::string::npos);

    launcher->installed = { "xdg-email" };
    store->send(submitBugReport(), loading);
    store->receive(bugReport(BugReportAction::success(EquatableVoid {})),
        [](AppState& s) { s.logger.submit.status = Status::completed; });
    ASSERT_EQ(attachments(), (std::vector<std::string> { "logs", "settings" }));
    auto exported = readFile(documents / "logs");
    EXPECT_NE(exported.find("State: AppState("), std::string::npos);
    EXPECT_EQ(exported.find("Surprise party"), std::string::npos) << exported;
    EXPECT_EQ(settings.stored()["logging"]["isRedacted"], true);

    store->send(loggerAction(LoggerAction::HideReminderDescriptions { false }), hiding(false));
    EXPECT_NE(logged().find("Surprise party"), std::string::npos) << "hiding ends with the setting";
}

TEST_F(LoggerMiddlewareFixture, aBugReportWithLoggingOffAttachesTheSettingsOnlyAndLogsNoState)
{
    launcher->installed = { "xdg-email" };
    store->send(createSecret(), [](AppState& s) {
        s.remindersStore.items.status = Status::loading;
        s.remindersStore.items.submittedValues.create = std::set { secret };
    });
    store->send(submitBugReport(), loading);
    store->receive(bugReport(BugReportAction::success(EquatableVoid {})),
        [](AppState& s) { s.logger.submit.status = Status::completed; });
    EXPECT_EQ(attachments(), std::vector<std::string> { "settings" });
    EXPECT_EQ(logged(), "") << "nothing of the state is written while logging is off";
    auto text = readFile(documents / "settings");
    EXPECT_TRUE(text.starts_with("Settings: UserSettings(")) << text;
    EXPECT_TRUE(text.ends_with("\n\nCalendar: Calendar(Europe/Berlin)")) << text;
}

TEST_F(LoggerMiddlewareFixture, aMessageThatCouldNotBeOpenedIsReportedNotSent)
{
    store->send(submitBugReport(), loading);
    store->receiveMatching(
        "the bug report's failure", isFailedBugReport, [](AppState& s, const AppState& actual) {
            s.logger.submit = { actual.logger.submit.error, Status::completed };
        });
    const auto& submit = store->state().logger.submit;
    ASSERT_TRUE(submit.error);
    EXPECT_NE(submit.error->description.find("No mail program"), std::string::npos)
        << submit.error->description;

    // The failed feedback message is told to the pane through the state as well.
    store->send(loggerAction(LoggerAction::SendFeedback {}));
    ASSERT_EQ(feedbackFailures.size(), 1u);
    store->receive(loggerAction(LoggerAction::SendFeedbackFailed { feedbackFailures[0] }),
        [&](AppState& s) { s.logger.feedbackError = feedbackFailures[0]; });

    launcher->installed = { "xdg-email" };
    store->send(loggerAction(LoggerAction::SendFeedback {}),
        [](AppState& s) { s.logger.feedbackError.reset(); });
    EXPECT_EQ(feedbackFailures.size(), 1u);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts.back().arguments.back(), AppInfo::feedbackEmail());

    // A new report starts without the earlier one's error, so its success shows no failure.
    store->send(submitBugReport(), [](AppState& s) {
        s.logger.submit.error.reset();
        s.logger.submit.status = Status::loading;
    });
    store->receive(bugReport(BugReportAction::success(EquatableVoid {})),
        [](AppState& s) { s.logger.submit.status = Status::completed; });
    EXPECT_FALSE(store->state().logger.submit.error);
}

} // namespace
} // namespace tidemark
