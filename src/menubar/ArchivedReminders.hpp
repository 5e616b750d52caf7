#pragma once

#include "platform/foundation/Clock.hpp"
#include "reminders/Reminder.hpp"

#include <set>

namespace tidemark {

// Archiving marks reminders completed and writes them back: a copy of each with the
// completion date set to the clock's now (read anew for each), every other field as it was.
template <class Reminders>
std::set<AnyReminder> archivedCopies(const Reminders& reminders, const Clock& clock)
{
    std::set<AnyReminder> copies;
    for (const AnyReminder& reminder : reminders) {
        AnyReminder copy = reminder;
        setCompletionDate(copy, clock.now());
        copies.insert(std::move(copy));
    }
    return copies;
}

} // namespace tidemark
