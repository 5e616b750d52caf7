#include "platform/foundation/Calendar.hpp"
#include "TestDates.hpp"
#include "platform/foundation/Clock.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>
#include <vector>

namespace tidemark {
namespace {

using test::iso;
using test::utc;

DateComponents hourMinute(int hour, int minute)
{
    DateComponents c;
    c.hour = hour;
    c.minute = minute;
    return c;
}

std::string isoOrNone(const std::optional<Date>& date)
{
    return date ? iso(*date) : "none";
}

// Berlin 2024: 02:00 CET jumps to 03:00 CEST on 31 March (01:00Z); 03:00 CEST falls back
// to 02:00 CET on 27 October (01:00Z). New York 2024: 02:00 EST jumps to 03:00 EDT on
// 10 March (07:00Z); 02:00 EDT falls back to 01:00 EST on 3 November (06:00Z).
struct NextDateCase {
    const char* name;
    const char* zone;
    Date after;
    int hour;
    int minute;
    MatchingPolicy matching;
    RepeatedTimePolicy repeated;
    SearchDirection direction;
    std::string expected;
};

TEST(CalendarTest, NextDateAcrossDaylightSavingChanges)
{
    using M = MatchingPolicy;
    using R = RepeatedTimePolicy;
    using D = SearchDirection;
    const NextDateCase cases[] = {
        { "Berlin gap, next time: end of gap", "Europe/Berlin", utc(2024, 3, 30, 12), 2, 30,
            M::nextTime, R::first, D::forward, "2024-03-31T01:00:00Z" },
        { "Berlin gap, preserving: 03:30", "Europe/Berlin", utc(2024, 3, 30, 12), 2, 30,
            M::nextTimePreservingSmallerComponents, R::first, D::forward, "2024-03-31T01:30:00Z" },
        { "Berlin gap, previous preserving: 01:30", "Europe/Berlin", utc(2024, 3, 30, 12), 2, 30,
            M::previousTimePreservingSmallerComponents, R::first, D::forward,
            "2024-03-31T00:30:00Z" },
        { "Berlin gap, strict: next day", "Europe/Berlin", utc(2024, 3, 30, 12), 2, 30, M::strict,
            R::first, D::forward, "2024-04-01T00:30:00Z" },
        { "Berlin gap day, 04:00 after the gap", "Europe/Berlin", utc(2024, 3, 31, 0), 4, 0,
            M::nextTime, R::first, D::forward, "2024-03-31T02:00:00Z" },
        { "Berlin gap, backward: end of gap", "Europe/Berlin", utc(2024, 3, 31, 12), 2, 30,
            M::nextTime, R::first, D::backward, "2024-03-31T01:00:00Z" },
        { "Berlin overlap, first", "Europe/Berlin", utc(2024, 10, 26, 12), 2, 30, M::nextTime,
            R::first, D::forward, "2024-10-27T00:30:00Z" },
        { "Berlin overlap, last", "Europe/Berlin", utc(2024, 10, 26, 12), 2, 30, M::nextTime,
            R::last, D::forward, "2024-10-27T01:30:00Z" },
        { "Berlin overlap, first already passed", "Europe/Berlin", utc(2024, 10, 27, 0, 45), 2, 30,
            M::nextTime, R::first, D::forward, "2024-10-28T01:30:00Z" },
        { "Berlin overlap, last still ahead", "Europe/Berlin", utc(2024, 10, 27, 0, 45), 2, 30,
            M::nextTime, R::last, D::forward, "2024-10-27T01:30:00Z" },
        { "Berlin exact match is not after", "Europe/Berlin", utc(2024, 6, 1, 2), 4, 0, M::nextTime,
            R::first, D::forward, "2024-06-02T02:00:00Z" },
        { "New York gap, next time", "America/New_York", utc(2024, 3, 9, 17), 2, 30, M::nextTime,
            R::first, D::forward, "2024-03-10T07:00:00Z" },
        { "New York gap, preserving", "America/New_York", utc(2024, 3, 9, 17), 2, 30,
            M::nextTimePreservingSmallerComponents, R::first, D::forward, "2024-03-10T07:30:00Z" },
        { "New York gap, previous preserving", "America/New_York", utc(2024, 3, 9, 17), 2, 30,
            M::previousTimePreservingSmallerComponents, R::first, D::forward,
            "2024-03-10T06:30:00Z" },
        { "New York gap, strict", "America/New_York", utc(2024, 3, 9, 17), 2, 30, M::strict,
            R::first, D::forward, "2024-03-11T06:30:00Z" },
        { "New York overlap, first", "America/New_York", utc(2024, 11, 2, 12), 1, 30, M::nextTime,
            R::first, D::forward, "2024-11-03T05:30:00Z" },
        { "New York overlap, last", "America/New_York", utc(2024, 11, 2, 12), 1, 30, M::nextTime,
            R::last, D::forward, "2024-11-03T06:30:00Z" },
        { "New York overlap, backward first", "America/New_York", utc(2024, 11, 3, 12), 1, 30,
            M::nextTime, R::first, D::backward, "2024-11-03T05:30:00Z" },
    };
    for (const auto& c : cases) {
        const Calendar calendar(c.zone);
        EXPECT_EQ(isoOrNone(calendar.nextDate(
                      c.after, hourMinute(c.hour, c.minute), c.matching, c.repeated, c.direction)),
            c.expected)
            << c.name;
    }
}

TEST(CalendarTest, NextDateOfOtherFieldsAndBadInput)
{
    const Calendar calendar("UTC");
    DateComponents minuteOnly;
    minuteOnly.minute = 15;
    EXPECT_EQ(
        isoOrNone(calendar.nextDate(utc(2024, 1, 1, 10, 20), minuteOnly, MatchingPolicy::nextTime)),
        "2024-01-01T11:15:00Z");
    DateComponents leapDay;
    leapDay.month = 2;
    leapDay.day = 29;
    EXPECT_EQ(isoOrNone(calendar.nextDate(utc(2024, 3, 1), leapDay, MatchingPolicy::strict)),
        "2028-02-29T00:00:00Z");
    EXPECT_EQ(
        isoOrNone(calendar.nextDate(utc(2024, 3, 1), hourMinute(24, 0), MatchingPolicy::nextTime)),
        "none");
    EXPECT_EQ(
        isoOrNone(calendar.nextDate(utc(2024, 3, 1), DateComponents {}, MatchingPolicy::nextTime)),
        "none");
    DateComponents pastYear;
    pastYear.year = 2020;
    EXPECT_EQ(
        isoOrNone(calendar.nextDate(utc(2024, 3, 1), pastYear, MatchingPolicy::nextTime)), "none");
}

// Components from outside, a far search or a large addition can name a moment a `Date`
// cannot hold (before 1678 or after 2261): the answer is none, never an overflow.
TEST(CalendarTest, MomentsADateCannotHoldAreNone)
{
    const Calendar calendar("UTC");
    DateComponents c;
    c.calendar = CalendarIdentifier::gregorian;
    c.month = 5;
    c.day = 1;
    for (const int year : { 1, 1500, 1677, 2262, 2500, 99999 }) {
        c.year = year;
        EXPECT_EQ(isoOrNone(calendar.date(c)), "none") << year;
        EXPECT_EQ(isoOrNone(dateFromComponents(c)), "none") << year;
    }
    c.year = 1700;
    EXPECT_EQ(isoOrNone(calendar.date(c)), "1700-05-01T00:00:00Z");
    c.year = 2260;
    EXPECT_EQ(isoOrNone(calendar.date(c)), "2260-05-01T00:00:00Z");

    EXPECT_EQ(
        isoOrNone(calendar.dateByAdding(CalendarComponent::year, 300, utc(2024, 1, 1))), "none");
    EXPECT_EQ(
        isoOrNone(calendar.dateByAdding(CalendarComponent::day, -200000, utc(2024, 1, 1))), "none");
    DateComponents farYear;
    farYear.year = 2300;
    EXPECT_EQ(
        isoOrNone(calendar.nextDate(utc(2024, 3, 1), farYear, MatchingPolicy::nextTime)), "none");
}

struct SettingCase {
    const char* name;
    const char* zone;
    Date of;
    int hour;
    int minute;
    MatchingPolicy matching;
    RepeatedTimePolicy repeated;
    std::string expected;
};

TEST(CalendarTest, SettingTheTimeOfDay)
{
    using M = MatchingPolicy;
    using R = RepeatedTimePolicy;
    const SettingCase cases[] = {
        { "04:00 stays on the day, even when earlier", "Europe/Berlin", utc(2024, 6, 1, 20), 4, 0,
            M::nextTime, R::first, "2024-06-01T02:00:00Z" },
        { "04:00 on the fall-back day", "Europe/Berlin", utc(2024, 10, 27, 10), 4, 0, M::nextTime,
            R::first, "2024-10-27T03:00:00Z" },
        { "skipped time gives the end of the gap", "Europe/Berlin", utc(2024, 3, 31, 10), 2, 30,
            M::nextTime, R::first, "2024-03-31T01:00:00Z" },
        { "skipped time, strict: next day", "Europe/Berlin", utc(2024, 3, 31, 10), 2, 30, M::strict,
            R::first, "2024-04-01T00:30:00Z" },
        { "repeated time, first", "Europe/Berlin", utc(2024, 10, 27, 10), 2, 30, M::nextTime,
            R::first, "2024-10-27T00:30:00Z" },
        { "repeated time, last", "Europe/Berlin", utc(2024, 10, 27, 10), 2, 30, M::nextTime,
            R::last, "2024-10-27T01:30:00Z" },
        { "the local day, not the UTC day", "America/New_York", utc(2024, 3, 10, 2), 4, 0,
            M::nextTime, R::first, "2024-03-09T09:00:00Z" },
        { "New York skipped time", "America/New_York", utc(2024, 3, 10, 12), 2, 30, M::nextTime,
            R::first, "2024-03-10T07:00:00Z" },
        { "New York repeated time, last", "America/New_York", utc(2024, 11, 3, 12), 1, 30,
            M::nextTime, R::last, "2024-11-03T06:30:00Z" },
    };
    for (const auto& c : cases) {
        const Calendar calendar(c.zone);
        EXPECT_EQ(isoOrNone(calendar.dateBySettingHour(
                      c.hour, c.minute, 0, c.of, c.matching, c.repeated)),
            c.expected)
            << c.name;
    }
    EXPECT_EQ(isoOrNone(Calendar("UTC").dateBySettingHour(25, 0, 0, utc(2024, 1, 1))), "none");
}

TEST(CalendarTest, ComponentsAndBackAroundChanges)
{
    const Calendar berlin("Europe/Berlin");
    const CalendarComponents all { CalendarComponent::calendar, CalendarComponent::timeZone,
        CalendarComponent::year, CalendarComponent::month, CalendarComponent::day,
        CalendarComponent::hour, CalendarComponent::minute, CalendarComponent::second };

    const auto first
        = berlin.dateComponents(all, utc(2024, 10, 27, 0, 30) + std::chrono::milliseconds(900));
    DateComponents expected;
    expected.calendar = CalendarIdentifier::gregorian;
    expected.timeZone = "Europe/Berlin";
    expected.year = 2024;
    expected.month = 10;
    expected.day = 27;
    expected.hour = 2;
    expected.minute = 30;
    expected.second = 0;
    EXPECT_EQ(first, expected); // sub-second parts are dropped
    // The repeated half hour reads the same in both of its moments; back, it is the first.
    EXPECT_EQ(berlin.dateComponents(all, utc(2024, 10, 27, 1, 30)), expected);
    EXPECT_EQ(isoOrNone(berlin.date(expected)), "2024-10-27T00:30:00Z");

    // A skipped time is read with the offset before the change.
    DateComponents skipped = expected;
    skipped.month = 3;
    skipped.day = 31;
    EXPECT_EQ(isoOrNone(berlin.date(skipped)), "2024-03-31T01:30:00Z");

    // Components carry their zone: read back by a calendar in another zone, same moment.
    const Date moment = utc(2024, 7, 14, 16, 5, 9);
    const auto stored = berlin.dateComponents(all, moment);
    EXPECT_EQ(isoOrNone(Calendar("America/New_York").date(stored)), iso(moment));
    EXPECT_EQ(isoOrNone(dateFromComponents(stored)), iso(moment));

    // In a zone named explicitly.
    const auto inNewYork = berlin.dateComponents(
        { CalendarComponent::hour, CalendarComponent::day }, moment, "America/New_York");
    EXPECT_EQ(inNewYork.hour, 12);
    EXPECT_EQ(inNewYork.day, 14);
    EXPECT_FALSE(inNewYork.timeZone.has_value());

    // Components without a calendar form no date on their own; an unknown zone neither.
    DateComponents noCalendar = stored;
    noCalendar.calendar.reset();
    EXPECT_FALSE(dateFromComponents(noCalendar).has_value());
    DateComponents unknownZone = stored;
    unknownZone.timeZone = "Mars/Olympus_Mons";
    EXPECT_FALSE(berlin.date(unknownZone).has_value());
}

TEST(CalendarTest, DaysAndDifferences)
{
    const Calendar berlin("Europe/Berlin");
    const Calendar newYork("America/New_York");
    EXPECT_EQ(iso(berlin.startOfDay(utc(2024, 3, 31, 10))), "2024-03-30T23:00:00Z");
    EXPECT_EQ(iso(newYork.startOfDay(utc(2024, 11, 3, 12))), "2024-11-03T04:00:00Z");
    // Santiago's clocks jump from 00:00 to 01:00: the day starts at 01:00.
    EXPECT_EQ(
        iso(Calendar("America/Santiago").startOfDay(utc(2024, 9, 8, 15))), "2024-09-08T04:00:00Z");

    EXPECT_FALSE(berlin.isDate(utc(2024, 3, 30, 22, 59), utc(2024, 3, 30, 23, 0)));
    EXPECT_TRUE(newYork.isDate(utc(2024, 3, 30, 22, 59), utc(2024, 3, 30, 23, 0)));

    // The day of the change is 23 hours long: one day is not 24 hours there.
    const auto d = berlin.dateComponents({ CalendarComponent::day, CalendarComponent::hour },
        utc(2024, 3, 30, 12), utc(2024, 3, 31, 12));
    EXPECT_EQ(d.day, 1);
    EXPECT_EQ(d.hour, 1);
    const auto h = berlin.dateComponents({ CalendarComponent::hour, CalendarComponent::minute },
        utc(2024, 3, 31, 12), utc(2024, 3, 30, 10, 30));
    EXPECT_EQ(h.hour, -25);
    EXPECT_EQ(h.minute, -30);
    EXPECT_EQ(isoOrNone(berlin.dateByAdding(CalendarComponent::day, 1, utc(2024, 3, 30, 12))),
        "2024-03-31T11:00:00Z");
}

TEST(CalendarTest, CurrentFollowsTheSystemZone)
{
    const char* saved = std::getenv("TZ");
    const std::string previous = saved ? saved : "";
    ::setenv("TZ", "America/New_York", 1);
    const Calendar fixed = Calendar::current();
    const Calendar following = Calendar::autoupdatingCurrent();
    EXPECT_EQ(fixed.timeZone(), "America/New_York");
    ::setenv("TZ", "Europe/Berlin", 1);
    EXPECT_EQ(Calendar::current().timeZone(), "Europe/Berlin");
    EXPECT_EQ(following.timeZone(), "Europe/Berlin");
    EXPECT_EQ(fixed.timeZone(), "America/New_York");
    if (saved)
        ::setenv("TZ", previous.c_str(), 1);
    else
        ::unsetenv("TZ");

    EXPECT_EQ(Calendar("No/Such_Zone").timeZone(), "UTC");
    EXPECT_FALSE(Calendar::isKnownTimeZone("No/Such_Zone"));
}

// Sets $TZ for the life of the object, then puts the old value back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone)
    {
        if (const char* saved = std::getenv("TZ"))
            m_saved = saved;
        ::setenv("TZ", zone, 1);
    }
    ~ScopedTimeZone()
    {
        if (m_saved)
            ::setenv("TZ", m_saved->c_str(), 1);
        else
            ::unsetenv("TZ");
    }
    void set(const char* zone) { ::setenv("TZ", zone, 1); }

private:
    std::optional<std::string> m_saved;
};

TEST(CalendarTest, AutoupdatingCalendarWorksInTheNewZoneAfterAChange)
{
    ScopedTimeZone tz("America/New_York");
    const Calendar following = Calendar::autoupdatingCurrent();
    const Date moment = utc(2024, 7, 14, 16);
    // Used in one zone first, so whatever it keeps for that zone is warm.
    EXPECT_EQ(following.component(CalendarComponent::hour, moment), 12);
    EXPECT_EQ(isoOrNone(following.dateBySettingHour(9, 0, 0, moment)), "2024-07-14T13:00:00Z");
    EXPECT_EQ(iso(following.startOfDay(moment)), "2024-07-14T04:00:00Z");

    tz.set("Europe/Berlin");
    EXPECT_EQ(following.component(CalendarComponent::hour, moment), 18);
    EXPECT_EQ(isoOrNone(following.dateBySettingHour(9, 0, 0, moment)), "2024-07-14T07:00:00Z");
    EXPECT_EQ(iso(following.startOfDay(moment)), "2024-07-13T22:00:00Z");
    EXPECT_EQ(
        following.dateComponents(CalendarComponent::timeZone, moment).timeZone, "Europe/Berlin");
    DateComponents noZone;
    noZone.calendar = CalendarIdentifier::gregorian;
    noZone.year = 2024;
    noZone.month = 7;
    noZone.day = 14;
    noZone.hour = 9;
    EXPECT_EQ(isoOrNone(dateFromComponents(noZone)), "2024-07-14T07:00:00Z");
}

TEST(CalendarTest, OneOperationLeavesNothingBehindForTheNext)
{
    const Calendar berlin("Europe/Berlin");
    // Adding a day onto a time the next day skips: 02:30 on 30 March is 03:30 the next day.
    const Date beforeGap = utc(2024, 3, 30, 1, 30);
    const std::string expected = "2024-03-31T01:30:00Z";
    EXPECT_EQ(isoOrNone(berlin.dateByAdding(CalendarComponent::day, 1, beforeGap)), expected);
    // Searches that read skipped and repeated times under every policy come in between.
    const MatchingPolicy policies[]
        = { MatchingPolicy::previousTimePreservingSmallerComponents, MatchingPolicy::nextTime,
              MatchingPolicy::strict, MatchingPolicy::nextTimePreservingSmallerComponents };
    for (const auto policy : policies) {
        for (const auto repeated : { RepeatedTimePolicy::first, RepeatedTimePolicy::last }) {
            berlin.nextDate(utc(2024, 3, 30), hourMinute(2, 30), policy, repeated);
            berlin.dateBySettingHour(2, 30, 0, utc(2024, 10, 27, 12), policy, repeated);
            EXPECT_EQ(
                isoOrNone(berlin.dateByAdding(CalendarComponent::day, 1, beforeGap)), expected)
                << int(policy) << " " << int(repeated);
        }
    }
    // Many zones nobody knows, read from stored data, leave the known ones working.
    for (int i = 0; i < 600; ++i)
        EXPECT_FALSE(Calendar::isKnownTimeZone("No/Such_Zone_" + std::to_string(i)));
    EXPECT_EQ(isoOrNone(berlin.dateByAdding(CalendarComponent::day, 1, beforeGap)), expected);
    EXPECT_EQ(Calendar("No/Such_Zone_1").timeZone(), "UTC");
}

TEST(CalendarTest, CalendarsOnSeveralThreadsAtOnce)
{
    const std::pair<const char*, std::string> zones[] = {
        { "Europe/Berlin", "2024-03-31T01:00:00Z" },
        { "America/New_York", "2024-03-30T07:00:00Z" },
        { "Asia/Tokyo", "2024-03-30T18:00:00Z" },
        { "Europe/Berlin", "2024-03-31T01:00:00Z" },
    };
    std::vector<int> mismatches(std::size(zones), 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < std::size(zones); ++t) {
        threads.emplace_back([&, t] {
            const Calendar calendar(zones[t].first);
            for (int i = 0; i < 200; ++i) {
                const auto at = calendar.dateBySettingHour(3, 0, 0, utc(2024, 3, 31, 1));
                if (isoOrNone(at) != zones[t].second)
                    ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < std::size(zones); ++t)
        EXPECT_EQ(mismatches[t], 0) << zones[t].first;
}

TEST(CalendarTest, ManualClockMovesOnlyWhenTold)
{
    ManualClock clock(utc(2024, 1, 1));
    EXPECT_EQ(iso(clock.now()), "2024-01-01T00:00:00Z");
    clock.advance(90);
    EXPECT_EQ(iso(clock.now()), "2024-01-01T00:01:30Z");
    clock.set(utc(2030, 5, 6));
    EXPECT_EQ(iso(clock.now()), "2030-05-06T00:00:00Z");
}

} // namespace
} // namespace tidemark
