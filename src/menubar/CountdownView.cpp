#include "menubar/CountdownView.hpp"

#include "core/RelativeTimeFormatter.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

namespace tidemark {

std::optional<std::string> CountdownView::State::title(Date now) const
{
    if (!reminder || !formatter)
        return std::nullopt;
    const auto due = dueDate(*reminder);
    if (!due)
        return std::nullopt;
    const TimeInterval remaining = timeIntervalBetween(now, *due);
    if (remaining < 0)
        return std::nullopt;
    return relativeTimeString(*formatter, remaining);
}

} // namespace tidemark
