#pragma once

#include "core/Store.hpp"
#include "menubar/PopoverToolbar.hpp"
#include "menubar/PopoverToolbarMenus.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "toolkit/MainStore.hpp"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QMenu;
class QAction;
class QToolButton;

namespace tidemark {

using PopoverToolbarStore = Store<PopoverToolbar::State, PopoverToolbar::Action>;

// Mirrors the toolbar's store for the header's menus and turns each menu command into one
// toolbar action. The undo entries follow the undo manager itself: they are read again
// whenever a new manager arrives through the state and whenever the manager says it changed
// (a step done, undone, redone or renamed), so they are never stale.
class PopoverToolbarViewModelBridge {
public:
    explicit PopoverToolbarViewModelBridge(std::shared_ptr<PopoverToolbarStore> store);
    PopoverToolbarViewModelBridge(const PopoverToolbarViewModelBridge&) = delete;
    PopoverToolbarViewModelBridge& operator=(const PopoverToolbarViewModelBridge&) = delete;

    const std::shared_ptr<PopoverToolbarStore>& store() const { return m_store; }
    const PopoverActionMenu& actionMenu() const { return m_actionMenu; }
    const PopoverMoreMenu& moreMenu() const { return m_moreMenu; }

    // Called whenever the action menu changed. Returns a token; dropping it stops the calls.
    rx::Cancellable onChange(std::function<void()> observer);

    void removeSelected();
    void selectAll();
    void undo();
    void redo();
    void openSettings();
    void openWhatsNew();
    void openHelp();
    void quit();

private:
    void receive(const PopoverToolbar::State& state);
    void refresh();

    std::shared_ptr<PopoverToolbarStore> m_store;
    PopoverActionMenu m_actionMenu;
    PopoverMoreMenu m_moreMenu;
    std::shared_ptr<UndoManager> m_undoManager;
    rx::Cancellable m_stateSubscription;
    rx::Cancellable m_undoSubscription;
    std::shared_ptr<std::vector<std::pair<int, std::function<void()>>>> m_observers;
    int m_nextObserver = 0;
};

// The toolbar's parts, made once per popover window: the derived store and its bridge. The
// popover window's state owns it.
struct PopoverToolbarDelegate {
    std::shared_ptr<PopoverToolbarStore> store;
    std::unique_ptr<PopoverToolbarViewModelBridge> bridge;

    static std::shared_ptr<PopoverToolbarDelegate> make(const AppStoreRef& mainStore);
};

// The header of the panel: the application's name, then the action menu ("…": undo, redo,
// remove, select all) and the more menu (settings, what's new, help, quit), each a button
// that opens its menu. Nothing of it is customised or saved.
class PopoverHeaderView final : public QWidget {
public:
    explicit PopoverHeaderView(PopoverToolbarViewModelBridge* bridge, QWidget* parent = nullptr);

    QToolButton* actionButton() const { return m_actionButton; }
    QToolButton* moreButton() const { return m_moreButton; }
    QMenu* actionMenu() const { return m_actionMenu; }
    QMenu* moreMenu() const { return m_moreMenu; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void applyFonts();

    PopoverToolbarViewModelBridge* m_bridge;
    QLabel* m_title;
    QToolButton* m_actionButton;
    QToolButton* m_moreButton;
    QMenu* m_actionMenu;
    QMenu* m_moreMenu;
    QAction* m_undo;
    QAction* m_redo;
    QAction* m_remove;
    QAction* m_selectAll;
    rx::Cancellable m_changes;
};

} // namespace tidemark
