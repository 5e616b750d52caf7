#pragma once

#include <QObject>

#include <memory>
#include <string>

class QApplication;
class QSocketNotifier;

namespace tidemark {

class StatusBar;

// Whether the application shows itself in the taskbar.
enum class ActivationPolicy {
    // Like any application: its normal windows have taskbar entries.
    regular,
    // A status-bar application: no taskbar entries; windows appear on request.
    accessory,
    // Never shows windows of its own initiative; also no taskbar entries.
    prohibited,
};

// Told of the application's life. Every method has an empty default.
class ApplicationDelegate {
public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationWillFinishLaunching() { }
    virtual void applicationDidFinishLaunching() { }
    // Answer false to keep running when asked to terminate.
    virtual bool applicationShouldTerminate() { return true; }
    virtual void applicationWillTerminate() { }
    virtual void applicationDidBecomeActive() { }
    virtual void applicationDidResignActive() { }
};

// The application object: the Qt application, its launch and termination sequence, its
// activation and its activation policy. One exists at a time; `shared()` finds it.
class Application final : public QObject {
    Q_OBJECT
public:
    // Chooses the windowing platform before the Qt application exists: xcb (X11, or Wayland
    // through XWayland) unless QT_QPA_PLATFORM names another. False, with a message that says
    // what to do, when xcb is chosen but no X display is reachable.
    static bool selectPlatform(std::string* problem = nullptr);

    // Selects the platform and makes the Qt application. Throws std::runtime_error with the
    // platform problem when there is no display to run on.
    Application(int& argc, char** argv);
    // Wraps a Qt application made elsewhere (tests make theirs before any of this).
    explicit Application(QApplication* application);
    ~Application() override;

    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* shared();
    // The shared application's policy, or accessory when there is none.
    static ActivationPolicy currentActivationPolicy();

    QApplication* qApplication() const { return m_application; }
    // Not owned; must outlive the application's run.
    void setDelegate(ApplicationDelegate* delegate) { m_delegate = delegate; }
    ApplicationDelegate* delegate() const { return m_delegate; }

    // Finishes launching, runs the event loop until terminate, then tells the delegate that
    // the application will terminate. Returns the exit status. SIGINT, SIGTERM and SIGHUP
    // terminate it the same way.
    int run();
    // The launch sequence alone: will finish launching, then did finish launching. Once.
    void finishLaunching();
    bool isRunning() const { return m_running; }
    bool didFinishLaunching() const { return m_didFinishLaunching; }

    // Asks the delegate, then ends the run; the delegate hears willTerminate exactly once.
    // Outside a run (tests) the termination is only recorded.
    void terminate();
    bool isTerminated() const { return m_terminated; }

    // Brings the application's key window (or its most recently shown window that can take the
    // keyboard) to the front and gives it the keyboard. The window manager may refuse focus to
    // an application the user is not working with; `ignoringOtherApps` asks regardless.
    void activate(bool ignoringOtherApps);
    bool isActive() const;

    ActivationPolicy activationPolicy() const { return m_activationPolicy; }
    // Returns true when the policy was applied (every policy can be on this platform).
    bool setActivationPolicy(ActivationPolicy policy);

Q_SIGNALS:
    void activationPolicyChanged(tidemark::ActivationPolicy policy);
    // Every activation request, as it was asked for.
    void activationRequested(bool ignoringOtherApps);

private:
    void connectApplication();
    void notifyWillTerminate();
    void installTerminationSignals();

    std::unique_ptr<QApplication> m_ownedApplication;
    QApplication* m_application = nullptr;
    ApplicationDelegate* m_delegate = nullptr;
    ActivationPolicy m_activationPolicy = ActivationPolicy::accessory;
    bool m_running = false;
    bool m_didFinishLaunching = false;
    bool m_terminated = false;
    bool m_notifiedWillTerminate = false;
    bool m_wasActive = false;
    QSocketNotifier* m_signalNotifier = nullptr;
};

} // namespace tidemark
