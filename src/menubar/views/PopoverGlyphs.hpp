#pragma once

#include <QColor>
#include <QIcon>
#include <QRectF>

class QPainter;

namespace tidemark {

// The small symbols of the popover, drawn as paths so they are sharp at every pixel ratio.
// Each fills `rect` (square) in `color`.
enum class PopoverGlyph {
    ellipsis, // three dots: the action menu
    gear, // a filled gear: the more menu
    archiveBox, // a box with a lid: removing
    closeCircle, // a cross in a circle: closing a banner
};

void paintPopoverGlyph(
    QPainter& painter, PopoverGlyph glyph, const QRectF& rect, const QColor& color);

// The glyph as an icon in `color`, rendered at whatever size and pixel ratio it is asked for
// (menus show it); dimmed when disabled.
QIcon popoverGlyphIcon(PopoverGlyph glyph, const QColor& color);

} // namespace tidemark
