#pragma once

#include "platform/foundation/Date.hpp"

#include <memory>
#include <optional>
#include <string>

namespace tidemark {

class DateComponentsFormatter;

// The one formatter of relative times (hours, minutes and seconds, short units, at most two
// units, leading zero units dropped), made once on first use and shared.
std::shared_ptr<DateComponentsFormatter> sharedRelativeTimeFormatter();

// Formats an interval with seconds alone when it is at most a minute either way, else with
// hours and minutes. The formatter keeps the units last chosen.
std::optional<std::string> relativeTimeString(
    DateComponentsFormatter& formatter, TimeInterval interval);

} // namespace tidemark
