#pragma once

#include "entry/ZevovozoStatus.hpp"
#include "menubar/ZevovozoConfiguring.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <memory>

namespace tidemark {

// The clock-hand icon as values: a status, a size configuration and the reminder it stands
// for give everything the icon draws. At rest the hands show the reminder's time; in the
// active statuses they fold away and the clock grows to fill its ring, with a shadow, and
// from `longHold` on it turns to the accent colour.
struct ZevovozoViewModel {
    // The reminder's time as the hands show it at rest, and its interval.
    struct Current {
        Angle hourAngle;
        Angle minuteAngle;
        Date startDate;
        Date dueDate;

        bool operator==(const Current&) const = default;

        // The share of the interval still ahead at `now`: (dueDate − now) / (dueDate −
        // startDate), 1 at the start, 0 at the due date, negative after it; not clamped. An
        // interval of no length (or one that ends before it starts) has no share to divide:
        // it is 1 before its due date and 0 from it on, as the countdown's bar counts.
        double timerIndicatorProgress(Date now) const;
    };

    // The two colours the icon is drawn in; the views take both from the palette.
    enum class Color {
        primary,
        accent,
    };

    // What the icon draws, in points. An infinite `clockSize` sets the clock no limit: it
    // fills the content area.
    struct Parameters {
        Size size;
        Size contentSize;
        Color color = Color::primary;
        double timerIndicatorWidth = 0;
        Angle hourAngle;
        Angle minuteAngle;
        Size clockSize;
        Size hourHandSize;
        Size minuteHandSize;
        Size handCircleSize;
        double shadowRadius = 0;

        bool operator==(const Parameters&) const = default;
    };

    ZevovozoStatus status = ZevovozoStatus::idle;
    // Never null; shared, as a configuration never changes.
    std::shared_ptr<const ZevovozoConfiguring> config
        = std::make_shared<const MenubarZevovozoConfiguration>();
    Current current;

    // By status group: `idle` and `selected` draw alike; `hovering`, `longHold` and
    // `dragging` fold the hands to length 0 at angle 0, drop the centre dot, lift the clock's
    // limit and cast a shadow of radius 5; `longHold` and `dragging` are in the accent colour,
    // and `dragging` shrinks the content area by 6 on each axis.
    Parameters parameters() const;
};

} // namespace tidemark
