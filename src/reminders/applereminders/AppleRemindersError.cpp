#include "reminders/applereminders/AppleRemindersError.hpp"

namespace tidemark {

std::string description(AppleRemindersError error)
{
    switch (error) {
    case AppleRemindersError::requestFailedInsufficientPermission:
        return "EventCalendar task lists access request failed, insufficient permission";
    case AppleRemindersError::listNotFound:
        return "Selected list could not be found.";
    }
    return {};
}

std::string recoverySuggestion(AppleRemindersError error)
{
    switch (error) {
    case AppleRemindersError::requestFailedInsufficientPermission:
        return "Make sure you do the following:\n"
               "    - allow Tidemark to use your calendar task lists when it asks\n"
               "    - if you refused before, remove the file eventstore-access from Tidemark's "
               "state folder "
               "and choose the calendar task lists again";
    case AppleRemindersError::listNotFound:
        return "Try a different list.";
    }
    return {};
}

Error toError(AppleRemindersError error)
{
    return Error(description(error));
}

} // namespace tidemark
