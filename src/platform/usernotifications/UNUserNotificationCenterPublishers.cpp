#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/reactive/Result.hpp"

#include <QPointer>

#include <atomic>

namespace tidemark {

using namespace usernotifications;

namespace {

// Starts `start(center, deliver)` when subscribed and publishes the one result it delivers.
template <class T, class E, class Start>
rx::Publisher<T, E> answerOnce(QPointer<UNUserNotificationCenter> center, Start start)
{
    return rx::Publisher<T, E>([center, start](rx::Subscriber<T, E> subscriber) {
        auto shared = std::make_shared<rx::Subscriber<T, E>>(std::move(subscriber));
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        if (!center) {
            shared->complete(rx::Completion<E>::finished());
            return rx::Cancellable();
        }
        start(*center, [shared, cancelled](rx::Result<T, E> result) {
            if (cancelled->load())
                return;
            if (result.isSuccess()) {
                shared->receive(result.value());
                shared->complete(rx::Completion<E>::finished());
            } else {
                shared->complete(rx::Completion<E>::failed(result.error()));
            }
        });
        return rx::Cancellable([cancelled] { cancelled->store(true); });
    });
}

} // namespace

rx::Publisher<UNNotificationSettings> UNUserNotificationCenter::notificationSettings()
{
    using R = rx::Result<UNNotificationSettings, rx::Never>;
    return answerOnce<UNNotificationSettings, rx::Never>(this, [](auto& center, auto deliver) {
        center.getNotificationSettings([deliver](UNNotificationSettings settings) {
            deliver(R::success(std::move(settings)));
        });
    });
}

rx::Publisher<bool, UNError> UNUserNotificationCenter::authorization(UNAuthorizationOptions options)
{
    using R = rx::Result<bool, UNError>;
    return answerOnce<bool, UNError>(this, [options](auto& center, auto deliver) {
        center.requestAuthorization(options, [deliver](bool granted, std::optional<UNError> error) {
            deliver(error ? R::failure(*error) : R::success(granted));
        });
    });
}

rx::Publisher<rx::Unit, UNError> UNUserNotificationCenter::add(UNNotificationRequest request)
{
    using R = rx::Result<rx::Unit, UNError>;
    return answerOnce<rx::Unit, UNError>(this, [request](auto& center, auto deliver) {
        center.addNotificationRequest(request, [deliver](std::optional<UNError> error) {
            deliver(error ? R::failure(*error) : R::success(rx::Unit {}));
        });
    });
}

rx::Publisher<std::vector<UNNotificationRequest>>
UNUserNotificationCenter::pendingNotificationRequests()
{
    using R = rx::Result<std::vector<UNNotificationRequest>, rx::Never>;
    return answerOnce<std::vector<UNNotificationRequest>, rx::Never>(
        this, [](auto& center, auto deliver) {
            center.getPendingNotificationRequests(
                [deliver](std::vector<UNNotificationRequest> requests) {
                    deliver(R::success(std::move(requests)));
                });
        });
}

rx::Publisher<std::vector<UNNotification>> UNUserNotificationCenter::deliveredNotifications()
{
    using R = rx::Result<std::vector<UNNotification>, rx::Never>;
    return answerOnce<std::vector<UNNotification>, rx::Never>(this, [](auto& center, auto deliver) {
        center.getDeliveredNotifications([deliver](std::vector<UNNotification> notifications) {
            deliver(R::success(std::move(notifications)));
        });
    });
}

} // namespace tidemark
