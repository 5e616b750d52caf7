#include "reminders/applereminders/EventStoreAdapters.hpp"

#include "platform/foundation/DateComponentsFormatter.hpp"

namespace tidemark {

AnyReminder anyReminder(const Reminder& reminder)
{
    AnyReminder result;
    result.id = reminder.calendarItemIdentifier();
    result.startDateComponents = reminder.startDateComponents();
    result.dueDateComponents = reminder.dueDateComponents();
    result.title = reminder.title().value_or(std::string());
    if (reminder.calendar())
        result.listID = reminder.calendar()->calendarIdentifier;
    result.completionDate = reminder.completionDate();
    return result;
}

AnyReminder anyReminder(const Reminder& reminder, const DateComponentsFormatter* formatter)
{
    AnyReminder result = anyReminder(reminder);
    if (formatter && result.title == defaultTitle(result, *formatter))
        result.title.clear();
    return result;
}

AnyList anyList(const EventCalendar& calendar)
{
    return AnyList { calendar.calendarIdentifier, calendar.title };
}

AnySource anySource(const EventStore& store, const Source& source)
{
    AnySource result { source.sourceIdentifier, source.title, {} };
    for (const EventCalendar& calendar : store.calendars(source, EntityType::reminder)) {
        if (calendar.source && calendar.source->sourceIdentifier == source.sourceIdentifier)
            result.lists.insert(anyList(calendar));
    }
    return result;
}

std::string defaultTitle(const AnyReminder& reminder, const DateComponentsFormatter& formatter)
{
    return durationString(reminder, formatter);
}

void updateReminder(Reminder& reminder, const AnyReminder& from, const EventStore& store)
{
    reminder.setTitle(from.optionalTitle());
    reminder.setStartDateComponents(from.startDateComponents);
    reminder.setDueDateComponents(from.dueDateComponents);
    reminder.setTimeZone(Calendar::systemTimeZone());
    reminder.setCompletionDate(from.completionDate);
    if (from.listID) {
        if (auto calendar = store.calendarWithIdentifier(*from.listID))
            reminder.setCalendar(std::move(calendar));
    }
}

} // namespace tidemark
