#include "settings/LoggerSlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

void loggerReducer(LoggerState& state, const LoggerAction& action)
{
    std::visit(
        overloaded {
            [&](const LoggerAction::IsEnabled& a) -> void { state.isEnabled = a.value; },
            [&](const LoggerAction::HideReminderDescriptions& a) -> void {
                state.hideReminderDescriptions = a.value;
            },
            [&](const LoggerAction::SubmitBugReport& a) -> void { reduce(state.submit, a.action); },
            [&](const LoggerAction::SendFeedback&) -> void {},
        },
        action);
}

} // namespace tidemark
