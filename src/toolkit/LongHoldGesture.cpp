#include "toolkit/LongHoldGesture.hpp"

#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace tidemark {

OnLongHoldGestureViewModifier::OnLongHoldGestureViewModifier(
    QWidget* view, double minimumDuration, std::function<void(bool)> perform)
    : QObject(view)
    , m_minimumDuration(minimumDuration)
    , m_perform(std::move(perform))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &OnLongHoldGestureViewModifier::tick);
    view->installEventFilter(this);
}

std::chrono::milliseconds OnLongHoldGestureViewModifier::interval(double minimumDuration)
{
    const double seconds = std::max(0.0, minimumDuration - longPressMinimumDuration);
    return std::max(minimumInterval, std::chrono::milliseconds(std::llround(seconds * 1000)));
}

bool OnLongHoldGestureViewModifier::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !m_timer.isActive()) {
            m_pressPosition = mouse->position().toPoint();
            pressing(true);
        }
        break;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint moved = mouse->position().toPoint() - m_pressPosition;
        if (m_timer.isActive() && std::hypot(moved.x(), moved.y()) > maximumDistance)
            pressing(false);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            pressing(false);
        break;
    case QEvent::Hide:
        pressing(false);
        break;
    default:
        break;
    }
    return false;
}

void OnLongHoldGestureViewModifier::pressing(bool isPressing)
{
    if (isPressing) {
        m_timer.start(interval(m_minimumDuration));
        return;
    }
    m_timer.stop();
    if (m_isHolding) {
        m_isHolding = false;
        if (m_perform)
            m_perform(false);
    }
}

void OnLongHoldGestureViewModifier::tick()
{
    if (m_perform)
        m_perform(true);
    m_isHolding = true;
}

} // namespace tidemark
