#include "toolkit/ListRowDivider.hpp"

#include "platform/ui/ColorScheme.hpp"

#include <QPainter>
#include <QPalette>

namespace tidemark {

QColor dividerColor(const QPalette& palette)
{
    return withOpacity(palette.color(QPalette::Active, QPalette::WindowText), 0.1);
}

void paintListRowDividers(QPainter& painter, const std::vector<QRectF>& rowFrames,
    const std::vector<bool>& showsDivider, const QPalette& palette)
{
    const QColor color = dividerColor(palette);
    const std::size_t count = std::min(rowFrames.size(), showsDivider.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (!showsDivider[i])
            continue;
        const QRectF& row = rowFrames[i];
        painter.fillRect(QRectF(row.left(), row.bottom() + dividerOffset, row.width(), 1), color);
    }
}

} // namespace tidemark
