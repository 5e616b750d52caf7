#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/usernotifications/NotificationCoding.hpp"

#include <atomic>

namespace tidemark {

using namespace usernotifications;

namespace {

// Moves a kept file that cannot be read out of the way, so the program starts without it
// and nothing of it is lost. False when it stays where it is: it must not be written then.
bool keepUnreadableAside(const StateFile& file, const std::string& problem)
{
    std::string failure;
    const auto aside = file.moveAside(failure);
    if (aside.empty()) {
        usernotifications::logger().error(file.path() + " cannot be read (" + problem
            + ") nor kept aside (" + failure + "); it is left as it is and not written");
        return false;
    }
    usernotifications::logger().error(
        file.path() + " cannot be read (" + problem + "); kept aside as " + aside);
    return true;
}

} // namespace

// Whether the file may be written from now on.
bool UNUserNotificationCenter::loadAuthorization(const StateFile& file)
{
    try {
        auto loaded = file.load();
        if (!loaded.document)
            return loaded.problem.empty() || keepUnreadableAside(file, loaded.problem);
        const auto decoded = decodeAuthorization(*loaded.document);
        if (!decoded.authorization)
            return keepUnreadableAside(file, decoded.problem);
        m_authorization = { decoded.authorization->status, decoded.authorization->options };
        return true;
    } catch (const std::exception& error) {
        return keepUnreadableAside(file, error.what());
    }
}

bool UNUserNotificationCenter::loadPending(const StateFile& file)
{
    try {
        auto loaded = file.load();
        if (!loaded.document)
            return loaded.problem.empty() || keepUnreadableAside(file, loaded.problem);
        auto decoded = decodePendingDocument(*loaded.document);
        if (decoded.unreadable)
            return keepUnreadableAside(file, decoded.problem);
        bool writable = true;
        if (!decoded.dropped.empty()) {
            for (const auto& reason : decoded.dropped) {
                usernotifications::logger().error(
                    file.path() + ": a pending notification was dropped: " + reason);
            }
            // The next write leaves them out: the file as it was is kept first.
            std::string failure;
            const auto copy = file.copyAside(loaded.text, failure);
            if (copy.empty()) {
                usernotifications::logger().error(
                    "pending notifications are not kept for the next start: " + failure);
                writable = false;
            } else {
                usernotifications::logger().error(file.path() + " as it was is kept as " + copy);
            }
        }
        for (auto& stored : decoded.requests)
            insertPending(std::move(stored.request), stored.dueDate);
        return writable;
    } catch (const std::exception& error) {
        return keepUnreadableAside(file, error.what());
    }
}

void UNUserNotificationCenter::loadState()
{
    if (m_authorizationFile && !loadAuthorization(*m_authorizationFile))
        m_authorizationFile.reset();
    if (m_pendingFile && loadPending(*m_pendingFile)) {
        // Says so once while writes keep failing, and again after one has worked.
        auto reported = std::make_shared<std::atomic<bool>>(false);
        m_pendingWriter = std::make_unique<StateFileWriter>(
            *m_pendingFile, [reported](const std::string& problem) {
                if (problem.empty()) {
                    reported->store(false);
                } else if (!reported->exchange(true)) {
                    usernotifications::logger().error(
                        "pending notifications are not kept for the next start: " + problem);
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
    m_pendingWriter->post(
        [snapshot = std::move(snapshot)] { return encodePendingDocument(snapshot); });
}

} // namespace tidemark
