#pragma once

// The services and middlewares of the composition root that other parts of the program
// provide and that are not built yet. Each factory stands at its place in the middleware
// list under its own name and answers every action with an empty publisher, so the order
// of the list, and what each entry captures, is already right. Replace each with the real
// one as it arrives; nothing else in the shell looks inside these types.

#include "app/shell/AppWindows.hpp"
#include "core/state/AppState.hpp"
#include <memory>

namespace tidemark {

using AppMiddleware = AppStore::Middleware;

// A middleware that adds nothing and hides nothing from the middlewares after it.
AppMiddleware emptyMiddleware();

} // namespace tidemark
