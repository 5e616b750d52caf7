#include "entry/DragCapture.hpp"

#include <cmath>

namespace tidemark {

void DragCapture::press(Point location, Date time)
{
    m_pressed = true;
    m_began = false;
    m_start = location;
    m_lastLocation = location;
    m_lastTime = time;
    m_lastValue.reset();
}

AnyDragGestureValue DragCapture::valueAt(Point location, Date time)
{
    const double elapsed = timeIntervalBetween(m_lastTime, time);
    Point velocity;
    if (elapsed > 0) {
        velocity = { (location.x - m_lastLocation.x) / elapsed,
            (location.y - m_lastLocation.y) / elapsed };
    }
    AnyDragGestureValue value;
    value.time = time;
    value.location = location;
    value.startLocation = m_start;
    value.translation = { location.x - m_start.x, location.y - m_start.y };
    value.predictedEndLocation = { location.x + velocity.x * predictionHorizon,
        location.y + velocity.y * predictionHorizon };
    value.predictedEndTranslation
        = { value.predictedEndLocation.x - m_start.x, value.predictedEndLocation.y - m_start.y };
    m_lastLocation = location;
    m_lastTime = time;
    m_lastValue = value;
    return value;
}

std::optional<DragCaptureOutput> DragCapture::move(Point location, Date time)
{
    if (!m_pressed)
        return std::nullopt;
    if (!m_began) {
        const double distance = std::hypot(location.x - m_start.x, location.y - m_start.y);
        if (!(distance >= minimumDistance)) {
            m_lastLocation = location;
            m_lastTime = time;
            return std::nullopt;
        }
        m_began = true;
        return DragCaptureOutput { DragGesturePhase::begin, valueAt(location, time), false };
    }
    return DragCaptureOutput { DragGesturePhase::changed, valueAt(location, time), true };
}

std::optional<DragCaptureOutput> DragCapture::release(Point location, Date time)
{
    const bool began = m_began;
    m_pressed = false;
    m_began = false;
    if (!began)
        return std::nullopt;
    return DragCaptureOutput { DragGesturePhase::ended, valueAt(location, time), false };
}

std::optional<DragCaptureOutput> DragCapture::cancel()
{
    const bool began = m_began;
    m_pressed = false;
    m_began = false;
    if (!began || !m_lastValue)
        return std::nullopt;
    return DragCaptureOutput { DragGesturePhase::ended, *m_lastValue, false };
}

HoverTracker::Effects HoverTracker::hover(bool isHovering, ZevovozoStatus status)
{
    Effects effects;
    if (isHovering && (status == ZevovozoStatus::idle || status == ZevovozoStatus::selected)) {
        effects.startTimer = true;
        return effects;
    }
    if (m_previous && status == ZevovozoStatus::hovering) {
        effects.status = *m_previous;
        m_previous.reset();
    }
    effects.cancelTimer = true;
    return effects;
}

HoverTracker::Effects HoverTracker::timerFired(ZevovozoStatus status)
{
    m_previous = status;
    return { false, true, ZevovozoStatus::hovering };
}

HoverTracker::Effects HoverTracker::statusChanged(ZevovozoStatus status)
{
    Effects effects;
    if (status == ZevovozoStatus::idle || status == ZevovozoStatus::selected)
        effects.cancelTimer = true;
    return effects;
}

} // namespace tidemark
