#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/foundation/UserDefaults.hpp"
#include "platform/usernotifications/NotificationCoding.hpp"
#include "platform/usernotifications/NotificationServer.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <algorithm>

namespace tidemark {

using namespace usernotifications;

void UNUserNotificationCenter::addNotificationRequest(
    UNNotificationRequest request, std::function<void(std::optional<UNError>)> completionHandler)
{
    // Text is made valid UTF-8 as it comes in: it is kept in a JSON file and sent over D-Bus.
    onCentreThread(
        [this, request = withValidText(std::move(request)), completionHandler]() mutable {
            const auto fail = [&](UNError error) {
                if (completionHandler)
                    completionHandler(std::move(error));
            };
            if (auto problem = requestProblem(request))
                return fail(std::move(*problem));
            if (!isAllowed())
                return fail(
                    { UNError::Code::notificationsNotAllowed, "notifications are not allowed" });
            const auto dueDate = checkedDateByAdding(
                m_clock->now(), request.trigger ? request.trigger->timeInterval : 0);
            if (!dueDate)
                return fail({ UNError::Code::invalidTrigger,
                    "the time interval reaches beyond the dates this program can hold" });
            insertPending(std::move(request), *dueDate);
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
            changed = erasePending(validUtf8(identifier)) || changed;
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
            eraseDelivered(validUtf8(identifier), true);
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

} // namespace tidemark
