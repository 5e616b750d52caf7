#pragma once

#include "notifications/UserNotificationsServicable.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"

#include <mutex>
#include <optional>
#include <string>

namespace tidemark {

// The notification centre's delegate: shows every notification fully and passes each
// response on to whoever subscribed to the response publisher at that moment.
class UserNotificationDelegateService final : public UNUserNotificationCenterDelegate {
public:
    // The current response subject, made first when there is none. Every subscriber made
    // before the next finish receives every response.
    rx::Publisher<UserNotificationResponse> receiveResponsePublisher();
    // Completes the current subject (ending every subscription to it) and forgets it; the
    // next read or response makes a new one.
    void finishResponsePublisher();
    bool hasResponseSubscribers() const;

    void willPresentNotification(UNUserNotificationCenter& center,
        const UNNotification& notification,
        std::function<void(UNNotificationPresentationOptions)> completionHandler) override;
    void didReceiveNotificationResponse(UNUserNotificationCenter& center,
        const UNNotificationResponse& response, std::function<void()> completionHandler) override;

private:
    rx::PassthroughSubject<UserNotificationResponse> subject();

    // Read on the main thread and written on the centre's: guarded.
    mutable std::mutex m_mutex;
    std::optional<rx::PassthroughSubject<UserNotificationResponse>> m_receiveResponsePublisher;
};

} // namespace tidemark
