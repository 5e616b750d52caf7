#pragma once

#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "settings/UsageStatistics.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"

#include <memory>

namespace tidemark {

// Counts every reminder creation that succeeded and the days on which they happened, and
// once both counts are high enough shows the review banner, once for the stored settings.
AppMiddleware usageStatisticsMiddleware(std::shared_ptr<UsageStatisticsService> statistics,
    std::shared_ptr<UserSettingsServicable> settings,
    std::shared_ptr<const Clock> clock = Clock::system(),
    Calendar calendar = Calendar::autoupdatingCurrent());

} // namespace tidemark
