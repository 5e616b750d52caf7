#pragma once

#include "platform/eventstore/Reminder.hpp"

#include <optional>
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

// The text of `original` (empty: a new file) with the VTODO whose UID is `changes.uid` (or,
// when `matchFirstWithoutUid`, the first VTODO without a UID) changed as `changes` says:
// its absolute alarms become exactly one at the due date (none without one), DTSTAMP and
// LAST-MODIFIED become now, SEQUENCE grows by one when present. Every other line stays as
// it was. None when `original` holds no such VTODO.
std::optional<std::string> write(
    std::string_view original, const TodoChanges& changes, bool matchFirstWithoutUid = false);

// The text of `original` without the VTODO of that UID; an empty string when nothing but
// the calendar's own lines would remain. None when there is no such VTODO.
std::optional<std::string> remove(
    std::string_view original, const std::string& uid, bool matchFirstWithoutUid = false);

} // namespace tidemark::ics
