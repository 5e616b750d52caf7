#include "app/shell/PendingMiddlewares.hpp"

namespace tidemark {

AppMiddleware emptyMiddleware()
{
    return [](const AppState&, const AppAction&) -> std::optional<rx::Publisher<AppAction>> {
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
