#include "platform/ui/AncestorEvents.hpp"

#include <QEvent>

namespace tidemark {

AncestorEventFilter::AncestorEventFilter(QWidget* view, Handler handler, QObject* owner)
    : QObject(owner ? owner : view)
    , m_view(view)
    , m_handler(std::move(handler))
{
    watchChain();
}

AncestorEventFilter::~AncestorEventFilter()
{
    for (const auto& widget : m_watched) {
        if (widget)
            widget->removeEventFilter(this);
    }
}

std::vector<QWidget*> AncestorEventFilter::chain() const
{
    std::vector<QWidget*> result;
    for (QWidget* w = m_view; w; w = w->parentWidget())
        result.push_back(w);
    return result;
}

void AncestorEventFilter::watchChain()
{
    for (const auto& widget : m_watched) {
        if (widget)
            widget->removeEventFilter(this);
    }
    m_watched.clear();
    for (QWidget* widget : chain()) {
        widget->installEventFilter(this);
        m_watched.emplace_back(widget);
    }
}

bool AncestorEventFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ParentChange)
        watchChain();
    if (m_handler && watched->isWidgetType())
        m_handler(static_cast<QWidget*>(watched), event);
    return false;
}

QPoint positionInWindow(const QWidget* view)
{
    if (!view)
        return {};
    const QWidget* window = view->window();
    return window == view ? QPoint(0, 0) : view->mapTo(window, QPoint(0, 0));
}

} // namespace tidemark
