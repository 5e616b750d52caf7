#include "platform/ui/StatusBar.hpp"

#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"
#include "platform/ui/Window.hpp"
#include "platform/ui/X11Hints.hpp"

#include <QChildEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <functional>

namespace tidemark {

namespace {

// The strip's window: tells the bar when it is moved, and sets its window-manager type
// before it is first mapped.
class StatusBarWindow final : public QWidget {
public:
    explicit StatusBarWindow(std::function<void()> onMoved)
        : QWidget(nullptr,
            Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint
                | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint)
        , m_onMoved(std::move(onMoved))
    {
        setWindowTitle(QStringLiteral("Tidemark status bar"));
        setObjectName(QStringLiteral("TidemarkStatusBar"));
        setAttribute(Qt::WA_QuitOnClose, false);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setAttribute(Qt::WA_AlwaysShowToolTips);
        setAutoFillBackground(true);
        setMouseTracking(true);
    }

protected:
    void moveEvent(QMoveEvent* event) override
    {
        QWidget::moveEvent(event);
        m_onMoved();
    }
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        if (!event->spontaneous()) {
            x11::setDockWindowType(this);
            x11::setOnAllDesktops(this);
            x11::setSkipTaskbar(this, true, false);
            QTimer::singleShot(0, this, [this] { x11::setSkipTaskbar(this, true, true); });
        }
    }

private:
    std::function<void()> m_onMoved;
};

} // namespace

// --- StatusBarButton -------------------------------------------------------------------------

StatusBarButton::StatusBarButton(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
}

void StatusBarButton::highlight(bool highlighted)
{
    if (highlighted == m_highlighted)
        return;
    m_highlighted = highlighted;
    update();
}

Rect StatusBarButton::frameInScreen() const
{
    return { fromQt(mapToGlobal(QPoint(0, 0))), fromQt(size()) };
}

bool StatusBarButton::event(QEvent* event)
{
    // Hosted views see the pointer move over them with no button held (hover).
    if (event->type() == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child()))
            child->setMouseTracking(true);
    }
    const bool handled = QWidget::event(event);
    // A hosted view that changes its preferred size asks its container for a new layout.
    if (event->type() == QEvent::LayoutRequest)
        Q_EMIT contentSizeChanged();
    return handled;
}

void StatusBarButton::paintEvent(QPaintEvent*)
{
    if (!m_highlighted)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor colour = palette().color(QPalette::Highlight);
    colour.setAlphaF(0.35f);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(1, 2, -1, -2), 4, 4);
    painter.fillPath(path, colour);
}

// --- StatusItem ------------------------------------------------------------------------------

StatusItem::StatusItem(StatusBar* statusBar, double length)
    : m_statusBar(statusBar)
    , m_button(new StatusBarButton(statusBar->window()))
    , m_length(length)
{
    connect(m_button, &StatusBarButton::contentSizeChanged, this, [this] {
        if (m_statusBar && m_length == variableLength)
            m_statusBar->layoutNow();
    });
}

StatusItem::~StatusItem()
{
    detach();
    delete m_button;
}

void StatusItem::detach()
{
    if (m_statusBar) {
        StatusBar* bar = m_statusBar;
        m_statusBar = nullptr;
        bar->removeStatusItem(this);
    }
    if (m_button) {
        m_button->hide();
        // Views in the button may be handling the very event that released the item.
        m_button->setParent(nullptr);
        detail::releaseLater(m_button);
        m_button = nullptr;
    }
}

void StatusItem::setLength(double length)
{
    if (length == m_length)
        return;
    m_length = length;
    if (m_statusBar)
        m_statusBar->layoutNow();
}

void StatusItem::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (m_statusBar)
        m_statusBar->layoutNow();
}

Rect StatusItem::frame() const
{
    return m_button ? m_button->frameInScreen() : Rect {};
}

// --- StatusBar -------------------------------------------------------------------------------

StatusBar::StatusBar()
    : m_window(new StatusBarWindow([this] { onStripMoved(); }))
{
    auto relayout = [this] { layoutNow(); };
    auto watchScreen = [this, relayout](QScreen* screen) {
        if (screen) {
            connect(screen, &QScreen::availableGeometryChanged, this, relayout);
            connect(screen, &QScreen::geometryChanged, this, relayout);
        }
    };
    for (QScreen* screen : QGuiApplication::screens())
        watchScreen(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, watchScreen);
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, relayout);
}

StatusBar::~StatusBar()
{
    for (StatusItem* item : std::vector<StatusItem*>(m_items))
        item->detach();
    delete m_window;
}

StatusBar& StatusBar::system()
{
    static StatusBar* bar = new StatusBar; // lives as long as the process, like the desktop's
    return *bar;
}

StatusItemRef StatusBar::statusItem(double length)
{
    auto* item = new StatusItem(this, length);
    m_items.push_back(item);
    layoutNow();
    return StatusItemRef(item, [](StatusItem* released) {
        released->detach();
        detail::releaseLater(released);
    });
}

void StatusBar::removeStatusItem(StatusItem* item)
{
    const auto it = std::find(m_items.begin(), m_items.end(), item);
    if (it == m_items.end())
        return;
    m_items.erase(it);
    if (item->m_statusBar == this)
        item->detach();
    layoutNow();
}

Rect StatusBar::frame() const
{
    return fromQt(m_window->geometry());
}

std::vector<StatusItem*> StatusBar::items() const
{
    return m_items;
}

double StatusBar::widthOf(const StatusItem* item) const
{
    if (item->m_length == StatusItem::squareLength)
        return thickness();
    if (item->m_length >= 0)
        return item->m_length;
    return std::max(0, item->m_button->sizeHint().width());
}

void StatusBar::layoutNow()
{
    const int height = int(thickness());
    int x = 0;
    std::vector<std::pair<StatusItem*, int>> shown;
    // The first item stands rightmost: lay them out from the right, in order of making.
    for (StatusItem* item : m_items) {
        if (!item->m_visible) {
            item->m_button->hide();
            continue;
        }
        shown.emplace_back(item, int(std::lround(widthOf(item))));
        x += shown.back().second;
    }
    const int width = x;
    for (const auto& [item, itemWidth] : shown) {
        x -= itemWidth;
        item->m_button->setGeometry(x, 0, itemWidth, height);
        item->m_button->show();
    }
    const std::optional<Screen> screen = Screen::primary();
    const Rect area = screen ? screen->visibleFrame() : Rect { 0, 0, double(width), 0 };
    const QRect strip(
        int(std::lround(area.maxX())) - width, int(std::lround(area.minY())), width, height);
    if (m_window->geometry() != strip)
        m_window->setGeometry(strip);
    if (shown.empty())
        m_window->hide();
    else if (!m_window->isVisible())
        m_window->show();
    reportMoves();
}

void StatusBar::onStripMoved()
{
    reportMoves();
}

void StatusBar::reportMoves()
{
    for (StatusItem* item : std::vector<StatusItem*>(m_items)) {
        const Rect frame = item->frame();
        if (frame != item->m_lastFrame) {
            item->m_lastFrame = frame;
            QPointer<StatusBarButton> button = item->m_button;
            Q_EMIT item->moved();
            if (button)
                Q_EMIT button->moved();
        }
    }
}

} // namespace tidemark
