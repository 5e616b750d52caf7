#include "FakeNotificationServer.hpp"

#include <QDBusMessage>

namespace tidemark::test {

namespace {

constexpr auto serviceName = "org.freedesktop.Notifications";
constexpr auto objectPath = "/org/freedesktop/Notifications";
constexpr auto interfaceName = "org.freedesktop.Notifications";
constexpr auto connectionName = "tidemark-fake-notification-server";

} // namespace

FakeNotificationServer::FakeNotificationServer(QStringList capabilities)
    : m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName))
    , m_capabilities(std::move(capabilities))
{
}

FakeNotificationServer::~FakeNotificationServer()
{
    stop();
    m_connection = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(connectionName);
}

bool FakeNotificationServer::start()
{
    if (!m_connection.isConnected())
        return false;
    m_started = m_connection.registerObject(objectPath, this, QDBusConnection::ExportAllSlots)
        && m_connection.registerService(serviceName);
    return m_started;
}

void FakeNotificationServer::stop()
{
    if (!m_started)
        return;
    m_started = false;
    m_connection.unregisterService(serviceName);
    m_connection.unregisterObject(objectPath);
}

QStringList FakeNotificationServer::GetCapabilities()
{
    return m_capabilities;
}

uint FakeNotificationServer::Notify(const QString& appName, uint replacesId, const QString& appIcon,
    const QString& summary, const QString& body, const QStringList& actions,
    const QVariantMap& hints, int expireTimeout)
{
    const uint id = replacesId != 0 ? replacesId : m_nextId++;
    m_notifyCalls.push_back(
        { appName, replacesId, appIcon, summary, body, actions, hints, expireTimeout, id });
    if (m_hangs) {
        setDelayedReply(true); // and never answer
        return 0;
    }
    return id;
}

void FakeNotificationServer::CloseNotification(uint id)
{
    m_closeCalls.push_back(id);
    close(id, 3);
}

QString FakeNotificationServer::GetServerInformation(
    QString& vendor, QString& version, QString& specVersion)
{
    vendor = QStringLiteral("Tidemark tests");
    version = QStringLiteral("1");
    specVersion = QStringLiteral("1.2");
    return QStringLiteral("fake");
}

void FakeNotificationServer::invokeAction(uint id, const QString& actionKey)
{
    emitSignal(QStringLiteral("ActionInvoked"), { id, actionKey });
    close(id, 2);
}

void FakeNotificationServer::close(uint id, uint reason)
{
    emitSignal(QStringLiteral("NotificationClosed"), { id, reason });
}

void FakeNotificationServer::emitSignal(const QString& name, const QVariantList& arguments)
{
    auto message = QDBusMessage::createSignal(objectPath, interfaceName, name);
    message.setArguments(arguments);
    m_connection.send(message);
}

} // namespace tidemark::test
