#include "menubar/views/PopoverListContainerWidget.hpp"

#include "menubar/PopoverListRows.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "platform/foundation/StringTables.hpp"
#include "platform/ui/PinnedLayout.hpp"

#include <QEvent>

namespace tidemark {

PopoverListContainerWidget::PopoverListContainerWidget(
    std::shared_ptr<PopoverListStore> store, std::shared_ptr<const Clock> clock, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_clock(std::move(clock))
    , m_list(new PopoverListView(m_clock, this))
{
    using Action = PopoverListContainerView::Action;
    addPinnedSubview(this, m_list);
    m_list->setAccessibleName(
        QString::fromStdString(localized("Reminders", "all_reminders_label")));
    setFocusProxy(m_list);

    PopoverListCallbacks callbacks;
    callbacks.selection = [this](const std::set<std::string>& ids) {
        m_store->dispatch(Action::Selection { ids });
    };
    callbacks.focusChange = [this](const std::optional<AnyReminder>& left,
                                const std::optional<std::string>& entered) {
        for (const auto& action : popoverFocusChange(left, entered, m_store->state().selection))
            m_store->dispatch(action);
    };
    callbacks.edit = [this](PopoverListSection section, std::vector<AnyReminder> items) {
        if (section == PopoverListSection::current)
            m_store->dispatch(Action::CurrentItems { std::move(items) });
        else
            m_store->dispatch(Action::PastItems { std::move(items) });
    };
    callbacks.remove = [this](const std::set<std::string>& ids) { remove(ids); };
    m_list->setCallbacks(std::move(callbacks));

    render(m_store->state());
    m_subscription = m_store->statePublisher().sink(
        [this](const PopoverListContainerView::State& state) { render(state); });
}

PopoverListContainerWidget::~PopoverListContainerWidget()
{
    // The list outlives this part of the widget (its base deletes it): a title field it
    // closes on the way, as the window hides, must find nobody to tell.
    m_list->setCallbacks({});
    m_subscription.cancel();
    m_ticks.cancel();
}

void PopoverListContainerWidget::render(const PopoverListContainerView::State& state)
{
    m_list->setFormatter(state.formatter);
    // The store's state is never changed once made: the list shares its reminders rather
    // than copying them.
    if (auto shared = m_store->sharedState(); shared.get() == &state) {
        m_list->setLists(SharedReminderList(shared, &shared->currentItems),
            SharedReminderList(shared, &shared->pastItems));
    } else {
        m_list->setLists(state.currentItems, state.pastItems);
    }
    m_list->setSelectedIDs(state.selection);
    if (state.timer.id != m_timerID || !m_ticks.isActive()) {
        m_timerID = state.timer.id;
        PopoverListView* list = m_list;
        m_ticks = state.timer.publisher.sink([list](const rx::Unit&) { list->tick(); });
    }
}

void PopoverListContainerWidget::remove(const std::set<std::string>& ids)
{
    using Action = PopoverListContainerView::Action;
    const Action removal = popoverListRemoval(m_store->state(), ids, *m_clock);
    // Only a removal that touches something can make a step to name.
    bool touchesSomething = false;
    if (const auto* update = caseOf<Action::Update>(removal))
        touchesSomething = !update->reminders.empty();
    else if (const auto* deletion = caseOf<Action::Delete>(removal))
        touchesSomething = !deletion->ids.empty();
    m_namer.perform(environmentValue(this, undoManagerKey),
        localized("MainMenu", "remove_action_label"), touchesSomething,
        [this, &removal] { m_store->dispatch(removal); });
}

void PopoverListContainerWidget::handUndoManager()
{
    const auto manager = environmentValue(this, undoManagerKey);
    if (m_handedOnce && manager == m_handedUndoManager.lock())
        return;
    m_handedOnce = true;
    m_handedUndoManager = manager;
    m_store->dispatch(PopoverListContainerView::Action::UndoManager { manager });
}

void PopoverListContainerWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Each time the list comes on screen its window's undo manager becomes the store's.
    m_handedOnce = false;
    handUndoManager();
}

bool PopoverListContainerWidget::event(QEvent* event)
{
    if ((isEnvironmentChange(event) || event->type() == QEvent::ParentChange) && isVisible())
        handUndoManager();
    return QWidget::event(event);
}

} // namespace tidemark
