#pragma once

#include "platform/usernotifications/NotificationTypes.hpp"

#include <nlohmann/json.hpp>

#include <optional>

namespace tidemark {

// A pending request as kept on disk: the request and the wall-clock time it falls due.
struct StoredPendingRequest {
    UNNotificationRequest request;
    Date dueDate;
};

nlohmann::json encodePendingRequest(const UNNotificationRequest& request, Date dueDate);
// None for an entry that does not hold a usable request.
std::optional<StoredPendingRequest> decodePendingRequest(const nlohmann::json& entry);

const char* authorizationStatusName(UNAuthorizationStatus status);
std::optional<UNAuthorizationStatus> authorizationStatusFromName(const std::string& name);

} // namespace tidemark
