#include "settings/middleware/LoggerMiddleware.hpp"

#include "core/AsyncPublisher.hpp"
#include "platform/foundation/Calendar.hpp"
#include "settings/Description.hpp"
#include "settings/SupportEmail.hpp"
#include "settings/middleware/AppDescription.hpp"

namespace tidemark {

namespace {

std::string currentCalendarDescription()
{
    auto calendar = Calendar::autoupdatingCurrent();
    return "Calendar(identifier: gregorian, timeZone: " + calendar.timeZone()
        + ", autoupdating: true)";
}

} // namespace

std::string actionLogLine(const std::string& description)
{
    std::string line = "  " + description;
    if (description.size() < 10)
        line.append(10 - description.size(), ' ');
    return line;
}

std::vector<std::filesystem::path> makeBugReportAttachments(const AppState& state,
    const LoggerService& logger, UserSettingsServicable& settings,
    const std::string& calendarDescription)
{
    std::vector<std::filesystem::path> attachments;
    // The state holds reminder titles: it goes into the log only when the user turned
    // logging on.
    if (state.logger.isEnabled) {
        logger.logger().log("State: " + describe(state));
        auto text = logger.logText();
        if (!text.isSuccess()) {
            logger.logger().fault("Unable to log.");
        } else if (auto exported = logger.exportLogs(text.value(), "logs"); exported.isSuccess()) {
            attachments.push_back(exported.value());
        } else {
            logger.logger().fault("Unable to log.");
        }
    }
    auto stored = settings.load();
    if (!stored.isSuccess()) {
        logger.logger().fault("Unable to log user settings.");
        return attachments;
    }
    auto text
        = "Settings: " + describeValue(stored.value()) + "\n\nCalendar: " + calendarDescription;
    if (auto exported = logger.exportLogs(text, "settings"); exported.isSuccess())
        attachments.push_back(exported.value());
    else
        logger.logger().fault("Unable to log user settings.");
    return attachments;
}

AppMiddleware loggerMiddleware(LoggerMiddlewareEnvironment environment)
{
    if (!environment.calendarDescription)
        environment.calendarDescription = &currentCalendarDescription;
    if (!environment.reportFeedbackFailure) {
        auto logger = environment.logger;
        environment.reportFeedbackFailure = [logger](const Error& error) {
            logger->logger().fault("Unable to open the feedback e-mail: " + error.description);
        };
    }
    auto env = std::make_shared<const LoggerMiddlewareEnvironment>(std::move(environment));

    return [env](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        // Before the action is written, so the action that turns hiding on is hidden too.
        env->logger->setHidesReminderTitles(state.logger.hideReminderDescriptions);
        if (state.logger.isEnabled)
            env->logger->logger().log(actionLogLine(describe(action)));

        auto logger = caseOf<AppAction::Logger>(action);
        if (!logger)
            return rx::Empty<AppAction>();
        if (caseOf<LoggerAction::SendFeedback>(logger->action)) {
            auto sent = composeFeedbackEmail(*env->workspace);
            if (sent.isSuccess())
                return rx::Empty<AppAction>();
            env->reportFeedbackFailure(sent.error());
            // The pane says so too: a button that silently does nothing looks broken.
            return rx::Just<AppAction>(
                AppAction::Logger { LoggerAction::SendFeedbackFailed { sent.error() } });
        }
        auto report = caseOf<LoggerAction::SubmitBugReport>(logger->action);
        if (!report || !report->action.asSubmit())
            return rx::Empty<AppAction>();

        const AppState copy = state;
        auto attachments = makeAsyncPublisher<std::vector<std::filesystem::path>>(
            [env, copy](std::stop_token) {
                return makeBugReportAttachments(
                    copy, *env->logger, *env->settings, env->calendarDescription());
            },
            *env->queue);
        auto answer = [](BugReportAction result) -> AppAction {
            return AppAction::Logger { LoggerAction::SubmitBugReport { std::move(result) } };
        };
        // The message is opened on the main thread; a message that could not be opened is
        // the report's failure, not a success.
        return rx::mapResult(attachments.receiveOnMain(),
            [env, answer](
                const rx::Result<std::vector<std::filesystem::path>, Error>& files) -> AppAction {
                if (!files.isSuccess())
                    return answer(BugReportAction::failure(files.error()));
                auto sent = composeSupportEmail(*env->workspace, files.value());
                if (!sent.isSuccess()) {
                    env->logger->logger().fault(
                        "Unable to open the bug report e-mail: " + sent.error().description);
                    return answer(BugReportAction::failure(sent.error()));
                }
                return answer(BugReportAction::success(EquatableVoid {}));
            });
    };
}

} // namespace tidemark
