#pragma once

#include "core/Store.hpp"
#include "menubar/PopoverListContainerView.hpp"
#include "menubar/RemovalUndoNaming.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/Cancellable.hpp"

#include <QWidget>

#include <memory>
#include <set>
#include <string>

namespace tidemark {

class PopoverListView;
class UndoManager;

using PopoverListStore = Store<PopoverListContainerView::State, PopoverListContainerView::Action>;

// The popover's list bound to its store: the rows follow the state, and the list's doings
// become the list's actions: the selection, an edit as the whole section, the commit of an
// edited title when its field loses the keyboard, removals (by the removal mode, the undo
// step named "Remove") and, when the list comes on screen or its window's undo manager
// changes, that undo manager. The rows' relative lines count on with the state's timer.
class PopoverListContainerWidget final : public QWidget {
public:
    PopoverListContainerWidget(std::shared_ptr<PopoverListStore> store,
        std::shared_ptr<const Clock> clock = Clock::system(), QWidget* parent = nullptr);
    ~PopoverListContainerWidget() override;

    PopoverListView* list() const { return m_list; }
    const std::shared_ptr<PopoverListStore>& store() const { return m_store; }

    // A removal from the list: delete or archive as the removal mode says; the undo step it
    // makes is named "Remove".
    void remove(const std::set<std::string>& ids);
    // The data source answered the last request: a removal's undo step not registered by
    // now never will be.
    void requestAnswered() { m_namer.requestAnswered(); }

protected:
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;

private:
    void render(const PopoverListContainerView::State& state);
    void handUndoManager();

    std::shared_ptr<PopoverListStore> m_store;
    std::shared_ptr<const Clock> m_clock;
    PopoverListView* m_list;
    RemovalUndoNamer m_namer;
    std::string m_timerID;
    std::weak_ptr<UndoManager> m_handedUndoManager;
    bool m_handedOnce = false;
    rx::Cancellable m_subscription;
    rx::Cancellable m_ticks;
};

} // namespace tidemark
