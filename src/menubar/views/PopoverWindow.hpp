#pragma once

#include "platform/foundation/Clock.hpp"
#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

#include <functional>
#include <memory>

namespace tidemark {

struct PopoverToolbarDelegate;
class PopoverPanelContent;
class UndoManager;

// The panel the status icon opens: a frameless panel at the status level, on every desktop,
// out of the taskbar and the pager, titled with the application's name. Its content (the
// header and the popover's view) is built when it is first shown. It has an undo manager of
// its own, which its list hands to the store. Closing hides it; it is shown again, never
// rebuilt. Where a compositor blends windows its corners are round and its material
// translucent; without one it paints itself opaque.
class PopoverPanel final : public Window {
public:
    PopoverPanel(const AppStoreRef& store, std::shared_ptr<PopoverToolbarDelegate> toolbar,
        std::shared_ptr<const Clock> clock = Clock::system());
    ~PopoverPanel() override;

    const std::shared_ptr<UndoManager>& undoManager() const { return m_undoManager; }
    // Built at the first show (or by `buildContent`); null before.
    PopoverPanelContent* content() const { return m_content; }
    void buildContent();
    // Drops the content and the toolbar, whose stores hold the main store: the windows store
    // calls it when it tears down, so the main store can go while this panel is still
    // referenced. Not to be called from the content's own event handlers.
    void letGoOfStore();

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::weak_ptr<AppStore> m_store;
    std::shared_ptr<PopoverToolbarDelegate> m_toolbar;
    std::shared_ptr<const Clock> m_clock;
    std::shared_ptr<UndoManager> m_undoManager;
    PopoverPanelContent* m_content = nullptr;
};

// The popover window in the windows store: the panel, and the toolbar's store and bridge,
// which live as long as this state keeps them.
struct PopoverWindowState {
    WindowRef window;
    std::shared_ptr<PopoverToolbarDelegate> toolbarDelegate;

    bool operator==(const PopoverWindowState&) const = default;
};

struct PopoverWindowAction {
    bool isPresented;
    bool operator==(const PopoverWindowAction&) const = default;
};

// The panel keeps no state of its own: showing, placing and closing are the windows store's.
void reducePopoverWindow(PopoverWindowState& state, const PopoverWindowAction& action);

// Lets the panel go of the main store (see `PopoverPanel::letGoOfStore`).
void tearDownPopoverWindow(PopoverWindowState& state);

// The panel and its toolbar for the main store, hidden; built once when the windows store
// receives the main store.
PopoverWindowState makePopoverWindow(const AppStoreRef& store);

} // namespace tidemark
