#pragma once

// moc reads no C++20 library headers; it needs none of these types.
#ifndef Q_MOC_RUN
#include "platform/reactive/Publisher.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"
#include "platform/usernotifications/StateFile.hpp"
#endif

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tidemark {

class NotificationServer;
class UNUserNotificationCenter;
class WallClock;

// Told what happens to the centre's notifications. The centre holds its delegate weakly.
// Both callbacks arrive on the centre's thread; each completion handler is called once.
class UNUserNotificationCenterDelegate {
public:
    virtual ~UNUserNotificationCenterDelegate() = default;

    // A notification falls due while the application runs (which on this desktop is
    // always): the options say how it is shown. Showing nothing (no banner, list or
    // alert) still counts it as delivered. Shown fully by default.
    virtual void willPresentNotification(UNUserNotificationCenter& center,
        const UNNotification& notification,
        std::function<void(UNNotificationPresentationOptions)> completionHandler);

    // The user clicked a notification, chose one of its actions, or closed it.
    virtual void didReceiveNotificationResponse(UNUserNotificationCenter& center,
        const UNNotificationResponse& response, std::function<void()> completionHandler);
};

// Asks the user whether the application may show notifications and calls `answer` once
// with the choice, from any thread.
using UNAuthorizationPrompt
    = std::function<void(UNAuthorizationOptions options, std::function<void(bool granted)> answer)>;

// The notification centre of this process. It keeps requests pending and shows each on
// the desktop's notification server (org.freedesktop.Notifications) when it falls due by
// the wall clock; the user's clicks, actions and dismissals come back to the delegate as
// responses. Pending requests outlive the process (a JSON file in the state directory):
// a request that fell due while the program was not running is shown at the next start.
// The user's answer to the authorization request is kept there too.
//
// Every operation may be called from any thread; completion handlers run on the
// centre's thread (before the call returns when called there).
class UNUserNotificationCenter final : public QObject {
    Q_OBJECT
public:
    struct Configuration {
        // Where the pending requests and the authorization are kept; the application
        // passes $XDG_STATE_HOME/tidemark/. Empty keeps nothing across runs.
        QString stateDirectory;
        // Null: the system's real-time clock.
        std::shared_ptr<WallClock> clock;
        QDBusConnection connection = QDBusConnection::sessionBus();
        QString serviceName = QStringLiteral("org.freedesktop.Notifications");
        // How long any call to the server may take before it counts as unanswered.
        int callTimeoutMs = 5000;
        QString applicationName;
        QString applicationIcon;
        // The application's .desktop file name without the suffix, for the server.
        QString desktopEntry;
        // The label of the action that stands for a click on the notification itself.
        QString defaultActionTitle = QStringLiteral("Open");
        // Asks the user; none grants every request (a desktop asks no permission itself).
        UNAuthorizationPrompt authorizationPrompt;
    };

    explicit UNUserNotificationCenter(Configuration configuration, QObject* parent = nullptr);
    ~UNUserNotificationCenter() override;

    // The process's centre, set once by the application at start.
    static UNUserNotificationCenter& current();
    static void setCurrent(UNUserNotificationCenter* center);

    void setDelegate(std::weak_ptr<UNUserNotificationCenterDelegate> delegate);
    std::shared_ptr<UNUserNotificationCenterDelegate> delegate() const;

    // Replaces every category of the process (a later duplicate identifier wins). Text
    // that is not UTF-8 is kept with U+FFFD for each bad sequence.
    void setNotificationCategories(std::vector<UNNotificationCategory> categories);
    void getNotificationCategories(
        std::function<void(std::vector<UNNotificationCategory>)> completionHandler);

    // Asks the user once; afterwards the kept answer is given without asking. Asking for
    // provisional authorization while undecided grants it quietly (notifications are then
    // shown quietly); asking without it while provisional asks the user.
    void requestAuthorization(UNAuthorizationOptions options,
        std::function<void(bool granted, std::optional<UNError>)> completionHandler);
    // Forgets the user's answer, so the next request asks again.
    void resetAuthorization();
    void setAuthorizationPrompt(UNAuthorizationPrompt prompt);
    void getNotificationSettings(std::function<void(UNNotificationSettings)> completionHandler);

    // Adds a request, replacing a pending one of the same identifier. Fails without
    // authorization, for an empty identifier and for a trigger interval that is not
    // positive (or under 60 seconds when repeating, or that reaches beyond the dates a
    // `Date` holds). Text that is not UTF-8 is kept with U+FFFD for each bad sequence.
    void addNotificationRequest(UNNotificationRequest request,
        std::function<void(std::optional<UNError>)> completionHandler = {});
    // Pending requests, the one due first first.
    void getPendingNotificationRequests(
        std::function<void(std::vector<UNNotificationRequest>)> completionHandler);
    void removePendingNotificationRequests(const std::vector<std::string>& identifiers);
    void removeAllPendingNotificationRequests();

    // Delivered notifications still on screen (until the user or the server closes them),
    // in the order they were shown.
    void getDeliveredNotifications(
        std::function<void(std::vector<UNNotification>)> completionHandler);
    void removeDeliveredNotifications(const std::vector<std::string>& identifiers);
    void removeAllDeliveredNotifications();

    // The same operations as publishers of their one answer, for middlewares.
    rx::Publisher<UNNotificationSettings> notificationSettings();
    rx::Publisher<bool, UNError> authorization(UNAuthorizationOptions options);
    rx::Publisher<rx::Unit, UNError> add(UNNotificationRequest request);
    rx::Publisher<std::vector<UNNotificationRequest>> pendingNotificationRequests();
    rx::Publisher<std::vector<UNNotification>> deliveredNotifications();

    // Writes the pending requests now instead of at the next turn of the event loop, and
    // returns once they are on disk.
    void flush();
    bool isServerAvailable() const;

Q_SIGNALS:
    void serverAvailabilityChanged(bool available);

private:
    struct Pending {
        UNNotificationRequest request;
        Date dueDate;
        std::uint64_t sequence = 0;
    };
    struct Delivered {
        UNNotification notification;
        std::uint64_t sequence = 0;
        std::optional<quint32> serverId;
    };
    struct Authorization {
        UNAuthorizationStatus status = UNAuthorizationStatus::notDetermined;
        UNAuthorizationOptions options = UNAuthorizationOptions::none;
    };
    using QueueKey = std::pair<Date, std::uint64_t>;

    template <class F> void onCentreThread(F work);
    void insertPending(UNNotificationRequest request, Date dueDate);
    bool erasePending(const std::string& identifier);
    void eraseDelivered(const std::string& identifier, bool closeOnServer);
    void scheduleUpdate();
    void update();
    void deliverDue();
    void armClock();
    void present(const Pending& pending);
    void show(const UNNotification& notification, UNNotificationPresentationOptions options,
        std::uint64_t sequence);
    void respond(const std::string& identifier, std::string actionIdentifier);
    void onServerAvailability(bool available);
    void onActionInvoked(quint32 id, const QString& actionKey);
    void onNotificationClosed(quint32 id, quint32 reason);
    const UNNotificationCategory* category(const std::string& identifier) const;
    UNNotificationSettings settings() const;
    bool isAllowed() const;
    void answerAuthorization(bool granted);
    void setAuthorization(Authorization authorization);
    void loadState();
    bool loadAuthorization(const StateFile& file);
    bool loadPending(const StateFile& file);
    void savePending();
    void reportAbsentServer();

    Configuration m_configuration;
    std::shared_ptr<WallClock> m_clock;
    NotificationServer* m_server = nullptr;
    std::weak_ptr<UNUserNotificationCenterDelegate> m_delegate;
    std::vector<UNNotificationCategory> m_categories;
    Authorization m_authorization;
    // Callers waiting for the answer of the one prompt that may be open at a time.
    std::vector<std::function<void(bool granted)>> m_authorizationWaiters;

    std::unordered_map<std::string, Pending> m_pending;
    // The pending requests in the order they fall due (entries of m_pending, whose
    // addresses stay put).
    std::map<QueueKey, Pending*> m_queue;
    std::unordered_map<std::string, Delivered> m_delivered;
    std::unordered_map<quint32, std::string> m_serverIds;
    std::uint64_t m_sequence = 0;

    std::optional<StateFile> m_pendingFile;
    std::unique_ptr<StateFileWriter> m_pendingWriter;
    std::optional<StateFile> m_authorizationFile;
    bool m_pendingDirty = false;
    bool m_updatePosted = false;
    bool m_absenceReported = false;
    std::optional<Date> m_armedAt;
};

} // namespace tidemark
