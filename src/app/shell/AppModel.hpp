#pragma once

#include "app/shell/AppMiddlewares.hpp"
#include "app/shell/AppWindows.hpp"
#include "app/shell/PendingMiddlewares.hpp"
#include "core/ListenerService.hpp"
#include "core/state/AppReducer.hpp"
#include "notifications/UserNotificationsService.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/XdgPlaces.hpp"
#include "platform/updater/Updater.hpp"
#include "reminders/PersistentRemindersService.hpp"
#include "reminders/applereminders/AppleRemindersService.hpp"
#include "settings/LoggerService.hpp"
#include "settings/PersistentSettingsService.hpp"
#include "settings/SettingsService.hpp"
#include "settings/UsageStatistics.hpp"
#include "settings/UserSettings.hpp"
#include "toolkit/HapticFeedbackService.hpp"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tidemark {

// Whether the application was started as a login item.
class AppServicable {
public:
    virtual ~AppServicable() = default;
    virtual bool launchedAsLoginItem() const = 0;
};

// Tells a start from the autostart entry by the argument that entry passes: the arguments
// are read anew on every question.
class AppLaunchService final : public AppServicable {
public:
    using Arguments = std::function<std::vector<std::string>()>;
    // The running application's arguments.
    AppLaunchService();
    explicit AppLaunchService(Arguments arguments);
    bool launchedAsLoginItem() const override;

private:
    Arguments m_arguments;
};

// A fixed answer, for previews and tests.
class MockAppService final : public AppServicable {
public:
    explicit MockAppService(bool launchedAsLoginItem)
        : m_launchedAsLoginItem(launchedAsLoginItem)
    {
    }
    bool launchedAsLoginItem() const override { return m_launchedAsLoginItem; }
    void setLaunchedAsLoginItem(bool value) { m_launchedAsLoginItem = value; }

private:
    bool m_launchedAsLoginItem;
};

// Where the composition root finds the outside world.
struct AppModelEnvironment {
    std::shared_ptr<AppServicable> appService;
    XdgPlaces places;
    std::shared_ptr<const Clock> clock = Clock::system();
    Calendar calendar = Calendar::autoupdatingCurrent();
    // Nothing is written to disk: the stored settings, statistics and reminders stay in memory.
    bool inMemory = false;
    AppWindowsEnvironment windows;
    AppCommandsEnvironment commands;
    // Asks the user once whether the calendar task lists may be used; none refuses.
    EventStoreAccessPrompt calendarAccessPrompt;
    // Told about a setting that could not be applied (open at login failed, a mail could
    // not be opened); the log (and with it the standard error) when none.
    std::function<void(const std::string&)> reportProblem;
    // Tells the user something that needs no answer, such as where a reminder store that
    // could not be used was moved; the running application shows a non-modal message box.
    std::function<void(const std::string& title, const std::string& text)> showMessage;
    // Entries of the middleware list replaced by name, keeping their place: for tests, and for
    // trying a middleware before it takes its place in the list.
    std::map<std::string, AppMiddleware> middlewareOverrides;

    // The running application: its arguments, the process environment, the system clock,
    // the user's calendar, the status bar and the desktop.
    static AppModelEnvironment standard();
};

// The running system, built once at start: every service, the default settings, the windows
// store, the ordered middleware list and the main store.
class AppModel {
public:
    explicit AppModel(AppModelEnvironment environment = AppModelEnvironment::standard());
    // Closes the windows and status items and ends the hold of the two stores on each other.
    ~AppModel();

    AppModel(const AppModel&) = delete;
    AppModel& operator=(const AppModel&) = delete;

    std::shared_ptr<AppServicable> appService;
    std::shared_ptr<SettingsService> settingsService;
    AppStoreRef store;
    std::shared_ptr<UserNotificationsService> userNotificationService;
    AppWindowsStoreRef windowsStore;

    // The names of the middlewares, in the order the store runs them.
    const std::vector<std::string>& middlewareNames() const { return m_middlewareNames; }
    const UserSettings& defaultSettings() const { return m_defaultSettings; }
    // The settings domain the stored settings live in.
    const std::shared_ptr<UserDefaults>& settingsDefaults() const { return m_settingsDefaults; }
    const std::shared_ptr<PersistentSettingsService<UserSettings>>& persistentSettings() const
    {
        return m_persistentSettings;
    }
    const std::shared_ptr<PersistentRemindersService>& remindersService() const
    {
        return m_remindersService;
    }
    const std::shared_ptr<HapticFeedbackService>& hapticFeedbackService() const
    {
        return m_hapticFeedbackService;
    }

private:
    std::shared_ptr<PersistentRemindersService> m_remindersService;
    UserSettings m_defaultSettings;
    std::shared_ptr<UserDefaults> m_settingsDefaults;
    std::shared_ptr<PersistentSettingsService<UserSettings>> m_persistentSettings;
    std::shared_ptr<StandardUpdaterController> m_updater;
    // The desktop's notification centre, when the model made its own (not in memory).
    std::unique_ptr<UNUserNotificationCenter> m_notificationCenter;
    std::shared_ptr<HapticFeedbackService> m_hapticFeedbackService;
    std::vector<std::string> m_middlewareNames;
};

} // namespace tidemark
