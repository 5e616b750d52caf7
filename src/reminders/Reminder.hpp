#pragma once

#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Date.hpp"

#include <nlohmann/json_fwd.hpp>

#include <compare>
#include <concepts>
#include <optional>
#include <set>
#include <string>

namespace tidemark {

class DateComponentsFormatter;

// The data source in use, stored as its raw value.
enum class RemindersDataSource {
    local,
    appleReminders,
};

std::string rawValue(RemindersDataSource source);
std::optional<RemindersDataSource> remindersDataSourceFromRaw(const std::string& raw);
void to_json(nlohmann::json& json, const RemindersDataSource& source);
// Throws nlohmann::json::exception for anything but one of the two raw strings.
void from_json(const nlohmann::json& json, RemindersDataSource& source);

// A reminder list.
struct AnyList {
    std::string id;
    std::string title;

    bool operator==(const AnyList&) const = default;
    auto operator<=>(const AnyList&) const = default;
};

// Exactly the keys "id" and "title", both required strings.
void to_json(nlohmann::json& json, const AnyList& list);
void from_json(const nlohmann::json& json, AnyList& list);

// An account that holds reminder lists.
struct AnySource {
    std::string id;
    std::string title;
    std::set<AnyList> lists;

    bool operator==(const AnySource&) const = default;
    auto operator<=>(const AnySource&) const = default;
};

// A reminder as everything outside the stores sees it. Start and due are date components
// of the gregorian calendar with their time zone, never dates, so the same value converts
// back to the same instant anywhere.
struct AnyReminder {
    std::string id;
    std::optional<DateComponents> startDateComponents;
    std::optional<DateComponents> dueDateComponents;
    std::string title;
    std::optional<std::string> listID;
    std::optional<Date> completionDate;

    bool operator==(const AnyReminder&) const = default;
    auto operator<=>(const AnyReminder&) const = default;

    // Read through the reminder-record view: an empty title reads as none; writing none
    // stores the empty string.
    std::optional<std::string> optionalTitle() const;
    void setOptionalTitle(const std::optional<std::string>& value);
};

// A reminder being made, before any store has it.
struct CreateReminder {
    std::string id; // a fresh UUID string unless given
    std::optional<DateComponents> startDateComponents;
    std::optional<DateComponents> dueDateComponents;
    std::optional<std::string> title;
    std::optional<std::string> listID;
    std::optional<Date> completionDate;

    CreateReminder(); // a fresh id, every other field none
    // The start written as a date, then the duration (so the due date is set only when both
    // a start and an interval are given), then the rest as given.
    CreateReminder(std::optional<Date> startDate, std::optional<TimeInterval> duration,
        std::optional<std::string> title = std::nullopt,
        std::optional<std::string> listID = std::nullopt,
        std::optional<Date> completionDate = std::nullopt);

    // The reminder as everything else sees it; a missing title becomes the empty string.
    AnyReminder toAnyReminder() const;
};

// The date rules of a reminder, for any type with start and due components
// (AnyReminder, CreateReminder). Writing none to a date changes nothing.
template <class R>
concept ReminderDates = requires(R r)
{
    r.startDateComponents;
    r.dueDateComponents;
};

// The calendar and the fields in which every reminder time is kept. The calendar is made
// once, on first use, in the zone the system has then; the fields are second to year,
// time zone and calendar, so stored components name their own zone and convert back to
// the same instant anywhere.
struct RemindableConstants {
    static CalendarComponents components();
    static const Calendar& calendar();
};

// The components of a date in the reminders' calendar (or in `calendar`): second to year,
// time zone, calendar. Sub-second parts are dropped.
DateComponents reminderComponents(Date date);
DateComponents reminderComponents(Date date, const Calendar& calendar);
// The instant of components in their own calendar and time zone; none when they cannot be
// converted.
std::optional<Date> reminderDate(const std::optional<DateComponents>& components);

template <ReminderDates R> std::optional<Date> startDate(const R& r)
{
    return reminderDate(r.startDateComponents);
}
template <ReminderDates R> std::optional<Date> dueDate(const R& r)
{
    return reminderDate(r.dueDateComponents);
}
template <ReminderDates R> void setStartDate(R& r, std::optional<Date> date)
{
    if (date)
        r.startDateComponents = reminderComponents(*date);
}
template <ReminderDates R> void setDueDate(R& r, std::optional<Date> date)
{
    if (date)
        r.dueDateComponents = reminderComponents(*date);
}
// Due minus start in seconds, when both convert.
template <ReminderDates R> std::optional<TimeInterval> duration(const R& r)
{
    auto start = startDate(r);
    auto due = dueDate(r);
    if (!start || !due)
        return std::nullopt;
    return timeIntervalBetween(*start, *due);
}
// Moves the due date to start plus the interval; nothing without an interval or a start.
template <ReminderDates R> void setDuration(R& r, std::optional<TimeInterval> interval)
{
    auto start = startDate(r);
    if (interval && start)
        setDueDate(r, dateByAdding(*start, *interval));
}

// A record that keeps a completion flag of its own beside the completion date (a stored
// row queried by the flag). Its flag must always say whether a completion date is present.
template <class R>
concept StoresCompletionFlag = requires(R& r)
{
    requires std::same_as<decltype(r.isCompleted), bool>;
};

template <class R> bool isCompleted(const R& r)
{
    return r.completionDate.has_value();
}

// Writes the completion date, and on records that keep a flag, the flag with it, so that a
// completed reminder is never read back as open (nor the reverse).
template <class R> void setCompletionDate(R& r, std::optional<Date> date)
{
    r.completionDate = date;
    if constexpr (StoresCompletionFlag<R>)
        r.isCompleted = date.has_value();
}

// True stamps the completion with `now` (also when already completed); false clears it.
template <class R> void setIsCompleted(R& r, bool completed, Date now)
{
    setCompletionDate(r, completed ? std::optional<Date>(now) : std::nullopt);
}

// The formatter's text for the span from start to due; empty (never none) when either
// date is missing or the formatter gives no text. Units and style are the caller's.
std::string durationString(const AnyReminder& reminder, const DateComponentsFormatter& formatter);

} // namespace tidemark
