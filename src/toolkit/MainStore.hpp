#pragma once

#include "core/Store.hpp"

#include <memory>

namespace tidemark {

struct AppState;
struct AppAction;

// The main store, named where its state and actions need not be complete: windows and
// status items are handed the store to bind their views to, long before they look inside.
using AppStore = Store<AppState, AppAction>;
using AppStoreRef = std::shared_ptr<AppStore>;

} // namespace tidemark
