#include "core/RelativeTimeFormatter.hpp"

#include "platform/foundation/DateComponentsFormatter.hpp"

#include <cmath>

namespace tidemark {

std::shared_ptr<DateComponentsFormatter> sharedRelativeTimeFormatter()
{
    static const std::shared_ptr<DateComponentsFormatter> formatter = [] {
        using F = DateComponentsFormatter;
        auto f = std::make_shared<F>();
        f->setAllowedUnits({ F::Unit::hour, F::Unit::minute, F::Unit::second });
        f->setAllowsFractionalUnits(false);
        f->setCalendar(Calendar::autoupdatingCurrent());
        f->setCollapsesLargestUnit(false);
        f->setFormattingContext(F::FormattingContext::standalone);
        f->setIncludesApproximationPhrase(false);
        f->setIncludesTimeRemainingPhrase(false);
        f->setMaximumUnitCount(2);
        f->setUnitsStyle(F::UnitsStyle::short_);
        f->setZeroFormattingBehavior(F::ZeroFormattingBehavior::dropLeading);
        return f;
    }();
    return formatter;
}

std::optional<std::string> relativeTimeString(
    DateComponentsFormatter& formatter, TimeInterval interval)
{
    using F = DateComponentsFormatter;
    if (std::abs(interval) <= 60)
        formatter.setAllowedUnits(F::Unit::second);
    else
        formatter.setAllowedUnits({ F::Unit::hour, F::Unit::minute });
    return formatter.string(interval);
}

} // namespace tidemark
