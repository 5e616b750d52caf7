#pragma once

#include <QPicture>
#include <QPointF>
#include <QSizeF>

namespace tidemark {

// The two what's-new pages that show a picture.
enum class WhatsNewPicturePage {
    redesign,
    remindersList,
};

// A page's picture as a resolution-independent recording, its bounding rectangle at the
// picture's own size: 1280 × 832 for the redesign (a desktop with the popover, rendered
// offscreen, under its icon), 1504 × 1504 (a backdrop with the sync pane in its middle) for
// the reminder lists. Every picture of the window comes from here.
QPicture whatsNewPicture(WhatsNewPicturePage page);

// Where a page lays its picture: the frame it draws the picture into, centred in the
// picture's block and moved by the offset; what overflows the block is cut off.
struct WhatsNewPictureFrame {
    QSizeF size;
    QPointF offset;
};
WhatsNewPictureFrame whatsNewPictureFrame(WhatsNewPicturePage page);

} // namespace tidemark
