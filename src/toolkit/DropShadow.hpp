#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QRegion>
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

// A raised surface: the shadow of a rounded rectangle and, over it, the rectangle filled and
// edged with a line of `borderWidth` just inside its edge.
struct SurfaceLook {
    double cornerRadius = 0;
    Shadow shadow { Qt::transparent, 0, {} };
    QColor fill = Qt::transparent;
    QColor border = Qt::transparent;
    double borderWidth = 0;
    // Quarter-circle corners (a capsule's) where the toolkit's are continuous; such a surface
    // has no border.
    bool circularCorners = false;

    bool operator==(const SurfaceLook&) const = default;
};

// How far the surface's image reaches beyond the shape on each side: its shadow's blur and
// offset.
double surfaceMargin(const SurfaceLook& look);

// The surface for a shape of `size` (rounded to whole device pixels), at `devicePixelRatio`,
// on an image grown by surfaceMargin on every side. Made once and kept with the shadows, and
// for larger sizes stretched from a small one: a card that grows frame by frame costs a copy
// of rows a frame, not a blur and the curves of its corners.
QImage surfaceImage(const QSizeF& size, const SurfaceLook& look, double devicePixelRatio);

// Paints that surface for `shape` within `region`, one rectangle at a time: it is one image
// blended, with no fill that the raster engine would split across threads.
void paintSurface(
    QPainter& painter, const QRectF& shape, const SurfaceLook& look, const QRegion& region);

// Paints surfaces like paintSurface, for a surface that changes size from frame to frame (a
// card that grows): each size is stretched into one image kept here and written again, where
// the shared images would each be made in fresh memory, used once and thrown away.
class SurfaceCanvas {
public:
    void paint(
        QPainter& painter, const QRectF& shape, const SurfaceLook& look, const QRegion& region);
    // Lets the image go; the next paint makes a new one.
    void release();
    qsizetype bytes() const { return m_image.sizeInBytes(); }

private:
    QImage m_image;
    SurfaceLook m_look;
    QSize m_size;
    double m_ratio = 0;
};

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
