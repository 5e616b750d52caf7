#include "notifications/UserNotificationDelegateService.hpp"

namespace tidemark {

rx::PassthroughSubject<UserNotificationResponse> UserNotificationDelegateService::subject()
{
    std::lock_guard lock(m_mutex);
    if (!m_receiveResponsePublisher)
        m_receiveResponsePublisher.emplace();
    return *m_receiveResponsePublisher;
}

rx::Publisher<UserNotificationResponse> UserNotificationDelegateService::receiveResponsePublisher()
{
    return subject().publisher();
}

void UserNotificationDelegateService::finishResponsePublisher()
{
    std::optional<rx::PassthroughSubject<UserNotificationResponse>> finished;
    {
        std::lock_guard lock(m_mutex);
        finished = std::exchange(m_receiveResponsePublisher, std::nullopt);
    }
    // Completed outside the lock: a subscriber may read the publisher again at once.
    if (finished)
        finished->send(rx::Completion<rx::Never>::finished());
}

bool UserNotificationDelegateService::hasResponseSubscribers() const
{
    std::lock_guard lock(m_mutex);
    return m_receiveResponsePublisher && m_receiveResponsePublisher->hasSubscribers();
}

void UserNotificationDelegateService::willPresentNotification(UNUserNotificationCenter&,
    const UNNotification&, std::function<void(UNNotificationPresentationOptions)> completionHandler)
{
    completionHandler(UNNotificationPresentationOptions::banner
        | UNNotificationPresentationOptions::list | UNNotificationPresentationOptions::sound);
}

void UserNotificationDelegateService::didReceiveNotificationResponse(UNUserNotificationCenter&,
    const UNNotificationResponse& response, std::function<void()> completionHandler)
{
    // With nobody subscribed the response is lost, as it would be without a delegate.
    subject().send(UserNotificationResponse {
        response.actionIdentifier, response.notification.request.identifier });
    completionHandler();
}

} // namespace tidemark
