#pragma once

#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Date.hpp"
#include "reminders/AutomaticRemoval.hpp"
#include "settings/MenuBarSettingsConnectingView.hpp"

namespace tidemark {

// The drag-sensitivity slider is continuous over DragSensitivity::minimum…maximum; a slider
// of whole positions gets there in fine steps of a hundredth.
struct SensitivitySlider {
    static constexpr int stepsPerUnit = 100;
    static int maximumPosition();
    // The position nearest to a sensitivity, clamped into the slider.
    static int position(double sensitivity);
    static double value(int position);
};

// The progress bar's opacity slider: ten stops, 0.1 … 1.0.
struct OpacitySlider {
    static constexpr int minimumPosition = 1;
    static constexpr int maximumPosition = 10;
    static int position(double opacity);
    // Exactly the tenths, so the first stop sends 0.1 and the last 1.0.
    static double value(int position);
};

// The removal time as the time picker shows it: hour and minute of the stored moment.
struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    bool operator==(const TimeOfDay&) const = default;
};

TimeOfDay removalTimeOfDay(Date date, const Calendar& calendar);
// The picked time on the stored moment's day. A time that day skips (a clock change)
// takes the next one that exists, a time it shows twice the first; where the calendar has
// no answer the stored moment stays.
Date removalDate(TimeOfDay time, Date stored, const Calendar& calendar);

// Which rows of the general pane take changes. Disabled rows still show their values.
struct GeneralSettingsEnabling {
    bool removalTime = true;
    bool progressBarToggle = true;
    bool opacitySlider = true;
    bool operator==(const GeneralSettingsEnabling&) const = default;
};

// The time picker while the removal is on; the progress-bar switch while the countdown is
// shown; the opacity while both the countdown and its progress bar are.
GeneralSettingsEnabling generalSettingsEnabling(
    const AutomaticRemovalState& removal, const MenuBarSettingsConnectingView::State& menuBar);

} // namespace tidemark
