#include "onboarding/views/WhatsNewPictures.hpp"

#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverPreviews.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DropShadow.hpp"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <map>

namespace tidemark {

namespace {

// Each picture is a desktop backdrop with one of the application's own views on it, drawn
// offscreen by the view itself: the popover under its icon in the status bar, and the sync
// pane's list of reminder lists.

const QColor accent(10, 122, 255);

// Every picture is drawn at twice its size, so the window stays sharp on dense screens.
constexpr double pictureScale = 2;

std::map<WhatsNewPicturePage, QPicture>& whatsNewPictureCache()
{
    static std::map<WhatsNewPicturePage, QPicture> made;
    return made;
}

WhatsNewSyncPaneRenderer& syncPaneRenderer()
{
    static WhatsNewSyncPaneRenderer renderer;
    return renderer;
}

QImage syncPanePicture()
{
    const auto& renderer = syncPaneRenderer();
    return renderer ? renderer(pictureScale) : QImage();
}

// The popover with a few reminders due in the coming hours, in the light appearance, on a
// clock that stands still.
QImage popoverPicture()
{
    const std::vector<PopoverPreviewReminder> reminders = {
        { "call", "Call the dentist", 25 * 60 },
        { "bread", "Take the bread out", 40 * 60 },
        { "parcel", "Pick up the parcel", 2 * 3600 + 10 * 60 },
        { "plants", "Water the plants", 5 * 3600 },
        { "standup", "Stand-up meeting", -15 * 60 },
    };
    PopoverPreviewPanel panel(popoverPreviewState(reminders, { "bread" }),
        std::make_shared<ManualClock>(popoverPreviewNow()));
    panel.setPalette(lightPalette());
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.show();
    panel.content()->container()->popoverView()->listContainer()->list()->doItemsLayout();
    const QSize size = popoverPanelSize();
    QImage image(size * pictureScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pictureScale);
    image.fill(Qt::transparent);
    panel.content()->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    panel.hide();
    return image;
}

void paintTextBar(QPainter& painter, const QRectF& rect, const QColor& color)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(rect, rect.height() / 2, rect.height() / 2);
}

void paintPanel(QPainter& painter, const QRectF& rect, double radius)
{
    paintDropShadow(painter, rect, radius, Shadow { QColor(0, 0, 0, 70), 24, QPointF(0, 8) });
    fillContinuousRoundedRect(painter, rect, radius, QColor(246, 246, 248, 240));
    strokeContinuousRoundedRect(painter, rect, radius, 1, QColor(0, 0, 0, 30));
}

void paintGlow(QPainter& painter, QPointF centre, double radius, const QColor& color)
{
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0, color);
    QColor clear = color;
    clear.setAlpha(0);
    glow.setColorAt(1, clear);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
}

// Where the sync pane goes while no renderer of it is set: its outline, a switch and a few
// lists.
void paintSyncPaneSketch(QPainter& painter, const QRectF& bounds)
{
    const QRectF panel(bounds.center().x() - 240, bounds.center().y() - 150, 480, 300);
    paintPanel(painter, panel, 12);
    const QRectF box(panel.left() + 24, panel.top() + 24, 16, 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(accent);
    painter.drawRoundedRect(box, 4, 4);
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({ box.topLeft() + QPointF(4, 8.5),
        box.topLeft() + QPointF(7, 11.5), box.topLeft() + QPointF(12, 5) }));
    paintTextBar(painter, QRectF(box.right() + 12, box.top() + 4, 190, 9), QColor(0, 0, 0, 150));
    painter.fillRect(
        QRectF(panel.left() + 16, panel.top() + 60, panel.width() - 32, 1), QColor(0, 0, 0, 25));
    const QColor colours[] = { QColor(255, 69, 58), QColor(255, 159, 10), QColor(48, 209, 88),
        QColor(10, 132, 255), QColor(191, 90, 242) };
    for (int row = 0; row < 5; ++row) {
        const QRectF line(panel.left() + 16, panel.top() + 74 + row * 42, panel.width() - 32, 34);
        if (row == 1) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(accent.red(), accent.green(), accent.blue(), 36));
            painter.drawRoundedRect(line, 6, 6);
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(colours[row]);
        painter.drawEllipse(QPointF(line.left() + 18, line.center().y()), 6, 6);
        paintTextBar(painter, QRectF(line.left() + 36, line.center().y() - 4.5, 150 - row * 14, 9),
            QColor(0, 0, 0, 150));
        if (row == 1) {
            painter.setPen(QPen(accent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF at(line.right() - 24, line.center().y());
            painter.drawPolyline(
                QPolygonF({ at + QPointF(-5, 0), at + QPointF(-1, 4), at + QPointF(6, -5) }));
        }
    }
}

QPicture redesignPicture()
{
    const QRectF bounds(0, 0, 1280, 832);
    QPicture picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(bounds, Qt::IntersectClip); // glows stay inside the picture
    QLinearGradient sky(bounds.topLeft(), bounds.bottomRight());
    sky.setColorAt(0, QColor(74, 120, 214));
    sky.setColorAt(1, QColor(148, 104, 214));
    painter.fillRect(bounds, sky);
    paintGlow(painter, { 1050, 420 }, 420, QColor(255, 190, 150, 110));
    paintGlow(painter, { 300, 700 }, 380, QColor(120, 220, 255, 90));

    // The status bar along the top, with the icon the popover hangs from.
    painter.fillRect(QRectF(0, 0, bounds.width(), 26), QColor(255, 255, 255, 90));
    for (int i = 0; i < 4; ++i)
        paintTextBar(painter, QRectF(16 + i * 64, 9, 44, 8), QColor(255, 255, 255, 200));
    for (int i = 0; i < 3; ++i)
        paintTextBar(painter, QRectF(1150 + i * 40, 9, 24, 8), QColor(255, 255, 255, 200));
    const QRectF icon(1008, 4, 18, 18);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 90));
    painter.drawRoundedRect(icon.adjusted(-5, -1, 5, 1), 5, 5);
    paintAppIcon(painter, icon, Qt::white);

    // The popover, hanging from the icon, as the application draws it.
    const QImage popover = popoverPicture();
    const QSizeF popoverSize = popover.deviceIndependentSize();
    const QRectF panel(
        icon.center().x() - popoverSize.width() / 2, 34, popoverSize.width(), popoverSize.height());
    paintDropShadow(painter, panel, 10, Shadow { QColor(0, 0, 0, 70), 24, QPointF(0, 8) });
    painter.drawImage(panel, popover);
    painter.end();
    picture.setBoundingRect(bounds.toRect());
    return picture;
}

QPicture remindersListPicture()
{
    const QRectF bounds(0, 0, 1504, 1504);
    QPicture picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(bounds, Qt::IntersectClip); // glows stay inside the picture
    // The backdrop.
    QLinearGradient sky(bounds.topLeft(), bounds.bottomLeft());
    sky.setColorAt(0, QColor(28, 58, 120));
    sky.setColorAt(0.55, QColor(200, 92, 110));
    sky.setColorAt(1, QColor(245, 160, 90));
    painter.fillRect(bounds, sky);
    paintGlow(painter, { 420, 600 }, 520, QColor(255, 120, 90, 120));
    paintGlow(painter, { 1150, 900 }, 560, QColor(255, 200, 120, 110));
    paintGlow(painter, { 760, 380 }, 420, QColor(90, 140, 255, 110));

    // The sync pane's list of reminder lists, at its own size in the middle.
    if (const QImage pane = syncPanePicture(); !pane.isNull()) {
        const QSizeF size = pane.deviceIndependentSize();
        const QRectF at(bounds.center().x() - size.width() / 2,
            bounds.center().y() - size.height() / 2, size.width(), size.height());
        paintDropShadow(painter, at, 12, Shadow { QColor(0, 0, 0, 70), 24, QPointF(0, 8) });
        painter.drawImage(at, pane);
    } else {
        paintSyncPaneSketch(painter, bounds);
    }
    painter.end();
    picture.setBoundingRect(bounds.toRect());
    return picture;
}

} // namespace

void setWhatsNewSyncPaneRenderer(WhatsNewSyncPaneRenderer renderer)
{
    syncPaneRenderer() = std::move(renderer);
    whatsNewPictureCache().erase(WhatsNewPicturePage::remindersList);
}

QPicture whatsNewPicture(WhatsNewPicturePage page)
{
    // Made once: the popover's render is the dearest part of opening the window, and the
    // pictures never change while the program runs.
    std::map<WhatsNewPicturePage, QPicture>& made = whatsNewPictureCache();
    if (const auto found = made.find(page); found != made.end())
        return found->second;
    QPicture picture;
    switch (page) {
    case WhatsNewPicturePage::redesign:
        picture = redesignPicture();
        break;
    case WhatsNewPicturePage::remindersList:
        picture = remindersListPicture();
        break;
    }
    made.emplace(page, picture);
    return picture;
}

WhatsNewPictureFrame whatsNewPictureFrame(WhatsNewPicturePage page)
{
    switch (page) {
    case WhatsNewPicturePage::redesign:
        return { QSizeF(1280, 832), QPointF(-377, 260) };
    case WhatsNewPicturePage::remindersList:
        return { QSizeF(1504, 1504), QPointF(0, 0) };
    }
    return {};
}

} // namespace tidemark
