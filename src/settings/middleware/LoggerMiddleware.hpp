#pragma once

#include "platform/reactive/Executor.hpp"
#include "platform/workspace/Workspace.hpp"
#include "settings/LoggerService.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tidemark {

struct LoggerMiddlewareEnvironment {
    std::shared_ptr<LoggerService> logger;
    std::shared_ptr<UserSettingsServicable> settings;
    std::shared_ptr<Workspace> workspace = std::make_shared<Workspace>();
    // The user's calendar as the settings file names it.
    std::function<std::string()> calendarDescription;
    // Told when the feedback message could not be opened (the failure also goes into the
    // logger state, as the bug report's does).
    std::function<void(const Error&)> reportFeedbackFailure;
    // Where the bug report gathers its files.
    rx::Scheduler* queue = &rx::backgroundQueue();
};

// Logs every action while logging is on, hides reminder titles in the log while asked to,
// prepares a bug report (log and settings files) and opens it as an e-mail, and opens the
// feedback e-mail, answering `sendFeedbackFailed` when it cannot be opened.
AppMiddleware loggerMiddleware(LoggerMiddlewareEnvironment environment);

// Writes the bug report's files into the documents folder and gives them in order: the
// log lines ("logs", only while logging is on), then the stored settings ("settings").
std::vector<std::filesystem::path> makeBugReportAttachments(const AppState& state,
    const LoggerService& logger, UserSettingsServicable& settings,
    const std::string& calendarDescription);

// "  " and the description, padded with blanks to at least 10 characters.
std::string actionLogLine(const std::string& description);

} // namespace tidemark
