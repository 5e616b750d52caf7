#include "reminders/AutomaticRemoval.hpp"

#include "core/Overloaded.hpp"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <charconv>
#include <cstdio>

namespace tidemark {

namespace {

// The text as a decimal number in the C locale; anything that does not read whole as a
// number counts as 0.
double numberOf(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    double number = 0;
    auto [rest, error] = std::from_chars(begin, end, number);
    if (error != std::errc() || rest != end || begin == end)
        return 0;
    return number;
}

// The interval counted in the unit, without decimals ("%.0f" rounds half to even).
std::string intervalText(TimeInterval interval, AutomaticRemovalState::TimeUnit unit)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", interval / secondsPerUnit(unit));
    return text;
}

// Only the characters of `text` that are decimal digits in any script, in order. Bytes
// that do not form UTF-8 are dropped too.
std::string decimalDigits(const std::string& text)
{
    std::string digits;
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t index = 0;
    while (index < length) {
        const int32_t start = index;
        UChar32 c = 0;
        U8_NEXT(bytes, index, length, c);
        if (c >= 0 && u_charType(c) == U_DECIMAL_DIGIT_NUMBER)
            digits.append(
                text, static_cast<std::size_t>(start), static_cast<std::size_t>(index - start));
    }
    return digits;
}

} // namespace

TimeInterval secondsPerUnit(AutomaticRemovalState::TimeUnit unit)
{
    switch (unit) {
    case AutomaticRemovalState::TimeUnit::minutes:
        return 60;
    case AutomaticRemovalState::TimeUnit::hours:
        return 3600;
    }
    return 3600;
}

AutomaticRemovalState::AutomaticRemovalState(
    TimeInterval interval, Date now, const Calendar& calendar)
{
    isEnabled = false;
    date = calendar
               .dateBySettingHour(4, 0, 0, now, MatchingPolicy::nextTime, RepeatedTimePolicy::first,
                   SearchDirection::forward)
               .value_or(now);
    unit = TimeUnit::hours;
    timeInterval = interval;
    value.clear();
    automaticRemovalReducer(*this, AutomaticRemovalAction::TimeInterval { interval });
}

void automaticRemovalReducer(AutomaticRemovalState& state, const AutomaticRemovalAction& action)
{
    using Cases = AutomaticRemovalActionCases;
    std::visit(overloaded {
                   [&state](const Cases::IsEnabled& a) -> void { state.isEnabled = a.isEnabled; },
                   [&state](const Cases::Date& a) -> void { state.date = a.date; },
                   [&state](const Cases::TimeInterval& a) -> void {
                       state.timeInterval = a.timeInterval;
                       state.value = intervalText(a.timeInterval, state.unit);
                   },
                   [&state](const Cases::Unit& a) -> void {
                       state.unit = a.unit;
                       state.timeInterval = numberOf(state.value) * secondsPerUnit(a.unit);
                   },
                   [&state](const Cases::FilterValue& a) -> void {
                       state.value = decimalDigits(a.text);
                       state.timeInterval = numberOf(state.value) * secondsPerUnit(state.unit);
                   },
                   [&state](const Cases::Value& a) -> void { state.value = a.value; },
               },
        asVariant(action));
}

namespace {

DateComponents hourAndMinute(Date removalTime, const Calendar& calendar)
{
    DateComponents matching;
    matching.hour = calendar.component(CalendarComponent::hour, removalTime);
    matching.minute = calendar.component(CalendarComponent::minute, removalTime);
    return matching;
}

} // namespace

bool isDue(Date dueDate, Date removalTime, Date now, const Calendar& calendar)
{
    const auto next = calendar.nextDate(dueDate, hourAndMinute(removalTime, calendar),
        MatchingPolicy::nextTime, RepeatedTimePolicy::first, SearchDirection::forward);
    return next && *next < now;
}

std::optional<Date> latestRemovalPassing(Date removalTime, Date now, const Calendar& calendar)
{
    return calendar.nextDate(now, hourAndMinute(removalTime, calendar), MatchingPolicy::nextTime,
        RepeatedTimePolicy::first, SearchDirection::backward);
}

std::set<AnyReminder> remindersToRemove(
    const std::set<AnyReminder>& items, Date removalTime, Date now, const Calendar& calendar)
{
    // A passing of the removal time lies between the due date and now exactly when the
    // due date lies before the latest passing; one search serves every reminder.
    std::set<AnyReminder> removed;
    const auto latest = latestRemovalPassing(removalTime, now, calendar);
    if (!latest)
        return removed;
    for (const auto& reminder : items) {
        const auto due = dueDate(reminder);
        if (!due || !(*due < *latest))
            continue;
        AnyReminder completed = reminder;
        setIsCompleted(completed, true, now);
        removed.insert(std::move(completed));
    }
    return removed;
}

std::optional<RemindersStoreAction> automaticRemovalRequest(
    const AutomaticRemindersRemovalAction& action, Date now, const Calendar& calendar)
{
    const auto& remove = std::get<AutomaticRemindersRemovalAction::Remove>(asVariant(action));
    auto removed = remindersToRemove(remove.items, remove.date, now, calendar);
    if (removed.empty())
        return std::nullopt;
    return RemindersStoreAction::Items { RemindersItemsAction::update(
        RemindersItemsAction::UpdateAction::submit(std::move(removed))) };
}

} // namespace tidemark
