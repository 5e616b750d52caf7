#include "menubar/views/PopoverEmptyView.hpp"

#include "menubar/views/PopoverStyle.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QPainter>
#include <QPainterPath>

namespace tidemark {

PopoverEmptyView::PopoverEmptyView(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QString::fromStdString(localized("Reminders", "all_reminders_label")));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void PopoverEmptyView::setPlaying(bool isPlaying)
{
    m_isPlaying = isPlaying;
}

QSize PopoverEmptyView::sizeHint() const
{
    return { popoverMetrics::contentWidth, popoverMetrics::contentHeight };
}

void PopoverEmptyView::paintEvent(QPaintEvent*)
{
    // A golden rectangle, fitted into the view less 40 px on every side: a strip of the
    // status bar with the icon, and below it the blob pulled down on a string, the pointer
    // holding it.
    const double goldenRatio = 1.618034;
    const QRectF room = QRectF(rect()).adjusted(40, 40, -40, -40);
    if (room.width() <= 0 || room.height() <= 0)
        return;
    double width = room.width();
    double height = width / goldenRatio;
    if (height > room.height()) {
        height = room.height();
        width = height * goldenRatio;
    }
    const QRectF art(room.center().x() - width / 2, room.center().y() - height / 2, width, height);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = primaryTextColor(palette());
    const QColor faint = withOpacity(ink, 0.08);
    const QColor accent = appIconColor();

    const double bar = art.height() * 0.18;
    fillContinuousRoundedRect(
        painter, QRectF(art.left(), art.top(), art.width(), bar), bar / 3, faint);
    const double icon = bar * 0.7;
    const QPointF iconCentre(art.center().x(), art.top() + bar / 2);
    paintAppIcon(
        painter, QRectF(iconCentre.x() - icon / 2, iconCentre.y() - icon / 2, icon, icon), accent);

    // The pull: a string from the icon to a blob.
    const double blob = art.height() * 0.22;
    const QPointF blobCentre(iconCentre.x(), art.bottom() - blob / 2);
    QPen string(withOpacity(accent, 0.55), 1.5, Qt::DashLine, Qt::RoundCap);
    painter.setPen(string);
    painter.drawLine(QPointF(iconCentre.x(), art.top() + bar),
        QPointF(blobCentre.x(), blobCentre.y() - blob / 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawEllipse(blobCentre, blob / 2, blob / 2);

    // The pointer, holding the blob.
    const double s = blob * 0.55;
    const QPointF tip(blobCentre.x() + blob * 0.2, blobCentre.y() + blob * 0.05);
    QPainterPath arrow;
    arrow.moveTo(tip);
    arrow.lineTo(tip + QPointF(0, s));
    arrow.lineTo(tip + QPointF(s * 0.28, s * 0.75));
    arrow.lineTo(tip + QPointF(s * 0.48, s * 1.1));
    arrow.lineTo(tip + QPointF(s * 0.6, s * 1.04));
    arrow.lineTo(tip + QPointF(s * 0.42, s * 0.7));
    arrow.lineTo(tip + QPointF(s * 0.75, s * 0.7));
    arrow.closeSubpath();
    painter.setBrush(ink);
    painter.setPen(QPen(palette().color(QPalette::Window), 1));
    painter.drawPath(arrow);
}

} // namespace tidemark
