#include "menubar/CountdownState.hpp"

#include "core/Overloaded.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

namespace tidemark {

namespace {

// One formatter for the process: every state made holds the same object, so states that
// differ in nothing else compare equal.
std::shared_ptr<DateComponentsFormatter> sharedCountdownFormatter()
{
    static const std::shared_ptr<DateComponentsFormatter> shared = [] {
        using F = DateComponentsFormatter;
        auto formatter = std::make_shared<F>();
        formatter->setAllowedUnits({ F::Unit::hour, F::Unit::minute });
        formatter->setCalendar(Calendar::autoupdatingCurrent());
        formatter->setCollapsesLargestUnit(false);
        formatter->setFormattingContext(F::FormattingContext::standalone);
        formatter->setIncludesTimeRemainingPhrase(false);
        formatter->setMaximumUnitCount(2);
        formatter->setUnitsStyle(F::UnitsStyle::abbreviated);
        formatter->setZeroFormattingBehavior(F::ZeroFormattingBehavior::dropLeading);
        return formatter;
    }();
    return shared;
}

} // namespace

CountdownState::CountdownState()
    : formatter(sharedCountdownFormatter())
{
}

void countdownProgressBarReducer(
    CountdownProgressBarState& state, const CountdownProgressBarAction& action)
{
    std::visit(
        overloaded {
            [&](const CountdownProgressBarAction::IsEnabled& a) -> void {
                state.isEnabled = a.value;
            },
            [&](const CountdownProgressBarAction::Opacity& a) -> void { state.opacity = a.value; },
        },
        action);
}

void countdownReducer(CountdownState& state, const CountdownAction& action)
{
    std::visit(overloaded {
                   [&](const CountdownAction::IsEnabled& a) -> void { state.isEnabled = a.value; },
                   [&](const CountdownAction::ProgressBar& a) -> void {
                       countdownProgressBarReducer(state.progressBar, a.action);
                   },
                   [&](const CountdownAction::ReminderID& a) -> void { state.reminderID = a.id; },
                   [&](const CountdownAction::ReadDueDate&) -> void {},
               },
        action);
}

std::optional<AnyReminder> countdownReminder(
    const std::set<AnyReminder>& reminders, const std::optional<std::string>& reminderID, Date now)
{
    if (reminderID) {
        for (const auto& reminder : reminders) {
            if (reminder.id == *reminderID)
                return reminder;
        }
    }
    std::optional<AnyReminder> soonest;
    std::optional<Date> soonestDue;
    for (const auto& reminder : reminders) {
        const auto due = dueDate(reminder);
        if (!due || *due <= now)
            continue;
        if (!soonestDue || *due < *soonestDue) {
            soonest = reminder;
            soonestDue = due;
        }
    }
    return soonest;
}

} // namespace tidemark
