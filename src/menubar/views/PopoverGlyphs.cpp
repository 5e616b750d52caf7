#include "menubar/views/PopoverGlyphs.hpp"

#include "platform/ui/ColorScheme.hpp"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <numbers>

namespace tidemark {

namespace {

void paintEllipsis(QPainter& painter, const QRectF& r, const QColor& color)
{
    const double dot = r.width() * 0.2;
    const double gap = (r.width() - 3 * dot) / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QRectF(r.left() + i * (dot + gap), r.center().y() - dot / 2, dot, dot));
}

void paintGear(QPainter& painter, const QRectF& r, const QColor& color)
{
    // Eight teeth around a ring, with a hole in the middle.
    const QPointF c = r.center();
    const double outer = r.width() * 0.5;
    const double inner = r.width() * 0.36;
    const double hole = r.width() * 0.15;
    const int teeth = 8;
    QPainterPath path;
    for (int i = 0; i < teeth * 4; ++i) {
        const double angle = (i - 0.5) * std::numbers::pi * 2 / (teeth * 4);
        const double radius = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF p(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    painter.fillPath(path, color);
}

void paintArchiveBox(QPainter& painter, const QRectF& r, const QColor& color)
{
    const double w = r.width();
    const double line = std::max(1.0, w * 0.09);
    QPainterPath lid;
    lid.addRoundedRect(
        QRectF(r.left() + w * 0.06, r.top() + w * 0.14, w * 0.88, w * 0.22), w * 0.04, w * 0.04);
    painter.fillPath(lid, color);
    QPen pen(color, line);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const QRectF box(
        r.left() + w * 0.14, r.top() + w * 0.36 + line / 2, w * 0.72, w * 0.5 - line / 2);
    painter.drawRoundedRect(box, w * 0.05, w * 0.05);
    const double slotY = box.top() + box.height() * 0.35;
    painter.drawLine(
        QPointF(r.center().x() - w * 0.12, slotY), QPointF(r.center().x() + w * 0.12, slotY));
}

void paintCloseCircle(QPainter& painter, const QRectF& r, const QColor& color)
{
    const double w = r.width();
    const double line = std::max(1.0, w * 0.08);
    QPen pen(color, line);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(r.adjusted(line / 2, line / 2, -line / 2, -line / 2));
    const double arm = w * 0.17;
    const QPointF c = r.center();
    painter.drawLine(QPointF(c.x() - arm, c.y() - arm), QPointF(c.x() + arm, c.y() + arm));
    painter.drawLine(QPointF(c.x() - arm, c.y() + arm), QPointF(c.x() + arm, c.y() - arm));
}

class GlyphIconEngine final : public QIconEngine {
public:
    GlyphIconEngine(PopoverGlyph glyph, QColor color)
        : m_glyph(glyph)
        , m_color(color)
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const double side = std::min(rect.width(), rect.height());
        const QRectF square(rect.x() + (rect.width() - side) / 2.0,
            rect.y() + (rect.height() - side) / 2.0, side, side);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        paintPopoverGlyph(*painter, m_glyph, square.adjusted(1, 1, -1, -1),
            mode == QIcon::Disabled ? withOpacity(m_color, 0.35) : m_color);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(
        const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphIconEngine(m_glyph, m_color); }

private:
    PopoverGlyph m_glyph;
    QColor m_color;
};

} // namespace

void paintPopoverGlyph(
    QPainter& painter, PopoverGlyph glyph, const QRectF& rect, const QColor& color)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (glyph) {
    case PopoverGlyph::ellipsis:
        paintEllipsis(painter, rect, color);
        break;
    case PopoverGlyph::gear:
        paintGear(painter, rect, color);
        break;
    case PopoverGlyph::archiveBox:
        paintArchiveBox(painter, rect, color);
        break;
    case PopoverGlyph::closeCircle:
        paintCloseCircle(painter, rect, color);
        break;
    }
    painter.restore();
}

QIcon popoverGlyphIcon(PopoverGlyph glyph, const QColor& color)
{
    return QIcon(new GlyphIconEngine(glyph, color));
}

} // namespace tidemark
