#include "platform/usernotifications/UNUserNotificationCenterInternal.hpp"

#include "platform/usernotifications/NotificationCoding.hpp"

#include <atomic>

namespace tidemark {

using namespace usernotifications;

void UNUserNotificationCenter::loadState()
{
    const auto read = [](const StateFile& file) -> std::optional<nlohmann::json> {
        auto loaded = file.load();
        if (!loaded.problem.empty()) {
            const auto aside = file.keepAside();
            usernotifications::logger().error(loaded.problem + "; kept aside as "
                + (aside.empty() ? std::string("(could not be moved)") : aside));
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
                usernotifications::logger().error(std::to_string(unreadable)
                    + " unreadable pending notifications in " + m_pendingFile->path()
                    + " were dropped");
            }
        }
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
    m_pendingWriter->post([snapshot = std::move(snapshot)] {
        auto entries = nlohmann::json::array();
        for (const auto& stored : snapshot)
            entries.push_back(encodePendingRequest(stored.request, stored.dueDate));
        return nlohmann::json { { "version", 1 }, { "pending", std::move(entries) } };
    });
}

} // namespace tidemark
