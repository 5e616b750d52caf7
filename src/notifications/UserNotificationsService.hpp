#pragma once

#include "notifications/UserNotificationDelegateService.hpp"
#include "notifications/UserNotificationReminderActionIdentifier.hpp"
#include "notifications/UserNotificationsServicable.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"
#include "reminders/Reminder.hpp"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>

namespace tidemark {

class DateComponentsFormatter;
class UNUserNotificationCenter;

// The one place that talks to the notification centre: registers the category
// "reminders" with its eight snooze actions, keeps one pending request per reminder due
// in the future (the request's identifier is the reminder's id; the centre's lists are
// the only record), writes single requests, and passes the user's responses on.
//
// Completions run on the centre's thread. Syncs run one after another: a sync asked for
// while one runs waits, and a newer one takes the place of a waiting one, so the newest
// set is the last applied and nothing an older set prunes can undo it.
class UserNotificationsService final : public UserNotificationsServicable {
public:
    static constexpr std::string_view categoryIdentifier = "reminders";

    // Registers the category on `center` (replacing the process's categories). `clock`
    // gives the moment due dates are compared with; it should be the centre's own.
    explicit UserNotificationsService(
        UNUserNotificationCenter& center, std::shared_ptr<const Clock> clock = Clock::system());
    // The process's current centre.
    UserNotificationsService();
    ~UserNotificationsService() override;
    UserNotificationsService(const UserNotificationsService&) = delete;
    UserNotificationsService& operator=(const UserNotificationsService&) = delete;

    UNUserNotificationCenter& center() const;
    const std::shared_ptr<UserNotificationDelegateService>& userNotificationDelegateService() const;

    // Makes the delegate service the centre's delegate (the centre holds it weakly; this
    // service keeps it alive).
    void attachNotificationDelegate();

    // The centre's settings and permission; without a centre (it has gone) the settings
    // allow nothing and a request fails.
    void getNotificationSettings(SettingsCompletion completion) override;
    void requestAuthorization(
        UNAuthorizationOptions options, AuthorizationCompletion completion) override;
    void resetAuthorization() override;

    rx::Publisher<UserNotificationResponse> receiveResponsePublisher() override;
    void finishResponsePublisher() override;

    void syncNotifications(std::set<AnyReminder> reminders,
        std::shared_ptr<const DateComponentsFormatter> titleFormatter,
        SyncCompletion completion = {}) override;
    // The same scheduling without the removal.
    void scheduleNotifications(std::set<AnyReminder> reminders,
        std::shared_ptr<const DateComponentsFormatter> titleFormatter,
        SyncCompletion completion = {});
    // Time-sensitive, titled with the localised "reminder_notification_title".
    void addNotification(const std::string& identifier, const std::string& body,
        TimeInterval timeInterval, const UNNotificationSound& sound,
        AddCompletion completion = {}) override;
    // Removes the pending and delivered notifications of identifiers outside `keeping`;
    // the completion gets how many there were.
    void removeStaleNotifications(
        const std::set<AnyReminder>& keeping, std::function<void(std::size_t)> completion = {});
    void removePendingNotifications() override;

    // The request `addNotification` hands to the centre.
    static UNNotificationRequest makeRequest(const std::string& identifier, const std::string& body,
        TimeInterval timeInterval, const UNNotificationSound& sound);
    // The category registered at construction.
    static UNNotificationCategory makeCategory();
    // A reminder's notification text: its title, or for an untitled one the formatter's
    // text of its span (empty without a formatter or without both dates).
    static std::string body(
        const AnyReminder& reminder, const DateComponentsFormatter* titleFormatter);

private:
    struct Impl;
    std::shared_ptr<Impl> m_impl;
};

} // namespace tidemark
