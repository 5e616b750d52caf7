#include "platform/instance/SingleInstance.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/XdgPlaces.hpp"
#include "platform/instance/InstanceBusObject.hpp"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QTimer>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace tidemark {

namespace {

constexpr const char* interfaceName = "com.tidemark.Instance";
// Long enough for a first instance that is still opening its store.
constexpr int activationTimeoutMilliseconds = 25'000;

// "com.tidemark.Tidemark" becomes "/com/tidemark/Tidemark".
QString objectPathFor(const QString& serviceName)
{
    QString path;
    for (const QString& part : serviceName.split(QLatin1Char('.'), Qt::SkipEmptyParts)) {
        QString element;
        for (const QChar c : part)
            element += (c.isLetterOrNumber() && c.unicode() < 128) ? c : QLatin1Char('_');
        path += QLatin1Char('/') + element;
    }
    return path.isEmpty() ? QStringLiteral("/") : path;
}

} // namespace

void InstanceBusObject::Activate()
{
    m_instance.receiveActivation();
}

SingleInstanceConfiguration SingleInstanceConfiguration::standard()
{
    SingleInstanceConfiguration configuration;
    configuration.serviceName = QString::fromStdString(AppInfo::bundleIdentifier());
    configuration.objectPath = objectPathFor(configuration.serviceName);
    const XdgPlaces places;
    configuration.lockDirectory = places.runtimeDir().value_or(places.stateHome() / "tidemark");
    return configuration;
}

SingleInstance::SingleInstance(SingleInstanceConfiguration configuration, QObject* parent)
    : QObject(parent)
    , m_configuration(std::move(configuration))
{
    if (m_configuration.objectPath.isEmpty())
        m_configuration.objectPath = objectPathFor(m_configuration.serviceName);
}

SingleInstance::~SingleInstance()
{
    if (m_usesSessionBus && m_role == InstanceRole::primary) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(m_configuration.serviceName);
        bus.unregisterObject(m_configuration.objectPath);
    }
    if (m_lockFile >= 0)
        ::close(m_lockFile); // ends the lock
}

InstanceRole SingleInstance::claim()
{
    if (m_claimed)
        return m_role;
    m_claimed = true;
    const bool busReachable
        = m_configuration.useSessionBus && QDBusConnection::sessionBus().isConnected();
    if (busReachable) {
        m_usesSessionBus = true;
        m_role = claimSessionBusName() ? InstanceRole::primary : InstanceRole::secondary;
    } else {
        m_role = claimLockFile() ? InstanceRole::primary : InstanceRole::secondary;
    }
    return m_role;
}

bool SingleInstance::claimSessionBusName()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The object is there before the name, so a start that finds the name can call it.
    m_busObject = std::make_unique<InstanceBusObject>(*this);
    if (!bus.registerObject(m_configuration.objectPath, m_busObject.get(),
            QDBusConnection::ExportScriptableSlots)) {
        m_problem = "the object " + m_configuration.objectPath.toStdString()
            + " could not be served on the session bus";
    }
    // The bus gives the name to one connection only, never queued or replaced.
    const auto reply = bus.interface()->registerService(m_configuration.serviceName,
        QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered)
        return true;
    bus.unregisterObject(m_configuration.objectPath);
    m_busObject.reset();
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceNotRegistered)
        return false;
    // The bus refused for another reason: no running instance is known of, so this one runs.
    m_problem = "the name " + m_configuration.serviceName.toStdString()
        + " could not be taken on the session bus: " + reply.error().message().toStdString();
    return true;
}

bool SingleInstance::claimLockFile()
{
    std::error_code error;
    std::filesystem::create_directories(m_configuration.lockDirectory, error);
    const auto path
        = m_configuration.lockDirectory / (m_configuration.serviceName.toStdString() + ".lock");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        m_problem
            = "the lock file " + path.string() + " could not be opened: " + std::strerror(errno);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        m_lockFile = fd; // held until this process ends
        return true;
    }
    const int reason = errno;
    ::close(fd);
    if (reason == EWOULDBLOCK)
        return false;
    m_problem = "the lock file " + path.string() + " could not be locked: " + std::strerror(reason);
    return true;
}

bool SingleInstance::activateRunningInstance()
{
    if (!m_usesSessionBus) {
        m_problem = "another instance holds the lock file; without a session bus it cannot be "
                    "asked to show itself";
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(m_configuration.serviceName,
        m_configuration.objectPath, QString::fromLatin1(interfaceName), QStringLiteral("Activate"));
    const QDBusMessage reply
        = QDBusConnection::sessionBus().call(call, QDBus::Block, activationTimeoutMilliseconds);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return true;
    m_problem = "the running instance did not answer: " + reply.errorMessage().toStdString();
    return false;
}

void SingleInstance::setActivationHandler(std::function<void()> handler)
{
    m_handler = std::move(handler);
    if (!m_handler || m_pending == 0)
        return;
    // Requests that came early are handed over on the next turn of the event loop.
    QTimer::singleShot(0, this, [this] {
        for (; m_pending > 0 && m_handler; --m_pending)
            m_handler();
    });
}

void SingleInstance::receiveActivation()
{
    ++m_requests;
    if (m_handler)
        m_handler();
    else
        ++m_pending;
}

} // namespace tidemark
