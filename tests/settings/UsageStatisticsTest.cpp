#include "SettingsTestSupport.hpp"

#include "settings/UsageStatistics.hpp"

#include <nlohmann/json.hpp>

#include <limits>

namespace tidemark {
namespace {

const Calendar berlin("Europe/Berlin");

// A wall-clock time in Berlin; minutes past the hour may be given beyond 59 to step over
// a skipped hour.
Date at(int year, int month, int day, int hour, int minute)
{
    DateComponents c;
    c.year = year;
    c.month = month;
    c.day = day;
    c.hour = hour;
    c.minute = minute;
    c.second = 0;
    return *berlin.date(c);
}

TEST(UsageStatisticsTest, countsDifferentDaysByTheCalendar)
{
    struct Case {
        const char* name;
        std::vector<Date> creations;
        std::int64_t days;
    };
    const Date springStart = at(2024, 3, 31, 0, 30); // clocks jump from 02:00 to 03:00
    const Date autumnFirst = at(2024, 10, 27, 2, 30); // 02:30 summer time, shown twice
    const Case cases[] = {
        { "one creation", { at(2024, 5, 1, 12, 0) }, 1 },
        { "several within one day",
            { at(2024, 5, 1, 0, 0), at(2024, 5, 1, 12, 0), at(2024, 5, 1, 23, 59) }, 1 },
        { "just before and after midnight", { at(2024, 5, 1, 23, 59), at(2024, 5, 2, 0, 1) }, 2 },
        { "the same hour on consecutive days",
            { at(2024, 5, 1, 9, 0), at(2024, 5, 2, 9, 0), at(2024, 5, 3, 9, 0) }, 3 },
        { "across the skipped hour: one day", { springStart, dateByAdding(springStart, 3 * 3600) },
            1 },
        { "a day of 23 hours then the next", { springStart, dateByAdding(springStart, 23 * 3600) },
            2 },
        { "the repeated hour: one day", { autumnFirst, dateByAdding(autumnFirst, 3600) }, 1 },
        { "a day of 25 hours: 24 hours later is the same day",
            { at(2024, 10, 27, 0, 30), dateByAdding(at(2024, 10, 27, 0, 30), 24 * 3600) }, 1 },
        { "a week later", { at(2024, 5, 1, 9, 0), at(2024, 5, 8, 9, 0) }, 2 },
        { "back in time (clock set back a day)", { at(2024, 5, 2, 9, 0), at(2024, 5, 1, 9, 0) },
            2 },
    };
    for (const auto& c : cases) {
        UsageStatistics statistics;
        for (auto when : c.creations)
            statistics = recordingCreation(statistics, when, berlin);
        EXPECT_EQ(statistics.date.differentDaysCount, c.days) << c.name;
        EXPECT_EQ(statistics.reminders.createdCount, std::int64_t(c.creations.size())) << c.name;
        EXPECT_TRUE(berlin.isDate(*statistics.date.lastUsed, c.creations.back())) << c.name;
    }
}

TEST(UsageStatisticsTest, theReviewRuleNeedsFortyCreationsOnSevenDaysOnce)
{
    struct Case {
        std::int64_t created;
        std::int64_t days;
        std::optional<std::string> prompted;
        bool prompts;
    };
    const Case cases[] = {
        { 40, 7, std::nullopt, true },
        { 39, 7, std::nullopt, false },
        { 40, 6, std::nullopt, false },
        { 1000, 365, std::nullopt, true },
        { 40, 7, "1.2.5", false },
        { 40, 7, "0.9", false },
        { 0, 0, std::nullopt, false },
    };
    for (const auto& c : cases) {
        UsageStatistics statistics { { c.days, std::nullopt }, { c.created } };
        EXPECT_EQ(shouldPromptForReview(statistics, c.prompted), c.prompts)
            << c.created << " created, " << c.days << " days, prompted "
            << c.prompted.value_or("never");
    }
}

TEST(UsageStatisticsTest, theRecordIsKeptAcrossLaunches)
{
    test::TemporaryFolder folder;
    UsageStatistics counted { { 3, at(2024, 5, 1, 9, 0) }, { 12 } };
    {
        UsageStatisticsService service(UserDefaults::suite("stats", folder.path()));
        EXPECT_EQ(service.data(), UsageStatistics {});
        ASSERT_TRUE(service.save(counted).isSuccess());
    }
    UsageStatisticsService service(UserDefaults::suite("stats", folder.path()));
    EXPECT_EQ(service.data(), counted);
    auto stored = UserDefaults::suite("stats", folder.path())->object(usageStatisticsKey());
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->at("date").at("differentDaysCount"), 3);
    EXPECT_EQ(stored->at("reminders").at("createdCount"), 12);
}

// Stored records at the edges of what they can hold: counts saturate instead of wrapping
// round, and a last-use date no date can hold is refused (the next creation counts a day).
TEST(UsageStatisticsTest, recordsAtTheEdgesAreReadAndCountedWithoutOverflow)
{
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    const std::string lastUsedYesterday = "757382400"; // 2025-01-01 00:00 UTC
    const struct {
        const char* name;
        std::string record;
        std::int64_t daysAfter;
        std::int64_t createdAfter;
    } cases[] {
        { "both counts at the largest",
            "{\"date\": {\"differentDaysCount\": 9223372036854775807, \"lastUsed\": "
                + lastUsedYesterday + "}, \"reminders\": {\"createdCount\": 9223372036854775807}}",
            largest, largest },
        { "counts past the largest",
            "{\"date\": {\"differentDaysCount\": 18446744073709551615}, "
            "\"reminders\": {\"createdCount\": 9223372036854775808}}",
            largest, largest },
        { "a last use of 1e300",
            "{\"date\": {\"differentDaysCount\": 5, \"lastUsed\": 1e300}, "
            "\"reminders\": {\"createdCount\": 7}}",
            6, 8 },
        { "a last use of -1e300",
            "{\"date\": {\"differentDaysCount\": 5, \"lastUsed\": -1e300}, "
            "\"reminders\": {\"createdCount\": 7}}",
            6, 8 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TemporaryFolder folder;
        test::writeFile(
            folder / "stats.json", "{\"" + usageStatisticsKey() + "\": " + c.record + "}");
        testing::internal::CaptureStderr();
        UsageStatisticsService service(UserDefaults::suite("stats", folder.path()));
        const auto counted = recordingCreation(service.data(), at(2025, 6, 1, 12, 0), berlin);
        ASSERT_TRUE(service.save(counted).isSuccess());
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(counted.date.differentDaysCount, c.daysAfter);
        EXPECT_EQ(counted.reminders.createdCount, c.createdAfter);
        UsageStatisticsService again(UserDefaults::suite("stats", folder.path()));
        EXPECT_EQ(again.data(), counted);
    }
}

TEST(UsageStatisticsTest, theReviewAddressIsCheckedBeforeUse)
{
    EXPECT_EQ(writeReviewUrl("https://tidemark.example.org/review?action=write-review"),
        std::optional<std::string>("https://tidemark.example.org/review?action=write-review"));
    EXPECT_EQ(writeReviewUrl("not an address"), std::nullopt);
    EXPECT_EQ(writeReviewUrl("javascript:alert(1)"), std::nullopt);
    EXPECT_TRUE(writeReviewUrl().has_value()) << "the configured address is valid";
}

} // namespace
} // namespace tidemark
