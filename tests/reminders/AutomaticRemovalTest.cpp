#include "reminders/AutomaticRemoval.hpp"
#include "platform/foundation/TestDates.hpp"

#include <gtest/gtest.h>

using namespace tidemark;
using test::iso;
using test::utc;

namespace {

const Calendar berlin("Europe/Berlin");

// A moment given by Berlin's wall clock (the first passing of a repeated time).
Date local(int y, int mo, int d, int h, int mi, int s = 0)
{
    DateComponents c;
    c.calendar = CalendarIdentifier::gregorian;
    c.year = y;
    c.month = mo;
    c.day = d;
    c.hour = h;
    c.minute = mi;
    c.second = s;
    return *berlin.date(c);
}

AnyReminder dueAt(std::string id, std::optional<Date> due)
{
    AnyReminder r { std::move(id), std::nullopt, std::nullopt, "title", "list", std::nullopt };
    if (due) {
        setStartDate(r, dateByAdding(*due, -600));
        r.dueDateComponents = reminderComponents(*due, berlin);
    }
    return r;
}

} // namespace

TEST(AutomaticRemovalRule, TheRemovalTimeMustHaveComeRoundSinceTheDueDate)
{
    struct Case {
        const char* name;
        Date due;
        Date removalTime; // only hour and minute count
        Date now;
        bool expected;
    };
    const Date four = local(2024, 6, 1, 4, 0);
    const Case cases[] = {
        { "due at 03:00, just after 04:00", local(2024, 6, 10, 3, 0), four,
            local(2024, 6, 10, 4, 0, 1), true },
        { "due at 03:00, exactly 04:00 is not yet", local(2024, 6, 10, 3, 0), four,
            local(2024, 6, 10, 4, 0), false },
        { "due at 03:00, before 04:00", local(2024, 6, 10, 3, 0), four, local(2024, 6, 10, 3, 59),
            false },
        { "due exactly at 04:00 waits a day", local(2024, 6, 10, 4, 0), four,
            local(2024, 6, 10, 10, 0), false },
        { "due exactly at 04:00, next day", local(2024, 6, 10, 4, 0), four,
            local(2024, 6, 11, 4, 0, 1), true },
        { "due at 05:00, same morning", local(2024, 6, 10, 5, 0), four, local(2024, 6, 10, 23, 59),
            false },
        { "due yesterday 15:00, today 10:00", local(2024, 6, 9, 15, 0), four,
            local(2024, 6, 10, 10, 0), true },
        { "removal time of another day, same hour", local(2024, 6, 9, 15, 0),
            local(1999, 12, 31, 4, 0), local(2024, 6, 10, 10, 0), true },
        { "removal time minutes count", local(2024, 6, 10, 4, 10), local(2024, 6, 1, 4, 30),
            local(2024, 6, 10, 4, 31), true },
        { "due in the future", local(2024, 6, 12, 3, 0), four, local(2024, 6, 10, 10, 0), false },
        // Summer time begins on 31 March 2024: 02:00 jumps to 03:00, so 02:30 never shows.
        { "skipped 02:30 counts from 03:00", local(2024, 3, 30, 23, 0), local(2024, 6, 1, 2, 30),
            utc(2024, 3, 31, 1, 0, 1), true },
        { "skipped 02:30, at 03:00 exactly", local(2024, 3, 30, 23, 0), local(2024, 6, 1, 2, 30),
            utc(2024, 3, 31, 1, 0, 0), false },
        { "04:00 on the short day", local(2024, 3, 31, 1, 30), four, utc(2024, 3, 31, 2, 0, 1),
            true },
        { "04:00 on the short day, one second early", local(2024, 3, 31, 1, 30), four,
            utc(2024, 3, 31, 1, 59, 59), false },
        // Summer time ends on 27 October 2024: 03:00 goes back to 02:00, 02:30 shows twice.
        { "repeated 02:30 counts at its first passing", local(2024, 10, 26, 22, 0),
            local(2024, 6, 1, 2, 30), utc(2024, 10, 27, 0, 30, 1), true },
        { "before the first passing of 02:30", local(2024, 10, 26, 22, 0), local(2024, 6, 1, 2, 30),
            utc(2024, 10, 27, 0, 29, 59), false },
        { "04:00 on the long day", local(2024, 10, 27, 1, 0), four, utc(2024, 10, 27, 3, 0, 1),
            true },
        { "04:00 on the long day, one second early", local(2024, 10, 27, 1, 0), four,
            utc(2024, 10, 27, 2, 59, 59), false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isDue(c.due, c.removalTime, c.now, berlin), c.expected)
            << c.name << " (now " << iso(c.now) << ")";
        // The set rule compares with the latest passing instead; both must agree.
        const auto latest = latestRemovalPassing(c.removalTime, c.now, berlin);
        ASSERT_TRUE(latest.has_value()) << c.name;
        EXPECT_EQ(c.due < *latest, c.expected)
            << c.name << " (latest passing " << iso(*latest) << ")";
        const auto reminder = dueAt("r", c.due);
        EXPECT_EQ(remindersToRemove({ reminder }, c.removalTime, c.now, berlin).size(),
            c.expected ? 1u : 0u)
            << c.name;
    }
}

TEST(AutomaticRemovalRule, CompletesDueRemindersAndSendsNothingWhenNoneIsDue)
{
    const Date now = local(2024, 6, 10, 10, 0);
    const Date four = local(2024, 1, 1, 4, 0);
    const auto overdue = dueAt("overdue", local(2024, 6, 10, 3, 0));
    const auto lastWeek = dueAt("last week", local(2024, 6, 3, 12, 0));
    const auto laterToday = dueAt("later today", local(2024, 6, 10, 5, 0));
    const auto undated = dueAt("undated", std::nullopt);
    auto unreadable = dueAt("unreadable", local(2024, 6, 1, 0, 0));
    unreadable.dueDateComponents->calendar.reset();

    auto completed = [&now](AnyReminder r) {
        r.completionDate = now;
        return r;
    };
    const std::set<AnyReminder> items { overdue, lastWeek, laterToday, undated, unreadable };
    const std::set<AnyReminder> expected { completed(overdue), completed(lastWeek) };
    EXPECT_EQ(remindersToRemove(items, four, now, berlin), expected)
        << "copies keep id, title, list and dates and carry now as completion date";

    const auto request = automaticRemovalRequest(
        AutomaticRemindersRemovalAction::Remove { items, four }, now, berlin);
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(*request,
        RemindersStoreAction(RemindersStoreAction::Items {
            RemindersItemsAction::update(RemindersItemsAction::UpdateAction::submit(expected)) }));

    // Nothing due, or nothing at all: no request, so a click on the icon neither clears
    // the selection nor leaves an empty undo step.
    const std::set<AnyReminder> nothingDue { laterToday, undated, unreadable };
    EXPECT_EQ(automaticRemovalRequest(
                  AutomaticRemindersRemovalAction::Remove { nothingDue, four }, now, berlin),
        std::nullopt);
    EXPECT_EQ(
        automaticRemovalRequest(AutomaticRemindersRemovalAction::Remove { {}, four }, now, berlin),
        std::nullopt);
}

TEST(AutomaticRemovalSettings, StartsOffAtFourInTheMorningOfLaunchDay)
{
    const Date launch = local(2024, 3, 31, 18, 45);
    const AutomaticRemovalState state(480, launch, berlin);
    EXPECT_FALSE(state.isEnabled);
    EXPECT_EQ(state.date, local(2024, 3, 31, 4, 0)) << iso(state.date);
    EXPECT_EQ(state.timeInterval, 480);
    EXPECT_EQ(state.unit, AutomaticRemovalState::TimeUnit::hours);
    EXPECT_EQ(state.value, "0") << "480 s is 0.13 h, written without decimals";
}

TEST(AutomaticRemovalSettings, IntervalValueAndUnitStayInStep)
{
    using A = AutomaticRemovalAction;
    using U = AutomaticRemovalState::TimeUnit;
    struct Case {
        const char* name;
        std::vector<AutomaticRemovalAction> actions;
        TimeInterval timeInterval;
        U unit;
        std::string value;
    };
    const Case cases[] = {
        { "5400 s in hours rounds to 2", { A::TimeInterval { 5400 } }, 5400, U::hours, "2" },
        { "5400 s in minutes", { A::Unit { U::minutes }, A::TimeInterval { 5400 } }, 5400,
            U::minutes, "90" },
        { "minutes after 90", { A::Value { "90" }, A::Unit { U::minutes } }, 5400, U::minutes,
            "90" },
        { "hours after 2", { A::Value { "2" }, A::Unit { U::hours } }, 7200, U::hours, "2" },
        { "value alone leaves the interval", { A::TimeInterval { 60 }, A::Value { "3" } }, 60,
            U::hours, "3" },
        { "filter keeps digits", { A::FilterValue { "1a2" } }, 12 * 3600, U::hours, "12" },
        { "filter of no digits", { A::TimeInterval { 60 }, A::FilterValue { "abc" } }, 0, U::hours,
            "" },
        { "digits of other scripts are kept but read as 0", { A::FilterValue { "\u0663\u0664" } },
            0, U::hours, "\u0663\u0664" },
        { "broken UTF-8 is dropped",
            { A::FilterValue { std::string("4\xff"
                                           "5") } },
            45 * 3600, U::hours, "45" },
        { "text that is not a number counts as 0", { A::Value { "1.5x" }, A::Unit { U::minutes } },
            0, U::minutes, "1.5x" },
        { "decimal text", { A::Value { "1.5" }, A::Unit { U::minutes } }, 90, U::minutes, "1.5" },
    };
    for (const auto& c : cases) {
        AutomaticRemovalState state;
        for (const auto& action : c.actions)
            automaticRemovalReducer(state, action);
        EXPECT_EQ(state.timeInterval, c.timeInterval) << c.name;
        EXPECT_EQ(state.unit, c.unit) << c.name;
        EXPECT_EQ(state.value, c.value) << c.name;
    }

    AutomaticRemovalState state;
    automaticRemovalReducer(state, A::IsEnabled { true });
    automaticRemovalReducer(state, A::Date { utc(2024, 1, 1, 3, 15) });
    EXPECT_TRUE(state.isEnabled);
    EXPECT_EQ(state.date, utc(2024, 1, 1, 3, 15));
}
