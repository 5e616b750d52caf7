#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"

#include <variant>

namespace tidemark {

struct LoggerState {
    bool isEnabled = false;
    bool hideReminderDescriptions = false;
    SubmittableState submit;

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
    using Variant
        = std::variant<IsEnabled, HideReminderDescriptions, SubmitBugReport, SendFeedback>;
};

struct LoggerAction : ActionOf<LoggerActionCases> {
    using ActionOf::ActionOf;
};

void loggerReducer(LoggerState& state, const LoggerAction& action);

} // namespace tidemark
