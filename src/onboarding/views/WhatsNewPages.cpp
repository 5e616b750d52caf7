#include "onboarding/views/WhatsNewPages.hpp"

#include "onboarding/WhatsNewLayout.hpp"
#include "onboarding/views/OnboardingPageLayout.hpp"
#include "onboarding/views/Symbols.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "toolkit/AssetCatalog.hpp"

#include <QEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

} // namespace

WhatsNewMediaView::WhatsNewMediaView(QPicture picture, WhatsNewPictureFrame frame, QWidget* parent)
    : QWidget(parent)
    , m_picture(std::move(picture))
    , m_frame(frame)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QRectF WhatsNewMediaView::pictureRect() const
{
    const QSizeF size = m_frame.size;
    return QRectF(
        QPointF(width() - size.width(), height() - size.height()) / 2 + m_frame.offset, size);
}

void WhatsNewMediaView::paintEvent(QPaintEvent*)
{
    const QRect bounds = m_picture.boundingRect();
    if (bounds.isEmpty())
        return;
    QPainter painter(this);
    painter.setClipRect(rect());
    const QRectF target = pictureRect();
    painter.translate(target.topLeft());
    painter.scale(target.width() / bounds.width(), target.height() / bounds.height());
    painter.drawPicture(-bounds.topLeft(), m_picture);
}

WhatsNewPage::WhatsNewPage(
    QWidget* media, const QString& title, const QString& description, QWidget* parent)
    : QWidget(parent)
    , m_media(media)
    , m_textBlock(new QWidget)
{
    setAccessibleName(title);
    auto* text = new QWidget(m_textBlock);
    text->setMaximumWidth(px(WhatsNewLayout::textMaxWidth));
    auto* stack = new QVBoxLayout(text);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(px(WhatsNewLayout::textSpacing));
    auto* titleLabel = new StyledLabel(title, TextStyle::title2, true);
    titleLabel->setWordWrap(true);
    auto* descriptionLabel = new StyledLabel(description, TextStyle::description, false);
    descriptionLabel->setWordWrap(true);
    descriptionLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    stack->addWidget(titleLabel);
    stack->addWidget(descriptionLabel);
    stack->addStretch(1);

    auto* block = new QVBoxLayout(m_textBlock);
    const int side = px(WhatsNewLayout::textHorizontalPadding);
    const int vertical = px(WhatsNewLayout::textVerticalPadding);
    block->setContentsMargins(side, vertical, side, vertical);
    // Top only: the text takes the width it is given (up to its maximum, from the leading
    // edge), so a wrapped description gets the lines it needs.
    block->addWidget(text, 0, Qt::AlignTop);
    m_textBlock->setMaximumHeight(px(WhatsNewLayout::textMaxHeight));
    m_textBlock->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_media, 1);
    layout->addWidget(m_textBlock);
}

WhatsNewRootView::WhatsNewRootView(double iconLength, QWidget* parent)
    : QWidget(parent)
    , m_iconLength(iconLength)
    , m_version(
          new StyledLabel(QString::fromStdString(localized("Localizable", "%@ %@", AppInfo::name(),
                              AppInfo::shortVersion().value_or(std::string()))),
              TextStyle::title, false, this))
    , m_heading(new StyledLabel(QString::fromStdString(localized(
                                    "WhatsNew", "whats_new_in_app_name_title %@", AppInfo::name())),
          TextStyle::largeTitle, false, this))
    , m_icon(new AppIcon(AssetCatalog::main(), this))
{
    setAccessibleName(m_heading->text());
    m_icon->setAccessibleName(QString::fromStdString(AppInfo::name()));
    for (StyledLabel* label : { m_version, m_heading }) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setWordWrap(true);
    }
}

QWidget* WhatsNewRootView::icon() const
{
    return m_icon;
}

void WhatsNewRootView::layoutContent()
{
    using namespace WhatsNewLayout;
    const int width = this->width();
    const int versionHeight = m_version->heightForWidth(width);
    const int headingHeight = m_heading->heightForWidth(width);
    const double text = titleTopPadding + versionHeight + titleSpacing + headingHeight;
    // The icon and its room shrink together when the page is too short for them.
    const double room = m_iconLength + 2 * iconPadding;
    const double free = std::max(0.0, height() - bottomPadding - text);
    const double scale = std::clamp(std::min(free / room, width / room), 0.0, 1.0);
    const double side = m_icon->hasImage() ? m_iconLength * scale : 0;
    const double padding = iconPadding * scale;
    const double total = text + side + 2 * padding + bottomPadding;
    double y = std::max(0.0, (height() - total) / 2) + titleTopPadding;
    m_version->setGeometry(0, px(y), width, versionHeight);
    y += versionHeight + titleSpacing;
    m_heading->setGeometry(0, px(y), width, headingHeight);
    y += headingHeight + padding;
    m_icon->setGeometry(px((width - side) / 2), px(y), px(side), px(side));
}

void WhatsNewRootView::resizeEvent(QResizeEvent*)
{
    layoutContent();
}

bool WhatsNewRootView::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The labels take their fonts when first shown.
    if (event->type() == QEvent::Show || event->type() == QEvent::FontChange)
        layoutContent();
    return handled;
}

QWidget* makeWhatsNewRedesign()
{
    const auto page = WhatsNewPicturePage::redesign;
    return new WhatsNewPage(
        new WhatsNewMediaView(whatsNewPicture(page), whatsNewPictureFrame(page)),
        tableText("WhatsNew", "redesign_title"), tableText("WhatsNew", "redesign_description"));
}

QWidget* makeWhatsNewAppleRemindersList()
{
    const auto page = WhatsNewPicturePage::remindersList;
    return new WhatsNewPage(
        new WhatsNewMediaView(whatsNewPicture(page), whatsNewPictureFrame(page)),
        tableText("WhatsNew", "reminders_sync_list_title"),
        tableText("WhatsNew", "reminders_sync_list_description"));
}

} // namespace tidemark
