#include "app/shell/AppDelegate.hpp"

#include "app/shell/AppIcon.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/reactive/QtTimerSource.hpp"
#include "platform/ui/StatusBar.hpp"

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
    m_model.windowsStore->dispatch(
        AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    const bool launchedAsLoginItem = m_model.appService->launchedAsLoginItem();
    m_model.store->dispatch(actions::viewAction(
        ViewAction::Popover { PopoverAction::LaunchedAsLoginItem { launchedAsLoginItem } }));
}

void AppDelegate::applicationWillTerminate()
{
    m_model.windowsStore->dispatch(AppWindowsAction::TearDown {});
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

// Runs the whole application until it terminates.
int runMain(Application& application)
{
    AppDelegate delegate;
    application.setDelegate(&delegate);
    if (environmentValue(exitWhenShownVariable) == "1") {
        auto* exitWhenShown = new ExitWhenShown(&application);
        QTimer::singleShot(0, exitWhenShown, [exitWhenShown] { exitWhenShown->watch(); });
    }
    application.run();
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

    int status = 0;
    {
        rx::QtMainQueue mainQueue;
        rx::setMainQueue(&mainQueue);
        rx::QtTimerSource timers;
        rx::setTimerSource(&timers);
        if (kind == ApplicationKind::main) {
            status = runMain(*application);
        } else {
            application->run();
        }
        // What the model let go is deleted while the queues still exist.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rx::setTimerSource(nullptr);
        rx::setMainQueue(nullptr);
    }
    application.reset();
    return status;
}

} // namespace tidemark
