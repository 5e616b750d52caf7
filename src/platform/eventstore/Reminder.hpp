#pragma once

#include "platform/eventstore/EventStoreTypes.hpp"
#include "platform/foundation/Date.hpp"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// A notice at a fixed moment. Alarms relative to the due time that other programs wrote
// are kept in their files but not shown here.
struct Alarm {
    std::optional<Date> absoluteDate;

    static Alarm withAbsoluteDate(Date date) { return Alarm { date }; }
    bool operator==(const Alarm&) const = default;
};

namespace detail {
struct ReminderRecord;
}

// One task of a list: a VTODO in its own `.ics` file. A value: change a copy and hand it to
// `EventStore::saveReminder` to write it. Only fields that differ from what was read are
// written; everything else in the file stays as it was.
class Reminder {
public:
    // A new reminder with a fresh identifier (an uppercase UUID), in no list yet.
    static Reminder create();

    // The VTODO's UID.
    const std::string& calendarItemIdentifier() const { return m_identifier; }

    const std::optional<std::string>& title() const { return m_title; }
    void setTitle(std::optional<std::string> title) { m_title = std::move(title); }

    // Date components with their time zone (none: floating, read in the local zone). A
    // date-only value has no hour, minute or second.
    const std::optional<DateComponents>& startDateComponents() const { return m_start; }
    void setStartDateComponents(std::optional<DateComponents> components)
    {
        m_start = std::move(components);
    }
    const std::optional<DateComponents>& dueDateComponents() const { return m_due; }
    void setDueDateComponents(std::optional<DateComponents> components)
    {
        m_due = std::move(components);
    }

    // Completing sets the completion date to now when there is none; a completion date
    // marks the reminder completed, and clearing it marks it incomplete.
    bool isCompleted() const { return m_completed; }
    void setCompleted(bool completed);
    const std::optional<Date>& completionDate() const { return m_completionDate; }
    void setCompletionDate(std::optional<Date> date);

    // The list that holds it. Saving a reminder without one keeps the list it is in, or puts
    // a new reminder in the default list.
    const std::optional<EventCalendar>& calendar() const { return m_calendar; }
    void setCalendar(std::optional<EventCalendar> calendar) { m_calendar = std::move(calendar); }

    // The zone in which components without a zone of their own are written.
    const std::optional<std::string>& timeZone() const { return m_timeZone; }
    void setTimeZone(std::optional<std::string> zone) { m_timeZone = std::move(zone); }

    // Absolute alarms. The store keeps exactly one at the due date (none without a due
    // date) whenever it writes the reminder, however many were added here.
    const std::vector<Alarm>& alarms() const { return m_alarms; }
    void addAlarm(const Alarm& alarm);
    void removeAlarm(const Alarm& alarm);

    // True for a reminder the store has not written yet.
    bool isNew() const { return m_record == nullptr; }

private:
    friend struct detail::ReminderRecord;
    friend class EventStore;

    std::string m_identifier;
    std::optional<std::string> m_title;
    std::optional<DateComponents> m_start;
    std::optional<DateComponents> m_due;
    bool m_completed = false;
    std::optional<Date> m_completionDate;
    std::optional<EventCalendar> m_calendar;
    std::optional<std::string> m_timeZone;
    std::vector<Alarm> m_alarms;
    // What was read from disk, to write only what changed; none for a new reminder.
    std::shared_ptr<const detail::ReminderRecord> m_record;
};

} // namespace tidemark
