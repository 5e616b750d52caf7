#include "menubar/views/PopoverToolbarView.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "menubar/views/PopoverGlyphs.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QEvent>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QToolButton>

#include <map>

namespace tidemark {

namespace {

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// A header button that opens its menu at a press and shows one glyph, drawn in the palette's
// text colour, over a faint plate while hovered, pressed or open.
class GlyphMenuButton final : public QToolButton {
public:
    GlyphMenuButton(PopoverGlyph glyph, QWidget* parent)
        : QToolButton(parent)
        , m_glyph(glyph)
    {
        setPopupMode(QToolButton::InstantPopup);
        setAutoRaise(true);
        setFocusPolicy(Qt::TabFocus);
        setFixedSize(28, 24);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const bool open = isDown() || (menu() && menu()->isVisible());
        const QRectF bounds = QRectF(rect()).adjusted(1, 1, -1, -1);
        if (open || underMouse())
            fillContinuousRoundedRect(
                painter, bounds, 5, withOpacity(primaryTextColor(palette()), open ? 0.16 : 0.08));
        if (hasFocus() && m_keyboardFocus) {
            QPen pen(accentColor(palette()), 2);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(continuousRoundedRect(bounds.adjusted(1, 1, -1, -1), 4));
        }
        const double side = 14;
        const QRectF glyph(
            bounds.center().x() - side / 2, bounds.center().y() - side / 2, side, side);
        const QColor color = isEnabled() ? primaryTextColor(palette())
                                         : withOpacity(primaryTextColor(palette()), 0.35);
        paintPopoverGlyph(painter, m_glyph, glyph, withOpacity(color, 0.85));
    }
    void focusInEvent(QFocusEvent* event) override
    {
        // The ring shows where the keyboard went by Tab, not where the window put it.
        m_keyboardFocus
            = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
        QToolButton::focusInEvent(event);
    }
    void enterEvent(QEnterEvent* event) override
    {
        QToolButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override
    {
        QToolButton::leaveEvent(event);
        update();
    }

private:
    PopoverGlyph m_glyph;
    bool m_keyboardFocus = false;
};

} // namespace

PopoverToolbarViewModelBridge::PopoverToolbarViewModelBridge(
    std::shared_ptr<PopoverToolbarStore> store)
    : m_store(std::move(store))
    , m_moreMenu(popoverMoreMenu(AppInfo::name()))
    , m_observers(std::make_shared<std::vector<std::pair<int, std::function<void()>>>>())
{
    receive(m_store->state());
    m_stateSubscription = m_store->statePublisher().sink(
        [this](const PopoverToolbar::State& state) { receive(state); });
}

rx::Cancellable PopoverToolbarViewModelBridge::onChange(std::function<void()> observer)
{
    const int key = m_nextObserver++;
    m_observers->emplace_back(key, std::move(observer));
    std::weak_ptr<std::vector<std::pair<int, std::function<void()>>>> weak = m_observers;
    return rx::Cancellable([weak, key] {
        if (auto observers = weak.lock())
            std::erase_if(*observers, [key](const auto& entry) { return entry.first == key; });
    });
}

void PopoverToolbarViewModelBridge::receive(const PopoverToolbar::State& state)
{
    if (state.undoManager != m_undoManager) {
        // A new manager (or none): read it now, and again on each of its changes.
        m_undoManager = state.undoManager;
        m_undoSubscription = {};
        if (m_undoManager)
            m_undoSubscription
                = m_undoManager->changes().sink([this](const rx::Unit&) { refresh(); });
    }
    refresh();
}

void PopoverToolbarViewModelBridge::refresh()
{
    PopoverActionMenu menu = popoverActionMenu(m_store->state(), m_undoManager.get());
    if (menu == m_actionMenu)
        return;
    m_actionMenu = std::move(menu);
    const auto observers = *m_observers; // an observer may stop observing while called
    for (const auto& [key, observer] : observers)
        observer();
}

void PopoverToolbarViewModelBridge::removeSelected()
{
    m_store->dispatch(popoverRemoveSelectedAction(m_store->state()));
}

void PopoverToolbarViewModelBridge::selectAll()
{
    m_store->dispatch(PopoverToolbar::Action::SelectAll {});
}

void PopoverToolbarViewModelBridge::undo()
{
    m_store->dispatch(PopoverToolbar::Action::Undo {});
}

void PopoverToolbarViewModelBridge::redo()
{
    m_store->dispatch(PopoverToolbar::Action::Redo {});
}

void PopoverToolbarViewModelBridge::openSettings()
{
    m_store->dispatch(PopoverToolbar::Action::OpenSettings {});
}

void PopoverToolbarViewModelBridge::openWhatsNew()
{
    m_store->dispatch(PopoverToolbar::Action::OpenWhatsNew {});
}

void PopoverToolbarViewModelBridge::openHelp()
{
    m_store->dispatch(PopoverToolbar::Action::OpenHelp {});
}

void PopoverToolbarViewModelBridge::quit()
{
    m_store->dispatch(PopoverToolbar::Action::Quit {});
}

std::shared_ptr<PopoverToolbarDelegate> PopoverToolbarDelegate::make(const AppStoreRef& mainStore)
{
    auto delegate = std::make_shared<PopoverToolbarDelegate>();
    delegate->store = mainStore->connect(Connectors::PopoverToolbarConnector {});
    delegate->bridge = std::make_unique<PopoverToolbarViewModelBridge>(delegate->store);
    return delegate;
}

PopoverHeaderView::PopoverHeaderView(PopoverToolbarViewModelBridge* bridge, QWidget* parent)
    : QWidget(parent)
    , m_bridge(bridge)
{
    setFixedHeight(popoverMetrics::headerHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 4, 6, 4);
    layout->setSpacing(2);

    m_title = new QLabel(qText(AppInfo::name()), this);
    m_title->setAccessibleName(qText(AppInfo::name()));
    layout->addWidget(m_title);
    layout->addStretch(1);

    const QString actionLabel = qText(localized("MainMenu", "action_menu_label"));
    m_actionButton = new GlyphMenuButton(PopoverGlyph::ellipsis, this);
    m_actionButton->setAccessibleName(actionLabel);
    m_actionButton->setToolTip(qText(localized("MainMenu", "action_menu_help")));
    m_actionMenu = new QMenu(actionLabel, m_actionButton);
    m_undo = m_actionMenu->addAction(QString(), [this] { m_bridge->undo(); });
    m_redo = m_actionMenu->addAction(QString(), [this] { m_bridge->redo(); });
    m_actionMenu->addSeparator();
    m_remove = m_actionMenu->addAction(QString(), [this] { m_bridge->removeSelected(); });
    m_actionMenu->addSeparator();
    m_selectAll = m_actionMenu->addAction(QString(), [this] { m_bridge->selectAll(); });
    m_actionButton->setMenu(m_actionMenu);
    layout->addWidget(m_actionButton);

    const QString moreLabel = qText(localized("MainMenu", "more_menu_label"));
    m_moreButton = new GlyphMenuButton(PopoverGlyph::gear, this);
    m_moreButton->setAccessibleName(moreLabel);
    m_moreButton->setToolTip(moreLabel);
    m_moreMenu = new QMenu(moreLabel, m_moreButton);
    const PopoverMoreMenu& more = m_bridge->moreMenu();
    m_moreMenu->addAction(qText(more.settingsTitle), [this] { m_bridge->openSettings(); });
    m_moreMenu->addSeparator();
    m_moreMenu->addAction(qText(more.whatsNewTitle), [this] { m_bridge->openWhatsNew(); });
    m_moreMenu->addAction(qText(more.helpTitle), [this] { m_bridge->openHelp(); });
    m_moreMenu->addSeparator();
    m_moreMenu->addAction(qText(more.quitTitle), [this] { m_bridge->quit(); });
    m_moreButton->setMenu(m_moreMenu);
    layout->addWidget(m_moreButton);

    setTabOrder(m_actionButton, m_moreButton);
    applyFonts();
    refresh();
    m_changes = m_bridge->onChange([this] { refresh(); });
}

void PopoverHeaderView::refresh()
{
    const PopoverActionMenu& menu = m_bridge->actionMenu();
    m_undo->setText(qText(menu.undoTitle));
    m_undo->setEnabled(menu.canUndo);
    m_redo->setText(qText(menu.redoTitle));
    m_redo->setEnabled(menu.canRedo);
    m_remove->setText(qText(menu.removeTitle));
    m_remove->setEnabled(menu.hasSelection);
    m_selectAll->setText(qText(menu.selectAllTitle));
    m_selectAll->setEnabled(menu.isNotEmpty);
}

void PopoverHeaderView::applyFonts()
{
    m_title->setFont(popoverFonts(font()).headline);
}

void PopoverHeaderView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        applyFonts();
    QWidget::changeEvent(event);
}

} // namespace tidemark
