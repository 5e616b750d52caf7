#include "onboarding/views/WhatsNewPictures.hpp"

#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverPreviews.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "reminders/views/SyncSettingsPane.hpp"
#include "reminders/views/SyncSettingsPreviews.hpp"
#include "settings/SettingsWindowView.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DropShadow.hpp"
#include "toolkit/FormStyle.hpp"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QVBoxLayout>

#include <map>

namespace tidemark {

namespace {

// Each picture is a desktop backdrop with one of the application's own views on it, drawn
// offscreen by the view itself: the popover under its icon in the status bar, and the sync
// pane with the user's reminder lists.

// Every picture is drawn at twice its size, so the window stays sharp on dense screens.
constexpr double pictureScale = 2;

// The sync pane as the settings window shows it at its least width, in the light appearance:
// syncing with the user's task lists, two accounts of them, and the list new reminders go into.
QImage syncPanePicture()
{
    const std::vector<AnySource> sources = sampleReminderSources(2);
    const AppleRemindersConnectingView::State state { true, *sources.front().lists.begin(),
        sources };
    QWidget form;
    groupedFormStyle(&form);
    form.setPalette(lightPalette());
    auto* layout = new QVBoxLayout(&form);
    layout->setContentsMargins(20, 20, 20, 20); // the window's edge around the pane
    layout->addWidget(makeSyncSettingsPane(AppleRemindersSettingsStore::constant(state), &form));
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.setFixedWidth(int(SettingsContainer::minimumWidth));
    form.show();
    form.adjustSize();
    QImage image(form.size() * pictureScale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pictureScale);
    image.fill(form.palette().color(QPalette::Window));
    form.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    form.hide();
    return image;
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

    // The sync pane with the user's reminder lists, at its own size in the middle, as a
    // window holds it.
    const QImage pane = syncPanePicture();
    const QSizeF size = pane.deviceIndependentSize();
    const QRectF at(bounds.center().x() - size.width() / 2, bounds.center().y() - size.height() / 2,
        size.width(), size.height());
    const double radius = 12;
    paintDropShadow(painter, at, radius, Shadow { QColor(0, 0, 0, 70), 24, QPointF(0, 8) });
    painter.save();
    QPainterPath outline;
    outline.addRoundedRect(at, radius, radius);
    painter.setClipPath(outline, Qt::IntersectClip);
    painter.drawImage(at, pane);
    painter.restore();
    strokeContinuousRoundedRect(painter, at, radius, 1, QColor(0, 0, 0, 30));
    painter.end();
    picture.setBoundingRect(bounds.toRect());
    return picture;
}

} // namespace

QPicture whatsNewPicture(WhatsNewPicturePage page)
{
    // Made once: the popover's render is the dearest part of opening the window, and the
    // pictures never change while the program runs.
    static std::map<WhatsNewPicturePage, QPicture> made;
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
