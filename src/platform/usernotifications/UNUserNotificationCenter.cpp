#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/NotificationServer.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QDir>

namespace tidemark {

using namespace usernotifications;

namespace {

UNUserNotificationCenter* currentCenter = nullptr;

} // namespace

void UNUserNotificationCenterDelegate::willPresentNotification(UNUserNotificationCenter&,
    const UNNotification&, std::function<void(UNNotificationPresentationOptions)> completionHandler)
{
    completionHandler(UNNotificationPresentationOptions::banner
        | UNNotificationPresentationOptions::list | UNNotificationPresentationOptions::sound);
}

void UNUserNotificationCenterDelegate::didReceiveNotificationResponse(UNUserNotificationCenter&,
    const UNNotificationResponse&, std::function<void()> completionHandler)
{
    completionHandler();
}

UNUserNotificationCenter::UNUserNotificationCenter(Configuration configuration, QObject* parent)
    : QObject(parent)
    , m_configuration(std::move(configuration))
    , m_clock(m_configuration.clock ? m_configuration.clock : std::make_shared<SystemWallClock>())
{
    if (!m_configuration.stateDirectory.isEmpty()) {
        const QDir directory(m_configuration.stateDirectory);
        m_pendingFile.emplace(
            directory.filePath(QStringLiteral("notifications-pending.json")).toStdString());
        m_authorizationFile.emplace(
            directory.filePath(QStringLiteral("notifications-authorization.json")).toStdString());
    }
    loadState();

    m_server = new NotificationServer(m_configuration.connection, m_configuration.serviceName,
        m_configuration.callTimeoutMs, this);
    connect(m_server, &NotificationServer::availabilityChanged, this,
        &UNUserNotificationCenter::onServerAvailability);
    connect(m_server, &NotificationServer::actionInvoked, this,
        &UNUserNotificationCenter::onActionInvoked);
    connect(m_server, &NotificationServer::notificationClosed, this,
        &UNUserNotificationCenter::onNotificationClosed);
    connect(m_clock.get(), &WallClock::alarm, this, [this] {
        m_armedAt.reset();
        // A request fell due while nobody answered: perhaps a server can be started now.
        if (m_server->state() == NotificationServer::State::unavailable)
            m_server->probe();
        update();
    });
    m_server->probe();
    armClock();
}

UNUserNotificationCenter::~UNUserNotificationCenter()
{
    if (currentCenter == this)
        currentCenter = nullptr;
    if (m_pendingDirty)
        savePending();
    m_pendingWriter.reset(); // writes what waits
    m_clock->wakeAt(std::nullopt);
}

UNUserNotificationCenter& UNUserNotificationCenter::current()
{
    Q_ASSERT_X(currentCenter, "UNUserNotificationCenter::current", "no centre was set");
    return *currentCenter;
}

void UNUserNotificationCenter::setCurrent(UNUserNotificationCenter* center)
{
    currentCenter = center;
}

void UNUserNotificationCenter::setDelegate(std::weak_ptr<UNUserNotificationCenterDelegate> delegate)
{
    onCentreThread([this, delegate] { m_delegate = delegate; });
}

std::shared_ptr<UNUserNotificationCenterDelegate> UNUserNotificationCenter::delegate() const
{
    return m_delegate.lock();
}

void UNUserNotificationCenter::setNotificationCategories(
    std::vector<UNNotificationCategory> categories)
{
    onCentreThread([this, categories] {
        m_categories.clear();
        for (auto category : categories) {
            category = withValidText(std::move(category));
            std::erase_if(m_categories, [&](const UNNotificationCategory& c) {
                return c.identifier == category.identifier;
            });
            m_categories.push_back(category);
        }
    });
}

void UNUserNotificationCenter::getNotificationCategories(
    std::function<void(std::vector<UNNotificationCategory>)> completionHandler)
{
    onCentreThread([this, completionHandler] { completionHandler(m_categories); });
}

const UNNotificationCategory* UNUserNotificationCenter::category(
    const std::string& identifier) const
{
    for (const auto& category : m_categories) {
        if (category.identifier == identifier)
            return &category;
    }
    return nullptr;
}

} // namespace tidemark
