#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"

#include <optional>
#include <string>
#include <variant>

namespace tidemark {

struct LoggingViewActionCases {
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    struct HideReminderDescriptions {
        bool value;
        bool operator==(const HideReminderDescriptions&) const = default;
    };
    struct SubmitBugReport {
        bool operator==(const SubmitBugReport&) const = default;
    };
    struct SendFeedback {
        bool operator==(const SendFeedback&) const = default;
    };
    // Open the support website.
    struct Help {
        bool operator==(const Help&) const = default;
    };
    using Variant
        = std::variant<IsEnabled, HideReminderDescriptions, SubmitBugReport, SendFeedback, Help>;
};

// The support section of the other pane: logging, hiding reminder texts in the log, the bug
// report, feedback and the support website.
struct LoggingView {
    struct State {
        bool isEnabled = false;
        bool hideReminderDescriptions = false;
        Status status = Status::idle;
        // Why the last bug report failed, once it has been answered so.
        std::optional<std::string> bugReportFailure;
        // Why the last feedback message could not be opened.
        std::optional<std::string> feedbackFailure;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<LoggingViewActionCases> {
        using ActionOf::ActionOf;
    };

    // A report in progress shows a spinner and cannot be started again until it is answered.
    static bool isReporting(const State& state) { return state.status == Status::loading; }
    static bool bugReportButtonIsEnabled(const State& state) { return !isReporting(state); }
};

} // namespace tidemark
