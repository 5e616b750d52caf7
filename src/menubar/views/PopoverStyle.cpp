#include "menubar/views/PopoverStyle.hpp"

#include "platform/ui/ColorScheme.hpp"

#include <QFontInfo>

#include <cmath>

namespace tidemark {

QSize popoverPanelSize()
{
    return { popoverMetrics::contentWidth,
        popoverMetrics::headerHeight + popoverMetrics::contentHeight };
}

namespace {

QFont scaled(const QFont& body, double scale, QFont::Weight weight)
{
    QFont font = body;
    const int bodyPixels = QFontInfo(body).pixelSize();
    font.setPixelSize(std::max(1, int(std::lround(bodyPixels * scale))));
    font.setWeight(weight);
    return font;
}

} // namespace

PopoverFonts popoverFonts(const QFont& body)
{
    return {
        .time = scaled(body, 17.0 / 13.0, QFont::Light),
        .title = scaled(body, 1.0, QFont::Light),
        .sectionHeader = scaled(body, 11.0 / 13.0, QFont::DemiBold),
        .headline = scaled(body, 1.0, QFont::DemiBold),
        .callout = scaled(body, 12.0 / 13.0, QFont::Normal),
    };
}

QColor primaryTextColor(const QPalette& palette)
{
    return palette.color(QPalette::WindowText);
}

QColor secondaryTextColor(const QPalette& palette)
{
    return withOpacity(palette.color(QPalette::WindowText), 0.55);
}

QColor accentColor(const QPalette& palette)
{
    return palette.color(QPalette::Active, QPalette::Highlight);
}

QColor destructiveColor(const QPalette& palette)
{
    return colorScheme(palette) == ColorScheme::dark ? QColor(255, 69, 58) : QColor(255, 59, 48);
}

} // namespace tidemark
