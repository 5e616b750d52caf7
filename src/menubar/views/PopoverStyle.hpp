#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSize>

class QWidget;

namespace tidemark {

// The popover's measures, in device-independent pixels.
namespace popoverMetrics {
// The content under the header: 230 wide and as high as a golden rectangle of that width
// less the header of the platform the design comes from (230 × 1.618034 − 102 = 270.15),
// on whole pixels.
inline constexpr int contentWidth = 230;
inline constexpr int contentHeight = 270;
// The header with the title and the two menus.
inline constexpr int headerHeight = 36;
// The panel's corners, where a compositor blends them with what lies behind.
inline constexpr double cornerRadius = 10;
// The list's rows stand this far in from the panel's sides.
inline constexpr int listMargin = 6;
} // namespace popoverMetrics

// The whole panel: header and content.
QSize popoverPanelSize();

// The text styles of the popover, derived from a view's font so they follow the desktop's
// font size: the body is that font; the time lines are a second-level title (17/13 of it),
// light; the section headers and banners a little smaller.
struct PopoverFonts {
    QFont time;
    QFont title;
    QFont sectionHeader;
    QFont headline;
    QFont callout;

    bool operator==(const PopoverFonts&) const = default;
};
PopoverFonts popoverFonts(const QFont& body);

// Text colours of the palette in force: primary, and the dimmer secondary one.
QColor primaryTextColor(const QPalette& palette);
QColor secondaryTextColor(const QPalette& palette);
// The accent (the palette's highlight).
QColor accentColor(const QPalette& palette);
// The destructive accent of the remove button, for light and dark schemes.
QColor destructiveColor(const QPalette& palette);

} // namespace tidemark
