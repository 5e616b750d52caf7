#pragma once

#include <chrono>
#include <compare>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace tidemark {

// A moment in time, independent of any calendar or time zone.
using Date = std::chrono::system_clock::time_point;
// A length of time in seconds, as the rules and the views count it.
using TimeInterval = double;

inline Date dateByAdding(Date date, TimeInterval seconds)
{
    return date
        + std::chrono::duration_cast<Date::duration>(std::chrono::duration<double>(seconds));
}

inline TimeInterval timeIntervalBetween(Date from, Date to)
{
    return std::chrono::duration<double>(to - from).count();
}

inline TimeInterval timeIntervalSince1970(Date date)
{
    return std::chrono::duration<double>(date.time_since_epoch()).count();
}

inline Date dateFromTimeIntervalSince1970(TimeInterval seconds)
{
    return Date(std::chrono::duration_cast<Date::duration>(std::chrono::duration<double>(seconds)));
}

// The moments a `Date` holds with room to spare for calendar arithmetic: 1678-01-01 to
// 2261-12-31 23:59:59 UTC (a `Date` counts nanoseconds in 64 bits, about 1677 to 2262).
inline constexpr TimeInterval earliestTimeIntervalSince1970 = -9'214'560'000.0;
inline constexpr TimeInterval latestTimeIntervalSince1970 = 9'214'646'399.0;

// The date of a number of seconds that comes from outside (a file, a setting, a database);
// none when the number is not finite or lies outside the range above, where converting it
// would overflow.
std::optional<Date> checkedDateFromTimeIntervalSince1970(TimeInterval seconds);

// The identifier of a calendar system. Only the gregorian calendar is used.
enum class CalendarIdentifier {
    gregorian,
};

// Calendar fields of a moment (or a pattern), each optional, read in `timeZone` (an IANA
// identifier such as "Europe/Berlin"; none means the calendar's own zone).
struct DateComponents {
    std::optional<CalendarIdentifier> calendar;
    std::optional<std::string> timeZone;
    std::optional<int> year;
    std::optional<int> month;
    std::optional<int> day;
    std::optional<int> hour;
    std::optional<int> minute;
    std::optional<int> second;

    bool operator==(const DateComponents&) const = default;
    auto operator<=>(const DateComponents&) const = default;
};

std::size_t hashValue(const DateComponents& components);

} // namespace tidemark

template <> struct std::hash<tidemark::DateComponents> {
    std::size_t operator()(const tidemark::DateComponents& c) const noexcept
    {
        return tidemark::hashValue(c);
    }
};
