#pragma once

#include "platform/foundation/Date.hpp"

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

namespace tidemark {

// Turns reminder date components into moments exactly as `reminderDate` does, for many
// reminders at once. Each conversion through the calendar costs a calendar of its own;
// here the zone's offset is found once per wall-clock hour and reused for every time in
// that hour. An hour in which the offset changes (a transition off the full hour), an
// out-of-range field or an unusual year goes the calendar's way, so every answer equals
// `reminderDate`'s. Not thread-safe: one resolver per sync.
class ReminderDateResolver {
public:
    std::optional<Date> date(const std::optional<DateComponents>& components);

    // How many conversions went through the calendar (for tests).
    std::size_t calendarConversions() const { return m_calendarConversions; }

private:
    struct Hour {
        // Wall time minus the moment; none when the hour needs the calendar.
        std::optional<std::chrono::seconds> offset;
    };

    std::optional<Date> exact(const DateComponents& components);

    using Hours = std::unordered_map<long long, Hour>; // by the hour's wall time as UTC
    // By zone; the zone of the last look-up is remembered, as most reminders share one.
    std::map<std::string, Hours, std::less<>> m_zones;
    std::pair<const std::string, Hours>* m_lastZone = nullptr;
    std::optional<std::string> m_systemZone;
    std::size_t m_calendarConversions = 0;
};

} // namespace tidemark
