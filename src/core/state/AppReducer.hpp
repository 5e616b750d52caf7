#pragma once

#include "core/state/AppState.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"

#include <memory>

namespace tidemark {

// What the root reducer reads outside the state: the current moment, for the start of a
// pull or of a scroll entry and for new reminders.
struct ReducerEnvironment {
    std::shared_ptr<const Clock> clock = Clock::system();
};

// Routes each case to its slice, then keeps the slices in step with one another.
void appReducer(AppState& state, const AppAction& action, const ReducerEnvironment& environment);

// The view slice's own reducer.
void viewStateReducer(ViewState& state, const ViewAction& action);

} // namespace tidemark
