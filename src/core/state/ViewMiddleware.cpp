#include "core/state/ViewMiddleware.hpp"

#include "menubar/CountdownState.hpp"

namespace tidemark {

bool timerIsNeeded(const AppState& state, Date now)
{
    if (state.view.yoyo.drag.isPresented)
        return true;
    if (state.view.popover.isPresented)
        return true;
    if (!state.countdown.isEnabled)
        return false;
    // The countdown's own choice of reminder (the countdown connector makes the same one).
    const auto reminder
        = countdownReminder(state.remindersStore.items.value, state.countdown.reminderID, now);
    return reminder && dueDate(*reminder).has_value();
}

Store<AppState, AppAction>::Middleware makeViewMiddleware(std::shared_ptr<const Clock> clock)
{
    return [clock = std::move(clock)](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (caseOf<AppAction::Timer>(action))
            return rx::Empty<AppAction>();
        const TimerAction answer
            = timerIsNeeded(state, clock->now()) ? TimerAction::start : TimerAction::stop;
        return rx::Just<AppAction>(AppAction::Timer { answer });
    };
}

} // namespace tidemark
