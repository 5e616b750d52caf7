#include "entry/views/ScrollGestureView.hpp"

#include "platform/ui/FrameClock.hpp"

#include <QWheelEvent>

namespace tidemark {

WheelDeltas wheelDeltas(const QWheelEvent& event)
{
    const QPoint pixel = event.pixelDelta();
    const QPoint angle = event.angleDelta();
    return { Size { double(pixel.x()), double(pixel.y()) },
        Size { double(angle.x()), double(angle.y()) } };
}

ScrollGestureView::ScrollGestureView(ScrollEvent scrollEvent, QWidget* parent)
    : QWidget(parent)
    , m_scrollEvent(std::move(scrollEvent))
{
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
}

void ScrollGestureView::wheelEvent(QWheelEvent* event)
{
    QWidget::wheelEvent(event);
    // A spinning wheel paints once per notch: an animation frame that is due comes with it.
    frameClock().frameForInput();
    if (m_scrollEvent)
        m_scrollEvent(scrollDeltaTranslation(wheelDeltas(*event)));
}

} // namespace tidemark
