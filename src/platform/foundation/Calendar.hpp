#pragma once

#include "platform/foundation/Date.hpp"
#include "platform/foundation/FlagSet.hpp"

#include <initializer_list>
#include <optional>
#include <string>

namespace tidemark {

// The fields of a moment a calendar can read or compare.
enum class CalendarComponent : unsigned {
    calendar = 1u << 0,
    timeZone = 1u << 1,
    year = 1u << 2,
    month = 1u << 3,
    day = 1u << 4,
    hour = 1u << 5,
    minute = 1u << 6,
    second = 1u << 7,
};

// A set of calendar components.
using CalendarComponents = FlagSet<CalendarComponent>;

// What a search does when the wanted wall-clock time does not exist on a day (the clock
// jumps over it at a daylight-saving change).
enum class MatchingPolicy {
    // The first moment after the gap, e.g. 03:00 for a wanted 02:30 skipped from 02:00.
    nextTime,
    // The wanted time shifted by the gap, keeping minutes and seconds: 03:30 for 02:30.
    nextTimePreservingSmallerComponents,
    // The wanted time shifted back by the gap: 01:30 for 02:30.
    previousTimePreservingSmallerComponents,
    // Only an exact match counts; a day without the time is passed over.
    strict,
};

// Which of two moments is meant when the clock shows a wall-clock time twice (it is set
// back at a daylight-saving change).
enum class RepeatedTimePolicy {
    first,
    last,
};

enum class SearchDirection {
    forward,
    backward,
};

// A gregorian calendar in one time zone. A calendar either keeps the zone it was made
// with, or (`autoupdatingCurrent`) reads the system's zone anew for every operation, so
// it follows a change of the user's zone while the program runs.
//
// Turning wall-clock fields into a moment: a time skipped by a daylight-saving change is
// read with the offset in force before the change (02:30 skipped at 02:00 gives 03:30),
// and a time shown twice gives its first moment.
class Calendar {
public:
    // A calendar in the given IANA zone ("Europe/Berlin", "UTC"); an unknown identifier
    // gives UTC. `isKnownTimeZone` tells them apart beforehand.
    explicit Calendar(std::string timeZone);

    // The system's zone as it is now ($TZ, else /etc/localtime), fixed from then on.
    static Calendar current();
    // A calendar that follows the system's zone.
    static Calendar autoupdatingCurrent();
    // The system's time zone identifier ("UTC" when it cannot be found).
    static std::string systemTimeZone();
    static bool isKnownTimeZone(const std::string& identifier);

    CalendarIdentifier identifier() const { return CalendarIdentifier::gregorian; }
    // The zone in which the calendar reads and builds dates now.
    std::string timeZone() const;
    bool isAutoupdating() const { return !m_timeZone.has_value(); }

    // The fields of `date` in the calendar's zone, or in `timeZone`. Sub-second parts are
    // dropped (the second is rounded down).
    DateComponents dateComponents(CalendarComponents components, Date date) const;
    DateComponents dateComponents(
        CalendarComponents components, Date date, const std::string& timeZone) const;
    // One field of `date` in the calendar's zone (calendar and time zone give 0).
    int component(CalendarComponent component, Date date) const;

    // The moment the fields stand for, read in the components' own zone when they have
    // one, else the calendar's. Missing fields take their lowest value (year 1, month 1,
    // day 1, 00:00:00). Values out of range carry over (month 13 is January next year).
    std::optional<Date> date(const DateComponents& components) const;

    // The given time of day on the day of `date`. The time is looked for from the start
    // of that day; a time the day skips follows `matchingPolicy`, where only `nextTime`
    // and `strict` apply (the others act as `nextTime`).
    std::optional<Date> dateBySettingHour(int hour, int minute, int second, Date date,
        MatchingPolicy matchingPolicy = MatchingPolicy::nextTime,
        RepeatedTimePolicy repeatedTimePolicy = RepeatedTimePolicy::first,
        SearchDirection direction = SearchDirection::forward) const;

    // The first moment strictly after (or, searching backward, strictly before) `date`
    // whose fields equal the given ones. Fields smaller than the largest given one and not
    // given themselves count as their lowest value (a matching hour and minute means
    // second 0); larger ones are free. A time skipped on a day follows `matchingPolicy`;
    // a time shown twice counts only at the moment `repeatedTimePolicy` names. No match
    // within about eleven years, fields out of range, or no field at all give none.
    std::optional<Date> nextDate(Date date, const DateComponents& matching,
        MatchingPolicy matchingPolicy,
        RepeatedTimePolicy repeatedTimePolicy = RepeatedTimePolicy::first,
        SearchDirection direction = SearchDirection::forward) const;

    // The first moment of the day of `date` (after a skipped midnight, the first moment
    // that exists).
    Date startOfDay(Date date) const;
    bool isDate(Date date, Date inSameDayAs) const;
    bool isDateInToday(Date date, Date now) const { return isDate(date, now); }

    // The difference from `from` to `to` in the given fields, each larger field taken
    // first and truncated toward zero (negative when `to` lies before `from`).
    DateComponents dateComponents(CalendarComponents components, Date from, Date to) const;

    // Adds a number of one calendar field (year, month, day, hour, minute, second).
    std::optional<Date> dateByAdding(CalendarComponent component, int value, Date date) const;

    // Two calendars are equal when they are both autoupdating or keep the same zone.
    bool operator==(const Calendar&) const = default;

private:
    Calendar() = default;
    std::optional<std::string> m_timeZone;
};

// The moment given components stand for, in their own calendar and zone (the system's
// zone when they name none); none when they name no calendar, as a reminder's stored
// components must.
std::optional<Date> dateFromComponents(const DateComponents& components);

} // namespace tidemark
