#pragma once

#include <QIcon>
#include <QWidget>

class QPainter;

namespace tidemark {

// The application's mark: a ring with a tide line, drawn in `color` into `rect`.
void paintAppIcon(QPainter& painter, const QRectF& rect, const QColor& color);

// The mark at the usual icon sizes, for windows and the taskbar.
QIcon appIcon();

// The status item's face: the mark in the text colour of the bar, highlighted while the item
// is selected. A press toggles `pressed`.
class AppIconView final : public QWidget {
    Q_OBJECT
public:
    explicit AppIconView(QWidget* parent = nullptr);
    QSize sizeHint() const override { return { 28, 22 }; }

Q_SIGNALS:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace tidemark
