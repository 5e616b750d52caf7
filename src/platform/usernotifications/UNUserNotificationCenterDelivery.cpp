#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/NotificationServer.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QPointer>

#include <atomic>
#include <limits>

namespace tidemark {

using namespace usernotifications;

namespace {

// The action key a notification server reports for a click on the notification itself.
const QString serverDefaultActionKey = QStringLiteral("default");
// NotificationClosed reason: the user closed the notification.
constexpr quint32 closedByUser = 2;

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

using Notice = NotificationServer::Notice;

// The summary, and the subtitle above the body.
void setNoticeText(
    Notice& notice, const UNNotificationContent& content, const NotificationServer& server)
{
    notice.summary = toQString(content.title);
    QString body = toQString(content.body);
    if (!content.subtitle.empty())
        body = toQString(content.subtitle) + u'\n' + body;
    // The summary is plain text by the protocol; only the body is read as markup.
    notice.body = server.hasCapability(QStringLiteral("body-markup")) ? escapeMarkup(body) : body;
}

// One button per action of the notification's category, then the one that stands for a
// click on the notification itself; none where the server shows no actions.
void setNoticeActions(Notice& notice, const UNNotificationCategory* category,
    const QString& defaultActionTitle, const NotificationServer& server)
{
    if (!server.hasCapability(QStringLiteral("actions")))
        return;
    if (category) {
        for (const auto& action : category->actions) {
            const auto key = toQString(action.identifier);
            if (key == serverDefaultActionKey)
                continue; // that key means a click on the notification itself
            notice.actions << key << toQString(action.title);
        }
    }
    notice.actions << serverDefaultActionKey << defaultActionTitle;
}

// Urgency and time on screen from the interruption level (quiet ones are low and go away
// by themselves), and a sound only where the options and the user's answer allow one.
void setNoticeHints(Notice& notice, const UNNotificationContent& content,
    UNNotificationPresentationOptions options, bool quiet, UNAuthorizationOptions authorized,
    const QString& desktopEntry)
{
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
        && contains(authorized, UNAuthorizationOptions::sound);
    if (sound)
        notice.hints.insert(QStringLiteral("sound-name"), toQString(content.sound->name));
    else
        notice.hints.insert(QStringLiteral("suppress-sound"), true);
    if (!desktopEntry.isEmpty())
        notice.hints.insert(QStringLiteral("desktop-entry"), desktopEntry);
}

} // namespace

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
            if (const auto next
                = nextRepeatDate(due.dueDate, due.request.trigger->timeInterval, now)) {
                insertPending(due.request, *next);
            } else {
                usernotifications::logger().error("the repeating notification \""
                    + due.request.identifier
                    + "\" cannot fall due again: its next time is no date this program can hold");
            }
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
    setNoticeText(notice, content, *m_server);
    setNoticeActions(notice, category(content.categoryIdentifier),
        m_configuration.defaultActionTitle, *m_server);
    const bool quiet = m_authorization.status == UNAuthorizationStatus::provisional;
    setNoticeHints(
        notice, content, options, quiet, m_authorization.options, m_configuration.desktopEntry);

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
            usernotifications::logger().error(
                "the notification server refused a notification: " + outcome.error.toStdString());
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
        usernotifications::logger().error(
            "no D-Bus session bus (DBUS_SESSION_BUS_ADDRESS): notifications stay pending until the "
            "next start with one");
        return;
    }
    usernotifications::logger().error("no notification server answers on the session bus as "
        + m_configuration.serviceName.toStdString()
        + ": notifications stay pending until one appears (desktops provide one; otherwise "
          "install one such as dunst or mako)");
}

} // namespace tidemark
