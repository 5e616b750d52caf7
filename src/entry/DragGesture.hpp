#pragma once

#include "core/Action.hpp"
#include "entry/DragTimeInterval.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <concepts>
#include <optional>
#include <random>
#include <variant>

namespace tidemark {

// Anything that describes one sample of a drag: the toolkit's drag events once captured,
// our stored value and the preview double.
template <class V>
concept DragGestureValuable = requires(const V& v)
{
    {
        v.time
        } -> std::convertible_to<Date>;
    {
        v.location
        } -> std::convertible_to<Point>;
    {
        v.startLocation
        } -> std::convertible_to<Point>;
    {
        v.translation
        } -> std::convertible_to<Size>;
    {
        v.predictedEndLocation
        } -> std::convertible_to<Point>;
    {
        v.predictedEndTranslation
        } -> std::convertible_to<Size>;
};

// One drag sample as storable state. Positions are in the coordinate space of the gesture
// that produced them; `translation` is location minus start location.
struct AnyDragGestureValue {
    Date time {};
    Point location;
    Point startLocation;
    Size translation;
    Point predictedEndLocation;
    Size predictedEndTranslation;

    bool operator==(const AnyDragGestureValue&) const = default;

    // Reads the six properties of any drag sample once each, in declaration order.
    template <DragGestureValuable V> static AnyDragGestureValue from(const V& value)
    {
        AnyDragGestureValue result;
        result.time = value.time;
        result.location = value.location;
        result.startLocation = value.startLocation;
        result.translation = value.translation;
        result.predictedEndLocation = value.predictedEndLocation;
        result.predictedEndTranslation = value.predictedEndTranslation;
        return result;
    }
};

// A drag sample for previews and demonstrations: stamped with the given time, starting at
// the origin, with a random translation (whole numbers 0…999) and random predictions
// (whole numbers 0…1000), drawn in that order.
struct MockDragGestureValue {
    Date time {};
    Point location;
    Point startLocation;
    Size translation;
    Point predictedEndLocation;
    Size predictedEndTranslation;

    bool operator==(const MockDragGestureValue&) const = default;

    static MockDragGestureValue random(Date now, std::mt19937& engine);
    // Now from the system clock, drawn from a freshly seeded engine.
    static MockDragGestureValue random();
};

enum class DragGesturePhase {
    begin,
    changed,
    ended,
};

// The drag on the menu-bar icon as the root state keeps it. Nothing resets it between
// drags: the last drag's value, phase, start and resting translation stay until the next
// drag overwrites them.
struct DragGestureState {
    std::optional<Date> startDate; // stamped by phase(begin)
    std::optional<Rect> localFrame; // source frame of a drag that began in the popover's list
    std::optional<DragGesturePhase> phase;
    std::optional<Size> didEndTranslation; // where the blob rests after release
    double minimumDistance = 22.0; // a shorter pull makes no reminder
    double pointPerInterval = defaultPointPerInterval; // kept within DragSensitivity's bounds
    std::optional<AnyDragGestureValue> value;

    bool operator==(const DragGestureState&) const = default;

    static DragGestureState initial() { return {}; }

    // True when there is a value whose pull is strictly longer than the minimum distance.
    bool exceedsMinimumDistance() const;
};

struct DragGestureActionCases {
    struct DidEndTranslation {
        std::optional<Size> translation;
        bool operator==(const DidEndTranslation&) const = default;
    };
    struct LocalFrame {
        std::optional<Rect> frame;
        bool operator==(const LocalFrame&) const = default;
    };
    struct Phase {
        DragGesturePhase phase;
        bool operator==(const Phase&) const = default;
    };
    struct PointPerInterval {
        double pointPerInterval;
        bool operator==(const PointPerInterval&) const = default;
    };
    struct Value {
        AnyDragGestureValue value;
        bool operator==(const Value&) const = default;
    };
    using Variant = std::variant<DidEndTranslation, LocalFrame, Phase, PointPerInterval, Value>;
};

struct DragGestureAction : ActionOf<DragGestureActionCases> {
    using ActionOf::ActionOf;
};

// Stores each case's payload in its field. phase(begin) also stamps `startDate` with the
// clock's now, phase(changed) clears `didEndTranslation`, phase(ended) rests it at the
// value's translation (none without a value), except after a pull without change (see
// endsWithoutChange), which leaves it where it was. pointPerInterval is clamped into the
// sensitivity bounds so the pull rule and the value filter never divide by 0 or NaN.
void dragGestureReducer(
    DragGestureState& state, const DragGestureAction& action, const Clock& clock);

// A pull that ends straight after its begin, with no change between (a flick faster than
// any move the pointer reports): it opened no window and showed nothing, so it counts as no
// drag at all. True for phase(ended) while the held phase is `begin`.
bool endsWithoutChange(const DragGestureState& state, const DragGestureAction& action);

// Where the blob's lower end stands: the resting translation after release, else the
// current pull, else zero.
Size blobTranslation(const DragGestureState& state);

// The sender's filters, so that the store sees a phase only when it changes and a value
// only when the pull moved far enough to matter: the phase when none is held or it
// differs; the value when none is held or the squared length of the pull differs from the
// held one's by more than the square of the points per interval (either way: a pull that
// shrinks back must update the label too).
bool shouldDispatchPhase(const DragGestureState& state, DragGesturePhase phase);
bool shouldDispatchValue(const DragGestureState& state, const AnyDragGestureValue& value);

// What a finished pull enters: its start and the interval it stands for. Only after
// phase(ended), with a value past the minimum distance and a start date; none otherwise.
struct DragEntry {
    Date startDate;
    TimeInterval timeInterval = 0;
    bool operator==(const DragEntry&) const = default;
};
std::optional<DragEntry> endedDragEntry(const DragGestureState& state);

} // namespace tidemark
