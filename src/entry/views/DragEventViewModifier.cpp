#include "entry/views/DragEventViewModifier.hpp"

#include "entry/YoyoAnimation.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QEvent>
#include <QMouseEvent>

namespace tidemark {

DragEventViewModifier::DragEventViewModifier(
    QWidget* view, std::function<QRectF()> hitArea, Binding<ZevovozoStatus> status, Handler handler)
    : QObject(view)
    , m_view(view)
    , m_hitArea(std::move(hitArea))
    , m_status(std::move(status))
    , m_handler(std::move(handler))
    , m_now([] { return SystemClock {}.now(); })
{
    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(HoverTracker::delayMilliseconds);
    connect(&m_hoverTimer, &QTimer::timeout, this,
        [this] { apply(m_hover.timerFired(m_status.get())); });
    view->installEventFilter(this);
}

DragEventViewModifier::~DragEventViewModifier()
{
    releaseGrab();
}

void DragEventViewModifier::writeStatus(ZevovozoStatus status)
{
    withAnimation(Animation(yoyoSpring()), [&] { m_status.set(status); });
}

void DragEventViewModifier::apply(const HoverTracker::Effects& effects)
{
    if (effects.status)
        writeStatus(*effects.status);
    if (effects.cancelTimer)
        m_hoverTimer.stop();
    if (effects.startTimer)
        m_hoverTimer.start();
}

void DragEventViewModifier::deliver(const std::optional<DragCaptureOutput>& output)
{
    if (!output)
        return;
    if (m_handler)
        m_handler(output->phase, output->value);
    if (output->setsDragging && m_status.get() != ZevovozoStatus::dragging)
        writeStatus(ZevovozoStatus::dragging);
}

void DragEventViewModifier::lost()
{
    const bool grabbed = m_grabbed;
    m_grabbed = false;
    if (grabbed && m_view && QWidget::mouseGrabber() == m_view) {
        m_releasingGrab = true;
        m_view->releaseMouse();
        m_releasingGrab = false;
    }
    deliver(m_capture.cancel());
}

bool DragEventViewModifier::press(QMouseEvent* event)
{
    // A press while a pull still runs: its release went elsewhere (the grab was lost). That
    // pull ends here, so this one begins afresh.
    if (m_capture.isPressed())
        lost();
    if (event->button() != Qt::LeftButton || !m_hitArea().contains(event->position()))
        return false;
    m_capture.press(fromQt(event->globalPosition()), m_now());
    return true;
}

bool DragEventViewModifier::move(QMouseEvent* event)
{
    if (m_capture.isPressed() && !(event->buttons() & Qt::LeftButton)) {
        // The button came up where the pointer was not ours: the pull ends here.
        lost();
    }
    if (!m_capture.isPressed()) {
        hover(event->position());
        return false;
    }
    const bool wasDragging = m_capture.isDragging();
    deliver(m_capture.move(fromQt(event->globalPosition()), m_now()));
    if (!wasDragging && m_capture.isDragging() && m_view && !m_grabbed) {
        // From here the icon keeps the pointer, whatever windows open over it.
        m_grabbed = true;
        m_view->grabMouse();
    }
    return true;
}

bool DragEventViewModifier::release(QMouseEvent* event)
{
    if (!m_capture.isPressed())
        return false;
    const bool wasDragging = m_capture.isDragging();
    const auto output = m_capture.release(fromQt(event->globalPosition()), m_now());
    releaseGrab();
    deliver(output);
    return wasDragging;
}

void DragEventViewModifier::releaseGrab()
{
    if (!m_grabbed)
        return;
    m_grabbed = false;
    if (m_view) {
        m_releasingGrab = true;
        m_view->releaseMouse();
        m_releasingGrab = false;
    }
}

void DragEventViewModifier::hover(QPointF local)
{
    setHovering(m_hitArea().contains(local));
}

void DragEventViewModifier::leave()
{
    setHovering(false);
}

void DragEventViewModifier::setHovering(bool hovering)
{
    if (hovering == m_isHovering)
        return;
    m_isHovering = hovering;
    apply(m_hover.hover(hovering, m_status.get()));
}

void DragEventViewModifier::statusChanged(ZevovozoStatus status)
{
    apply(m_hover.statusChanged(status));
}

bool DragEventViewModifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::UngrabMouse:
        if (m_releasingGrab)
            break;
        [[fallthrough]];
    case QEvent::Hide:
        // The pointer was taken from the icon mid-pull (another grab, the icon hidden): the
        // pull ends where it was.
        if (m_capture.isPressed())
            lost();
        break;
    case QEvent::Leave:
        leave();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tidemark
