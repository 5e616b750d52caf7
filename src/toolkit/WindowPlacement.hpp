#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace tidemark {

// The window a view lies in: its top-level ancestor. A view without a parent lies in no
// window, unless it is itself one of the application's windows.
QWidget* windowOfView(const QWidget* view);

// A view's frame in the coordinates of its window's content (top-left origin).
Rect frameInWindow(const QWidget* view);

// Carries a rectangle from one window's content coordinates into another's, for example the
// menu-bar icon's frame into a screen-sized overlay, so that what the overlay draws starts
// exactly over the icon. Every coordinate here counts from the top left, so the conversion
// is a pass through the screen and back, and holds for windows of any size.
struct ViewToWindowConverter {
    // A rectangle in the content coordinates of a window.
    Rect frame;
    // The window the conversion works with.
    QPointer<QWidget> window;

    bool operator==(const ViewToWindowConverter&) const = default;

    // The view's frame in its window, and that window; none when the view lies in no window.
    static std::optional<ViewToWindowConverter> make(const QWidget* view);

    // `frame` taken as lying in `source`, converted into `window`.
    Rect convertFrom(const QWidget* source) const;
    // `frame` taken as lying in `window`, converted into `target`.
    Rect convertTo(const QWidget* target) const;
};

// Converts a rectangle in `source`'s content coordinates into `target`'s.
Rect convertRect(const Rect& frame, const QWidget* source, const QWidget* target);

// Places the window of one view next to another view's window, keeps it on the screen under
// the pointer, and can attach it as a child window so it follows its anchor.
class WindowValet {
public:
    // The gap between the anchor and the placed window.
    static constexpr double spacing = 6;

    WindowValet(QWidget* sourceView, QWidget* viewToPosition);

    QWidget* sourceView() const { return m_sourceView; }
    QWidget* viewToPosition() const { return m_viewToPosition; }
    // The placed window: the window of the view to position; null when it has none.
    QWidget* window() const;
    // The anchor window: the window of the source view; null when it has none.
    QWidget* sourceWindow() const;

    // The anchor's frame on screen: the anchor window's frame. Status items share one strip
    // here, where each has a window of its own elsewhere, so a status item's button stands
    // for its window.
    std::optional<Rect> anchorFrame() const;

    // Moves the placed window against the anchor's `edge`, `spacing` apart, centred on the
    // anchor along the other axis, sized `frame` (the bounds of the view to position when
    // none), then shifted onto the screen under the pointer. Does nothing when either view
    // lies in no window.
    void positionWindow(std::optional<Rect> frame, RectEdge edge);

    bool attachWindows() const { return m_attachWindows; }
    // Stores the value, then attaches the placed window to the anchor as a child window (or
    // detaches it) when both windows exist.
    void setAttachWindows(bool attach);

private:
    QPointer<QWidget> m_sourceView;
    QPointer<QWidget> m_viewToPosition;
    bool m_attachWindows = false;
};

// Where `placed`, of the given size, goes against `anchor` on `screen`: the placement rule
// of WindowValet without any window, so it can be checked with plain rectangles.
Rect placedFrame(const Rect& placed, const Rect& anchor, RectEdge edge, double spacing,
    const std::optional<Rect>& screen);

} // namespace tidemark
