#pragma once

#include "core/state/AppState.hpp"
#include "toolkit/HapticFeedbackService.hpp"
#include "toolkit/MainStore.hpp"

#include <memory>

namespace tidemark {

// Whether the live time label of a pull shows: while the drag has not ended and the pull is
// longer than the minimum distance.
bool yoyoTimeViewIsPresented(const AppState& state);

// Asks the service for a tap when the time label's presentation flips at a drag's `changed`
// phase (alignment), and when the scroll card's presentation changes (generic). Never adds
// an action.
AppStore::Middleware makeHapticFeedbackMiddleware(std::shared_ptr<HapticFeedbackService> service);

} // namespace tidemark
