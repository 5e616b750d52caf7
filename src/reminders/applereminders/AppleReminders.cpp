#include "reminders/applereminders/AppleReminders.hpp"

#include "platform/eventstore/EventStoreDisposal.hpp"
#include "platform/foundation/Calendar.hpp"

namespace tidemark {

AppleReminders::AppleReminders(EventStoreOptions options)
    : m_eventStore(new EventStore(std::move(options)))
{
}

AppleReminders::~AppleReminders()
{
    // The store watches files and runs a timer of the thread that made it: it goes there.
    destroyEventStore(m_eventStore);
}

std::vector<Reminder> AppleReminders::fetchReminders(const ReminderPredicate& predicate) const
{
    return m_eventStore->fetchReminders(predicate);
}

std::vector<Reminder> AppleReminders::incompleteReminders(
    std::optional<std::vector<EventCalendar>> calendars) const
{
    return fetchReminders(m_eventStore->predicateForIncompleteReminders(
        std::nullopt, std::nullopt, std::move(calendars)));
}

std::vector<Reminder> AppleReminders::saveNewReminders(std::vector<Reminder> reminders)
{
    batch([&] {
        std::optional<std::optional<EventCalendar>> defaultCalendar;
        for (Reminder& reminder : reminders) {
            if (!reminder.calendar()) {
                if (!defaultCalendar)
                    defaultCalendar = m_eventStore->defaultCalendarForNewReminders();
                reminder.setCalendar(*defaultCalendar);
            }
            reminder.setTimeZone(Calendar::systemTimeZone());
            m_eventStore->saveReminder(reminder, false);
        }
        return !reminders.empty();
    });
    return reminders;
}

void AppleReminders::save(std::vector<Reminder>& reminders)
{
    batch([&] {
        for (Reminder& reminder : reminders)
            m_eventStore->saveReminder(reminder, false);
        return !reminders.empty();
    });
}

void AppleReminders::remove(const std::vector<Reminder>& reminders)
{
    batch([&] {
        for (const Reminder& reminder : reminders)
            m_eventStore->removeReminder(reminder, false);
        return !reminders.empty();
    });
}

void AppleReminders::complete(std::vector<Reminder>& reminders)
{
    const Date now = std::chrono::time_point_cast<Date::duration>(std::chrono::system_clock::now());
    for (Reminder& reminder : reminders) {
        reminder.setCompleted(true);
        reminder.setCompletionDate(now);
    }
    save(reminders);
}

} // namespace tidemark
