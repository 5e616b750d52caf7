#include "platform/usernotifications/NotificationServer.hpp"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace tidemark {

namespace {

constexpr auto objectPath = "/org/freedesktop/Notifications";
constexpr auto interfaceName = "org.freedesktop.Notifications";

// Errors that say nobody answered, as opposed to a server that answered with a refusal.
bool isUnreachable(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::TimedOut:
    case QDBusError::Disconnected:
    case QDBusError::NoServer:
    case QDBusError::NoNetwork:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
        return true;
    default:
        return false;
    }
}

} // namespace

NotificationServer::NotificationServer(
    QDBusConnection connection, QString serviceName, int timeoutMs, QObject* parent)
    : QObject(parent)
    , m_connection(std::move(connection))
    , m_serviceName(std::move(serviceName))
    , m_timeoutMs(timeoutMs)
{
    if (!m_connection.isConnected())
        return;
    m_watcher = new QDBusServiceWatcher(
        m_serviceName, m_connection, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
        [this](const QString&, const QString&, const QString& newOwner) {
            if (newOwner.isEmpty()) {
                m_capabilities.clear();
                setState(State::unavailable);
            } else {
                probe();
            }
        });
    // Signals are matched on the service name, so only its current owner is heard.
    m_connection.connect(m_serviceName, objectPath, interfaceName, QStringLiteral("ActionInvoked"),
        this, SLOT(onActionInvoked(quint32, QString)));
    m_connection.connect(m_serviceName, objectPath, interfaceName,
        QStringLiteral("NotificationClosed"), this, SLOT(onNotificationClosed(quint32, quint32)));
}

QDBusMessage NotificationServer::call(const QString& method) const
{
    return QDBusMessage::createMethodCall(m_serviceName, objectPath, interfaceName, method);
}

void NotificationServer::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT availabilityChanged(state == State::available);
}

void NotificationServer::probe()
{
    if (!m_connection.isConnected()) {
        // Reported from the event loop, so whoever made us has connected by then.
        QMetaObject::invokeMethod(
            this, [this] { setState(State::unavailable); }, Qt::QueuedConnection);
        return;
    }
    const auto generation = ++m_probeGeneration;
    auto* watcher = new QDBusPendingCallWatcher(
        m_connection.asyncCall(call(QStringLiteral("GetCapabilities")), m_timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, generation](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            if (generation != m_probeGeneration)
                return; // a later probe answers for the current owner
            QDBusPendingReply<QStringList> reply = *w;
            if (reply.isError()) {
                m_capabilities.clear();
                setState(State::unavailable);
                return;
            }
            m_capabilities = reply.value();
            setState(State::available);
        });
}

void NotificationServer::notify(const Notice& notice, std::function<void(NotifyOutcome)> done)
{
    if (!m_connection.isConnected()) {
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done)] {
                done({ std::nullopt, true, QStringLiteral("not connected to the session bus") });
            },
            Qt::QueuedConnection);
        return;
    }
    auto message = call(QStringLiteral("Notify"));
    message << notice.appName << notice.replacesId << notice.appIcon << notice.summary
            << notice.body << notice.actions << notice.hints << notice.expireTimeout;
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(message, m_timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
        [this, done = std::move(done)](QDBusPendingCallWatcher* w) {
            w->deleteLater();
            QDBusPendingReply<quint32> reply = *w;
            if (!reply.isError()) {
                done({ reply.value(), false, {} });
                return;
            }
            const bool unreachable = isUnreachable(reply.error());
            if (unreachable) {
                m_capabilities.clear();
                setState(State::unavailable);
            }
            done({ std::nullopt, unreachable, reply.error().message() });
        });
}

void NotificationServer::closeNotification(quint32 id)
{
    if (!m_connection.isConnected() || m_state != State::available)
        return;
    auto message = call(QStringLiteral("CloseNotification"));
    message << id;
    // The answer says nothing we act on: a notification that is gone already is fine.
    auto* watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(message, m_timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, watcher, &QObject::deleteLater);
}

void NotificationServer::onActionInvoked(quint32 id, const QString& actionKey)
{
    Q_EMIT actionInvoked(id, actionKey);
}

void NotificationServer::onNotificationClosed(quint32 id, quint32 reason)
{
    Q_EMIT notificationClosed(id, reason);
}

} // namespace tidemark
