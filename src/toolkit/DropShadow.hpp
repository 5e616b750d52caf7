#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QWidget>

#include <cstddef>

class QPainter;

namespace tidemark {

// A soft shadow under a surface: its silhouette blurred by `radius` (a Gaussian of standard
// deviation radius / 2), moved by `offset`, in `color`.
struct Shadow {
    QColor color = QColor(0, 0, 0, 84);
    double radius = 0;
    QPointF offset;

    bool operator==(const Shadow&) const = default;
};

// How far the blur reaches beyond the silhouette on each side.
double shadowExtent(const Shadow& shadow);

// The shadow of a continuous rounded rectangle of `size`, as an image that covers the shape
// grown by shadowExtent on every side, at `devicePixelRatio`. Each image is made once and kept
// (the most recent ones, up to shadowCacheBudget bytes), so drawing a shadow each frame costs
// one image draw.
QImage shadowImage(
    const QSizeF& size, double cornerRadius, const Shadow& shadow, double devicePixelRatio);

// What the kept shadow images may hold together. A card that grows and fades frame by frame
// casts a new shadow each frame; those come and go within it.
constexpr std::size_t shadowCacheBudget = 512 * 1024;
// What they hold now, in bytes.
std::size_t shadowCacheBytes();

// Paints the shadow of the rounded rectangle `shape` beneath it.
void paintDropShadow(
    QPainter& painter, const QRectF& shape, double cornerRadius, const Shadow& shadow);

// The shadow of any drawing, in device pixels: the alpha of `layer` blurred by `shadow.radius`
// points at `scale` device pixels a point, filled with `shadow.color`, on an image grown by
// layerShadowMargin pixels on every side (the offset is left to the caller). Made anew on each
// call: for drawings that change from frame to frame.
int layerShadowMargin(const Shadow& shadow, double scale);
QImage layerShadow(const QImage& layer, const Shadow& shadow, double scale);

// Drops a shadow under another widget: a sibling placed just beneath `target`, as large as the
// shadow reaches, that follows the target's geometry and visibility. The target's parent owns
// it; a target without a parent gets none.
class DropShadowView final : public QWidget {
    Q_OBJECT
public:
    DropShadowView(QWidget* target, double cornerRadius, const Shadow& shadow);

    const Shadow& shadow() const { return m_shadow; }
    void setShadow(const Shadow& shadow);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void follow();

    QPointer<QWidget> m_target;
    double m_cornerRadius;
    Shadow m_shadow;
};

DropShadowView* addDropShadow(QWidget* target, double cornerRadius, const Shadow& shadow);

} // namespace tidemark
