#pragma once

#include "entry/DragGesture.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <optional>

// The capture of a pull on the menu-bar icon, as rules without a display: the pointer's
// presses, moves and releases (in global coordinates) become one `begin`, then `changed`
// for every later move, then one `ended`; resting on the icon for a second makes it hover.
// The status item's widget feeds the events in and carries the outputs out.

namespace tidemark {

// One call of the drag handler.
struct DragCaptureOutput {
    DragGesturePhase phase;
    AnyDragGestureValue value;
    // Whether the icon's status should now read `dragging` (each change after the first).
    bool setsDragging = false;

    bool operator==(const DragCaptureOutput&) const = default;
};

class DragCapture {
public:
    // A pull starts once the pointer is this far from where it was pressed.
    static constexpr double minimumDistance = 10;
    // How far ahead of the pointer its predicted end lies, in seconds of its present speed.
    static constexpr double predictionHorizon = 0.1;

    // The button went down at `location`: the start of what may become a pull. A press while
    // one is held starts over.
    void press(Point location, Date time);
    // The pointer moved with the button held. Nothing until it has gone the minimum
    // distance; then `begin` once, and `changed` for every move after.
    std::optional<DragCaptureOutput> move(Point location, Date time);
    // The button came up: `ended` with the value there, when a pull had begun; nothing for
    // a press that never went the distance (a click).
    std::optional<DragCaptureOutput> release(Point location, Date time);
    // The pointer was taken from the icon mid-pull (its grab lost): `ended` with the last
    // value, so the next pull starts with `begin` again. Nothing when no pull had begun.
    std::optional<DragCaptureOutput> cancel();

    bool isPressed() const { return m_pressed; }
    // A pull has begun and not ended.
    bool isDragging() const { return m_began; }

private:
    AnyDragGestureValue valueAt(Point location, Date time);

    bool m_pressed = false;
    bool m_began = false;
    Point m_start;
    Point m_lastLocation;
    Date m_lastTime {};
    std::optional<AnyDragGestureValue> m_lastValue;
};

// Resting the pointer on the icon for a second makes it `hovering`; leaving returns it to
// what it was, unless something else changed it meanwhile.
class HoverTracker {
public:
    static constexpr int delayMilliseconds = 1000;

    struct Effects {
        bool startTimer = false; // start the one-second single-shot timer
        bool cancelTimer = false;
        std::optional<ZevovozoStatus> status; // write this status (in the yoyo spring)

        bool operator==(const Effects&) const = default;
    };

    // The pointer entered (true) or left (false) the icon's hit area, the icon reading
    // `status`. Entering an icon at rest starts the timer; anything else restores the status
    // that hovering replaced, if the icon still hovers, and cancels the timer.
    Effects hover(bool isHovering, ZevovozoStatus status);
    // The timer fired: remember `status`, hover, and let the timer go.
    Effects timerFired(ZevovozoStatus status);
    // The icon's status changed: at rest, a pending timer is let go.
    Effects statusChanged(ZevovozoStatus status);

    std::optional<ZevovozoStatus> previousStatus() const { return m_previous; }

private:
    std::optional<ZevovozoStatus> m_previous;
};

} // namespace tidemark
