#pragma once

#include "platform/eventstore/EventStore.hpp"
#include "reminders/Reminder.hpp"

#include <optional>

namespace tidemark {

class DateComponentsFormatter;

// A stored task as the shared reminder model sees it: its UID as `id`, its list's
// identifier as `listID` (none only for a task no list holds yet), an absent title as "".
AnyReminder anyReminder(const Reminder& reminder);
// The same; with a formatter, a title equal to the reminder's span text (the title an
// untitled reminder is stored with) reads as empty.
AnyReminder anyReminder(const Reminder& reminder, const DateComponentsFormatter* formatter);

AnyList anyList(const EventCalendar& calendar);
// An account with its task lists (only those the account itself holds).
AnySource anySource(const EventStore& store, const Source& source);

// The title an untitled reminder is stored with: its span under the formatter.
std::string defaultTitle(const AnyReminder& reminder, const DateComponentsFormatter& formatter);

// Writes a reminder's fields into a stored task: title, start, due, the system's time
// zone, completion, and the list when `listID` names one that exists. A `listID` the
// store does not know leaves the task in its list (a new task then goes to the default
// list). Alarms are the store's: it keeps exactly one at the due date.
void updateReminder(Reminder& reminder, const AnyReminder& from, const EventStore& store);

} // namespace tidemark
