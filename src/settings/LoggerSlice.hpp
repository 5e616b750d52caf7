#pragma once

#include "core/Action.hpp"
#include "core/Error.hpp"
#include "core/Submittable.hpp"

#include <optional>

#include <variant>

namespace tidemark {

struct LoggerState {
    bool isEnabled = false;
    bool hideReminderDescriptions = false;
    SubmittableState submit;
    // Why the last feedback message could not be opened; none once one was.
    std::optional<Error> feedbackError;

    bool operator==(const LoggerState&) const = default;
};

using BugReportAction = SubmittableAction<EquatableVoid, EquatableVoid>;

struct LoggerActionCases {
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    struct HideReminderDescriptions {
        bool value;
        bool operator==(const HideReminderDescriptions&) const = default;
    };
    struct SubmitBugReport {
        BugReportAction action;
        bool operator==(const SubmitBugReport&) const = default;
    };
    struct SendFeedback {
        bool operator==(const SendFeedback&) const = default;
    };
    // The feedback message could not be opened.
    struct SendFeedbackFailed {
        Error error;
        bool operator==(const SendFeedbackFailed&) const = default;
    };
    using Variant = std::variant<IsEnabled, HideReminderDescriptions, SubmitBugReport, SendFeedback,
        SendFeedbackFailed>;
};

struct LoggerAction : ActionOf<LoggerActionCases> {
    using ActionOf::ActionOf;
};

void loggerReducer(LoggerState& state, const LoggerAction& action);

} // namespace tidemark
