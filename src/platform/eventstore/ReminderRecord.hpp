#pragma once

#include "platform/eventstore/IcsTodo.hpp"
#include "platform/eventstore/Reminder.hpp"

#include <string>

namespace tidemark::detail {

// Where a reminder was read and what it held then, so that a save writes only what the
// caller changed.
struct ReminderRecord {
    ics::Todo todo;
    std::string calendarIdentifier;
    std::string fileName;
    bool uidMissing = false; // identified by its file name, for it has no UID
};

} // namespace tidemark::detail
