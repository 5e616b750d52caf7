#include "menubar/ZevovozoViewModel.hpp"

#include "menubar/BackgroundProgressBar.hpp"
#include "menubar/StatusItemState.hpp"

#include <algorithm>
#include <limits>

namespace tidemark {

double ZevovozoViewModel::Current::timerIndicatorProgress(Date now) const
{
    const TimeInterval interval = timeIntervalBetween(startDate, dueDate);
    if (!(interval > 0))
        return countdownProgress(startDate, dueDate, now);
    return timeIntervalBetween(now, dueDate) / interval;
}

ZevovozoViewModel::Parameters ZevovozoViewModel::parameters() const
{
    const ZevovozoConfiguring& c = *config;
    Parameters p;
    p.size = c.size();
    p.contentSize = c.contentSize();
    p.color = isAccent(status) ? Color::accent : Color::primary;
    p.timerIndicatorWidth = c.timerIndicatorWidth();
    if (isResting(status)) {
        p.hourAngle = current.hourAngle;
        p.minuteAngle = current.minuteAngle;
        p.clockSize = c.clockSize();
        p.hourHandSize = c.hourHandSize();
        p.minuteHandSize = c.minuteHandSize();
        p.handCircleSize = c.handCircleSize();
        p.shadowRadius = 0;
        return p;
    }
    constexpr double unlimited = std::numeric_limits<double>::infinity();
    p.clockSize = { unlimited, unlimited };
    p.hourHandSize = { c.hourHandSize().width, 0 };
    p.minuteHandSize = { c.minuteHandSize().width, 0 };
    p.handCircleSize = { 0, 0 };
    p.shadowRadius = 5;
    if (status == ZevovozoStatus::dragging)
        p.contentSize
            = { std::max(0.0, p.contentSize.width - 6), std::max(0.0, p.contentSize.height - 6) };
    return p;
}

} // namespace tidemark
