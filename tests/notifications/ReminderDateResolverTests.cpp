#include "notifications/ReminderDateResolver.hpp"

#include "platform/foundation/Calendar.hpp"
#include "reminders/Reminder.hpp"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

DateComponents wall(std::optional<std::string> zone, std::optional<int> year,
    std::optional<int> month, std::optional<int> day, std::optional<int> hour,
    std::optional<int> minute, std::optional<int> second)
{
    return { CalendarIdentifier::gregorian, std::move(zone), year, month, day, hour, minute,
        second };
}

// Every answer must be the calendar's own, also where wall time is skipped or repeated.
TEST(ReminderDateResolver, AgreesWithTheCalendarOnEdgeCases)
{
    std::vector<std::optional<DateComponents>> cases {
        wall("Europe/Berlin", 2026, 6, 1, 10, 15, 30),
        wall("Europe/Berlin", 2026, 3, 29, 2, 30, 0), // skipped by the clock change
        wall("Europe/Berlin", 2026, 3, 29, 2, 0, 0),
        wall("Europe/Berlin", 2026, 3, 29, 3, 0, 0),
        wall("Europe/Berlin", 2026, 10, 25, 2, 30, 0), // repeated
        wall("Europe/Berlin", 2026, 10, 25, 2, 59, 59),
        wall("Europe/Berlin", 2026, 10, 25, 3, 0, 0),
        wall("Australia/Lord_Howe", 2026, 4, 5, 1, 45, 0), // half-hour change
        wall("Australia/Lord_Howe", 2026, 10, 4, 2, 15, 0),
        wall("Asia/Kolkata", 2026, 1, 1, 0, 0, 0),
        wall("America/St_Johns", 2026, 11, 1, 1, 30, 0),
        wall(std::nullopt, 2026, 7, 4, 12, 0, 0), // the system's zone
        wall("Mars/Olympus_Mons", 2026, 7, 4, 12, 0, 0), // unknown zone: no date
        wall("UTC", 2026, 2, 31, 12, 0, 0), // carried over into March
        wall("UTC", 2026, 5, 1, 12, 0, 60),
        wall("UTC", 1500, 5, 1, 12, 0, 0),
        wall("UTC", 2026, 5, 1, std::nullopt, 0, 0),
        DateComponents { std::nullopt, "UTC", 2026, 5, 1, 12, 0, 0 }, // no calendar
        std::nullopt,
    };
    ReminderDateResolver resolver;
    for (int pass = 0; pass < 2; ++pass) { // the second pass answers from what it kept
        for (const auto& components : cases) {
            SCOPED_TRACE(components ? components->timeZone.value_or("(system)") + " "
                        + std::to_string(components->month.value_or(0)) + "/"
                        + std::to_string(components->day.value_or(0)) + " "
                        + std::to_string(components->hour.value_or(-1)) + ":"
                        + std::to_string(components->minute.value_or(-1))
                                    : "none");
            EXPECT_EQ(resolver.date(components), reminderDate(components));
        }
    }
}

TEST(ReminderDateResolver, AgreesWithTheCalendarAcrossClockChangesWithFewConversions)
{
    for (const std::string zone : { "Europe/Berlin", "America/New_York", "Australia/Lord_Howe" }) {
        SCOPED_TRACE(zone);
        const Calendar calendar(zone);
        ReminderDateResolver resolver;
        // Every 7 minutes and 13 seconds over two days around each clock change of 2026 in
        // these zones (New York in March, Europe, Lord Howe in April, Lord Howe in October,
        // Europe, New York in November).
        std::size_t count = 0;
        for (const TimeInterval change :
            { 1772953200, 1774746000, 1775314800, 1791041400, 1792890000, 1793512800 }) {
            const Date middle = dateFromTimeIntervalSince1970(change);
            for (TimeInterval t = -86400; t < 86400; t += 433, ++count) {
                const auto components = reminderComponents(dateByAdding(middle, t), calendar);
                ASSERT_EQ(resolver.date(components), reminderDate(components))
                    << timeIntervalSince1970(dateByAdding(middle, t));
            }
        }
        EXPECT_LT(resolver.calendarConversions(), count / 3);
    }
}

} // namespace
} // namespace tidemark
