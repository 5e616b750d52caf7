#pragma once

#include <QGraphicsEffect>
#include <QSizeF>

#include <functional>

class QImage;
class QPainter;
class QWidget;

namespace tidemark {

class HoveringEventsView;

// Calls `perform` with true when the pointer enters the view's bounds and false when it
// leaves them.
HoveringEventsView* onHoverEvents(QWidget* view, std::function<void(bool)> perform);

// `size` placed in `bounds` by `alignment` (centred along an axis the alignment leaves open).
QRectF alignedRect(const QSizeF& size, const QRectF& bounds, Qt::Alignment alignment);

// A shape to cut out of a view: what `paint` draws opaque inside a frame of `size` (the whole
// view when the size is empty), placed in the view by the alignment given with it.
struct MaskShape {
    QSizeF size;
    std::function<void(QPainter& painter, const QRectF& frame)> paint;
};

// Erases from `image` (premultiplied ARGB, any device pixel ratio), whose whole area stands
// for `bounds`, everything the mask paints, in proportion to the mask's opacity.
void eraseWithMask(
    QImage& image, const QRectF& bounds, Qt::Alignment alignment, const MaskShape& mask);

// Draws its view everywhere except under the mask's shape.
class ReverseMaskEffect final : public QGraphicsEffect {
    Q_OBJECT
public:
    ReverseMaskEffect(Qt::Alignment alignment, MaskShape mask, QObject* parent = nullptr);

protected:
    void draw(QPainter* painter) override;

private:
    Qt::Alignment m_alignment;
    MaskShape m_mask;
};

// Cuts the mask's shape out of `view`; the view owns the effect.
ReverseMaskEffect* reverseMask(QWidget* view, Qt::Alignment alignment, MaskShape mask);

// How a window may be resized.
enum class WindowResizability_Available {
    // As its content's layout allows.
    automatic,
    // Exactly its content's size.
    contentSize,
    // At least its content's size.
    contentMinSize,
};

// On systems that have it, sets the window's resizability through its layout's size
// constraint; on older systems, and for a window without a layout, changes nothing.
void availableWindowResizability(QWidget* window, WindowResizability_Available resizability);

} // namespace tidemark
