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
AppAction submitBugReport()
{
    return loggerAction(
        LoggerAction::SubmitBugReport { BugReportAction::submit(EquatableVoid {}) });
}

struct LoggerMiddlewareFixture : testing::Test {
    StoredSettings settings;
    std::shared_ptr<LogSystem> system = logSystemIn(settings.folder / "state");
    fs::path documents = settings.folder / "Documents";
    std::shared_ptr<LoggerService> logger
        = std::make_shared<LoggerService>("AppState", system, documents);
    std::shared_ptr<RecordingLauncher> launcher = std::make_shared<RecordingLauncher>();
    std::vector<Error> feedbackFailures;
    std::shared_ptr<AppStore> store;

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
        store = makeAppStore(
            { loggerMiddleware(environment), userSettingsMiddleware(settings.service) });
    }

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
    store->dispatch(AppAction::Countdown { CountdownAction::IsEnabled { false } });
    store->dispatch(loggerAction(LoggerAction::IsEnabled { true }));
    store->dispatch(AppAction::Countdown { CountdownAction::ReadDueDate {} });
    store->dispatch(loggerAction(LoggerAction::IsEnabled { false }));
    store->dispatch(AppAction::Countdown { CountdownAction::IsEnabled { true } });
    auto lines = test::lines(logged());
    ASSERT_EQ(lines.size(), 2u) << logged();
    EXPECT_TRUE(lines[0].ends_with("] [AppState]   logger(isEnabled(true))")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with("] [AppState]   countdown(readDueDate)")) << lines[1];
    EXPECT_EQ(actionLogLine("quit"), "  quit      ") << "padded to ten";
}

TEST_F(LoggerMiddlewareFixture, hidingReplacesReminderTitlesInTheLogAndTheExport)
{
    store->dispatch(loggerAction(LoggerAction::IsEnabled { true }));
    store->dispatch(createSecret());
    EXPECT_NE(logged().find("Surprise party"), std::string::npos)
        << "shown in full while not hidden";

    store->dispatch(loggerAction(LoggerAction::HideReminderDescriptions { true }));
    store->dispatch(createSecret());
    EXPECT_EQ(logged().find("Surprise party"), std::string::npos) << logged();
    EXPECT_NE(logged().find("title: <hidden>"), std::string::npos);

    launcher->installed = { "xdg-email" };
    store->dispatch(submitBugReport());
    drainMainQueue();
    ASSERT_EQ(attachments(), (std::vector<std::string> { "logs", "settings" }));
    auto exported = readFile(documents / "logs");
    EXPECT_NE(exported.find("State: AppState("), std::string::npos);
    EXPECT_EQ(exported.find("Surprise party"), std::string::npos) << exported;
    EXPECT_EQ(settings.stored()["logging"]["isRedacted"], true);

    store->dispatch(loggerAction(LoggerAction::HideReminderDescriptions { false }));
    EXPECT_NE(logged().find("Surprise party"), std::string::npos) << "hiding ends with the setting";
}

TEST_F(LoggerMiddlewareFixture, aBugReportWithLoggingOffAttachesTheSettingsOnlyAndLogsNoState)
{
    launcher->installed = { "xdg-email" };
    store->dispatch(createSecret());
    store->dispatch(submitBugReport());
    EXPECT_EQ(store->state().logger.submit.status, Status::loading);
    drainMainQueue();
    EXPECT_EQ(store->state().logger.submit, (SubmittableState { std::nullopt, Status::completed }));
    EXPECT_EQ(attachments(), std::vector<std::string> { "settings" });
    EXPECT_EQ(logged(), "") << "nothing of the state is written while logging is off";
    auto text = readFile(documents / "settings");
    EXPECT_TRUE(text.starts_with("Settings: UserSettings(")) << text;
    EXPECT_TRUE(text.ends_with("\n\nCalendar: Calendar(Europe/Berlin)")) << text;
    EXPECT_EQ(store->liveSubscriptions(), 0u);
}

TEST_F(LoggerMiddlewareFixture, aMessageThatCouldNotBeOpenedIsReportedNotSent)
{
    store->dispatch(submitBugReport());
    drainMainQueue();
    const auto& submit = store->state().logger.submit;
    EXPECT_EQ(submit.status, Status::completed);
    ASSERT_TRUE(submit.error);
    EXPECT_NE(submit.error->description.find("No mail program"), std::string::npos)
        << submit.error->description;

    const auto before = store->state();
    store->dispatch(loggerAction(LoggerAction::SendFeedback {}));
    EXPECT_EQ(store->state(), before);
    ASSERT_EQ(feedbackFailures.size(), 1u);
    EXPECT_EQ(drainMainQueue(), 0u);

    launcher->installed = { "xdg-email" };
    store->dispatch(loggerAction(LoggerAction::SendFeedback {}));
    EXPECT_EQ(feedbackFailures.size(), 1u);
    ASSERT_EQ(launcher->starts.size(), 1u);
    EXPECT_EQ(launcher->starts.back().arguments.back(), AppInfo::feedbackEmail());
}

} // namespace
} // namespace tidemark
