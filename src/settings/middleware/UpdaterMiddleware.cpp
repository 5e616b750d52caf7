#include "settings/middleware/UpdaterMiddleware.hpp"

namespace tidemark {

AppMiddleware updaterMiddleware(
    std::shared_ptr<UpdaterServicable> updater, UpdateActionOf updateActionOf)
{
    return [updater, updateActionOf](const AppState&,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        auto update = updateActionOf(action);
        if (update && std::holds_alternative<UpdateAction::Check>(asVariant(*update)))
            updater->checkForUpdates();
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
