#include "platform/usernotifications/UNUserNotificationCenter.hpp"

#include "platform/reactive/Result.hpp"
#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/NotificationServer.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QDir>
#include <QLoggingCategory>
#include <QPointer>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>

namespace tidemark {

namespace {

Q_LOGGING_CATEGORY(lcCenter, "tidemark.usernotifications")

// The action key a notification server reports for a click on the notification itself.
const QString serverDefaultActionKey = QStringLiteral("default");
// NotificationClosed reason: the user closed the notification.
constexpr quint32 closedByUser = 2;

UNUserNotificationCenter* currentCenter = nullptr;

QString toQString(const std::string& text)
{
    return QString::fromStdString(text);
}

// Text for a server that reads markup: shown exactly as typed.
QString escapeMarkup(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'&')
            escaped += QStringLiteral("&amp;");
        else if (c == u'<')
            escaped += QStringLiteral("&lt;");
        else if (c == u'>')
            escaped += QStringLiteral("&gt;");
        else
            escaped += c;
    }
    return escaped;
}

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

template <class F> void UNUserNotificationCenter::onCentreThread(F work)
{
    if (QThread::currentThread() == thread())
        work();
    else
        QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

// Delegate and categories

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
        for (const auto& category : categories) {
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

// Authorization and settings

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
    const nlohmann::json document {
        { "version", 1 },
        { "status", authorizationStatusName(authorization.status) },
        { "options", rawValue(authorization.options) },
    };
    if (const auto problem = m_authorizationFile->save(document); !problem.empty()) {
        qCWarning(lcCenter,
            "the answer to the notification permission is not kept for the next "
            "start: %s",
            problem.c_str());
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

// Pending requests

void UNUserNotificationCenter::addNotificationRequest(
    UNNotificationRequest request, std::function<void(std::optional<UNError>)> completionHandler)
{
    onCentreThread([this, request = std::move(request), completionHandler]() mutable {
        const auto fail = [&](UNError::Code code, std::string message) {
            if (completionHandler)
                completionHandler(UNError { code, std::move(message) });
        };
        if (request.identifier.empty())
            return fail(
                UNError::Code::invalidRequest, "a notification request needs an identifier");
        TimeInterval interval = 0;
        if (request.trigger) {
            interval = request.trigger->timeInterval;
            if (!std::isfinite(interval) || interval <= 0)
                return fail(
                    UNError::Code::invalidTrigger, "the time interval must be greater than 0");
            if (request.trigger->repeats && interval < 60)
                return fail(UNError::Code::invalidTrigger,
                    "the time interval must be at least 60 seconds when repeating");
        }
        if (!isAllowed())
            return fail(UNError::Code::notificationsNotAllowed, "notifications are not allowed");
        insertPending(std::move(request), dateByAdding(m_clock->now(), interval));
        scheduleUpdate();
        if (completionHandler)
            completionHandler(std::nullopt);
    });
}

void UNUserNotificationCenter::insertPending(UNNotificationRequest request, Date dueDate)
{
    const auto sequence = ++m_sequence;
    auto found = m_pending.find(request.identifier);
    if (found == m_pending.end()) {
        auto identifier = request.identifier;
        found
            = m_pending
                  .emplace(std::move(identifier), Pending { std::move(request), dueDate, sequence })
                  .first;
    } else {
        // Replaced in place: one look-up, and the entry keeps its address for the queue.
        auto& pending = found->second;
        m_queue.erase(QueueKey { pending.dueDate, pending.sequence });
        pending = Pending { std::move(request), dueDate, sequence };
    }
    m_queue.emplace(QueueKey { dueDate, sequence }, &found->second);
    m_pendingDirty = true;
}

bool UNUserNotificationCenter::erasePending(const std::string& identifier)
{
    const auto found = m_pending.find(identifier);
    if (found == m_pending.end())
        return false;
    m_queue.erase(QueueKey { found->second.dueDate, found->second.sequence });
    m_pending.erase(found);
    m_pendingDirty = true;
    return true;
}

void UNUserNotificationCenter::getPendingNotificationRequests(
    std::function<void(std::vector<UNNotificationRequest>)> completionHandler)
{
    onCentreThread([this, completionHandler] {
        std::vector<UNNotificationRequest> requests;
        requests.reserve(m_queue.size());
        for (const auto& [key, pending] : m_queue)
            requests.push_back(pending->request);
        completionHandler(std::move(requests));
    });
}

void UNUserNotificationCenter::removePendingNotificationRequests(
    const std::vector<std::string>& identifiers)
{
    onCentreThread([this, identifiers] {
        bool changed = false;
        for (const auto& identifier : identifiers)
            changed = erasePending(identifier) || changed;
        if (changed)
            scheduleUpdate();
    });
}

void UNUserNotificationCenter::removeAllPendingNotificationRequests()
{
    onCentreThread([this] {
        if (m_pending.empty())
            return;
        m_pending.clear();
        m_queue.clear();
        m_pendingDirty = true;
        scheduleUpdate();
    });
}

// Delivered notifications

void UNUserNotificationCenter::getDeliveredNotifications(
    std::function<void(std::vector<UNNotification>)> completionHandler)
{
    onCentreThread([this, completionHandler] {
        std::vector<const Delivered*> ordered;
        ordered.reserve(m_delivered.size());
        for (const auto& [identifier, delivered] : m_delivered)
            ordered.push_back(&delivered);
        std::sort(ordered.begin(), ordered.end(),
            [](const Delivered* a, const Delivered* b) { return a->sequence < b->sequence; });
        std::vector<UNNotification> notifications;
        notifications.reserve(ordered.size());
        for (const auto* delivered : ordered)
            notifications.push_back(delivered->notification);
        completionHandler(std::move(notifications));
    });
}

void UNUserNotificationCenter::removeDeliveredNotifications(
    const std::vector<std::string>& identifiers)
{
    onCentreThread([this, identifiers] {
        for (const auto& identifier : identifiers)
            eraseDelivered(identifier, true);
    });
}

void UNUserNotificationCenter::removeAllDeliveredNotifications()
{
    onCentreThread([this] {
        std::vector<std::string> identifiers;
        for (const auto& [identifier, delivered] : m_delivered)
            identifiers.push_back(identifier);
        for (const auto& identifier : identifiers)
            eraseDelivered(identifier, true);
    });
}

void UNUserNotificationCenter::eraseDelivered(const std::string& identifier, bool closeOnServer)
{
    const auto found = m_delivered.find(identifier);
    if (found == m_delivered.end())
        return;
    if (const auto serverId = found->second.serverId) {
        // Forgotten first, so the server's word that it closed it is not taken as the user's.
        m_serverIds.erase(*serverId);
        if (closeOnServer)
            m_server->closeNotification(*serverId);
    }
    m_delivered.erase(found);
}

// Publishers

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

// Timers and delivery

void UNUserNotificationCenter::scheduleUpdate()
{
    if (m_updatePosted)
        return;
    m_updatePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_updatePosted = false;
            update();
        },
        Qt::QueuedConnection);
}

void UNUserNotificationCenter::update()
{
    deliverDue();
    armClock();
    if (m_pendingDirty)
        savePending();
}

void UNUserNotificationCenter::flush()
{
    onCentreThread([this] {
        if (m_pendingDirty)
            savePending();
        if (m_pendingWriter)
            m_pendingWriter->waitUntilWritten();
    });
}

void UNUserNotificationCenter::armClock()
{
    std::optional<Date> next;
    if (!m_queue.empty()) {
        if (m_server->isAvailable()) {
            next = m_queue.begin()->first.first;
        } else {
            // Overdue requests wait for a server; wake for the next one that falls due.
            const auto later = m_queue.upper_bound(
                QueueKey { m_clock->now(), std::numeric_limits<std::uint64_t>::max() });
            if (later != m_queue.end())
                next = later->first.first;
        }
    }
    if (next == m_armedAt)
        return;
    m_armedAt = next;
    m_clock->wakeAt(next);
}

void UNUserNotificationCenter::deliverDue()
{
    if (!m_server->isAvailable())
        return; // they stay pending until a server answers
    const auto now = m_clock->now();
    while (!m_queue.empty() && m_queue.begin()->first.first <= now) {
        auto found = m_pending.find(m_queue.begin()->second->request.identifier);
        Pending due = std::move(found->second);
        m_queue.erase(m_queue.begin());
        m_pending.erase(found);
        m_pendingDirty = true;
        if (due.request.trigger && due.request.trigger->repeats) {
            auto next = dateByAdding(due.dueDate, due.request.trigger->timeInterval);
            if (next <= now)
                next = dateByAdding(now, due.request.trigger->timeInterval);
            insertPending(due.request, next);
        }
        // Permission withdrawn after the request was added: it falls due unseen.
        if (isAllowed())
            present(due);
    }
}

void UNUserNotificationCenter::present(const Pending& pending)
{
    UNNotification notification { m_clock->now(), pending.request };
    const auto sequence = ++m_sequence;
    auto delegate = m_delegate.lock();
    if (!delegate) {
        show(notification,
            UNNotificationPresentationOptions::banner | UNNotificationPresentationOptions::list
                | UNNotificationPresentationOptions::sound,
            sequence);
        return;
    }
    QPointer<UNUserNotificationCenter> self(this);
    auto answered = std::make_shared<std::atomic<bool>>(false);
    delegate->willPresentNotification(*this, notification,
        [self, notification, sequence, answered](UNNotificationPresentationOptions options) {
            if (answered->exchange(true) || !self)
                return;
            self->onCentreThread([self, notification, options, sequence] {
                if (self)
                    self->show(notification, options, sequence);
            });
        });
}

void UNUserNotificationCenter::show(const UNNotification& notification,
    UNNotificationPresentationOptions options, std::uint64_t sequence)
{
    const auto& request = notification.request;
    const auto& content = request.content;
    NotificationServer::Notice notice;
    if (const auto old = m_delivered.find(request.identifier); old != m_delivered.end()) {
        // Shown again under the same identifier: the server replaces the old one in place.
        if (old->second.serverId) {
            notice.replacesId = *old->second.serverId;
            m_serverIds.erase(*old->second.serverId);
        }
        m_delivered.erase(old);
    }
    m_delivered.insert_or_assign(
        request.identifier, Delivered { notification, sequence, std::nullopt });
    if (!intersects(options,
            UNNotificationPresentationOptions::banner | UNNotificationPresentationOptions::list
                | UNNotificationPresentationOptions::alert)) {
        return;
    }

    notice.appName = m_configuration.applicationName;
    notice.appIcon = m_configuration.applicationIcon;
    notice.summary = toQString(content.title);
    QString body = toQString(content.body);
    if (!content.subtitle.empty())
        body = toQString(content.subtitle) + u'\n' + body;
    // The summary is plain text by the protocol; only the body is read as markup.
    notice.body
        = m_server->hasCapability(QStringLiteral("body-markup")) ? escapeMarkup(body) : body;
    if (m_server->hasCapability(QStringLiteral("actions"))) {
        if (const auto* found = category(content.categoryIdentifier)) {
            for (const auto& action : found->actions) {
                const auto key = toQString(action.identifier);
                if (key == serverDefaultActionKey)
                    continue; // that key means a click on the notification itself
                notice.actions << key << toQString(action.title);
            }
        }
        notice.actions << serverDefaultActionKey << m_configuration.defaultActionTitle;
    }

    const bool quiet = m_authorization.status == UNAuthorizationStatus::provisional;
    uchar urgency = 1;
    switch (content.interruptionLevel) {
    case UNNotificationInterruptionLevel::passive:
        urgency = 0;
        break;
    case UNNotificationInterruptionLevel::active:
        urgency = 1;
        break;
    case UNNotificationInterruptionLevel::timeSensitive:
    case UNNotificationInterruptionLevel::critical:
        urgency = 2;
        // Stays on screen until the user acts on it.
        notice.expireTimeout = 0;
        break;
    }
    if (quiet) {
        urgency = 0;
        notice.expireTimeout = -1;
    }
    notice.hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(urgency));
    const bool sound = !quiet && content.sound
        && contains(options, UNNotificationPresentationOptions::sound)
        && contains(m_authorization.options, UNAuthorizationOptions::sound);
    if (sound)
        notice.hints.insert(QStringLiteral("sound-name"), toQString(content.sound->name));
    else
        notice.hints.insert(QStringLiteral("suppress-sound"), true);
    if (!m_configuration.desktopEntry.isEmpty())
        notice.hints.insert(QStringLiteral("desktop-entry"), m_configuration.desktopEntry);

    const auto identifier = request.identifier;
    m_server->notify(
        notice, [this, identifier, sequence](NotificationServer::NotifyOutcome outcome) {
            const auto found = m_delivered.find(identifier);
            const bool current = found != m_delivered.end() && found->second.sequence == sequence;
            if (outcome.id) {
                if (current) {
                    found->second.serverId = outcome.id;
                    m_serverIds[*outcome.id] = identifier;
                } else {
                    m_server->closeNotification(*outcome.id); // removed while it was being shown
                }
                return;
            }
            if (!current)
                return;
            if (outcome.serverUnreachable) {
                // Nobody showed it: it waits as a pending request for the next server.
                const auto notification = found->second.notification;
                m_delivered.erase(found);
                if (!m_pending.contains(identifier)) {
                    insertPending(notification.request, notification.date);
                    scheduleUpdate();
                }
                return;
            }
            qCWarning(lcCenter, "the notification server refused a notification: %s",
                qUtf8Printable(outcome.error));
            m_delivered.erase(found);
        });
}

void UNUserNotificationCenter::respond(const std::string& identifier, std::string actionIdentifier)
{
    const auto found = m_delivered.find(identifier);
    if (found == m_delivered.end())
        return;
    UNNotificationResponse response { std::move(actionIdentifier), found->second.notification };
    // An answered notification leaves the screen and the list of delivered ones.
    m_delivered.erase(found);
    if (auto delegate = m_delegate.lock())
        delegate->didReceiveNotificationResponse(*this, response, [] {});
}

void UNUserNotificationCenter::onActionInvoked(quint32 id, const QString& actionKey)
{
    const auto found = m_serverIds.find(id);
    if (found == m_serverIds.end())
        return; // another program's notification
    const auto identifier = found->second;
    // Forgotten now, so the close that follows an action is not taken for a dismissal.
    m_serverIds.erase(found);
    respond(identifier,
        actionKey == serverDefaultActionKey
            ? std::string(UNNotificationResponse::defaultActionIdentifier)
            : actionKey.toStdString());
}

void UNUserNotificationCenter::onNotificationClosed(quint32 id, quint32 reason)
{
    const auto found = m_serverIds.find(id);
    if (found == m_serverIds.end())
        return;
    const auto identifier = found->second;
    m_serverIds.erase(found);
    const auto delivered = m_delivered.find(identifier);
    if (delivered == m_delivered.end())
        return;
    const auto* kind = category(delivered->second.notification.request.content.categoryIdentifier);
    if (reason == closedByUser && kind
        && contains(kind->options, UNNotificationCategoryOptions::customDismissAction)) {
        respond(identifier, std::string(UNNotificationResponse::dismissActionIdentifier));
        return;
    }
    m_delivered.erase(delivered);
}

void UNUserNotificationCenter::onServerAvailability(bool available)
{
    if (available) {
        m_absenceReported = false;
        Q_EMIT serverAvailabilityChanged(true);
        scheduleUpdate();
        return;
    }
    // What the old server showed went away with it.
    for (const auto& [serverId, identifier] : m_serverIds)
        m_delivered.erase(identifier);
    m_serverIds.clear();
    reportAbsentServer();
    armClock();
    Q_EMIT serverAvailabilityChanged(false);
}

void UNUserNotificationCenter::reportAbsentServer()
{
    if (m_absenceReported)
        return;
    m_absenceReported = true;
    if (!m_server->isBusConnected()) {
        qCWarning(lcCenter,
            "no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS): notifications stay pending until the "
            "next start with one");
        return;
    }
    qCWarning(lcCenter,
        "no notification server answers on the session bus as %s: notifications stay pending "
        "until one appears (desktops provide one; otherwise install one such as dunst or mako)",
        qUtf8Printable(m_configuration.serviceName));
}

// State kept across runs

void UNUserNotificationCenter::loadState()
{
    const auto read = [](const StateFile& file) -> std::optional<nlohmann::json> {
        auto loaded = file.load();
        if (!loaded.problem.empty()) {
            const auto aside = file.keepAside();
            qCWarning(lcCenter, "%s; kept aside as %s", loaded.problem.c_str(),
                aside.empty() ? "(could not be moved)" : aside.c_str());
        }
        return std::move(loaded.document);
    };

    if (m_authorizationFile) {
        if (const auto document = read(*m_authorizationFile)) {
            const auto status = document->value("status", std::string());
            const auto options = document->value("options", 0u);
            m_authorization = { authorizationStatusFromName(status).value_or(
                                    UNAuthorizationStatus::notDetermined),
                static_cast<UNAuthorizationOptions>(options) };
        }
    }
    if (m_pendingFile) {
        if (const auto document = read(*m_pendingFile)) {
            std::size_t unreadable = 0;
            const auto entries = document->find("pending");
            if (entries != document->end() && entries->is_array()) {
                for (const auto& entry : *entries) {
                    if (auto stored = decodePendingRequest(entry))
                        insertPending(std::move(stored->request), stored->dueDate);
                    else
                        ++unreadable;
                }
            }
            if (unreadable > 0) {
                qCWarning(lcCenter, "%zu unreadable pending notifications in %s were dropped",
                    unreadable, m_pendingFile->path().c_str());
            }
        }
        // Says so once while writes keep failing, and again after one has worked.
        auto reported = std::make_shared<std::atomic<bool>>(false);
        m_pendingWriter = std::make_unique<StateFileWriter>(
            *m_pendingFile, [reported](const std::string& problem) {
                if (problem.empty()) {
                    reported->store(false);
                } else if (!reported->exchange(true)) {
                    qCWarning(lcCenter, "pending notifications are not kept for the next start: %s",
                        problem.c_str());
                }
            });
    }
    m_pendingDirty = false;
}

void UNUserNotificationCenter::savePending()
{
    m_pendingDirty = false;
    if (!m_pendingWriter)
        return;
    // A copy is taken here; coding and writing happen on the writer's thread.
    std::vector<StoredPendingRequest> snapshot;
    snapshot.reserve(m_queue.size());
    for (const auto& [key, pending] : m_queue) {
        snapshot.push_back({ pending->request, pending->dueDate });
    }
    m_pendingWriter->post([snapshot = std::move(snapshot)] {
        auto entries = nlohmann::json::array();
        for (const auto& stored : snapshot)
            entries.push_back(encodePendingRequest(stored.request, stored.dueDate));
        return nlohmann::json { { "version", 1 }, { "pending", std::move(entries) } };
    });
}

} // namespace tidemark
