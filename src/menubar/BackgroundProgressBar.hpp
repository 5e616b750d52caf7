#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <optional>

namespace tidemark {

// The share of the run from `start` to `end` still ahead at `now`, in 0…1: 1 at and
// before the start, falling linearly to 0 at the end, 0 afterwards. A run of no length
// (or one that ends before it starts) is full before its end and empty from its end on,
// never NaN.
double countdownProgress(Date start, Date end, Date now);

// The bar behind the countdown: a tinted shape as wide as the share of the reminder's run
// still ahead. The widget keeps the width and refreshes it on every timer tick and every
// change of either date.
struct BackgroundProgressBar {
    // 0 when either date is missing, else countdownProgress.
    static double progress(std::optional<Date> startDate, std::optional<Date> dueDate, Date now);

    // The spring the width animates with (also the onboarding's drag demonstration's).
    static const SpringAnimation& spring();

    // The shape in an area of `area`: from the top-left corner, as wide as `progress` of the
    // area (clamped to 0…1) and as high, inset by 1 on every side; empty where nothing is left.
    static Rect barRect(Size area, double progress);
    // The bar's width in whole device pixels: a tick that moves it by less than a pixel
    // changes nothing on screen, so it needs neither a repaint nor an animation.
    static long visibleWidth(Size area, double progress, double devicePixelRatio);
};

} // namespace tidemark
