#include "onboarding/views/WhatsNewWindow.hpp"

#include "onboarding/views/OnboardingPageLayout.hpp"
#include "onboarding/views/Presence.hpp"
#include "onboarding/views/WhatsNewPages.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/Screen.hpp"
#include "platform/ui/X11Hints.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/MaterialView.hpp"
#include "toolkit/PageView.hpp"

#include <QEvent>
#include <QPainter>
#include <QShortcut>

#include <cmath>

namespace tidemark {

namespace {

int px(double value)
{
    return int(std::lround(value));
}

QString whatsNewTitle()
{
    return QString::fromStdString(
        localized("WhatsNew", "whats_new_in_app_name_title %@", AppInfo::name()));
}

} // namespace

ChevronButton::ChevronButton(Symbol chevron, const QString& accessibleName, QWidget* parent)
    : QAbstractButton(parent)
    , m_chevron(chevron)
{
    setAccessibleName(accessibleName);
    setToolTip(accessibleName);
    setFocusPolicy(Qt::TabFocus);
    setFixedSize(sizeHint());
    setCursor(Qt::PointingHandCursor);
}

QSize ChevronButton::sizeHint() const
{
    return { px(WhatsNewLayout::controlWidth), px(WhatsNewLayout::controlHeight) };
}

void ChevronButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QColor secondary = secondaryColor(palette());
    const QColor plate
        = withOpacity(secondary, WhatsNewLayout::controlBackgroundOpacity * (isDown() ? 2.0 : 1.0));
    fillContinuousRoundedRect(painter, rect(), WhatsNewLayout::controlCornerRadius, plate);
    const double inset = WhatsNewLayout::controlLabelPadding;
    paintSymbol(
        painter, m_chevron, QRectF(rect()).adjusted(inset, inset, -inset, -inset), secondary);
    if (hasFocus()) {
        strokeContinuousRoundedRect(painter, rect(), WhatsNewLayout::controlCornerRadius, 2,
            palette().color(QPalette::Highlight));
    }
}

WhatsNewControls::WhatsNewControls(QWidget* parent)
    : QWidget(parent)
    , m_back(new ChevronButton(
          Symbol::chevronCompactLeft, tableText("Navigation", "back_button_label"), this))
    , m_forward(new ChevronButton(
          Symbol::chevronCompactRight, tableText("Navigation", "continue_button_label"), this))
{
    QObject::connect(m_back, &QAbstractButton::clicked, this, [this] {
        if (m_backAction)
            m_backAction();
    });
    QObject::connect(m_forward, &QAbstractButton::clicked, this, [this] {
        if (m_forwardAction)
            m_forwardAction();
    });
}

void WhatsNewControls::setActions(
    std::function<void()> backAction, std::function<void()> forwardAction)
{
    m_backAction = std::move(backAction);
    m_forwardAction = std::move(forwardAction);
    m_back->setVisible(bool(m_backAction));
    m_forward->setVisible(bool(m_forwardAction));
    layoutButtons();
}

void WhatsNewControls::resizeEvent(QResizeEvent*)
{
    layoutButtons();
}

void WhatsNewControls::layoutButtons()
{
    const QSize size = m_back->sizeHint();
    const int y = (height() - size.height()) / 2;
    m_back->setGeometry(QRect(QPoint(0, y), size));
    m_forward->setGeometry(QRect(QPoint(width() - size.width(), y), size));
    // Only the chevrons take the mouse: a swipe between them reaches the pages.
    QRegion region;
    for (ChevronButton* button : { m_back, m_forward }) {
        if (!button->isHidden())
            region += button->geometry();
    }
    // An empty mask would be no mask at all: without a chevron the row is out of the way.
    if (!region.isEmpty())
        setMask(region);
    setAttribute(Qt::WA_TransparentForMouseEvents, region.isEmpty());
}

WhatsNewView::WhatsNewView(double height, QWidget* parent)
    : QWidget(parent)
    , m_controls(new WhatsNewControls)
    , m_indicator(new StyledLabel(QString(), TextStyle::footnote, false))
{
    setAccessibleName(whatsNewTitle());
    visualEffectBackground(this, Material::underWindowBackground, BlendingMode::behindWindow);
    std::vector<QWidget*> pages {
        new WhatsNewRootView(WhatsNewLayout::iconLength),
        makeWhatsNewRedesign(),
        makeWhatsNewAppleRemindersList(),
    };
    m_pageCount = int(pages.size());
    const Binding<int> selection {
        [this] { return m_selectedIndex; },
        [this](const int& index) { setSelectedIndex(index); },
    };
    m_pager = new PageControllerView(selection, std::move(pages), true, this);
    addPinnedSubview(this, m_pager);

    m_controls->setParent(this);
    m_indicator->setParent(this);
    m_indicator->setSecondary(true);
    m_indicator->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    m_indicator->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_indicatorPresence = std::make_unique<Presence>(m_indicator, Transition::fade(), false);

    for (const auto& [key, forward] :
        { std::pair { Qt::Key_Left, false }, { Qt::Key_Right, true } }) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        // A copy: clang 14 does not capture a structured binding.
        QObject::connect(shortcut, &QShortcut::activated, this, [this, forward = forward] {
            if (forward)
                goForward();
            else
                goBack();
        });
    }

    const QSize minimum = whatsNewMinimumSize();
    const double scale = minimum.height() / WhatsNewLayout::height;
    setMinimumSize(QSize(px(height * WhatsNewLayout::aspectRatio * scale), px(height * scale)));
    render(false);
}

WhatsNewView::~WhatsNewView() = default;

const Animated<double>& WhatsNewView::indicatorOpacity() const
{
    return m_indicatorPresence->presence();
}

void WhatsNewView::setSelectedIndex(int index)
{
    if (index < 0 || index >= m_pageCount || index == m_selectedIndex)
        return;
    m_selectedIndex = index;
    render(true);
    m_pager->update();
}

void WhatsNewView::goBack()
{
    setSelectedIndex(whatsNewPageBack(m_selectedIndex));
}

void WhatsNewView::goForward()
{
    setSelectedIndex(whatsNewPageForward(m_selectedIndex, m_pageCount));
}

void WhatsNewView::render(bool animated)
{
    const WhatsNewControlsState state = whatsNewControls(m_selectedIndex, m_pageCount);
    m_controls->setActions(state.showsBack ? std::function<void()>([this] { goBack(); }) : nullptr,
        state.showsForward ? std::function<void()>([this] { goForward(); }) : nullptr);
    // The indicator keeps its text while it fades out on the title page.
    if (state.indicatorPage > 0)
        m_indicator->setText(QString::fromStdString(localized(
            "WhatsNew", "page_indicator %d %d", state.indicatorPage, state.indicatorLastPage)));
    m_indicator->setAccessibleName(m_indicator->text());
    m_indicatorPresence->setPresented(state.indicatorOpacity > 0,
        animated ? std::optional<Animation>(Animation::defaultAnimation()) : std::nullopt);
    layoutOverlays();
}

void WhatsNewView::layoutOverlays()
{
    using namespace WhatsNewLayout;
    const int controlsHeight = px(controlHeight);
    const int bottom = height() - px(verticalPadding + bottomPadding);
    m_controls->setGeometry(px(horizontalPadding), bottom - controlsHeight,
        width() - 2 * px(horizontalPadding), controlsHeight);
    const int indicatorHeight = m_indicator->sizeHint().height();
    m_indicator->setGeometry(
        0, height() - px(indicatorPadding) - indicatorHeight, width(), indicatorHeight);
    m_controls->raise();
    m_indicator->raise();
}

void WhatsNewView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutOverlays();
}

bool WhatsNewView::event(QEvent* event)
{
    const bool handled = QWidget::event(event);
    // The indicator takes its font when first shown.
    if (event->type() == QEvent::Show)
        layoutOverlays();
    return handled;
}

WhatsNewContainerView::WhatsNewContainerView(QWidget* parent)
    : QWidget(parent)
    , m_view(new WhatsNewView(WhatsNewLayout::height))
{
    setAccessibleName(whatsNewTitle());
    addPinnedSubview(this, m_view);
    setMinimumSize(m_view->minimumSize());
}

QSize whatsNewMinimumSize()
{
    std::optional<Screen> screen = Screen::underMouse();
    if (!screen)
        screen = Screen::primary();
    std::optional<Size> available;
    if (screen)
        available = screen->visibleFrame().size;
    const Size size = tidemark::whatsNewMinimumSize(WhatsNewLayout::height, available);
    return { int(std::floor(size.width)), int(std::floor(size.height)) };
}

WhatsNewWindow::WhatsNewWindow()
    : Window(WindowKind::normal)
{
    setWindowTitle(whatsNewTitle());
    setAccessibleName(whatsNewTitle());
    setWindowIcon(appIcon());
    // No maximise button: the window keeps 5 : 4 and never fills the screen.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const QSize minimum = whatsNewMinimumSize();
    setMinimumSize(minimum);
    resize(minimum);
}

void WhatsNewWindow::changeEvent(QEvent* event)
{
    Window::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange
        && (windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized)))
        setWindowState(windowState() & ~(Qt::WindowFullScreen | Qt::WindowMaximized));
}

void WhatsNewWindow::showEvent(QShowEvent* event)
{
    Window::showEvent(event);
    x11::setAspectRatio(this, 5, 4);
}

void WhatsNewWindow::resizeEvent(QResizeEvent* event)
{
    Window::resizeEvent(event);
    // Qt writes the size hints afresh whenever it moves or resizes the window itself.
    x11::setAspectRatio(this, 5, 4);
}

WindowRef makeWhatsNewWindow()
{
    return makeWindow<WhatsNewWindow>();
}

QWidget* makeWhatsNewContainerView(const AppStoreRef&)
{
    return new WhatsNewContainerView;
}

} // namespace tidemark
