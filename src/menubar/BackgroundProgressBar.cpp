#include "menubar/BackgroundProgressBar.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

double countdownProgress(Date start, Date end, Date now)
{
    const TimeInterval run = timeIntervalBetween(start, end);
    if (!(run > 0))
        return now < end ? 1.0 : 0.0;
    const double ahead = timeIntervalBetween(now, end) / run;
    if (!(ahead > 0))
        return 0.0;
    return std::min(ahead, 1.0);
}

double BackgroundProgressBar::progress(
    std::optional<Date> startDate, std::optional<Date> dueDate, Date now)
{
    if (!startDate || !dueDate)
        return 0.0;
    return countdownProgress(*startDate, *dueDate, now);
}

const SpringAnimation& BackgroundProgressBar::spring()
{
    static const SpringAnimation spring { 0.45, 0.775, 0 };
    return spring;
}

Rect BackgroundProgressBar::barRect(Size area, double progress)
{
    const double share = std::isnan(progress) ? 0.0 : std::clamp(progress, 0.0, 1.0);
    return Rect(0, 0, std::max(0.0, area.width) * share, std::max(0.0, area.height)).insetBy(1, 1);
}

long BackgroundProgressBar::visibleWidth(Size area, double progress, double devicePixelRatio)
{
    return std::lround(barRect(area, progress).width() * devicePixelRatio);
}

} // namespace tidemark
