#include "toolkit/WindowPlacement.hpp"

#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"
#include "platform/ui/StatusBar.hpp"
#include "platform/ui/Window.hpp"

#include <QLayout>

namespace tidemark {

QWidget* windowOfView(const QWidget* view)
{
    if (!view)
        return nullptr;
    if (!view->parentWidget())
        return qobject_cast<Window*>(const_cast<QWidget*>(view));
    return view->window();
}

Rect frameInWindow(const QWidget* view)
{
    const QWidget* window = windowOfView(view);
    if (!window || window == view)
        return { 0, 0, double(view->width()), double(view->height()) };
    const QPoint origin = view->mapTo(window, QPoint(0, 0));
    return { double(origin.x()), double(origin.y()), double(view->width()),
        double(view->height()) };
}

Rect convertRect(const Rect& frame, const QWidget* source, const QWidget* target)
{
    if (!source || !target)
        return frame;
    const QPointF onScreen = source->mapToGlobal(toQPointF(frame.origin));
    return { fromQt(target->mapFromGlobal(onScreen)), frame.size };
}

std::optional<ViewToWindowConverter> ViewToWindowConverter::make(const QWidget* view)
{
    QWidget* window = windowOfView(view);
    if (!window)
        return std::nullopt;
    return ViewToWindowConverter { frameInWindow(view), window };
}

Rect ViewToWindowConverter::convertFrom(const QWidget* source) const
{
    return convertRect(frame, source, window);
}

Rect ViewToWindowConverter::convertTo(const QWidget* target) const
{
    return convertRect(frame, window, target);
}

WindowValet::WindowValet(QWidget* sourceView, QWidget* viewToPosition)
    : m_sourceView(sourceView)
    , m_viewToPosition(viewToPosition)
{
}

QWidget* WindowValet::window() const
{
    return windowOfView(m_viewToPosition);
}

QWidget* WindowValet::sourceWindow() const
{
    return windowOfView(m_sourceView);
}

std::optional<Rect> WindowValet::anchorFrame() const
{
    QWidget* anchor = sourceWindow();
    if (!anchor)
        return std::nullopt;
    if (auto* button = qobject_cast<StatusBarButton*>(m_sourceView.data()))
        return button->frameInScreen();
    if (auto* window = qobject_cast<Window*>(anchor))
        return window->frame();
    return fromQt(anchor->frameGeometry());
}

Rect placedFrame(const Rect& placed, const Rect& anchor, RectEdge edge, double spacing,
    const std::optional<Rect>& screen)
{
    Rect result = placed.adjacent(anchor, edge, spacing);
    if (screen)
        result = result.keptInside(*screen);
    return result;
}

void WindowValet::positionWindow(std::optional<Rect> frame, RectEdge edge)
{
    const std::optional<Rect> anchor = anchorFrame();
    QWidget* placed = window();
    if (!anchor || !placed)
        return;
    // A window that is not shown lays its views out only when asked; the size must be now.
    if (QLayout* layout = placed->layout())
        layout->activate();
    const Rect size = frame.value_or(
        Rect { 0, 0, double(m_viewToPosition->width()), double(m_viewToPosition->height()) });
    std::optional<Rect> screen;
    if (const std::optional<Screen> underMouse = Screen::underMouse())
        screen = underMouse->frame();
    const Rect target = placedFrame(size, *anchor, edge, spacing, screen);
    if (auto* window = qobject_cast<Window*>(placed))
        window->setFrame(target, true);
    else
        placed->setGeometry(toQRect(target));
}

void WindowValet::setAttachWindows(bool attach)
{
    m_attachWindows = attach;
    auto* anchor = qobject_cast<Window*>(sourceWindow());
    auto* placed = qobject_cast<Window*>(window());
    if (!anchor || !placed)
        return;
    if (attach)
        anchor->addChildWindow(placed);
    else
        anchor->removeChildWindow(placed);
}

} // namespace tidemark
