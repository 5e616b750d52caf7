#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <vector>

namespace tidemark::test {

// A notification server on its own bus connection: answers Notify with fresh ids,
// records every call, and sends ActionInvoked / NotificationClosed when told to, as a
// desktop's server does when the user clicks.
class FakeNotificationServer final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct NotifyCall {
        QString appName;
        uint replacesId = 0;
        QString appIcon;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
        int expireTimeout = 0;
        uint id = 0;
    };

    explicit FakeNotificationServer(QStringList capabilities);
    ~FakeNotificationServer() override;

    // Takes the well-known name (the bus then tells every client that it appeared).
    bool start();
    void stop();

    const std::vector<NotifyCall>& notifyCalls() const { return m_notifyCalls; }
    const std::vector<uint>& closeCalls() const { return m_closeCalls; }
    // Leaves every Notify unanswered, as a hung server does.
    void setHangs(bool hangs) { m_hangs = hangs; }

    // What the user does. An action is followed by the close that servers send after it.
    void invokeAction(uint id, const QString& actionKey);
    void close(uint id, uint reason);

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& appName, uint replacesId, const QString& appIcon,
        const QString& summary, const QString& body, const QStringList& actions,
        const QVariantMap& hints, int expireTimeout);
    void CloseNotification(uint id);
    QString GetServerInformation(QString& vendor, QString& version, QString& specVersion);

private:
    void emitSignal(const QString& name, const QVariantList& arguments);

    QDBusConnection m_connection;
    QStringList m_capabilities;
    std::vector<NotifyCall> m_notifyCalls;
    std::vector<uint> m_closeCalls;
    uint m_nextId = 1;
    bool m_hangs = false;
    bool m_started = false;
};

} // namespace tidemark::test
