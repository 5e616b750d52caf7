#pragma once

#include "core/Action.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <cstdint>
#include <optional>
#include <variant>

namespace tidemark {

// A scroll over the menu-bar icon. Unlike a pull, which is measured whole, each scroll
// event moves the interval of the reminder being entered by a step.
struct ScrollGestureState {
    std::optional<Size> deltaTranslation; // the latest event's delta (width = horizontal)
    double heightPerUnit = 8.0; // points of vertical scroll per step of time
    std::optional<Rect> localFrame;
    std::optional<Date> startDate; // when the current scroll entry began; the root reducer owns it
    // How many deltas have arrived, so that a view sees every event, equal ones included.
    std::uint64_t deltaCount = 0;

    bool operator==(const ScrollGestureState&) const = default;

    static ScrollGestureState initial() { return {}; }
};

struct ScrollGestureActionCases {
    struct DeltaTranslation {
        std::optional<Size> delta;
        bool operator==(const DeltaTranslation&) const = default;
    };
    struct LocalFrame {
        std::optional<Rect> frame;
        bool operator==(const LocalFrame&) const = default;
    };
    using Variant = std::variant<DeltaTranslation, LocalFrame>;
};

struct ScrollGestureAction : ActionOf<ScrollGestureActionCases> {
    using ActionOf::ActionOf;
};

// Stores the delta (replacing, never summing; each delta with a value is counted) or the
// frame; never touches `heightPerUnit` or `startDate`.
void scrollGestureReducer(ScrollGestureState& state, const ScrollGestureAction& action);

// The interval after one scroll event: from `current` (none counts as 0) the step is one
// second under a minute and one minute from a minute on, scaled by the vertical delta over
// `heightPerUnit`; the horizontal delta never counts and the result is never below 0. Not
// rounded. A non-finite delta or a scale that is not a positive number leaves the interval
// as it was, so a bad event cannot wipe the entry's time.
TimeInterval scrolledTimeInterval(
    std::optional<TimeInterval> current, Size delta, double heightPerUnit);

} // namespace tidemark
