#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

namespace tidemark {

// The application's mark: a ring with a tide line, drawn in `color` into the square centred
// in `rect`.
void paintAppIcon(QPainter& painter, const QRectF& rect, const QColor& color);

// The mark's colour in the application's icon.
QColor appIconColor();

// The mark at every size asked for, for windows, the taskbar and the image registry.
QIcon appIcon();

} // namespace tidemark
