#include "platform/ui/Application.hpp"

#include "platform/ui/Window.hpp"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tidemark {

namespace {

Application* g_shared = nullptr;
int g_signalPipe[2] = { -1, -1 };

void onTerminationSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the notifier does the rest on the main thread.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

bool Application::selectPlatform(std::string* problem)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    qputenv("QT_QPA_PLATFORM", "xcb");
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (problem) {
            *problem = "Tidemark needs an X11 display and DISPLAY is not set. On Wayland, "
                       "enable XWayland; without a desktop, run it under xvfb-run "
                       "(Debian package xvfb).";
        }
        return false;
    }
    return true;
}

Application::Application(int& argc, char** argv)
{
    std::string problem;
    if (!selectPlatform(&problem))
        throw std::runtime_error(problem);
    m_ownedApplication = std::make_unique<QApplication>(argc, argv);
    m_application = m_ownedApplication.get();
    connectApplication();
}

Application::Application(QApplication* application)
    : m_application(application)
{
    connectApplication();
}

Application::~Application()
{
    if (m_signalNotifier) {
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGHUP, SIG_DFL);
        delete m_signalNotifier;
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
    if (g_shared == this)
        g_shared = nullptr;
    // Widgets and status items released late still sit in the deferred-delete queue; let
    // them go while the Qt application that owns them exists.
    if (m_ownedApplication)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Application::connectApplication()
{
    g_shared = this;
    // A status-bar application keeps running when its last window closes.
    QApplication::setQuitOnLastWindowClosed(false);
    connect(m_application, &QGuiApplication::applicationStateChanged, this,
        [this](Qt::ApplicationState state) {
            // Inactive, hidden and suspended all count as not active: tell each change once.
            const bool active = state == Qt::ApplicationActive;
            if (active == m_wasActive)
                return;
            m_wasActive = active;
            if (!m_delegate)
                return;
            if (active)
                m_delegate->applicationDidBecomeActive();
            else
                m_delegate->applicationDidResignActive();
        });
    connect(m_application, &QCoreApplication::aboutToQuit, this, [this] { notifyWillTerminate(); });
}

Application* Application::shared()
{
    return g_shared;
}

ActivationPolicy Application::currentActivationPolicy()
{
    return g_shared ? g_shared->m_activationPolicy : ActivationPolicy::accessory;
}

int Application::run()
{
    installTerminationSignals();
    finishLaunching();
    if (m_terminated) {
        notifyWillTerminate();
        return 0;
    }
    m_running = true;
    const int status = QApplication::exec();
    m_running = false;
    notifyWillTerminate();
    return status;
}

void Application::finishLaunching()
{
    if (m_didFinishLaunching)
        return;
    m_didFinishLaunching = true;
    if (m_delegate)
        m_delegate->applicationWillFinishLaunching();
    if (m_delegate)
        m_delegate->applicationDidFinishLaunching();
}

void Application::terminate()
{
    if (m_terminated)
        return;
    if (m_delegate && !m_delegate->applicationShouldTerminate())
        return;
    m_terminated = true;
    if (m_running)
        QCoreApplication::exit(0); // run() tells the delegate once the loop has ended
    else
        notifyWillTerminate();
}

void Application::notifyWillTerminate()
{
    if (m_notifiedWillTerminate)
        return;
    m_notifiedWillTerminate = true;
    m_terminated = true;
    if (m_delegate)
        m_delegate->applicationWillTerminate();
}

void Application::activate(bool ignoringOtherApps)
{
    Q_EMIT activationRequested(ignoringOtherApps);
    QWidget* target = QApplication::activeWindow();
    if (auto* window = qobject_cast<Window*>(target); window && !window->canBecomeKey())
        target = nullptr;
    if (!target) {
        // The most recently made visible window that can take the keyboard.
        const std::vector<Window*> windows = Window::allWindows();
        for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
            if ((*it)->isVisible() && (*it)->canBecomeKey()) {
                target = *it;
                break;
            }
        }
    }
    if (!target)
        return;
    target->raise();
    target->activateWindow();
}

bool Application::isActive() const
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}

bool Application::setActivationPolicy(ActivationPolicy policy)
{
    if (policy == m_activationPolicy)
        return true;
    m_activationPolicy = policy;
    for (Window* window : Window::allWindows())
        window->updateTaskbarPresence();
    Q_EMIT activationPolicyChanged(policy);
    return true;
}

void Application::installTerminationSignals()
{
    if (m_signalNotifier || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    m_signalNotifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(m_signalNotifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[1], &byte, 1);
        // The session is ending: no delegate may hold it up.
        m_terminated = true;
        if (m_running)
            QCoreApplication::exit(0);
    });
    struct sigaction action { };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

} // namespace tidemark
