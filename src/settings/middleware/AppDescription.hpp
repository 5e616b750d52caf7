#pragma once

#include "core/state/AppState.hpp"

#include <string>

namespace tidemark {

// The root action and state as the log and the bug report write them.
std::string describe(const AppAction& action);
std::string describe(const AppState& state);

} // namespace tidemark
