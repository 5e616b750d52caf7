#include "toolkit/HoveringEventsView.hpp"

#include "platform/ui/AncestorEvents.hpp"

#include <QEvent>

namespace tidemark {

HoveringEventsView::HoveringEventsView(QWidget* view, std::function<void(bool)> action)
    : QObject(view)
    , m_action(std::move(action))
{
    view->installEventFilter(this);
}

bool HoveringEventsView::eventFilter(QObject*, QEvent* event)
{
    if (!m_action)
        return false;
    if (event->type() == QEvent::Enter)
        m_action(true);
    else if (event->type() == QEvent::Leave)
        m_action(false);
    return false;
}

ViewPublisher::ViewPublisher(std::optional<Rect> rect, QWidget* view)
    : m_rect(rect ? *rect : Rect(0, 0, view ? view->width() : 0, view ? view->height() : 0))
    , m_view(view)
{
    observe();
}

ViewPublisher::~ViewPublisher()
{
    delete m_observation;
}

void ViewPublisher::setView(QWidget* view)
{
    m_view = view;
    observe();
}

void ViewPublisher::observe()
{
    delete m_observation;
    if (!m_view)
        return;
    // The view's place in its window changes when it or an ancestor below the window moves or
    // resizes (a resize can move the children a layout places).
    m_observation = new AncestorEventFilter(m_view, [this](QWidget* watched, QEvent* event) {
        if (watched->isWindow())
            return;
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize
            || event->type() == QEvent::ParentChange)
            update();
    });
}

void ViewPublisher::update()
{
    if (!m_view)
        return;
    const QPoint origin = positionInWindow(m_view);
    m_frame.send(m_rect.offsetBy(origin.x(), origin.y()));
}

bool ViewPublisher::operator==(const ViewPublisher& other) const
{
    return frame() == other.frame() && m_rect == other.m_rect && m_view == other.m_view;
}

} // namespace tidemark
