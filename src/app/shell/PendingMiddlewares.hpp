#pragma once

// The services and middlewares of the composition root that other parts of the program
// provide and that are not built yet. Each factory stands at its place in the middleware
// list under its own name and answers every action with an empty publisher, so the order
// of the list, and what each entry captures, is already right. Replace each with the real
// one as it arrives; nothing else in the shell looks inside these types.

#include "app/shell/AppWindows.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "settings/UserSettings.hpp"

#include <filesystem>
#include <memory>
#include <string>

namespace tidemark {

using AppMiddleware = AppStore::Middleware;

// A middleware that adds nothing and hides nothing from the middlewares after it.
AppMiddleware emptyMiddleware();

// The local reminder store: its database file.
struct PendingPersistenceController {
    std::filesystem::path storeFile;
    bool inMemory = false;
};
struct PendingPersistentRemindersService {
    PendingPersistenceController controller;
};
// The reminders of the user's task lists.
struct PendingAppleRemindersService { };
// The stored user settings, under the application's identifier followed by ".settings".
struct PendingPersistentSettingsService {
    std::shared_ptr<UserDefaults> defaults;
    UserSettings defaultValue;
};
// Usage counts, under the application's identifier followed by ".usageStatistics".
struct PendingUsageStatisticsService {
    std::shared_ptr<UserDefaults> defaults;
};
// Opening at login and bringing the settings window forward.
struct PendingSettingsService {
    WindowRef window;
    bool isPresented = false;
};
// The desktop's notifications.
class PendingUserNotificationsService {
public:
    // Makes the service's delegate the receiver of the desktop's answers.
    void attachNotificationDelegate() { m_delegateAttached = true; }
    bool delegateAttached() const { return m_delegateAttached; }

private:
    bool m_delegateAttached = false;
};
struct PendingLoggerService {
    std::string category;
};
// The software-update check.
struct PendingUpdaterController { };

AppMiddleware pendingAppleRemindersMiddleware(std::shared_ptr<PendingAppleRemindersService> service);
AppMiddleware pendingLoggerMiddleware(
    std::shared_ptr<PendingLoggerService> logger, std::shared_ptr<PendingPersistentSettingsService> settings);
AppMiddleware pendingUserNotificationsMiddleware(std::shared_ptr<PendingUserNotificationsService> service);
AppMiddleware pendingPersistentRemindersMiddleware(std::shared_ptr<PendingPersistentRemindersService> service);
AppMiddleware pendingUserSettingsMiddleware(std::shared_ptr<PendingPersistentSettingsService> settings);
AppMiddleware pendingViewMiddleware();
AppMiddleware pendingSettingsMiddleware(std::shared_ptr<PendingSettingsService> service);
AppMiddleware pendingUsageStatisticsMiddleware(
    std::shared_ptr<PendingUsageStatisticsService> statistics, std::shared_ptr<PendingPersistentSettingsService> settings);
AppMiddleware pendingStatusItemDragMiddleware(AppWindowsStoreRef windowsStore);
AppMiddleware pendingUpdaterMiddleware(std::shared_ptr<PendingUpdaterController> updater);

} // namespace tidemark
