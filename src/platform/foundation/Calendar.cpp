#include "platform/foundation/Calendar.hpp"

#include "platform/foundation/HostTimeZone.hpp"

#include <unicode/gregocal.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <unordered_map>
#include <vector>

namespace tidemark {

namespace {

struct WallTime {
    int year = 1;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

UDate toUDate(Date date)
{
    return std::chrono::duration<double, std::milli>(date.time_since_epoch()).count();
}

// None where the calendar's answer lies outside what a `Date` holds (years 1678 to 2261):
// components from outside, a far search or a large addition reach there, and converting it
// would overflow.
std::optional<Date> fromUDate(UDate value)
{
    if (!std::isfinite(value) || value < earliestTimeIntervalSince1970 * 1000
        || value > latestTimeIntervalSince1970 * 1000)
        return std::nullopt;
    return Date(std::chrono::duration_cast<Date::duration>(
        std::chrono::duration<double, std::milli>(value)));
}

std::unique_ptr<icu::TimeZone> makeZone(const std::string& identifier)
{
    std::unique_ptr<icu::TimeZone> zone(
        icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(identifier)));
    if (!zone || *zone == icu::TimeZone::getUnknown())
        return nullptr;
    return zone;
}

// Building an ICU calendar reads its zone from ICU's resource data, which costs far more
// than copying a calendar already built. So each thread keeps one untouched calendar per
// zone identifier (none for an identifier ICU does not know), and every operation works on
// a copy of its own: operations that call one another never share a calendar's state, the
// options one sets cannot leak into the next, and no lock is needed.
class CalendarPrototypes {
public:
    // The untouched calendar of the zone, or null when ICU does not know the zone.
    const icu::GregorianCalendar* find(const std::string& identifier)
    {
        if (const auto it = m_calendars.find(identifier); it != m_calendars.end())
            return it->second.get();
        // Identifiers can come from stored data; unknown ones must not grow the cache
        // without end.
        if (m_calendars.size() >= maximumSize)
            m_calendars.clear();
        return m_calendars.emplace(identifier, build(identifier)).first->second.get();
    }

    // A copy of the zone's calendar kept for reading dates from components: the conversion
    // sets every option and field it uses before it reads, and calls no other operation, so
    // it can reuse one copy instead of making its own each time (lists convert thousands).
    icu::Calendar* scratch(const std::string& identifier)
    {
        if (const auto it = m_scratch.find(identifier); it != m_scratch.end())
            return it->second.get();
        const auto* prototype = find(identifier);
        if (!prototype)
            return nullptr;
        if (m_scratch.size() >= maximumSize)
            m_scratch.clear();
        return m_scratch.emplace(identifier, prototype->clone()).first->second.get();
    }

    static CalendarPrototypes& forThisThread()
    {
        thread_local CalendarPrototypes prototypes;
        return prototypes;
    }

private:
    static constexpr std::size_t maximumSize = 256;

    static std::unique_ptr<icu::GregorianCalendar> build(const std::string& identifier)
    {
        auto zone = makeZone(identifier);
        if (!zone)
            return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        auto calendar = std::make_unique<icu::GregorianCalendar>(
            zone.release(), icu::Locale::getRoot(), status);
        if (U_FAILURE(status))
            return nullptr;
        return calendar;
    }

    std::unordered_map<std::string, std::unique_ptr<icu::GregorianCalendar>> m_calendars;
    std::unordered_map<std::string, std::unique_ptr<icu::Calendar>> m_scratch;
};

bool knownZone(const std::string& identifier)
{
    return CalendarPrototypes::forThisThread().find(identifier) != nullptr;
}

// A gregorian calendar of ICU in the zone, or none when ICU does not know the zone.
std::unique_ptr<icu::Calendar> makeCalendar(const std::string& identifier)
{
    const auto* prototype = CalendarPrototypes::forThisThread().find(identifier);
    if (!prototype)
        return nullptr;
    return std::unique_ptr<icu::Calendar>(prototype->clone());
}

std::unique_ptr<icu::Calendar> makeCalendarOrUtc(const std::string& identifier)
{
    auto calendar = makeCalendar(identifier);
    return calendar ? std::move(calendar) : makeCalendar("UTC");
}

WallTime wallTime(icu::Calendar& calendar, UDate date)
{
    UErrorCode status = U_ZERO_ERROR;
    calendar.setTime(date, status);
    WallTime w;
    w.year = calendar.get(UCAL_EXTENDED_YEAR, status);
    w.month = calendar.get(UCAL_MONTH, status) + 1;
    w.day = calendar.get(UCAL_DATE, status);
    w.hour = calendar.get(UCAL_HOUR_OF_DAY, status);
    w.minute = calendar.get(UCAL_MINUTE, status);
    w.second = calendar.get(UCAL_SECOND, status);
    return w;
}

// The moment a wall-clock time stands for on its day, under the two policies.
std::optional<UDate> resolve(icu::Calendar& calendar, const WallTime& w, MatchingPolicy matching,
    RepeatedTimePolicy repeated)
{
    calendar.setLenient(true);
    calendar.setRepeatedWallTimeOption(
        repeated == RepeatedTimePolicy::first ? UCAL_WALLTIME_FIRST : UCAL_WALLTIME_LAST);
    switch (matching) {
    case MatchingPolicy::nextTime:
        calendar.setSkippedWallTimeOption(UCAL_WALLTIME_NEXT_VALID);
        break;
    case MatchingPolicy::nextTimePreservingSmallerComponents:
    case MatchingPolicy::strict:
        // The offset before the change: 02:30 skipped from 02:00 becomes 03:30.
        calendar.setSkippedWallTimeOption(UCAL_WALLTIME_LAST);
        break;
    case MatchingPolicy::previousTimePreservingSmallerComponents:
        calendar.setSkippedWallTimeOption(UCAL_WALLTIME_FIRST);
        break;
    }
    calendar.clear();
    calendar.set(UCAL_EXTENDED_YEAR, w.year);
    calendar.set(UCAL_MONTH, w.month - 1);
    calendar.set(UCAL_DATE, w.day);
    calendar.set(UCAL_HOUR_OF_DAY, w.hour);
    calendar.set(UCAL_MINUTE, w.minute);
    calendar.set(UCAL_SECOND, w.second);
    UErrorCode status = U_ZERO_ERROR;
    const UDate result = calendar.getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    if (matching == MatchingPolicy::strict) {
        const WallTime back = wallTime(calendar, result);
        if (back.hour != w.hour || back.minute != w.minute || back.second != w.second
            || back.day != w.day)
            return std::nullopt;
    }
    return result;
}

// The options on one field of a search: the given value, or every value, or the lowest.
std::vector<int> fieldValues(const std::optional<int>& given, bool free, int lowest, int highest)
{
    if (given)
        return { *given };
    if (!free)
        return { lowest };
    std::vector<int> values;
    for (int v = lowest; v <= highest; ++v)
        values.push_back(v);
    return values;
}

bool inRange(const std::optional<int>& value, int lowest, int highest)
{
    return !value || (*value >= lowest && *value <= highest);
}

constexpr UCalendarDateFields icuField(CalendarComponent component)
{
    switch (component) {
    case CalendarComponent::year:
        return UCAL_YEAR;
    case CalendarComponent::month:
        return UCAL_MONTH;
    case CalendarComponent::day:
        return UCAL_DATE;
    case CalendarComponent::hour:
        return UCAL_HOUR_OF_DAY;
    case CalendarComponent::minute:
        return UCAL_MINUTE;
    default:
        return UCAL_SECOND;
    }
}

} // namespace

Calendar::Calendar(std::string timeZone)
    : m_timeZone(isKnownTimeZone(timeZone) ? std::move(timeZone) : std::string("UTC"))
{
}

Calendar Calendar::current()
{
    return Calendar(systemTimeZone());
}

Calendar Calendar::autoupdatingCurrent()
{
    return Calendar();
}

bool Calendar::isKnownTimeZone(const std::string& identifier)
{
    return knownZone(identifier);
}

std::string Calendar::systemTimeZone()
{
    // $TZ and /etc/localtime are read each time; ICU's own guess is the fallback for a
    // zone named in a form ICU does not know.
    const std::string fromHost = hostTimeZoneId();
    if (!fromHost.empty() && isKnownTimeZone(fromHost))
        return fromHost;
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    if (host && *host != icu::TimeZone::getUnknown()) {
        icu::UnicodeString id;
        host->getID(id);
        std::string result;
        id.toUTF8String(result);
        if (isKnownTimeZone(result))
            return result;
    }
    return "UTC";
}

std::string Calendar::timeZone() const
{
    return m_timeZone ? *m_timeZone : systemTimeZone();
}

DateComponents Calendar::dateComponents(CalendarComponents components, Date date) const
{
    return dateComponents(components, date, timeZone());
}

DateComponents Calendar::dateComponents(
    CalendarComponents components, Date date, const std::string& zone) const
{
    auto calendar = makeCalendarOrUtc(zone);
    // Sub-second parts are dropped: the fields are those of the whole second.
    const UDate whole = std::floor(toUDate(date) / 1000.0) * 1000.0;
    const WallTime w = wallTime(*calendar, whole);
    DateComponents result;
    if (components.contains(CalendarComponent::calendar))
        result.calendar = CalendarIdentifier::gregorian;
    if (components.contains(CalendarComponent::timeZone))
        result.timeZone = isKnownTimeZone(zone) ? zone : std::string("UTC");
    if (components.contains(CalendarComponent::year))
        result.year = w.year;
    if (components.contains(CalendarComponent::month))
        result.month = w.month;
    if (components.contains(CalendarComponent::day))
        result.day = w.day;
    if (components.contains(CalendarComponent::hour))
        result.hour = w.hour;
    if (components.contains(CalendarComponent::minute))
        result.minute = w.minute;
    if (components.contains(CalendarComponent::second))
        result.second = w.second;
    return result;
}

int Calendar::component(CalendarComponent component, Date date) const
{
    const auto c = dateComponents(component, date);
    switch (component) {
    case CalendarComponent::year:
        return c.year.value_or(0);
    case CalendarComponent::month:
        return c.month.value_or(0);
    case CalendarComponent::day:
        return c.day.value_or(0);
    case CalendarComponent::hour:
        return c.hour.value_or(0);
    case CalendarComponent::minute:
        return c.minute.value_or(0);
    case CalendarComponent::second:
        return c.second.value_or(0);
    default:
        return 0;
    }
}

std::optional<Date> Calendar::date(const DateComponents& components) const
{
    auto* calendar = CalendarPrototypes::forThisThread().scratch(
        components.timeZone ? *components.timeZone : timeZone());
    if (!calendar)
        return std::nullopt; // components naming a zone nobody knows form no date
    WallTime w;
    w.year = components.year.value_or(1);
    w.month = components.month.value_or(1);
    w.day = components.day.value_or(1);
    w.hour = components.hour.value_or(0);
    w.minute = components.minute.value_or(0);
    w.second = components.second.value_or(0);
    const auto result = resolve(*calendar, w, MatchingPolicy::nextTimePreservingSmallerComponents,
        RepeatedTimePolicy::first);
    if (!result)
        return std::nullopt;
    return fromUDate(*result);
}

std::optional<Date> Calendar::nextDate(Date date, const DateComponents& matching,
    MatchingPolicy matchingPolicy, RepeatedTimePolicy repeatedTimePolicy,
    SearchDirection direction) const
{
    if (!inRange(matching.month, 1, 12) || !inRange(matching.day, 1, 31)
        || !inRange(matching.hour, 0, 23) || !inRange(matching.minute, 0, 59)
        || !inRange(matching.second, 0, 59))
        return std::nullopt;
    // The largest given field: smaller ones not given are fixed at their lowest value.
    int largest = -1; // 0 year, 1 month, 2 day, 3 hour, 4 minute, 5 second
    const std::optional<int>* fields[] = { &matching.year, &matching.month, &matching.day,
        &matching.hour, &matching.minute, &matching.second };
    for (int i = 0; i < 6; ++i) {
        if (fields[i]->has_value()) {
            largest = i;
            break;
        }
    }
    if (largest < 0)
        return std::nullopt;

    auto calendar = makeCalendarOrUtc(timeZone());
    const std::vector<int> hours = fieldValues(matching.hour, largest > 3, 0, 23);
    const std::vector<int> minutes = fieldValues(matching.minute, largest > 4, 0, 59);
    const std::vector<int> seconds = fieldValues(matching.second, false, 0, 0);

    using namespace std::chrono;
    const UDate anchor = toUDate(date);
    const WallTime start = wallTime(*calendar, anchor);
    const sys_days startDay
        = sys_days(year_month_day(year(start.year), month(start.month), day(start.day)));
    const bool forward = direction == SearchDirection::forward;
    constexpr int maximumDays = 4100; // about eleven years

    std::optional<UDate> best;
    int daysAfterHit = -1;
    // A day early, since a shifted time of one day can land on the next.
    for (int step = -1; step <= maximumDays; ++step) {
        const sys_days current = startDay + days(forward ? step : -step);
        const year_month_day ymd(current);
        const int y = int(ymd.year());
        const int m = int(unsigned(ymd.month()));
        const int d = int(unsigned(ymd.day()));
        if ((!matching.year || *matching.year == y) && (!matching.month || *matching.month == m)
            && (!matching.day || *matching.day == d) && (matching.day || largest > 2 || d == 1)
            && (matching.month || largest > 1 || m == 1)) {
            for (int h : hours) {
                for (int mi : minutes) {
                    for (int s : seconds) {
                        const auto candidate = resolve(
                            *calendar, { y, m, d, h, mi, s }, matchingPolicy, repeatedTimePolicy);
                        if (!candidate)
                            continue;
                        if (forward ? *candidate > anchor : *candidate < anchor) {
                            if (!best || (forward ? *candidate < *best : *candidate > *best))
                                best = candidate;
                        }
                    }
                }
            }
        }
        if (best) {
            // One more day, in case its shifted time comes before this day's.
            if (++daysAfterHit >= 1)
                break;
        }
        if (matching.year && (forward ? y > *matching.year : y < *matching.year))
            break;
    }
    if (!best)
        return std::nullopt;
    return fromUDate(*best);
}

std::optional<Date> Calendar::dateBySettingHour(int hour, int minute, int second, Date date,
    MatchingPolicy matchingPolicy, RepeatedTimePolicy repeatedTimePolicy,
    SearchDirection direction) const
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    // Read the system's zone once, so the steps below cannot see two different zones.
    if (isAutoupdating()) {
        return Calendar(timeZone())
            .dateBySettingHour(
                hour, minute, second, date, matchingPolicy, repeatedTimePolicy, direction);
    }
    const MatchingPolicy policy = matchingPolicy == MatchingPolicy::strict
        ? MatchingPolicy::strict
        : MatchingPolicy::nextTime;
    DateComponents wanted;
    wanted.hour = hour;
    wanted.minute = minute;
    wanted.second = second;
    const Date start = startOfDay(date);
    if (direction == SearchDirection::forward)
        return nextDate(
            start - std::chrono::milliseconds(500), wanted, policy, repeatedTimePolicy, direction);
    const auto nextDay = dateByAdding(CalendarComponent::day, 1, start);
    if (!nextDay)
        return std::nullopt;
    return nextDate(startOfDay(*nextDay), wanted, policy, repeatedTimePolicy, direction);
}

Date Calendar::startOfDay(Date date) const
{
    auto calendar = makeCalendarOrUtc(timeZone());
    WallTime w = wallTime(*calendar, toUDate(date));
    w.hour = w.minute = w.second = 0;
    const auto result = resolve(*calendar, w, MatchingPolicy::nextTime, RepeatedTimePolicy::first);
    const auto start = result ? fromUDate(*result) : std::nullopt;
    return start.value_or(date);
}

bool Calendar::isDate(Date date, Date inSameDayAs) const
{
    auto calendar = makeCalendarOrUtc(timeZone());
    const WallTime a = wallTime(*calendar, toUDate(date));
    const WallTime b = wallTime(*calendar, toUDate(inSameDayAs));
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

DateComponents Calendar::dateComponents(CalendarComponents components, Date from, Date to) const
{
    auto calendar = makeCalendarOrUtc(timeZone());
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(toUDate(from), status);
    const UDate target = toUDate(to);
    DateComponents result;
    const std::pair<CalendarComponent, std::optional<int> DateComponents::*> order[] = {
        { CalendarComponent::year, &DateComponents::year },
        { CalendarComponent::month, &DateComponents::month },
        { CalendarComponent::day, &DateComponents::day },
        { CalendarComponent::hour, &DateComponents::hour },
        { CalendarComponent::minute, &DateComponents::minute },
        { CalendarComponent::second, &DateComponents::second },
    };
    for (const auto& [component, member] : order) {
        if (!components.contains(component))
            continue;
        // Each difference moves the calendar on, so the next field counts what is left.
        result.*member = calendar->fieldDifference(target, icuField(component), status);
    }
    if (components.contains(CalendarComponent::calendar))
        result.calendar = CalendarIdentifier::gregorian;
    if (components.contains(CalendarComponent::timeZone))
        result.timeZone = timeZone();
    return result;
}

std::optional<Date> Calendar::dateByAdding(CalendarComponent component, int value, Date date) const
{
    if (component == CalendarComponent::calendar || component == CalendarComponent::timeZone)
        return std::nullopt;
    auto calendar = makeCalendarOrUtc(timeZone());
    UErrorCode status = U_ZERO_ERROR;
    calendar->setTime(toUDate(date), status);
    calendar->add(icuField(component), value, status);
    const UDate result = calendar->getTime(status);
    if (U_FAILURE(status))
        return std::nullopt;
    return fromUDate(result);
}

std::optional<Date> dateFromComponents(const DateComponents& components)
{
    if (!components.calendar)
        return std::nullopt;
    // Components naming their zone are read in it; the system's zone is looked up only
    // when they do not.
    if (components.timeZone)
        return Calendar("UTC").date(components);
    return Calendar(Calendar::systemTimeZone()).date(components);
}

} // namespace tidemark
