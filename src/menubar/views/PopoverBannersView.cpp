#include "menubar/views/PopoverBannersView.hpp"

#include "menubar/PopoverBanners.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "menubar/views/PopoverGlyphs.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/workspace/Workspace.hpp"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tidemark {

OpenURLAction OpenURLAction::system()
{
    static const OpenURLAction shared([](const std::string& url) {
        Workspace workspace;
        auto opened = workspace.openUrl(url);
        if (!opened.isSuccess()) {
            appLogger(logcategory::application)
                .error("could not open " + url + ": " + opened.error().message);
            return false;
        }
        return true;
    });
    return shared;
}

namespace {

// The banner's close button: a cross in a circle.
class CloseButton final : public QAbstractButton {
public:
    explicit CloseButton(QWidget* parent)
        : QAbstractButton(parent)
    {
        setFixedSize(20, 20);
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::ArrowCursor);
        const QString label = QString::fromStdString(localized("Navigation", "close_button_label"));
        setAccessibleName(label);
        setToolTip(label);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor color = primaryTextColor(palette());
        paintPopoverGlyph(painter, PopoverGlyph::closeCircle, QRectF(rect()).adjusted(2, 2, -2, -2),
            withOpacity(color, isDown() ? 1.0 : 0.8));
    }
};

// One banner: its text, then its close button, on the accent colour. A click anywhere else
// in it accepts it.
class BannerRow final : public QWidget {
public:
    BannerRow(PopoverBannersView* strip, PopoverNotification notification)
        : QWidget(strip)
        , m_strip(strip)
        , m_notification(notification)
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(10, 8, 8, 8);
        layout->setSpacing(8);
        const QString text
            = QString::fromStdString(popoverBannerText(notification, AppInfo::name()));
        m_label = new QLabel(text, this);
        m_label->setWordWrap(true);
        m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(m_label, 1);
        auto* close = new CloseButton(this);
        layout->addWidget(close, 0, Qt::AlignVCenter);
        QObject::connect(close, &QAbstractButton::clicked, this,
            [strip, notification] { strip->dismiss(notification); });
        setAccessibleName(text);
        setCursor(Qt::PointingHandCursor);
        applyFont();
    }

    void applyFont() { m_label->setFont(popoverFonts(font()).callout); }

protected:
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::FontChange)
            applyFont();
        QWidget::changeEvent(event);
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(
            rect(), withOpacity(accentColor(palette()), m_strip->isHighlighted() ? 0.9 : 0.4));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_strip->accept(m_notification);
    }

private:
    PopoverBannersView* m_strip;
    PopoverNotification m_notification;
    QLabel* m_label;
};

} // namespace

PopoverBannersView::PopoverBannersView(std::shared_ptr<PopoverBannersStore> store,
    std::function<std::optional<std::string>()> reviewAddress, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_reviewAddress(std::move(reviewAddress))
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const PopoverNotificationsView::State& state) { render(state); });
}

std::vector<QWidget*> PopoverBannersView::rows() const
{
    return m_rows;
}

void PopoverBannersView::render(const PopoverNotificationsView::State& state)
{
    const auto sorted = sortedPopoverBanners(state.notifications);
    if (sorted == m_shown)
        return;
    m_shown = sorted;
    for (QWidget* row : m_rows)
        row->deleteLater();
    m_rows.clear();
    for (PopoverNotification notification : sorted) {
        auto* row = new BannerRow(this, notification);
        m_layout->addWidget(row);
        m_rows.push_back(row);
    }
    updateGeometry();
}

void PopoverBannersView::accept(PopoverNotification notification)
{
    switch (notification) {
    case PopoverNotification::review: {
        const std::optional<std::string> address
            = m_reviewAddress ? m_reviewAddress() : std::nullopt;
        const bool opened = address && environmentValue(this, openURLKey)(*address);
        if (popoverBannerGoesAfterAcceptance(address, opened))
            dismiss(notification);
        break;
    }
    }
}

void PopoverBannersView::dismiss(PopoverNotification notification)
{
    m_store->dispatch(PopoverNotificationsView::Action::Notifications {
        dismissingPopoverBanner(m_store->state().notifications, notification) });
}

void PopoverBannersView::setHighlighted(bool highlighted)
{
    if (highlighted == m_isHighlighted)
        return;
    m_isHighlighted = highlighted;
    for (QWidget* row : m_rows)
        row->update();
}

void PopoverBannersView::enterEvent(QEnterEvent* event)
{
    setHighlighted(true);
    QWidget::enterEvent(event);
}

void PopoverBannersView::leaveEvent(QEvent* event)
{
    setHighlighted(false);
    QWidget::leaveEvent(event);
}

} // namespace tidemark
