#include "notifications/ReminderDateResolver.hpp"

#include "platform/foundation/Calendar.hpp"
#include "reminders/Reminder.hpp"

namespace tidemark {

namespace {

bool inRange(const std::optional<int>& value, int low, int high)
{
    return value && *value >= low && *value <= high;
}

// The wall time as a moment in UTC: plain arithmetic on the proleptic Gregorian calendar.
std::chrono::sys_seconds wallAsUtc(int year, int month, int day, int hour, int minute, int second)
{
    using namespace std::chrono;
    const sys_days days { std::chrono::year(year) / std::chrono::month(unsigned(month))
        / std::chrono::day(unsigned(day)) };
    return days + hours(hour) + minutes(minute) + seconds(second);
}

} // namespace

std::optional<Date> ReminderDateResolver::exact(const DateComponents& components)
{
    ++m_calendarConversions;
    return reminderDate(components);
}

std::optional<Date> ReminderDateResolver::date(const std::optional<DateComponents>& components)
{
    if (!components || !components->calendar)
        return std::nullopt; // as the calendar answers
    const auto& c = *components;
    // Years where ICU's calendar is the proleptic Gregorian one and fields it would not
    // carry over into the next unit.
    if (!inRange(c.year, 1900, 9999) || !inRange(c.month, 1, 12) || !inRange(c.day, 1, 31)
        || !inRange(c.hour, 0, 23) || !inRange(c.minute, 0, 59) || !inRange(c.second, 0, 59))
        return exact(c);
    const std::chrono::year_month_day ymd { std::chrono::year(*c.year)
        / std::chrono::month(unsigned(*c.month)) / std::chrono::day(unsigned(*c.day)) };
    if (!ymd.ok())
        return exact(c); // the 31st of a shorter month: the calendar carries it over

    if (!c.timeZone && !m_systemZone)
        m_systemZone = Calendar::systemTimeZone();
    const std::string& zone = c.timeZone ? *c.timeZone : *m_systemZone;

    if (!m_lastZone || m_lastZone->first != zone) {
        auto zoneEntry = m_zones.find(zone);
        if (zoneEntry == m_zones.end())
            zoneEntry = m_zones.emplace(zone, Hours {}).first;
        m_lastZone = &*zoneEntry;
    }
    auto& hours = m_lastZone->second;
    const auto wallHour = wallAsUtc(*c.year, *c.month, *c.day, *c.hour, 0, 0);
    auto found = hours.find(wallHour.time_since_epoch().count());
    if (found == hours.end()) {
        // The offset at both ends of the hour; equal ends mean one offset for all of it.
        Hour hour;
        DateComponents first = c;
        first.timeZone = zone;
        first.minute = 0;
        first.second = 0;
        DateComponents last = first;
        last.minute = 59;
        last.second = 59;
        const auto atFirst = exact(first);
        const auto atLast = exact(last);
        if (atFirst && atLast) {
            const auto offsetFirst = std::chrono::duration_cast<std::chrono::seconds>(
                wallHour.time_since_epoch() - atFirst->time_since_epoch());
            const auto offsetLast = std::chrono::duration_cast<std::chrono::seconds>(
                (wallHour + std::chrono::seconds(3599)).time_since_epoch()
                - atLast->time_since_epoch());
            if (offsetFirst == offsetLast)
                hour.offset = offsetFirst;
        }
        found = hours.emplace(wallHour.time_since_epoch().count(), hour).first;
    }
    if (!found->second.offset)
        return exact(c);
    const auto wall = wallHour + std::chrono::minutes(*c.minute) + std::chrono::seconds(*c.second);
    return Date(std::chrono::duration_cast<Date::duration>(
        wall.time_since_epoch() - *found->second.offset));
}

} // namespace tidemark
