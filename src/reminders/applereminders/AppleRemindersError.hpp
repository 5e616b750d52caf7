#pragma once

#include "core/Error.hpp"

#include <optional>
#include <string>

namespace tidemark {

// Why the calendar task lists could not be used. Two values are equal when their cases are.
enum class AppleRemindersError {
    requestFailedInsufficientPermission,
    listNotFound,
};

std::string description(AppleRemindersError error);
std::string recoverySuggestion(AppleRemindersError error);
inline std::optional<std::string> failureReason(AppleRemindersError)
{
    return std::nullopt;
}
inline std::optional<std::string> helpAnchor(AppleRemindersError)
{
    return std::nullopt;
}

// The error as a request's failure: its description.
Error toError(AppleRemindersError error);

} // namespace tidemark
