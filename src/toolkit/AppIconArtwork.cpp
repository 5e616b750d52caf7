#include "toolkit/AppIconArtwork.hpp"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace tidemark {

void paintAppIcon(QPainter& painter, const QRectF& rect, const QColor& color)
{
    const double side = std::min(rect.width(), rect.height());
    const QRectF square(rect.center().x() - side / 2, rect.center().y() - side / 2, side, side);
    const double stroke = std::max(1.0, side / 10);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, stroke));
    painter.setBrush(Qt::NoBrush);
    const QRectF ring = square.adjusted(stroke, stroke, -stroke, -stroke);
    painter.drawEllipse(ring);
    // The tide: a wave across the lower half, the water below it filled.
    QPainterPath water;
    const double y = ring.center().y() + ring.height() * 0.08;
    const double amplitude = ring.height() * 0.08;
    water.moveTo(ring.left(), y);
    water.cubicTo(ring.left() + ring.width() * 0.3, y - 2 * amplitude,
        ring.left() + ring.width() * 0.7, y + 2 * amplitude, ring.right(), y);
    water.lineTo(ring.right(), ring.bottom());
    water.lineTo(ring.left(), ring.bottom());
    water.closeSubpath();
    QPainterPath disc;
    disc.addEllipse(ring);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(disc.intersected(water));
    painter.restore();
}

QColor appIconColor()
{
    return { 0x1f, 0x6f, 0xb5 };
}

namespace {

// Paints the icon at the size asked for, when it is asked for: rendering every size at start
// would cost more than the rest of showing the status item.
class AppIconEngine final : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override
    {
        paintAppIcon(*painter, QRectF(rect), appIconColor());
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine* clone() const override { return new AppIconEngine; }
};

} // namespace

QIcon appIcon()
{
    return QIcon(new AppIconEngine);
}

} // namespace tidemark
