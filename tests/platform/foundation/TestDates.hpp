#pragma once

#include "platform/foundation/Date.hpp"

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>

namespace tidemark::test {

// A moment written in UTC: utc(2024, 3, 31, 1, 30) is 2024-03-31T01:30:00Z.
inline Date utc(int y, unsigned m, unsigned d, int hour = 0, int minute = 0, int second = 0)
{
    using namespace std::chrono;
    const sys_days day { year(y) / month(m) / std::chrono::day(d) };
    return Date(duration_cast<Date::duration>(
        day.time_since_epoch() + hours(hour) + minutes(minute) + seconds(second)));
}

inline std::string iso(Date date)
{
    using namespace std::chrono;
    const auto secs = floor<seconds>(date);
    const auto day = floor<days>(secs);
    const year_month_day ymd(day);
    const hh_mm_ss hms(secs - day);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", int(ymd.year()),
        unsigned(ymd.month()), unsigned(ymd.day()), long(hms.hours().count()),
        long(hms.minutes().count()), long(hms.seconds().count()));
    return text;
}

} // namespace tidemark::test
