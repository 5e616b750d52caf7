#include "toolkit/WindowNotifications.hpp"

#include "platform/ui/AncestorEvents.hpp"
#include "platform/ui/Application.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace tidemark {

namespace {

bool matches(WindowNotification notification, QEvent::Type type)
{
    switch (notification) {
    case WindowNotification::didResignKey:
        return type == QEvent::WindowDeactivate;
    case WindowNotification::willClose:
        return type == QEvent::Close;
    case WindowNotification::didBecomeKey:
        return type == QEvent::WindowActivate;
    case WindowNotification::didMove:
        return type == QEvent::Move;
    }
    return false;
}

} // namespace

WindowNotificationsViewModifier::WindowNotificationsViewModifier(
    QWidget* view, WindowNotification notification, std::function<void(QWidget* window)> perform)
    : QObject(view)
    , m_view(view)
    , m_notification(notification)
    , m_perform(std::move(perform))
{
    new AncestorEventFilter(
        view, [this](QWidget* watched, QEvent* event) { handle(watched, event); }, this);
    findWindowLater();
}

void WindowNotificationsViewModifier::findWindowLater()
{
    if (m_findPending)
        return;
    m_findPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_findPending = false;
            m_window = m_view->window();
        },
        Qt::QueuedConnection);
}

void WindowNotificationsViewModifier::handle(QWidget* watched, QEvent* event)
{
    if (event->type() == QEvent::ParentChange) {
        findWindowLater();
        return;
    }
    if (!m_window || watched != m_window || !watched->isWindow()
        || !matches(m_notification, event->type()))
        return;
    if (m_perform)
        m_perform(m_window);
}

WindowNotificationsViewModifier* onWindowNotification(
    QWidget* view, WindowNotification notification, std::function<void(QWidget* window)> perform)
{
    return new WindowNotificationsViewModifier(view, notification, std::move(perform));
}

OpenSettingsAction::OpenSettingsAction()
    : m_open(std::make_shared<std::function<void()>>())
{
}

OpenSettingsAction OpenSettingsAction::shared()
{
    static const OpenSettingsAction action;
    return action;
}

void OpenSettingsAction::connect(std::function<void()> open) const
{
    *m_open = std::move(open);
}

bool OpenSettingsAction::isConnected() const
{
    return bool(*m_open);
}

bool OpenSettingsAction::operator()() const
{
    if (!*m_open)
        return false;
    (*m_open)();
    return true;
}

OpenSettingsViewModifier::OpenSettingsViewModifier(QWidget* view, bool isPresented)
    : QObject(view)
    , m_view(view)
    , m_isPresented(isPresented)
{
}

void OpenSettingsViewModifier::setPresented(bool isPresented)
{
    if (isPresented == m_isPresented)
        return;
    m_isPresented = isPresented;
    if (!isPresented)
        return;
    // The opening is the application's, not the view's: it happens even if the view goes
    // before the delay is over.
    QTimer::singleShot(delay, QCoreApplication::instance(),
        [action = environmentValue(m_view, openSettingsKey)] { open(action); });
}

void OpenSettingsViewModifier::open(const OpenSettingsAction& action)
{
    if (Application* application = Application::shared())
        application->activate(true);
    // Not connected: nothing to show, and nothing to tell the user.
    (void)action();
}

} // namespace tidemark
