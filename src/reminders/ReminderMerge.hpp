#pragma once

#include "reminders/Reminder.hpp"
#include "reminders/RemindersStore.hpp"

#include <map>
#include <set>
#include <string>

namespace tidemark {

// The versions of reminders an update was made from, by identifier: what the application
// had last read of each when the user changed it.
using ReadReminders = std::map<std::string, AnyReminder>;

// What an update writes over the reminder as it is stored now: the fields in which
// `requested` differs from `read` (the version the user changed), and for every other
// field the stored value, so that a change another device or program made meanwhile
// stays. Where both changed the same field, the user's value wins. Without a read version
// every field of `requested` is written.
AnyReminder mergedChange(
    const AnyReminder& stored, const AnyReminder& requested, const AnyReminder* read);

// The versions of the reminders as the application last read them, kept by a storage
// middleware from the requests it sees: a successful read replaces them all, created
// reminders join them, and a submitted update becomes the version its next update is
// made from (the application shows it from then on); deleted ones go.
class LastReadReminders {
public:
    // The read versions of the given reminders; ask before `observe` sees the request.
    ReadReminders versionsOf(const std::set<AnyReminder>& reminders) const;
    void observe(const RemindersItemsAction& action);
    void clear() { m_versions.clear(); }

private:
    ReadReminders m_versions;
};

} // namespace tidemark
