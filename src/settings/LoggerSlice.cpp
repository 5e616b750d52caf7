#include "settings/LoggerSlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void loggerReducer(LoggerState& state, const LoggerAction& action)
{
    std::visit(overloaded {
                   [&](const LoggerAction::IsEnabled& a) -> void { state.isEnabled = a.value; },
                   [&](const LoggerAction::HideReminderDescriptions& a) -> void {
                       state.hideReminderDescriptions = a.value;
                   },
                   [&](const LoggerAction::SubmitBugReport& a) -> void {
                       // A new report starts afresh: the error of an earlier one would otherwise
                       // still stand after this one succeeded, and be shown as its failure.
                       if (a.action.asSubmit())
                           state.submit.error.reset();
                       reduce(state.submit, a.action);
                   },
                   [&](const LoggerAction::SendFeedback&) -> void { state.feedbackError.reset(); },
                   [&](const LoggerAction::SendFeedbackFailed& a) -> void {
                       state.feedbackError = a.error;
                   },
               },
        action);
}

} // namespace tidemark
