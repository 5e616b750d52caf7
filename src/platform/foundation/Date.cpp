#include "platform/foundation/Date.hpp"

#include <cmath>

namespace tidemark {

namespace {
void combine(std::size_t& seed, std::size_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <class T> void combineOptional(std::size_t& seed, const std::optional<T>& value)
{
    combine(seed, value ? std::hash<T> {}(*value) + 1 : 0);
}
} // namespace

std::optional<Date> checkedDateFromTimeIntervalSince1970(TimeInterval seconds)
{
    if (!std::isfinite(seconds) || seconds < earliestTimeIntervalSince1970
        || seconds > latestTimeIntervalSince1970)
        return std::nullopt;
    return dateFromTimeIntervalSince1970(seconds);
}

std::size_t hashValue(const DateComponents& c)
{
    std::size_t seed = 0;
    combine(seed, c.calendar ? static_cast<std::size_t>(*c.calendar) + 1 : 0);
    combineOptional(seed, c.timeZone);
    combineOptional(seed, c.year);
    combineOptional(seed, c.month);
    combineOptional(seed, c.day);
    combineOptional(seed, c.hour);
    combineOptional(seed, c.minute);
    combineOptional(seed, c.second);
    return seed;
}

} // namespace tidemark
