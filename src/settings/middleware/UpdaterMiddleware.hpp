#pragma once

#include "core/Overloaded.hpp"
#include "platform/updater/UpdaterServicable.hpp"
#include "settings/UpdateSlice.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"

#include <functional>
#include <memory>

namespace tidemark {

// The update action a root action carries, if any.
using UpdateActionOf = std::function<const UpdateAction*(const AppAction&)>;

// The root action's `Update` case, once the root action has one; none before.
template <class Action = AppAction> const UpdateAction* carriedUpdateAction(const Action& action)
{
    if constexpr (requires { typename Action::Update; }) {
        auto update = std::get_if<typename Action::Update>(&asVariant(action));
        return update ? &update->action : nullptr;
    } else {
        (void)action;
        return nullptr;
    }
}

// Runs a check for updates, with the updater's own windows, on every `check`; no other
// action reaches the updater. The middleware keeps the updater for as long as it lives.
AppMiddleware updaterMiddleware(std::shared_ptr<UpdaterServicable> updater,
    UpdateActionOf updateActionOf = &carriedUpdateAction<AppAction>);

} // namespace tidemark
