#include "app/shell/AppModel.hpp"
#include "app/shell/StatusItemDragMiddleware.hpp"

#include "core/state/ViewMiddleware.hpp"
#include "notifications/middleware/UserNotificationsMiddleware.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/loginitems/LoginItems.hpp"
#include "reminders/applereminders/middleware/AppleRemindersMiddleware.hpp"
#include "reminders/middleware/PersistentRemindersMiddleware.hpp"
#include "settings/middleware/LoggerMiddleware.hpp"
#include "settings/middleware/SettingsMiddleware.hpp"
#include "settings/middleware/UpdaterMiddleware.hpp"
#include "settings/middleware/UsageStatisticsMiddleware.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"
#include "toolkit/middleware/HapticFeedbackMiddleware.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
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

AppModelEnvironment AppModelEnvironment::standard()
{
    AppModelEnvironment environment;
    environment.appService = std::make_shared<AppLaunchService>();
    environment.windows = AppWindowsEnvironment::standard();
    environment.commands = AppCommandsEnvironment::standard();
    environment.showMessage = [](const std::string& title, const std::string& text) {
        auto* box = new QMessageBox(QMessageBox::Warning, QString::fromStdString(title),
            QString::fromStdString(text), QMessageBox::Ok);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    };
    return environment;
}

namespace {

std::shared_ptr<UserDefaults> settingsDomain(
    const AppModelEnvironment& environment, const std::string& suffix)
{
    const std::string name = AppInfo::bundleIdentifier() + suffix;
    if (environment.inMemory)
        return UserDefaults::inMemory(name);
    return UserDefaults::suite(name, environment.places.configHome() / "tidemark");
}

std::filesystem::path stateFolder(const AppModelEnvironment& environment)
{
    return environment.places.stateHome() / "tidemark";
}

// Where a setting that could not be applied is told: the environment's reporter, else the
// log (which the terminal shows too).
std::function<void(const std::string&)> problemReporter(const AppModelEnvironment& environment)
{
    if (environment.reportProblem)
        return environment.reportProblem;
    return [](const std::string& problem) { appLogger(logcategory::settings).error(problem); };
}

std::shared_ptr<PersistentRemindersService> makeRemindersService(
    const AppModelEnvironment& environment)
{
    PersistenceControllerOptions options;
    options.directory = environment.places.dataHome() / "tidemark";
    options.storeMovedAside = [show = environment.showMessage](const StoreMovedAside& moved) {
        if (show)
            show("Tidemark started with a new reminder store", moved.message());
    };
    return std::make_shared<PersistentRemindersService>(
        PersistenceController(environment.inMemory, false, std::move(options)));
}

std::shared_ptr<SettingsService> makeSettingsService(std::function<void()> showSettingsWindow)
{
    LoginItemsConfiguration loginItems
        = LoginItemsConfiguration::standard(AppInfo::bundleIdentifier());
    SettingsServiceHooks hooks;
    hooks.activateApplication = [] {
        if (auto* window = QApplication::activeWindow())
            window->activateWindow();
    };
    hooks.showSettingsWindow = std::move(showSettingsWindow);
    return std::make_shared<SettingsService>(
        std::make_shared<LoginItems>(std::move(loginItems)), hooks);
}

std::unique_ptr<UNUserNotificationCenter> makeNotificationCenter(
    const AppModelEnvironment& environment)
{
    UNUserNotificationCenter::Configuration configuration;
    if (!environment.inMemory)
        configuration.stateDirectory = QString::fromStdString(stateFolder(environment).string());
    configuration.applicationName = QString::fromStdString(AppInfo::name());
    configuration.desktopEntry = QString::fromStdString(AppInfo::bundleIdentifier());
    return std::make_unique<UNUserNotificationCenter>(std::move(configuration));
}

// What the middlewares capture, made before the list.
struct MiddlewareServices {
    const AppModelEnvironment& environment;
    AppWindowsStoreRef windowsStore;
    std::shared_ptr<PersistentRemindersService> reminders;
    std::shared_ptr<PersistentSettingsService<UserSettings>> settings;
    std::shared_ptr<SettingsService> settingsService;
    std::shared_ptr<UsageStatisticsService> usageStatistics;
    std::shared_ptr<UserNotificationsService> userNotifications;
    std::shared_ptr<HapticFeedbackService> hapticFeedback;
    std::function<void(const std::string&)> report;
};

using NamedMiddlewares = std::vector<std::pair<std::string, AppMiddleware>>;

AppMiddleware makeAppleRemindersMiddleware(const AppModelEnvironment& environment)
{
    EventStoreOptions options;
    options.stateDirectory = QString::fromStdString(stateFolder(environment).string());
    options.accessPrompt = environment.calendarAccessPrompt;
    return appleRemindersMiddleware(std::make_shared<AppleRemindersService>(std::move(options)));
}

AppMiddleware makeLoggingMiddleware(const MiddlewareServices& services)
{
    const AppModelEnvironment& environment = services.environment;
    LoggerMiddlewareEnvironment logging;
    logging.logger = std::make_shared<LoggerService>(std::string(logcategory::appState),
        LogSystem::shared(), environment.places.documentsDir(), environment.clock);
    logging.settings = services.settings;
    logging.calendarDescription
        = [calendar = environment.calendar] { return "gregorian, " + calendar.timeZone(); };
    logging.reportFeedbackFailure
        = [report = services.report](const Error& error) { report(error.description); };
    return loggerMiddleware(std::move(logging));
}

// The middleware list, in the order the store calls them for every action. None of them
// hides an action from the ones after it; each reads the state as the reducer and the
// dispatches made so far have left it, and those that dispatch into the windows store do so
// at once, before the list goes on (a window's views may dispatch back into this store).
// Answers come back on the main queue in the order the middlewares gave them. So:
//  1 listener: first, so listeners hear every action with the state exactly as the
//    reducer left it, before any effect.
//  2 appleReminders: its requests run on a queue of their own; started this early, they
//    overlap the synchronous work of everything below.
//  3 appCommands: quit and help act before anything else reacts to them, and after a
//    settings read its onboarding and what's-new presentations are queued ahead of the
//    local store's reminders read (9) for the same read.
//  4 activationPolicy: the application becomes regular before the onboarding (8),
//    settings (13) and what's-new (15) windows are shown, so they can take the focus, and
//    goes back to accessory before they are gone.
//  5 hapticFeedback: reads the drag and the data-entry card as the reducer left them,
//    before the drag windows (16) open over the pointer.
//  6 logger: turns title hiding on or off and writes the action before any middleware
//    below acts on it, so each line those effects log follows its action and is redacted
//    as the user asked.
//  7 userNotifications: syncs from the reminders and the notification settings as the
//    reducer left them, before any window opens and its views dispatch.
//  8 windowActivation: the onboarding window closes before the popover (11) is asked for
//    in its place.
//  9 persistentReminders: runs its request at once, after the logger (6), so a failed
//    request's error follows its action in the log.
// 10 userSettings: keeps a changed setting before the settings middleware (13) applies it;
//    when open at login fails there, its answer turns the setting off and that is kept in
//    turn.
// 11 popoverPresentation: the popover is shown before the settings middleware (13) brings
//    an open settings window forward over it.
// 12 view: its place is free. It reads only the state, answers with a timer action (one
//    per action, the last one decides) and ignores timer actions.
// 13 settings: after 10 and 11, as they say.
// 14 usageStatistics: its place is free. It counts successful creations, which no other
//    middleware acts on synchronously.
// 15 whatsNew: after the activation policy (4); like the other window middlewares, late.
// 16 dragGesture, 17 viewAction: the drag and scroll windows take the pointer and the
//    keyboard last, after everything that reads the drag state (5, 12) has run.
// 18 statusItemDrag (a stand-in for now): measures the status item and answers its drag and
//    scroll frames, which the popover (11) and the window middlewares (16, 17) read on
//    later actions; last, so the frames are queued after all else the action causes.
// The update checker is appended after them (see the constructor): it depends on nothing
// here and answers nothing.
NamedMiddlewares makeMiddlewareList(const MiddlewareServices& services)
{
    const AppModelEnvironment& environment = services.environment;
    const AppWindowsStoreRef& windowsStore = services.windowsStore;
    NamedMiddlewares list;
    list.emplace_back("listenerMiddleware",
        makeListenerMiddleware(
            std::make_shared<ListenerService<AppState, AppAction>>(), listenerActionOf));
    list.emplace_back("appleRemindersMiddleware", makeAppleRemindersMiddleware(environment));
    list.emplace_back("makeAppCommandsMiddleware", makeAppCommandsMiddleware(environment.commands));
    list.emplace_back("activationPolicyMiddleware", activationPolicyMiddleware());
    list.emplace_back(
        "makeHapticFeedbackMiddleware", makeHapticFeedbackMiddleware(services.hapticFeedback));
    list.emplace_back("loggerMiddleware", makeLoggingMiddleware(services));
    list.emplace_back("userNotificationsMiddleware",
        userNotificationsMiddleware(
            services.userNotifications, { environment.clock, Uuid::systemGenerator() }));
    list.emplace_back("windowActivationMiddleware", windowActivationMiddleware(windowsStore));
    list.emplace_back(
        "persistentRemindersMiddleware", persistentRemindersMiddleware(services.reminders));
    list.emplace_back("userSettingsMiddleware", userSettingsMiddleware(services.settings));
    list.emplace_back("popoverPresentationMiddleware", popoverPresentationMiddleware(windowsStore));
    list.emplace_back("makeViewMiddleware", makeViewMiddleware(environment.clock));
    list.emplace_back("makeSettingsMiddleware",
        makeSettingsMiddleware(services.settingsService,
            [report = services.report](const std::string& problem) { report(problem); }));
    list.emplace_back("usageStatisticsMiddleware",
        usageStatisticsMiddleware(
            services.usageStatistics, services.settings, environment.clock, environment.calendar));
    list.emplace_back("whatsNewMiddleware", whatsNewMiddleware(windowsStore));
    list.emplace_back("makeDragGestureMiddleware", makeDragGestureMiddleware(windowsStore));
    list.emplace_back("viewActionMiddleware", viewActionMiddleware(windowsStore));
    list.emplace_back("makeStatusItemDragMiddleware", makeStatusItemDragMiddleware(windowsStore));
    return list;
}

std::shared_ptr<StandardUpdaterController> makeUpdater(const AppModelEnvironment& environment)
{
    UpdaterConfiguration configuration;
    configuration.feedUrl = AppInfo::appcastUrl();
    configuration.currentVersion = AppInfo::buildVersion();
    configuration.currentDisplayVersion = AppInfo::shortVersion().value_or("");
    return std::make_shared<StandardUpdaterController>(
        std::move(configuration), !environment.inMemory);
}

// The middlewares of the list, each replaced by the override of its name when there is
// one; their names go to `names`, in order.
std::vector<AppMiddleware> overridden(NamedMiddlewares list,
    const std::map<std::string, AppMiddleware>& overrides, std::vector<std::string>& names)
{
    std::vector<AppMiddleware> middlewares;
    for (auto& [name, middleware] : list) {
        if (auto replaced = overrides.find(name); replaced != overrides.end())
            middleware = replaced->second;
        names.push_back(name);
        middlewares.push_back(std::move(middleware));
    }
    return middlewares;
}

AppStoreRef makeMainStore(
    const AppModelEnvironment& environment, Date now, std::vector<AppMiddleware> middlewares)
{
    ReducerEnvironment reducerEnvironment;
    reducerEnvironment.clock = environment.clock;
    return AppStore::make(
        AppState::initial(now, environment.calendar),
        [reducerEnvironment](AppState& state, const AppAction& action) {
            appReducer(state, action, reducerEnvironment);
        },
        std::move(middlewares));
}

} // namespace

AppModel::AppModel(AppModelEnvironment environment)
{
    const Date now = environment.clock->now();

    // 1. Launch information.
    appService
        = environment.appService ? environment.appService : std::make_shared<AppLaunchService>();
    const auto report = problemReporter(environment);

    // 2. The local reminder store.
    m_remindersService = makeRemindersService(environment);

    // 3-4. The default settings and the stored settings over them.
    m_defaultSettings = UserSettings::makeDefault(environment.calendar, now);
    m_settingsDefaults = settingsDomain(environment, ".settings");
    m_persistentSettings = std::make_shared<PersistentSettingsService<UserSettings>>(
        m_defaultSettings, m_settingsDefaults);

    // 5-7. Open at login, the usage statistics, the notifications. The settings window is
    // made by the windows store (below) at its first showing and handed to the service.
    auto windows = std::make_shared<std::weak_ptr<AppWindowsStore>>();
    settingsService = makeSettingsService([windows] {
        if (auto store = windows->lock())
            store->dispatch(AppWindowsAction::ShowSettings {});
    });
    auto usageStatistics
        = std::make_shared<UsageStatisticsService>(settingsDomain(environment, ".usageStatistics"));
    m_notificationCenter = makeNotificationCenter(environment);
    userNotificationService
        = std::make_shared<UserNotificationsService>(*m_notificationCenter, environment.clock);

    // 8. The windows store, without middlewares.
    AppWindowsEnvironment windowsEnvironment = environment.windows;
    windowsEnvironment.settingsWindowMade
        = [service = std::weak_ptr(settingsService), told = environment.windows.settingsWindowMade](
              const WindowRef& window) {
              if (auto settings = service.lock())
                  settings->setWindow(std::make_shared<SettingsWindowHandle>(window));
              if (told)
                  told(window);
          };
    windowsStore = makeAppWindowsStore(std::move(windowsEnvironment));
    *windows = windowsStore;

    // 9-10. The middlewares, in the order they see every action, the update checker last.
    m_hapticFeedbackService = std::make_shared<HapticFeedbackService>();
    auto list = makeMiddlewareList(
        { environment, windowsStore, m_remindersService, m_persistentSettings, settingsService,
            usageStatistics, userNotificationService, m_hapticFeedbackService, report });
    m_updater = makeUpdater(environment);
    list.emplace_back("updaterMiddleware", updaterMiddleware(m_updater));
    auto middlewares
        = overridden(std::move(list), environment.middlewareOverrides, m_middlewareNames);

    // 11. The main store.
    store = makeMainStore(environment, now, std::move(middlewares));
}

AppModel::~AppModel()
{
    if (windowsStore)
        windowsStore->dispatch(AppWindowsAction::TearDown {});
}

} // namespace tidemark
