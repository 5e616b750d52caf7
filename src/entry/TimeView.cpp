#include "entry/TimeView.hpp"

#include "core/RelativeTimeFormatter.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/foundation/TimeOfDayText.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

constexpr std::string_view timeTable = "Time";

// The phrase of `key` around `value`, split where the value stands (the whole text as
// `before` when a translation lost the value).
TimeView::Phrase phrase(std::string_view key, const std::string& value)
{
    const std::string text = localized(timeTable, key, value);
    const auto at = value.empty() ? std::string::npos : text.find(value);
    if (at == std::string::npos)
        return { text, {}, {} };
    return { text.substr(0, at), value, text.substr(at + value.size()) };
}

} // namespace

double TimeView::labelsOpacity(double progress)
{
    return std::clamp(2.0 * (progress - 0.5), 0.0, 1.0);
}

std::optional<std::string> TimeView::relativeTimeOnTick(
    Date startDate, TimeInterval timeInterval, Date now, DateComponentsFormatter& formatter)
{
    const Date due = dateByAdding(startDate, timeInterval);
    return relativeTimeString(formatter, std::abs(timeIntervalBetween(now, due)));
}

std::optional<TimeView::Phrase> TimeView::relativeLine(Date startDate, TimeInterval timeInterval,
    Date now, const std::optional<std::string>& timerRelativeTime,
    DateComponentsFormatter& formatter)
{
    std::optional<std::string> value = timerRelativeTime;
    if (!value)
        value = relativeTimeString(formatter, std::abs(timeInterval));
    if (!value)
        return std::nullopt;
    const TimeInterval remaining = timeIntervalBetween(now, dateByAdding(startDate, timeInterval));
    const bool isPast = remaining < 0;
    return phrase(
        isPast ? "past_relative_time_phrase %@" : "future_relative_time_phrase %@", *value);
}

TimeView::Phrase TimeView::absoluteLine(Date startDate, TimeInterval timeInterval,
    const std::string& locale, const std::string& timeZone)
{
    return phrase("at_time_phrase %@",
        shortTimeText(dateByAdding(startDate, timeInterval), locale, timeZone));
}

std::string TimeView::titlePlaceholder()
{
    return localized("Reminders", "description_field_placeholder");
}

} // namespace tidemark
