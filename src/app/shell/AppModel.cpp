#include "app/shell/AppModel.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/loginitems/LoginItems.hpp"
#include "toolkit/middleware/HapticFeedbackMiddleware.hpp"

#include <QCoreApplication>
#include <QStringList>

namespace tidemark {

AppLaunchService::AppLaunchService()
    : AppLaunchService([] {
        std::vector<std::string> arguments;
        for (const QString& argument : QCoreApplication::arguments())
            arguments.push_back(argument.toStdString());
        return arguments;
    })
{
}

AppLaunchService::AppLaunchService(Arguments arguments)
    : m_arguments(std::move(arguments))
{
}

bool AppLaunchService::launchedAsLoginItem() const
{
    return m_arguments && wasLaunchedAsLoginItem(m_arguments());
}

UserSettings defaultUserSettings(const Calendar& calendar, Date now)
{
    UserSettings settings;
    settings.general.openAtLogin = false;
    settings.gesture.dragGesturePointPerInterval = 4.0;
    settings.logging.isEnabled = false;
    settings.logging.isRedacted = false;
    settings.notifications.isEnabled = false;
    settings.onboarding.lastPresentedVersion = std::nullopt;
    settings.menubar.countdownIsEnabled = true;
    settings.menubar.progressBar.isEnabled = true;
    settings.menubar.progressBar.opacity = 0.5;
    settings.reminders.automaticRemoval.isEnabled = true;
    settings.reminders.automaticRemoval.date = UserSettings::Reminders::AutomaticRemoval::defaultDate(calendar, now);
    settings.reminders.dataSource = RemindersDataSource::local;
    settings.reminders.selectedList = std::nullopt;
    settings.review.lastVersionPrompted = std::nullopt;
    settings.whatsNew.lastPresentedVersion = std::nullopt;
    return settings;
}

AppModelEnvironment AppModelEnvironment::standard()
{
    AppModelEnvironment environment;
    environment.appService = std::make_shared<AppLaunchService>();
    environment.windows = AppWindowsEnvironment::standard();
    environment.commands = AppCommandsEnvironment::standard();
    return environment;
}

namespace {

std::shared_ptr<UserDefaults> settingsDomain(const AppModelEnvironment& environment, const std::string& suffix)
{
    const std::string name = AppInfo::bundleIdentifier() + suffix;
    if (environment.inMemory)
        return UserDefaults::inMemory(name);
    return UserDefaults::suite(name, environment.places.configHome() / "tidemark");
}

} // namespace

AppModel::AppModel(AppModelEnvironment environment)
{
    const Date now = environment.clock->now();

    // 1. Launch information.
    appService = environment.appService ? environment.appService : std::make_shared<AppLaunchService>();

    // 2. The local reminder store.
    m_remindersService = std::make_shared<PendingPersistentRemindersService>(PendingPersistentRemindersService {
        {environment.places.dataHome() / "tidemark" / "Tidemark.sqlite", environment.inMemory}});

    // 3-4. The default settings and the stored settings over them.
    m_persistentSettings = std::make_shared<PendingPersistentSettingsService>(PendingPersistentSettingsService {
        settingsDomain(environment, ".settings"), defaultUserSettings(environment.calendar, now)});

    // 5-7.
    settingsService = std::make_shared<PendingSettingsService>();
    auto usageStatistics = std::make_shared<PendingUsageStatisticsService>(
        PendingUsageStatisticsService {settingsDomain(environment, ".usageStatistics")});
    userNotificationService = std::make_shared<PendingUserNotificationsService>();

    // 8. The windows store, without middlewares.
    windowsStore = makeAppWindowsStore(environment.windows);

    // 9-10. The middlewares, in the order they see every action.
    m_hapticFeedbackService = std::make_shared<HapticFeedbackService>();
    std::vector<std::pair<std::string, AppMiddleware>> list;
    list.emplace_back("listenerMiddleware",
        makeListenerMiddleware(std::make_shared<ListenerService<AppState, AppAction>>(), listenerActionOf));
    list.emplace_back("appleRemindersMiddleware",
        pendingAppleRemindersMiddleware(std::make_shared<PendingAppleRemindersService>()));
    list.emplace_back("makeAppCommandsMiddleware", makeAppCommandsMiddleware(environment.commands));
    list.emplace_back("activationPolicyMiddleware", activationPolicyMiddleware());
    list.emplace_back("makeHapticFeedbackMiddleware", makeHapticFeedbackMiddleware(m_hapticFeedbackService));
    list.emplace_back("loggerMiddleware",
        pendingLoggerMiddleware(std::make_shared<PendingLoggerService>(PendingLoggerService {"AppState"}),
            m_persistentSettings));
    list.emplace_back("userNotificationsMiddleware", pendingUserNotificationsMiddleware(userNotificationService));
    list.emplace_back("windowActivationMiddleware", windowActivationMiddleware(windowsStore));
    list.emplace_back("persistentRemindersMiddleware", pendingPersistentRemindersMiddleware(m_remindersService));
    list.emplace_back("userSettingsMiddleware", pendingUserSettingsMiddleware(m_persistentSettings));
    list.emplace_back("popoverPresentationMiddleware", popoverPresentationMiddleware(windowsStore));
    list.emplace_back("makeViewMiddleware", pendingViewMiddleware());
    list.emplace_back("makeSettingsMiddleware", pendingSettingsMiddleware(settingsService));
    list.emplace_back(
        "usageStatisticsMiddleware", pendingUsageStatisticsMiddleware(usageStatistics, m_persistentSettings));
    list.emplace_back("whatsNewMiddleware", whatsNewMiddleware(windowsStore));
    list.emplace_back("makeDragGestureMiddleware", makeDragGestureMiddleware(windowsStore));
    list.emplace_back("viewActionMiddleware", viewActionMiddleware(windowsStore));
    list.emplace_back("makeStatusItemDragMiddleware", pendingStatusItemDragMiddleware(windowsStore));
    list.emplace_back("updaterMiddleware", pendingUpdaterMiddleware(std::make_shared<PendingUpdaterController>()));

    std::vector<AppMiddleware> middlewares;
    for (auto& [name, middleware] : list) {
        if (auto replaced = environment.middlewareOverrides.find(name);
            replaced != environment.middlewareOverrides.end())
            middleware = replaced->second;
        m_middlewareNames.push_back(name);
        middlewares.push_back(std::move(middleware));
    }

    // 11. The main store.
    ReducerEnvironment reducerEnvironment;
    reducerEnvironment.clock = environment.clock;
    store = AppStore::make(AppState::initial(now, environment.calendar),
        [reducerEnvironment](AppState& state, const AppAction& action) {
            appReducer(state, action, reducerEnvironment);
        },
        std::move(middlewares));
}

AppModel::~AppModel()
{
    if (windowsStore)
        windowsStore->dispatch(AppWindowsAction::TearDown {});
}

} // namespace tidemark
