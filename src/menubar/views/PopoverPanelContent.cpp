#include "menubar/views/PopoverPanelContent.hpp"

#include "core/state/AppState.hpp"
#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverKeys.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/ListRowDivider.hpp"
#include "toolkit/MaterialView.hpp"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace tidemark {

PopoverPanelContent::PopoverPanelContent(const AppStoreRef& store,
    std::shared_ptr<PopoverToolbarDelegate> toolbar, std::shared_ptr<const Clock> clock,
    QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_toolbar(std::move(toolbar))
    , m_material(new MaterialView(Material::fullScreenUI, BlendingMode::behindWindow, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new PopoverHeaderView(m_toolbar->bridge.get(), this);
    layout->addWidget(m_header);
    m_container = new PopoverContainerView(store, std::move(clock), this);
    layout->addWidget(m_container, 1);
    m_material->lower();
    setFocusProxy(m_container);
    QWidget::setTabOrder(m_container, m_header->actionButton());
    QWidget::setTabOrder(m_header->actionButton(), m_header->moreButton());
    setTranslucent(true);
}

PopoverPanelContent::~PopoverPanelContent() = default;

QSize PopoverPanelContent::sizeHint() const
{
    return popoverPanelSize();
}

void PopoverPanelContent::setTranslucent(bool translucent)
{
    m_translucent = translucent;
    m_material->setVisible(translucent);
    m_material->setCornerRadius(translucent ? popoverMetrics::cornerRadius : 0);
    update();
}

void PopoverPanelContent::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_material->setGeometry(rect());
}

void PopoverPanelContent::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF bounds = QRectF(rect());
    if (!m_translucent) {
        // Nothing blends the window's pixels with the desktop: every one of them is opaque.
        painter.fillRect(rect(), palette().color(QPalette::Window));
        painter.setPen(QPen(dividerColor(palette()), 1));
        painter.drawRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5));
        return;
    }
    // The material is drawn by its view; a hairline keeps the edge on light backgrounds.
    painter.setRenderHint(QPainter::Antialiasing);
    strokeContinuousRoundedRect(
        painter, bounds, popoverMetrics::cornerRadius, 1, dividerColor(palette()));
}

void PopoverPanelContent::keyPressEvent(QKeyEvent* event)
{
    auto store = m_store.lock();
    PopoverToolbarViewModelBridge* bridge = m_toolbar ? m_toolbar->bridge.get() : nullptr;
    if (!store || !bridge) {
        QWidget::keyPressEvent(event);
        return;
    }
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier) {
        store->dispatch(actions::popoverIsPresented(false));
    } else if (isRedoKey(event)) {
        bridge->redo();
    } else if (isUndoKey(event)) {
        bridge->undo();
    } else if (event->key() == Qt::Key_Delete
        && (modifiers == Qt::NoModifier || modifiers == Qt::ControlModifier)) {
        // The Edit menu's remove command: the selection, deleted or archived as the removal
        // mode says; nothing without a selection.
        if (bridge->actionMenu().hasSelection)
            bridge->removeSelected();
    } else {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

} // namespace tidemark
