#include "app/shell/PendingMiddlewares.hpp"

namespace tidemark {

AppMiddleware emptyMiddleware()
{
    return [](const AppState&, const AppAction&) -> std::optional<rx::Publisher<AppAction>> {
        return rx::Empty<AppAction>();
    };
}

namespace {

// Keeps what the real middleware will capture alive for as long as the list, as it will.
template <class... Captured> AppMiddleware holding(Captured... captured)
{
    return [... captured = std::move(captured)](
               const AppState&, const AppAction&) -> std::optional<rx::Publisher<AppAction>> {
        ((void)captured, ...);
        return rx::Empty<AppAction>();
    };
}

} // namespace

AppMiddleware pendingStatusItemDragMiddleware(AppWindowsStoreRef windowsStore)
{
    return holding(std::move(windowsStore));
}

} // namespace tidemark
