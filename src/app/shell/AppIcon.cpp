#include "app/shell/AppIcon.hpp"

#include <QMouseEvent>
#include <QPainter>

namespace tidemark {

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
