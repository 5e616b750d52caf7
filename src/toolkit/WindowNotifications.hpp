#pragma once

#include "platform/ui/Environment.hpp"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace tidemark {

// What can happen to the window a view is shown in.
enum class WindowNotification {
    // The window lost the keyboard (another window became active).
    didResignKey,
    // The window is about to close.
    willClose,
    // The window got the keyboard.
    didBecomeKey,
    // The window moved on screen.
    didMove,
};

// Lets a view react to what happens to its own window. The window is found on the turn of the
// event loop after the view is made or given another parent, and again after each such move;
// what happens to it before it is found, and what happens to any other window, is ignored.
// A child of the view.
class WindowNotificationsViewModifier final : public QObject {
    Q_OBJECT
public:
    WindowNotificationsViewModifier(QWidget* view, WindowNotification notification,
        std::function<void(QWidget* window)> perform);

    // The window found so far; null before it is found.
    QWidget* window() const { return m_window; }

private:
    void findWindowLater();
    void handle(QWidget* watched, QEvent* event);

    QWidget* m_view;
    WindowNotification m_notification;
    std::function<void(QWidget*)> m_perform;
    QPointer<QWidget> m_window;
    bool m_findPending = false;
};

WindowNotificationsViewModifier* onWindowNotification(
    QWidget* view, WindowNotification notification, std::function<void(QWidget* window)> perform);

// The action that opens the application's settings window. The application connects the
// shared one to its settings window; until then, calling it reports that it is not connected
// and shows nothing. Copies share the connection; two actions are equal when they share it.
class OpenSettingsAction {
public:
    OpenSettingsAction();
    // The process's action, the environment's default.
    static OpenSettingsAction shared();

    void connect(std::function<void()> open) const;
    bool isConnected() const;
    // Opens the settings window; false (and nothing shown) when not connected.
    bool operator()() const;

    bool operator==(const OpenSettingsAction& other) const { return m_open == other.m_open; }

private:
    std::shared_ptr<std::function<void()>> m_open;
};

inline const EnvironmentKey<OpenSettingsAction> openSettingsKey { "openSettings",
    &OpenSettingsAction::shared };

// Opens the settings window when the Boolean the view holds turns true: 50 ms later it brings
// the application to the front and calls the environment's settings action (as it was when
// the Boolean turned), dropping any failure. Turning false does nothing; a value that stays
// true opens the window once. The holder of the Boolean sets it back. A child of the view.
class OpenSettingsViewModifier final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds delay { 50 };

    explicit OpenSettingsViewModifier(QWidget* view, bool isPresented = false);

    bool isPresented() const { return m_isPresented; }
    void setPresented(bool isPresented);

    // Activates the application and calls `action`.
    static void open(const OpenSettingsAction& action);

private:
    QWidget* m_view;
    bool m_isPresented;
};

} // namespace tidemark
