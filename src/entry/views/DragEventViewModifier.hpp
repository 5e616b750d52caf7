#pragma once

#include "core/Store.hpp"
#include "entry/DragCapture.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Date.hpp"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <functional>

class QMouseEvent;

namespace tidemark {

// The pull on the menu-bar icon: the view that shows the icon hands its pointer events in,
// and this turns a press on the icon's hit area and a move of more than 10 points into one
// `begin`, a `changed` for every later move and one `ended` at the release (global
// coordinates), calling the handler with each. It drives the icon's status through the
// binding, in the yoyo spring: `dragging` from the second change on, `hovering` once the
// pointer has rested on the hit area for a second (and back when it leaves).
//
// Once a pull has begun it grabs the pointer, so the moves and the release keep coming to the
// icon while the overlay windows stand over it. A grab taken away mid-pull ends the pull
// there, so the next one begins afresh.
class DragEventViewModifier final : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(DragGesturePhase, const AnyDragGestureValue&)>;

    // `hitArea` gives the hit area in the view's coordinates (22 × 22 over the icon).
    DragEventViewModifier(QWidget* view, std::function<QRectF()> hitArea,
        Binding<ZevovozoStatus> status, Handler handler);
    ~DragEventViewModifier() override;

    // The view's pointer events; each returns whether the capture used it.
    bool press(QMouseEvent* event);
    bool move(QMouseEvent* event);
    // True when the release ended a pull (so it is no click).
    bool release(QMouseEvent* event);
    // The pointer moved with no button held, or left the view.
    void hover(QPointF local);
    void leave();
    // The icon's status changed, by whoever.
    void statusChanged(ZevovozoStatus status);

    bool isDragging() const { return m_capture.isDragging(); }
    bool isHoverTimerActive() const { return m_hoverTimer.isActive(); }

    // The clock the values are stamped with.
    void setClock(std::function<Date()> now) { m_now = std::move(now); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliver(const std::optional<DragCaptureOutput>& output);
    void setHovering(bool hovering);
    void apply(const HoverTracker::Effects& effects);
    void writeStatus(ZevovozoStatus status);
    void releaseGrab();
    void lost();

    QPointer<QWidget> m_view;
    std::function<QRectF()> m_hitArea;
    Binding<ZevovozoStatus> m_status;
    Handler m_handler;
    std::function<Date()> m_now;
    DragCapture m_capture;
    HoverTracker m_hover;
    QTimer m_hoverTimer;
    bool m_isHovering = false;
    bool m_grabbed = false;
    bool m_releasingGrab = false;
};

} // namespace tidemark
