#include "platform/ui/ColorScheme.hpp"

#include <QWidget>

#include <algorithm>

namespace tidemark {

ColorScheme colorScheme(const QPalette& palette)
{
    const int window = palette.color(QPalette::Active, QPalette::Window).lightness();
    const int text = palette.color(QPalette::Active, QPalette::WindowText).lightness();
    return window < text ? ColorScheme::dark : ColorScheme::light;
}

ColorScheme colorScheme(const QWidget* widget)
{
    return widget ? colorScheme(widget->palette()) : ColorScheme::light;
}

namespace {

QPalette makePalette(const QColor& window, const QColor& text, const QColor& base,
    const QColor& alternateBase, const QColor& button, const QColor& highlight,
    const QColor& disabledText)
{
    QPalette palette;
    for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        const bool disabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::WindowText, disabled ? disabledText : text);
        palette.setColor(group, QPalette::Base, base);
        palette.setColor(group, QPalette::AlternateBase, alternateBase);
        palette.setColor(group, QPalette::Text, disabled ? disabledText : text);
        palette.setColor(group, QPalette::Button, button);
        palette.setColor(group, QPalette::ButtonText, disabled ? disabledText : text);
        palette.setColor(group, QPalette::BrightText, Qt::white);
        palette.setColor(group, QPalette::Highlight, highlight);
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
        palette.setColor(group, QPalette::ToolTipBase, base);
        palette.setColor(group, QPalette::ToolTipText, text);
        palette.setColor(group, QPalette::PlaceholderText, disabledText);
        palette.setColor(group, QPalette::Link, highlight);
        palette.setColor(group, QPalette::Light, button.lighter(150));
        palette.setColor(group, QPalette::Midlight, button.lighter(125));
        palette.setColor(group, QPalette::Mid, button.darker(150));
        palette.setColor(group, QPalette::Dark, button.darker(200));
        palette.setColor(group, QPalette::Shadow, Qt::black);
    }
    return palette;
}

} // namespace

QPalette darkPalette()
{
    return makePalette(QColor(0x32, 0x32, 0x32), QColor(0xe6, 0xe6, 0xe6), QColor(0x1e, 0x1e, 0x1e),
        QColor(0x2a, 0x2a, 0x2a), QColor(0x46, 0x46, 0x46), QColor(0x0a, 0x84, 0xff),
        QColor(0x80, 0x80, 0x80));
}

QPalette lightPalette()
{
    return makePalette(QColor(0xec, 0xec, 0xec), QColor(0x1d, 0x1d, 0x1f), QColor(0xff, 0xff, 0xff),
        QColor(0xf4, 0xf5, 0xf5), QColor(0xfc, 0xfc, 0xfc), QColor(0x00, 0x7a, 0xff),
        QColor(0xa0, 0xa0, 0xa0));
}

QColor withOpacity(QColor color, double opacity)
{
    color.setAlphaF(float(std::clamp(color.alphaF() * opacity, 0.0, 1.0)));
    return color;
}

} // namespace tidemark
