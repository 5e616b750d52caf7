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
template <class... Captured>
AppMiddleware holding(Captured... captured)
{
    return [... captured = std::move(captured)](const AppState&, const AppAction&) -> std::optional<rx::Publisher<AppAction>> {
        ((void)captured, ...);
        return rx::Empty<AppAction>();
    };
}

} // namespace

AppMiddleware pendingAppleRemindersMiddleware(std::shared_ptr<PendingAppleRemindersService> service)
{
    return holding(std::move(service));
}

AppMiddleware pendingLoggerMiddleware(
    std::shared_ptr<PendingLoggerService> logger, std::shared_ptr<PendingPersistentSettingsService> settings)
{
    return holding(std::move(logger), std::move(settings));
}

AppMiddleware pendingUserNotificationsMiddleware(std::shared_ptr<PendingUserNotificationsService> service)
{
    return holding(std::move(service));
}

AppMiddleware pendingPersistentRemindersMiddleware(std::shared_ptr<PendingPersistentRemindersService> service)
{
    return holding(std::move(service));
}

AppMiddleware pendingUserSettingsMiddleware(std::shared_ptr<PendingPersistentSettingsService> settings)
{
    return holding(std::move(settings));
}

AppMiddleware pendingViewMiddleware() { return emptyMiddleware(); }

AppMiddleware pendingSettingsMiddleware(std::shared_ptr<PendingSettingsService> service)
{
    return holding(std::move(service));
}

AppMiddleware pendingUsageStatisticsMiddleware(
    std::shared_ptr<PendingUsageStatisticsService> statistics, std::shared_ptr<PendingPersistentSettingsService> settings)
{
    return holding(std::move(statistics), std::move(settings));
}

AppMiddleware pendingStatusItemDragMiddleware(AppWindowsStoreRef windowsStore)
{
    return holding(std::move(windowsStore));
}

AppMiddleware pendingUpdaterMiddleware(std::shared_ptr<PendingUpdaterController> updater)
{
    return holding(std::move(updater));
}

} // namespace tidemark
