#include "menubar/views/PopoverWindow.hpp"

#include "core/state/AppState.hpp"
#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/X11Hints.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/ListRowDivider.hpp"
#include "toolkit/MaterialView.hpp"

#include <QKeyEvent>
#include <QToolButton>
#include <QPainter>
#include <QVBoxLayout>

namespace tidemark {

PopoverPanel::PopoverPanel(const AppStoreRef& store,
    std::shared_ptr<PopoverToolbarDelegate> toolbar, std::shared_ptr<const Clock> clock)
    : Window(WindowKind::panel)
    , m_store(store)
    , m_toolbar(std::move(toolbar))
    , m_clock(std::move(clock))
    , m_undoManager(std::make_shared<UndoManager>())
{
    const QString name = QString::fromStdString(AppInfo::name());
    setWindowTitle(name);
    setAccessibleName(name);
    setLevel(WindowLevel::status);
    setJoinsAllSpaces(true);
    setCanBecomeKey(true);
    setFixedSize(popoverPanelSize());
    setEnvironmentValue<std::shared_ptr<UndoManager>>(contentView(), undoManagerKey, m_undoManager);
}

PopoverPanel::~PopoverPanel() = default;

void PopoverPanel::buildContent()
{
    auto store = m_store.lock();
    if (m_container || !store)
        return;
    QWidget* root = contentView();
    m_background = new MaterialView(Material::fullScreenUI, BlendingMode::behindWindow, root);
    m_background->setGeometry(root->rect());
    auto* layout = new QVBoxLayout(root);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new PopoverHeaderView(m_toolbar->bridge.get(), root);
    layout->addWidget(m_header);
    m_container = new PopoverContainerView(store, m_clock, root);
    layout->addWidget(m_container, 1);
    m_background->lower();
    QWidget::setTabOrder(m_container, m_header->actionButton());
    QWidget::setTabOrder(m_header->actionButton(), m_header->moreButton());
    followCompositor();
}

void PopoverPanel::followCompositor()
{
    m_translucent = x11::isCompositing();
    if (m_background) {
        m_background->setVisible(m_translucent);
        m_background->setCornerRadius(m_translucent ? popoverMetrics::cornerRadius : 0);
        m_background->setGeometry(contentView()->rect());
    }
    update();
}

void PopoverPanel::showEvent(QShowEvent* event)
{
    buildContent();
    // A compositor may have come or gone since the last time.
    followCompositor();
    Window::showEvent(event);
    if (m_container)
        m_container->setFocus(Qt::ActiveWindowFocusReason);
}

void PopoverPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect());
    if (!m_translucent) {
        // Nothing blends the window's pixels with the desktop: every one of them is opaque.
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(QPen(dividerColor(palette()), 1));
        painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }
    // The material is drawn by its view; a hairline keeps the edge on light backgrounds.
    strokeContinuousRoundedRect(
        painter, bounds, popoverMetrics::cornerRadius, 1, dividerColor(palette()));
}

void PopoverPanel::keyPressEvent(QKeyEvent* event)
{
    auto store = m_store.lock();
    if (!store) {
        Window::keyPressEvent(event);
        return;
    }
    PopoverToolbarViewModelBridge* bridge = m_toolbar ? m_toolbar->bridge.get() : nullptr;
    if (event->key() == Qt::Key_Escape) {
        store->dispatch(actions::popoverIsPresented(false));
    } else if (event->matches(QKeySequence::Undo) && bridge) {
        bridge->undo();
    } else if (event->matches(QKeySequence::Redo) && bridge) {
        bridge->redo();
    } else if (event->key() == Qt::Key_Delete && bridge
        && (event->modifiers() & ~Qt::KeypadModifier & ~Qt::ControlModifier) == Qt::NoModifier) {
        // The Edit menu's remove command: the selection, deleted or archived as the removal
        // mode says.
        if (bridge->actionMenu().hasSelection)
            bridge->removeSelected();
    } else {
        Window::keyPressEvent(event);
        return;
    }
    event->accept();
}

void reducePopoverWindow(PopoverWindowState&, const PopoverWindowAction&) { }

PopoverWindowState makePopoverWindow(const AppStoreRef& store)
{
    auto toolbar = PopoverToolbarDelegate::make(store);
    WindowRef panel = makeWindow<PopoverPanel>(store, toolbar);
    return { panel, toolbar };
}

} // namespace tidemark
