#include "platform/foundation/DateComponentsFormatter.hpp"
#include "platform/foundation/TestDates.hpp"
#include "platform/foundation/Uuid.hpp"
#include "reminders/Reminder.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tidemark;
using test::utc;

namespace {

DateComponents components(const std::string& zone, int y, int mo, int d, int h, int mi, int s)
{
    return DateComponents { CalendarIdentifier::gregorian, zone, y, mo, d, h, mi, s };
}

// A stored record that keeps its own completion flag beside the date, as a database row
// queried by that flag does.
struct FlaggedRecord {
    std::optional<Date> completionDate;
    bool isCompleted = false;
};

} // namespace

TEST(ReminderDates, ComponentsAreTheWallClockOfTheCalendarsZoneAndConvertBack)
{
    struct Case {
        const char* name;
        const char* zone;
        Date date;
        DateComponents expected;
    };
    const Case cases[] = {
        { "winter time in Berlin", "Europe/Berlin", utc(2024, 1, 15, 11, 5, 9),
            components("Europe/Berlin", 2024, 1, 15, 12, 5, 9) },
        { "first moment of summer time", "Europe/Berlin", utc(2024, 3, 31, 1, 0, 0),
            components("Europe/Berlin", 2024, 3, 31, 3, 0, 0) },
        { "last moment before the change", "Europe/Berlin", utc(2024, 3, 31, 0, 59, 59),
            components("Europe/Berlin", 2024, 3, 31, 1, 59, 59) },
        { "first passing of a repeated hour", "Europe/Berlin", utc(2024, 10, 27, 0, 30, 0),
            components("Europe/Berlin", 2024, 10, 27, 2, 30, 0) },
        { "a day ahead of UTC", "Asia/Tokyo", utc(2024, 12, 31, 20, 0, 0),
            components("Asia/Tokyo", 2025, 1, 1, 5, 0, 0) },
        { "behind UTC", "America/New_York", utc(2024, 7, 4, 3, 0, 0),
            components("America/New_York", 2024, 7, 3, 23, 0, 0) },
        { "UTC", "UTC", utc(2000, 2, 29, 23, 59, 59), components("UTC", 2000, 2, 29, 23, 59, 59) },
    };
    for (const auto& c : cases) {
        const auto written = reminderComponents(c.date, Calendar(c.zone));
        EXPECT_EQ(written, c.expected) << c.name;
        // The components name their zone, so they give the instant back wherever they
        // are read.
        EXPECT_EQ(reminderDate(written), c.date) << c.name;
    }

    // Wall-clock fields cannot tell the two passings of a repeated hour apart: the second
    // 02:30 of the night summer time ends is written like the first and read as the first.
    const auto repeated
        = reminderComponents(utc(2024, 10, 27, 1, 30, 0), Calendar("Europe/Berlin"));
    EXPECT_EQ(repeated, components("Europe/Berlin", 2024, 10, 27, 2, 30, 0));
    EXPECT_EQ(reminderDate(repeated), utc(2024, 10, 27, 0, 30, 0));
}

TEST(ReminderDates, SubSecondsAreDroppedAndComponentsWithoutCalendarGiveNoDate)
{
    const Date date = utc(2024, 5, 1, 8, 0, 0) + std::chrono::milliseconds(750);
    const auto written = reminderComponents(date, Calendar("UTC"));
    EXPECT_EQ(written.second, 0);
    EXPECT_EQ(reminderDate(written), utc(2024, 5, 1, 8, 0, 0));

    auto noCalendar = written;
    noCalendar.calendar.reset();
    EXPECT_EQ(reminderDate(noCalendar), std::nullopt);
    EXPECT_EQ(reminderDate(std::nullopt), std::nullopt);
}

TEST(ReminderDates, TheSharedCalendarWritesEveryFieldWithZoneAndCalendar)
{
    const Date date = utc(2024, 6, 1, 12, 34, 56);
    const auto written = reminderComponents(date);
    EXPECT_EQ(written.calendar, CalendarIdentifier::gregorian);
    ASSERT_TRUE(written.timeZone.has_value());
    EXPECT_EQ(*written.timeZone, RemindableConstants::calendar().timeZone());
    EXPECT_TRUE(written.year && written.month && written.day && written.hour && written.minute
        && written.second);
    EXPECT_EQ(reminderDate(written), date);
}

TEST(ReminderDates, WritingDatesAndDurations)
{
    const Date start = utc(2024, 3, 30, 23, 0, 0);
    AnyReminder reminder { "A", std::nullopt, std::nullopt, "t", std::nullopt, std::nullopt };

    setDuration(reminder, 300.0);
    EXPECT_EQ(reminder.dueDateComponents, std::nullopt) << "no start: a duration changes nothing";

    setStartDate(reminder, start);
    setDuration(reminder, 300.0);
    EXPECT_EQ(startDate(reminder), start);
    EXPECT_EQ(dueDate(reminder), dateByAdding(start, 300));
    EXPECT_EQ(duration(reminder), 300.0);

    // Across the night of a daylight-saving change the duration stays the elapsed time.
    setDuration(reminder, 6 * 3600.0);
    EXPECT_EQ(duration(reminder), 6 * 3600.0);

    const auto kept = reminder;
    setStartDate(reminder, std::nullopt);
    setDueDate(reminder, std::nullopt);
    setDuration(reminder, std::nullopt);
    EXPECT_EQ(reminder, kept) << "writing none changes nothing";

    setDueDate(reminder, dateByAdding(start, -60));
    EXPECT_EQ(duration(reminder), -60.0) << "a due date before the start gives a negative duration";

    reminder.startDateComponents.reset();
    EXPECT_EQ(duration(reminder), std::nullopt);
}

TEST(ReminderDates, CreateReminderSetsTheDueDateOnlyWithAStart)
{
    const Date start = utc(2024, 1, 1, 9, 0, 0);
    const CreateReminder dated(start, 3600.0, "Tea", "L1");
    EXPECT_EQ(startDate(dated), start);
    EXPECT_EQ(dueDate(dated), dateByAdding(start, 3600));
    EXPECT_TRUE(Uuid::isValid(dated.id));

    const CreateReminder undated(std::nullopt, 60.0);
    EXPECT_EQ(undated.startDateComponents, std::nullopt);
    EXPECT_EQ(undated.dueDateComponents, std::nullopt);
    EXPECT_NE(undated.id, dated.id);

    const auto any = CreateReminder(start, std::nullopt).toAnyReminder();
    EXPECT_EQ(any.title, "") << "no title becomes the empty title";
    EXPECT_EQ(any.optionalTitle(), std::nullopt);
    EXPECT_EQ(any.dueDateComponents, std::nullopt);
}

TEST(ReminderCompletion, EveryWriteKeepsTheDateAndTheFlagInStep)
{
    const Date first = utc(2024, 1, 1);
    const Date later = utc(2024, 1, 2);

    AnyReminder reminder { "A", std::nullopt, std::nullopt, "", std::nullopt, std::nullopt };
    EXPECT_FALSE(isCompleted(reminder));
    setIsCompleted(reminder, true, first);
    EXPECT_EQ(reminder.completionDate, first);
    setIsCompleted(reminder, true, later);
    EXPECT_EQ(reminder.completionDate, later) << "completing again stamps the new moment";
    setIsCompleted(reminder, false, later);
    EXPECT_EQ(reminder.completionDate, std::nullopt);

    FlaggedRecord record;
    setCompletionDate(record, first);
    EXPECT_TRUE(record.isCompleted) << "a completion date written alone completes the record";
    setCompletionDate(record, std::nullopt);
    EXPECT_FALSE(record.isCompleted);
    setIsCompleted(record, true, later);
    EXPECT_TRUE(record.isCompleted);
    EXPECT_EQ(record.completionDate, later);
    setIsCompleted(record, false, later);
    EXPECT_FALSE(record.isCompleted);
    EXPECT_EQ(record.completionDate, std::nullopt);

    const CreateReminder created(std::nullopt, std::nullopt, std::nullopt, std::nullopt, first);
    EXPECT_TRUE(isCompleted(created));
}

TEST(ReminderModel, SetsTellApartRemindersThatDifferInAnyField)
{
    const auto due = reminderComponents(utc(2024, 1, 1), Calendar("UTC"));
    AnyReminder a { "A", std::nullopt, due, "", std::nullopt, std::nullopt };
    AnyReminder b = a;
    b.dueDateComponents->hour = 5;
    EXPECT_NE(a, b);
    EXPECT_EQ((std::set<AnyReminder> { a, b }).size(), 2u);

    a.setOptionalTitle(std::nullopt);
    EXPECT_EQ(a.title, "");
    a.setOptionalTitle("x");
    EXPECT_EQ(a.optionalTitle(), "x");

    const AnyList one { "1", "One" };
    const AnyList two { "2", "Two" };
    EXPECT_EQ((AnySource { "s", "S", { one, two } }), (AnySource { "s", "S", { two, one } }));
}

TEST(ReminderDurationString, FormatsTheSpanFromStartToDueOrGivesEmptyText)
{
    DateComponentsFormatter formatter;
    formatter.setAllowedUnits(
        { DateComponentsFormatter::Unit::hour, DateComponentsFormatter::Unit::minute });
    formatter.setUnitsStyle(DateComponentsFormatter::UnitsStyle::abbreviated);

    const Date start = utc(2024, 3, 31, 0, 30, 0); // across Berlin's change to summer time
    const Calendar berlin("Europe/Berlin");
    const auto at = [&](TimeInterval offset) {
        return reminderComponents(dateByAdding(start, offset), berlin);
    };

    struct Case {
        const char* name;
        std::optional<DateComponents> start;
        std::optional<DateComponents> due;
        std::string expected;
    };
    auto noCalendar = at(60);
    noCalendar.calendar.reset();
    const Case cases[] = {
        { "elapsed time, not wall-clock difference", at(0), at(3725), "1h 2m" },
        { "no due", at(0), std::nullopt, "" },
        { "no start", std::nullopt, at(60), "" },
        { "due without calendar", at(0), noCalendar, "" },
    };
    for (const auto& c : cases) {
        const AnyReminder reminder { "A", c.start, c.due, "", std::nullopt, std::nullopt };
        EXPECT_EQ(durationString(reminder, formatter), c.expected) << c.name;
    }
}

TEST(ReminderCoding, ListsAndDataSourcesReadBackAndRejectAnythingElse)
{
    const nlohmann::json list = AnyList { "X-1", "Groceries" };
    EXPECT_EQ(list, nlohmann::json::parse(R"({"id":"X-1","title":"Groceries"})"));
    EXPECT_EQ(list.get<AnyList>(), (AnyList { "X-1", "Groceries" }));

    EXPECT_EQ(
        nlohmann::json(RemindersDataSource::appleReminders), nlohmann::json("appleReminders"));
    EXPECT_EQ(nlohmann::json(RemindersDataSource::local), nlohmann::json("local"));
    EXPECT_EQ(nlohmann::json("local").get<RemindersDataSource>(), RemindersDataSource::local);
    EXPECT_EQ(remindersDataSourceFromRaw("Local"), std::nullopt);

    const char* badLists[] = {
        R"({"id":"X-1"})",
        R"({"title":"T"})",
        R"({"id":1,"title":"T"})",
        R"({"id":"X","title":null})",
        R"(["X","T"])",
        R"("X")",
    };
    for (const char* text : badLists)
        EXPECT_THROW(nlohmann::json::parse(text).get<AnyList>(), nlohmann::json::exception) << text;

    const char* badSources[] = { R"("icloud")", R"("")", R"(0)", R"(null)", R"({"local":1})" };
    for (const char* text : badSources)
        EXPECT_THROW(
            nlohmann::json::parse(text).get<RemindersDataSource>(), nlohmann::json::exception)
            << text;
}
