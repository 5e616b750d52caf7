#pragma once

#include "platform/eventstore/Reminder.hpp"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tidemark::ics {

// The fields of one VTODO as this store reads them.
struct Todo {
    std::string uid; // empty when the VTODO has none
    std::optional<std::string> title;
    std::optional<DateComponents> start;
    std::optional<DateComponents> due;
    bool completed = false;
    bool cancelled = false;
    std::optional<Date> completionDate;
    std::vector<Alarm> alarms; // the absolute ones

    bool operator==(const Todo&) const = default;
};

// What one `.ics` file holds. `readable` is false when nothing could be read; `problems`
// says what was wrong (one line each), also for a file that was read in part.
//
// The components are those libical's parser makes of the file, line by line; the
// writer below works on the same components, so that a task read can be written. Text
// (titles, UIDs) is made valid UTF-8 (U+FFFD for each bad sequence); a date that a `Date`
// cannot hold (before 1678 or after 2261) reads as none, with a problem line; a COMPLETED
// property with such a date still marks the task completed.
struct File {
    bool readable = false;
    std::vector<Todo> todos;
    std::vector<std::string> problems;
    bool holdsOtherComponents = false; // VEVENT, VJOURNAL …
};

File parse(std::string_view bytes);

// The fields to write into a VTODO; a field left out is not touched.
struct TodoChanges {
    std::string uid;
    std::optional<std::optional<std::string>> title;
    std::optional<std::optional<DateComponents>> start;
    std::optional<std::optional<DateComponents>> due;
    // completed flag and completion date together
    std::optional<std::pair<bool, std::optional<Date>>> completion;
    std::optional<std::string> timeZone; // for components without a zone of their own
    Date now;
};

// A change that cannot be written without harming the file: the result would not read
// back as the same tasks with the new values. Nothing was written.
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The text of `original` (empty: a new file) with the task whose UID is `changes.uid` (or,
// when `matchFirstWithoutUid`, the first task without a UID) changed as `changes` says.
// Lines that do not change keep their bytes and their place; a changed property is
// replaced where it stands, and only properties the task did not have are added, after
// its other properties. When the title or the due date changes, its absolute alarms
// become exactly one at the due date (none without one), where the first of them was.
// DTSTAMP and LAST-MODIFIED become now, SEQUENCE grows by one when present. None when
// `original` holds no such task; throws WriteError when the result would not read back
// with the task changed and every other task as it was.
std::optional<std::string> write(
    std::string_view original, const TodoChanges& changes, bool matchFirstWithoutUid = false);

// The text of `original` without the task of that UID and the changed occurrences that
// share its UID; an empty string when nothing but the calendar's own lines and time zones
// would remain. None when there is no such task; throws WriteError when the rest would
// not read back as the other tasks as they were.
std::optional<std::string> remove(
    std::string_view original, const std::string& uid, bool matchFirstWithoutUid = false);

} // namespace tidemark::ics
