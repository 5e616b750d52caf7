#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>

class QDBusServiceWatcher;

namespace tidemark {

// The desktop's notification server (org.freedesktop.Notifications) as seen from one bus
// connection. Every call is asynchronous with a timeout, so a server that hangs never
// blocks the caller; the server's coming and going is followed on the bus.
class NotificationServer final : public QObject {
    Q_OBJECT
public:
    static constexpr auto defaultServiceName = "org.freedesktop.Notifications";

    enum class State { unknown, available, unavailable };

    // What one Notify call carries.
    struct Notice {
        QString appName;
        quint32 replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        qint32 expireTimeout = -1;
    };

    // How a Notify call ended: the server's id, or why there is none.
    struct NotifyOutcome {
        std::optional<quint32> id;
        // The server did not answer (gone, hung or never there): the notice was not shown.
        bool serverUnreachable = false;
        QString error;
    };

    NotificationServer(
        QDBusConnection connection, QString serviceName, int timeoutMs, QObject* parent = nullptr);

    State state() const { return m_state; }
    bool isAvailable() const { return m_state == State::available; }
    const QStringList& capabilities() const { return m_capabilities; }
    bool hasCapability(const QString& capability) const
    {
        return m_capabilities.contains(capability);
    }
    bool isBusConnected() const { return m_connection.isConnected(); }

    // Asks the server what it can do; the answer (or its absence) sets the state. A server
    // that is installed but not running is started by the bus on this call.
    void probe();
    void notify(const Notice& notice, std::function<void(NotifyOutcome)> done);
    void closeNotification(quint32 id);

Q_SIGNALS:
    void availabilityChanged(bool available);
    void actionInvoked(quint32 id, const QString& actionKey);
    void notificationClosed(quint32 id, quint32 reason);

private Q_SLOTS:
    void onActionInvoked(quint32 id, const QString& actionKey);
    void onNotificationClosed(quint32 id, quint32 reason);

private:
    QDBusMessage call(const QString& method) const;
    void setState(State state);

    QDBusConnection m_connection;
    QString m_serviceName;
    int m_timeoutMs;
    State m_state = State::unknown;
    QStringList m_capabilities;
    QDBusServiceWatcher* m_watcher = nullptr;
    quint64 m_probeGeneration = 0;
};

} // namespace tidemark
