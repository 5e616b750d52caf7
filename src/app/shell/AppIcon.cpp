#include "app/shell/AppIcon.hpp"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

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
    water.cubicTo(ring.left() + ring.width() * 0.3, y - 2 * amplitude, ring.left() + ring.width() * 0.7,
        y + 2 * amplitude, ring.right(), y);
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

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paintAppIcon(painter, QRectF(0, 0, size, size), QColor(0x1f, 0x6f, 0xb5));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

AppIconView::AppIconView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setToolTip(QStringLiteral("Tidemark"));
}

void AppIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(4, 3, -4, -3);
    paintAppIcon(painter, area, palette().color(QPalette::WindowText));
}

void AppIconView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT pressed();
    event->accept();
}

} // namespace tidemark
