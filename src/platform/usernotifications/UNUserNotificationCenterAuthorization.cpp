#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/NotificationServer.hpp"

#include <QPointer>

namespace tidemark {

using namespace usernotifications;

bool UNUserNotificationCenter::isAllowed() const
{
    switch (m_authorization.status) {
    case UNAuthorizationStatus::authorized:
    case UNAuthorizationStatus::provisional:
    case UNAuthorizationStatus::ephemeral:
        return true;
    case UNAuthorizationStatus::notDetermined:
    case UNAuthorizationStatus::denied:
        break;
    }
    return false;
}

void UNUserNotificationCenter::requestAuthorization(UNAuthorizationOptions options,
    std::function<void(bool, std::optional<UNError>)> completionHandler)
{
    onCentreThread([this, options, completionHandler] {
        const auto status = m_authorization.status;
        const bool provisional = contains(options, UNAuthorizationOptions::provisional);
        const auto wanted = static_cast<UNAuthorizationOptions>(
            rawValue(options) & ~rawValue(UNAuthorizationOptions::provisional));
        if (status == UNAuthorizationStatus::authorized || status == UNAuthorizationStatus::denied
            || status == UNAuthorizationStatus::ephemeral
            || (status == UNAuthorizationStatus::provisional && provisional)) {
            completionHandler(status != UNAuthorizationStatus::denied, std::nullopt);
            return;
        }
        if (status == UNAuthorizationStatus::notDetermined && provisional) {
            // Quiet delivery needs nobody's consent; the user decides on seeing them.
            setAuthorization({ UNAuthorizationStatus::provisional, wanted });
            completionHandler(true, std::nullopt);
            return;
        }
        m_authorizationWaiters.push_back([this, wanted, completionHandler](bool granted) {
            if (granted)
                m_authorization.options |= wanted;
            completionHandler(granted, std::nullopt);
        });
        if (m_authorizationWaiters.size() > 1)
            return; // the prompt is open already; its answer is for everyone
        if (!m_configuration.authorizationPrompt) {
            answerAuthorization(true);
            return;
        }
        QPointer<UNUserNotificationCenter> self(this);
        m_configuration.authorizationPrompt(options, [self](bool granted) {
            if (!self)
                return;
            self->onCentreThread([self, granted] {
                if (self)
                    self->answerAuthorization(granted);
            });
        });
    });
}

void UNUserNotificationCenter::answerAuthorization(bool granted)
{
    auto waiters = std::exchange(m_authorizationWaiters, {});
    if (waiters.empty())
        return; // a second answer to the same prompt
    Authorization answer = m_authorization;
    answer.status = granted ? UNAuthorizationStatus::authorized : UNAuthorizationStatus::denied;
    m_authorization = answer;
    for (auto& waiter : waiters)
        waiter(granted);
    setAuthorization(m_authorization);
}

void UNUserNotificationCenter::resetAuthorization()
{
    onCentreThread([this] { setAuthorization({}); });
}

void UNUserNotificationCenter::setAuthorizationPrompt(UNAuthorizationPrompt prompt)
{
    onCentreThread([this, prompt] { m_configuration.authorizationPrompt = prompt; });
}

void UNUserNotificationCenter::setAuthorization(Authorization authorization)
{
    m_authorization = authorization;
    if (!m_authorizationFile)
        return;
    const auto document = encodeAuthorization({ authorization.status, authorization.options });
    if (const auto problem = m_authorizationFile->save(document); !problem.empty()) {
        usernotifications::logger().error(
            "the answer to the notification permission is not kept for the next start: " + problem);
    }
}

UNNotificationSettings UNUserNotificationCenter::settings() const
{
    UNNotificationSettings settings;
    settings.authorizationStatus = m_authorization.status;
    settings.isServerAvailable = m_server->isAvailable();
    if (!settings.isServerAvailable)
        return settings;
    for (const auto& capability : m_server->capabilities())
        settings.serverCapabilities.push_back(capability.toStdString());

    const bool allowed = isAllowed();
    const bool quiet = m_authorization.status == UNAuthorizationStatus::provisional;
    const auto onOff = [](bool on) {
        return on ? UNNotificationSetting::enabled : UNNotificationSetting::disabled;
    };
    settings.alertSetting = onOff(allowed && !quiet);
    settings.notificationCenterSetting = m_server->hasCapability(QStringLiteral("persistence"))
        ? onOff(allowed)
        : UNNotificationSetting::notSupported;
    settings.soundSetting = m_server->hasCapability(QStringLiteral("sound"))
        ? onOff(
            allowed && !quiet && contains(m_authorization.options, UNAuthorizationOptions::sound))
        : UNNotificationSetting::notSupported;
    settings.timeSensitiveSetting = onOff(allowed && !quiet);
    // Time-sensitive notifications are sent to stay until closed, as alerts do.
    settings.alertStyle = quiet ? UNAlertStyle::none : UNAlertStyle::alert;
    return settings;
}

void UNUserNotificationCenter::getNotificationSettings(
    std::function<void(UNNotificationSettings)> completionHandler)
{
    onCentreThread([this, completionHandler] { completionHandler(settings()); });
}

bool UNUserNotificationCenter::isServerAvailable() const
{
    return m_server->isAvailable();
}

} // namespace tidemark
