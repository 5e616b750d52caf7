#pragma once

#include "toolkit/AppIconArtwork.hpp"

#include <QWidget>

namespace tidemark {

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
