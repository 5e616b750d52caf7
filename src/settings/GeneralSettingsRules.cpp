#include "settings/GeneralSettingsRules.hpp"

#include "entry/DragTimeInterval.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

int SensitivitySlider::maximumPosition()
{
    return int(std::lround((DragSensitivity::maximum - DragSensitivity::minimum) * stepsPerUnit));
}

int SensitivitySlider::position(double sensitivity)
{
    if (std::isnan(sensitivity))
        return 0;
    const double clamped
        = std::clamp(sensitivity, DragSensitivity::minimum, DragSensitivity::maximum);
    return int(std::lround((clamped - DragSensitivity::minimum) * stepsPerUnit));
}

double SensitivitySlider::value(int position)
{
    return DragSensitivity::minimum
        + double(std::clamp(position, 0, maximumPosition())) / stepsPerUnit;
}

int OpacitySlider::position(double opacity)
{
    if (std::isnan(opacity))
        return maximumPosition;
    return std::clamp(int(std::lround(opacity * 10)), minimumPosition, maximumPosition);
}

double OpacitySlider::value(int position)
{
    return double(std::clamp(position, minimumPosition, maximumPosition)) / 10.0;
}

TimeOfDay removalTimeOfDay(Date date, const Calendar& calendar)
{
    return { calendar.component(CalendarComponent::hour, date),
        calendar.component(CalendarComponent::minute, date) };
}

Date removalDate(TimeOfDay time, Date stored, const Calendar& calendar)
{
    return calendar
        .dateBySettingHour(time.hour, time.minute, 0, stored, MatchingPolicy::nextTime,
            RepeatedTimePolicy::first, SearchDirection::forward)
        .value_or(stored);
}

GeneralSettingsEnabling generalSettingsEnabling(
    const AutomaticRemovalState& removal, const MenuBarSettingsConnectingView::State& menuBar)
{
    return {
        .removalTime = removal.isEnabled,
        .progressBarToggle = menuBar.menuBarCountdownIsEnabled,
        .opacitySlider = menuBar.menuBarCountdownIsEnabled && menuBar.progressBar.isEnabled,
    };
}

} // namespace tidemark
