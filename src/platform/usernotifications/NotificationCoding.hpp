#pragma once

#include "platform/usernotifications/NotificationTypes.hpp"

#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

// The rules a notification request must meet, and the coding of what the centre keeps
// across runs. A kept file is read by the same rules as a request being added: what they
// refuse is dropped with a reason, never scheduled.

namespace tidemark {

// Why the centre refuses a request (an empty identifier; a trigger interval that is not a
// positive number, is under 60 seconds when repeating, or lies beyond the dates a `Date`
// holds); none when it is acceptable.
std::optional<UNError> requestProblem(const UNNotificationRequest& request);

// `date` plus `seconds`; none when that is no date a `Date` holds.
std::optional<Date> checkedDateByAdding(Date date, TimeInterval seconds);

// When a repeating request that fell due at `dueDate` falls due next: one interval later,
// or one interval after `now` when that has passed too. None when that lies beyond the
// dates a `Date` holds.
std::optional<Date> nextRepeatDate(Date dueDate, TimeInterval interval, Date now);

// The request with every text made valid UTF-8 (each bad byte sequence becomes U+FFFD),
// so that it can be kept, compared and sent over D-Bus as the caller meant it.
UNNotificationRequest withValidText(UNNotificationRequest request);
UNNotificationCategory withValidText(UNNotificationCategory category);

// A pending request as kept on disk: the request and the wall-clock time it falls due.
struct StoredPendingRequest {
    UNNotificationRequest request;
    Date dueDate;

    bool operator==(const StoredPendingRequest&) const = default;
};

// One kept entry: the request, or why it was refused.
struct DecodedPendingRequest {
    std::optional<StoredPendingRequest> stored;
    std::string problem;
};

// What a kept file of pending requests holds. A document that is not of this form at all
// is `unreadable` (and `problem` says why); otherwise each entry is read by itself and the
// ones that cannot be used are `dropped`, one reason each.
struct DecodedPendingDocument {
    bool unreadable = false;
    std::string problem;
    std::vector<StoredPendingRequest> requests;
    std::vector<std::string> dropped;
};

nlohmann::json encodePendingRequest(const UNNotificationRequest& request, Date dueDate);
DecodedPendingRequest decodePendingRequest(const nlohmann::json& entry);
nlohmann::json encodePendingDocument(const std::vector<StoredPendingRequest>& requests);
DecodedPendingDocument decodePendingDocument(const nlohmann::json& document);

// The user's answer to the permission request, as kept.
struct StoredAuthorization {
    UNAuthorizationStatus status = UNAuthorizationStatus::notDetermined;
    UNAuthorizationOptions options = UNAuthorizationOptions::none;

    bool operator==(const StoredAuthorization&) const = default;
};

struct DecodedAuthorization {
    std::optional<StoredAuthorization> authorization;
    std::string problem;
};

nlohmann::json encodeAuthorization(const StoredAuthorization& authorization);
DecodedAuthorization decodeAuthorization(const nlohmann::json& document);

const char* authorizationStatusName(UNAuthorizationStatus status);
std::optional<UNAuthorizationStatus> authorizationStatusFromName(const std::string& name);

} // namespace tidemark
