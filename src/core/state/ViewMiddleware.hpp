#pragma once

#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/Clock.hpp"

#include <memory>

namespace tidemark {

// Whether something on screen needs the one-second tick: the drag blob, the open popover,
// or the menu-bar countdown following a reminder that has a due date (whether or not that
// date has passed). `now` decides which reminder the countdown follows.
bool timerIsNeeded(const AppState& state, Date now);

// Answers every action but a timer action with timer(start) or timer(stop), as
// timerIsNeeded says; a timer action gets an empty answer, so the middleware never reacts
// to its own answers. Repeated starts and stops are the timer slice's to ignore.
Store<AppState, AppAction>::Middleware makeViewMiddleware(
    std::shared_ptr<const Clock> clock = Clock::system());

} // namespace tidemark
