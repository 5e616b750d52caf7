#include "app/shell/AppModel.hpp"

#include "core/state/ViewMiddleware.hpp"
#include "notifications/middleware/UserNotificationsMiddleware.hpp"
#include "platform/foundation/AppInfo.hpp"
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
#include <QMessageBox>
#include <iostream>

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

} // namespace

AppModel::AppModel(AppModelEnvironment environment)
{
    const Date now = environment.clock->now();

    // 1. Launch information.
    appService
        = environment.appService ? environment.appService : std::make_shared<AppLaunchService>();

    auto report = environment.reportProblem
        ? environment.reportProblem
        : std::function<void(const std::string&)>(
            [](const std::string& problem) { std::cerr << problem << std::endl; });

    // 2. The local reminder store.
    {
        PersistenceControllerOptions options;
        options.directory = environment.places.dataHome() / "tidemark";
        options.storeMovedAside = [show = environment.showMessage](const StoreMovedAside& moved) {
            if (show)
                show("Tidemark started with a new reminder store", moved.message());
        };
        m_remindersService = std::make_shared<PersistentRemindersService>(
            PersistenceController(environment.inMemory, false, std::move(options)));
    }

    // 3-4. The default settings and the stored settings over them.
    m_defaultSettings = UserSettings::makeDefault(environment.calendar, now);
    m_settingsDefaults = settingsDomain(environment, ".settings");
    m_persistentSettings = std::make_shared<PersistentSettingsService<UserSettings>>(
        m_defaultSettings, m_settingsDefaults);

    // 5-7.
    {
        LoginItemsConfiguration loginItems
            = LoginItemsConfiguration::standard(AppInfo::bundleIdentifier());
        SettingsServiceHooks hooks;
        hooks.activateApplication = [] {
            if (auto* window = QApplication::activeWindow())
                window->activateWindow();
        };
        settingsService = std::make_shared<SettingsService>(
            std::make_shared<LoginItems>(std::move(loginItems)), hooks);
    }
    auto usageStatistics
        = std::make_shared<UsageStatisticsService>(settingsDomain(environment, ".usageStatistics"));
    {
        UNUserNotificationCenter::Configuration configuration;
        if (!environment.inMemory)
            configuration.stateDirectory
                = QString::fromStdString((environment.places.stateHome() / "tidemark").string());
        configuration.applicationName = QString::fromStdString(AppInfo::name());
        configuration.desktopEntry = QString::fromStdString(AppInfo::bundleIdentifier());
        m_notificationCenter = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
        userNotificationService
            = std::make_shared<UserNotificationsService>(*m_notificationCenter, environment.clock);
    }

    // 8. The windows store, without middlewares.
    windowsStore = makeAppWindowsStore(environment.windows);

    // 9-10. The middlewares, in the order they see every action.
    m_hapticFeedbackService = std::make_shared<HapticFeedbackService>();
    std::vector<std::pair<std::string, AppMiddleware>> list;
    list.emplace_back("listenerMiddleware",
        makeListenerMiddleware(
            std::make_shared<ListenerService<AppState, AppAction>>(), listenerActionOf));
    {
        EventStoreOptions options;
        options.stateDirectory
            = QString::fromStdString((environment.places.stateHome() / "tidemark").string());
        options.accessPrompt = environment.calendarAccessPrompt;
        list.emplace_back("appleRemindersMiddleware",
            appleRemindersMiddleware(std::make_shared<AppleRemindersService>(std::move(options))));
    }
    list.emplace_back("makeAppCommandsMiddleware", makeAppCommandsMiddleware(environment.commands));
    list.emplace_back("activationPolicyMiddleware", activationPolicyMiddleware());
    list.emplace_back(
        "makeHapticFeedbackMiddleware", makeHapticFeedbackMiddleware(m_hapticFeedbackService));
    {
        LoggerMiddlewareEnvironment logging;
        logging.logger = std::make_shared<LoggerService>(
            "AppState", LogSystem::shared(), environment.places.documentsDir(), environment.clock);
        logging.settings = m_persistentSettings;
        logging.calendarDescription
            = [calendar = environment.calendar] { return "gregorian, " + calendar.timeZone(); };
        logging.reportFeedbackFailure = [report](const Error& error) { report(error.description); };
        list.emplace_back("loggerMiddleware", loggerMiddleware(std::move(logging)));
    }
    list.emplace_back("userNotificationsMiddleware",
        userNotificationsMiddleware(
            userNotificationService, { environment.clock, Uuid::systemGenerator() }));
    list.emplace_back("windowActivationMiddleware", windowActivationMiddleware(windowsStore));
    list.emplace_back(
        "persistentRemindersMiddleware", persistentRemindersMiddleware(m_remindersService));
    list.emplace_back("userSettingsMiddleware", userSettingsMiddleware(m_persistentSettings));
    list.emplace_back("popoverPresentationMiddleware", popoverPresentationMiddleware(windowsStore));
    list.emplace_back("makeViewMiddleware", makeViewMiddleware(environment.clock));
    list.emplace_back("makeSettingsMiddleware",
        makeSettingsMiddleware(
            settingsService, [report](const std::string& problem) { report(problem); }));
    list.emplace_back("usageStatisticsMiddleware",
        usageStatisticsMiddleware(
            usageStatistics, m_persistentSettings, environment.clock, environment.calendar));
    list.emplace_back("whatsNewMiddleware", whatsNewMiddleware(windowsStore));
    list.emplace_back("makeDragGestureMiddleware", makeDragGestureMiddleware(windowsStore));
    list.emplace_back("viewActionMiddleware", viewActionMiddleware(windowsStore));
    list.emplace_back(
        "makeStatusItemDragMiddleware", pendingStatusItemDragMiddleware(windowsStore));
    {
        UpdaterConfiguration configuration;
        configuration.feedUrl = AppInfo::appcastUrl();
        configuration.currentVersion = AppInfo::buildVersion();
        configuration.currentDisplayVersion = AppInfo::shortVersion().value_or("");
        m_updater = std::make_shared<StandardUpdaterController>(
            std::move(configuration), !environment.inMemory);
        list.emplace_back("updaterMiddleware", updaterMiddleware(m_updater));
    }

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
    store = AppStore::make(
        AppState::initial(now, environment.calendar),
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
