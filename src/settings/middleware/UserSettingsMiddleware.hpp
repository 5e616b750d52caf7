#pragma once

#include "core/Overloaded.hpp"
#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "settings/PersistentSettingsService.hpp"

#include <memory>

namespace tidemark {

using AppMiddleware = Store<AppState, AppAction>::Middleware;

// Answers the launch read of the stored settings, and saves every change of a persisted
// preference at once (read, change one field, save the whole value).
AppMiddleware userSettingsMiddleware(std::shared_ptr<UserSettingsServicable> service);

// The stored settings after `action`, or none when the action changes no stored
// preference. `state` is the state after the reducer.
std::optional<UserSettings> applyingToSettings(
    UserSettings settings, const AppState& state, const AppAction& action);

} // namespace tidemark
