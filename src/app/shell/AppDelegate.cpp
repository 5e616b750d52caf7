#include "app/shell/AppDelegate.hpp"

#include "app/shell/AppIcon.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "onboarding/views/DragDemonstrationView.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/instance/SingleInstance.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/logging/LogSystem.hpp"
#include "platform/logging/Logger.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/reactive/QtTimerSource.hpp"
#include "platform/ui/StatusBar.hpp"
#include "toolkit/WindowNotifications.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <stdexcept>

namespace tidemark {

AppDelegate::AppDelegate(AppModelEnvironment environment)
    : m_model(std::move(environment))
{
}

void AppDelegate::applicationWillFinishLaunching()
{
    m_model.store->dispatch(actions::settingsRead(SettingsReadAction::submit(EquatableVoid {})));
    m_model.userNotificationService->attachNotificationDelegate();
}

void AppDelegate::applicationDidFinishLaunching()
{
    m_model.windowsStore->dispatch(AppWindowsAction::Store { m_model.store });
    // The settings command opens the settings window through the shared action.
    OpenSettingsAction::shared().connect(
        [windows = std::weak_ptr<AppWindowsStore>(m_model.windowsStore)] {
            if (auto store = windows.lock())
                store->dispatch(AppWindowsAction::ShowSettings {});
        });
    m_model.windowsStore->dispatch(
        AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    // The scroll entry's item comes beside it on request; its window replaces the drag
    // windows, so from then on the icon is clicked and scrolled but no longer pulled.
    if (scrollEntryRequested(qEnvironmentVariable(scrollEntryVariable).toStdString()))
        m_model.windowsStore->dispatch(
            AppWindowsAction::ScrollMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    const bool launchedAsLoginItem = m_model.appService->launchedAsLoginItem();
    m_model.store->dispatch(actions::viewAction(
        ViewAction::Popover { PopoverAction::LaunchedAsLoginItem { launchedAsLoginItem } }));
}

void AppDelegate::applicationWillTerminate()
{
    OpenSettingsAction::shared().connect({});
    m_model.windowsStore->dispatch(AppWindowsAction::TearDown {});
}

void AppDelegate::showForAnotherStart()
{
    Logger(AppInfo::bundleIdentifier(), "Application")
        .notice("Another start of Tidemark asked this instance to show itself.");
    m_model.store->dispatch(actions::popoverIsPresented(true));
    if (Application* application = Application::shared())
        application->activate(true);
}

bool scrollEntryRequested(const std::string& value)
{
    return value == "1";
}

ApplicationKind applicationKindFor(
    bool testHarnessPresent, const std::optional<std::string>& previewsValue)
{
    if (testHarnessPresent || previewsValue == "1")
        return ApplicationKind::empty;
    return ApplicationKind::main;
}

namespace {

std::optional<std::string> environmentValue(const char* name)
{
    if (!qEnvironmentVariableIsSet(name))
        return std::nullopt;
    return qEnvironmentVariable(name).toStdString();
}

// Reports how long the start took and ends the run once the status bar is on screen.
class ExitWhenShown final : public QObject {
public:
    explicit ExitWhenShown(QObject* parent)
        : QObject(parent)
    {
        m_clock.start();
    }

    void watch()
    {
        QWidget* strip = StatusBar::system().window();
        if (!strip)
            return;
        strip->winId(); // the native window exists from here on, so its exposure can be seen
        QWindow* window = strip->windowHandle();
        if (window->isExposed()) {
            finish();
            return;
        }
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed())
            QTimer::singleShot(0, this, [this] { finish(); });
        return QObject::eventFilter(watched, event);
    }

private:
    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        appLogger(logcategory::application)
            .notice("status item shown after " + std::to_string(m_clock.elapsed()) + " ms");
        if (Application* application = Application::shared())
            application->terminate();
    }

    QElapsedTimer m_clock;
    bool m_finished = false;
};

// The start that found an instance running: asks it to show itself, then ends.
int showRunningInstance(SingleInstance& instance)
{
    if (!instance.activateRunningInstance()) {
        appLogger(logcategory::application)
            .error("Tidemark is running already, but " + instance.problem());
        return instance.usesSessionBus() ? 1 : 0;
    }
    appLogger(logcategory::application)
        .info("Tidemark is running already; it was asked to show itself.");
    return 0;
}

// Runs the whole application until it terminates.
int runMain(Application& application, SingleInstance& instance)
{
    AppDelegate delegate;
    application.setDelegate(&delegate);
    // Requests of later starts are taken from the first turn of the event loop on, once the
    // launch has finished; one that comes earlier waits for it.
    QTimer::singleShot(0, &application, [&instance, &delegate] {
        instance.setActivationHandler([&delegate] { delegate.showForAnotherStart(); });
    });
    if (environmentValue(exitWhenShownVariable) == "1") {
        auto* exitWhenShown = new ExitWhenShown(&application);
        QTimer::singleShot(0, exitWhenShown, [exitWhenShown] { exitWhenShown->watch(); });
    }
    application.run();
    instance.setActivationHandler(nullptr);
    application.setDelegate(nullptr);
    return 0;
}

// The per-user log file, opened before anything else can go wrong, so that all of it is
// in the file. Until then, and when it cannot be opened, the log goes to the standard error
// alone; it says there why there is no file.
void openLogFile()
{
    if (auto configured = LogSystem::shared()->configure(LoggingConfiguration::standard());
        !configured.isSuccess())
        appLogger(logcategory::application).error(configured.error().message);
}

} // namespace

int runAppEntryPoint(int argc, char** argv)
{
    const ApplicationKind kind = applicationKindFor(false, environmentValue(previewsVariable));
    if (kind == ApplicationKind::main)
        openLogFile();
    std::unique_ptr<Application> application;
    try {
        application = std::make_unique<Application>(argc, argv);
    } catch (const std::runtime_error& error) {
        appLogger(logcategory::application).error(error.what());
        return 1;
    }
    QApplication::setApplicationName(QString::fromStdString(AppInfo::name()));
    QApplication::setApplicationVersion(
        QString::fromStdString(AppInfo::shortVersion().value_or("")));
    QApplication::setDesktopFileName(QString::fromStdString(AppInfo::bundleIdentifier()));
    QApplication::setWindowIcon(appIcon());
    // The popover's empty view shows the onboarding's drag demonstration, which it cannot
    // make itself: the onboarding's views build on the menu bar's.
    setPopoverEmptyDemonstrationFactory(makePopoverDragDemonstration);

    std::unique_ptr<SingleInstance> instance;
    if (kind == ApplicationKind::main) {
        // Before anything of the user's is opened: a second instance would notify every
        // reminder twice and overwrite the first one's changes.
        instance = std::make_unique<SingleInstance>(SingleInstanceConfiguration::standard());
        if (instance->claim() == InstanceRole::secondary)
            return showRunningInstance(*instance);
        if (!instance->problem().empty())
            appLogger(logcategory::application)
                .notice(instance->problem() + "; starting all the same");
    }

    int status = 0;
    {
        rx::QtMainQueue mainQueue;
        rx::setMainQueue(&mainQueue);
        rx::QtTimerSource timers;
        rx::setTimerSource(&timers);
        if (kind == ApplicationKind::main) {
            status = runMain(*application, *instance);
        } else {
            application->run();
        }
        // What the model let go is deleted while the queues still exist.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rx::setTimerSource(nullptr);
        rx::setMainQueue(nullptr);
    }
    // The bus name is given up while the Qt application still exists.
    instance.reset();
    application.reset();
    return status;
}

} // namespace tidemark
