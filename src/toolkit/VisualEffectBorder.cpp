#include "toolkit/VisualEffectBorder.hpp"

#include "toolkit/ContinuousCorners.hpp"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace tidemark {

QColor visualEffectBorderColor(ColorScheme scheme, double opacity)
{
    return withOpacity(Qt::white, (scheme == ColorScheme::light ? 0.1 : 0.155) * opacity);
}

QPainterPath visualEffectBorderPath(const QRectF& bounds, double borderWidth, double cornerRadius)
{
    const double inset = borderWidth * 0.5;
    return continuousRoundedRect(
        bounds.adjusted(inset, inset, -inset, -inset), std::max(0.0, cornerRadius - inset));
}

void paintVisualEffectBorder(QPainter& painter, const QRectF& bounds, double borderWidth,
    double cornerRadius, double opacity, ColorScheme scheme)
{
    if (opacity <= 0 || borderWidth <= 0)
        return;
    // A line of `borderWidth` with butt caps and mitre joins (limit 10) along the inset path.
    strokeContinuousRoundedRect(
        painter, bounds, cornerRadius, borderWidth, visualEffectBorderColor(scheme, opacity));
}

VisualEffectBorderViewModifier::VisualEffectBorderViewModifier(
    QWidget* content, double borderWidth, double cornerRadius, double opacity)
    : QWidget(content)
    , m_borderWidth(borderWidth)
    , m_cornerRadius(cornerRadius)
    , m_opacity(opacity)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(content->rect());
    content->installEventFilter(this);
    raise();
    show();
}

void VisualEffectBorderViewModifier::setOpacity(double opacity)
{
    if (opacity == m_opacity)
        return;
    m_opacity = opacity;
    update();
}

void VisualEffectBorderViewModifier::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintVisualEffectBorder(
        painter, QRectF(rect()), m_borderWidth, m_cornerRadius, m_opacity, colorScheme(this));
}

bool VisualEffectBorderViewModifier::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent()) {
        if (event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (event->type() == QEvent::ChildAdded)
            raise();
    }
    return false;
}

} // namespace tidemark
