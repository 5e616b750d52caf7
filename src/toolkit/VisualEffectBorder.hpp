#pragma once

#include "platform/ui/ColorScheme.hpp"

#include <QPainterPath>
#include <QWidget>

class QPainter;

namespace tidemark {

// The faint white hairline just inside the rounded edge of a floating surface: white at 0.1 in
// the light scheme and 0.155 in the dark one, times `opacity`.
QColor visualEffectBorderColor(ColorScheme scheme, double opacity);
// The line's centre: `bounds` inset by half the width, with the corner radius reduced by the
// same, so the whole line lies inside the bounds and follows the surface's own corners.
QPainterPath visualEffectBorderPath(const QRectF& bounds, double borderWidth, double cornerRadius);
void paintVisualEffectBorder(QPainter& painter, const QRectF& bounds, double borderWidth,
    double cornerRadius, double opacity, ColorScheme scheme);

// Draws that border over a view: a child that covers the view, stays above the view's other
// children and lets the mouse through. The view owns it.
class VisualEffectBorderViewModifier final : public QWidget {
    Q_OBJECT
public:
    VisualEffectBorderViewModifier(
        QWidget* content, double borderWidth, double cornerRadius, double opacity = 1);

    double borderWidth() const { return m_borderWidth; }
    double cornerRadius() const { return m_cornerRadius; }
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    double m_borderWidth;
    double m_cornerRadius;
    double m_opacity;
};

} // namespace tidemark
