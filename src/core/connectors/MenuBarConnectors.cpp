#include "core/connectors/MenuBarConnectors.hpp"

#include "core/Overloaded.hpp"
#include "core/connectors/RootActions.hpp"
#include "menubar/ArchivedReminders.hpp"

#include <cstdlib>

namespace tidemark::Connectors {

std::optional<AnyReminder> CountdownConnector::nextReminder(const AppState& state, Date now)
{
    return countdownReminder(state.remindersStore.items.value, state.countdown.reminderID, now);
}

CountdownView::State CountdownConnector::mapState(const AppState& state) const
{
    auto reminder = nextReminder(state, clock->now());
    const bool hasDueDate = reminder && dueDate(*reminder).has_value();
    return {
        .isPresented
        = state.countdown.isEnabled && hasDueDate && state.view.statusItem.countdownIsPresented,
        .formatter = state.countdown.formatter,
        .progressBar = state.countdown.progressBar,
        .reminder = std::move(reminder),
        .timer = state.timer,
    };
}

AppAction CountdownConnector::mapAction(const ViewAction&) const
{
    // The countdown has no actions; none can be made.
    std::abort();
}

StatusItemConnectingView::State StatusItemConnector::mapState(const AppState& state) const
{
    return {
        .zevovozoStatus = state.view.statusItem.zevovozo.status,
        .automaticRemindersRemoval
        = AutomaticRemindersRemovalConnector { clock, calendar }.mapState(state),
        .countdown = CountdownConnector { clock }.mapState(state),
        .dragGestureStatus = state.dragGesture.phase,
        .dragGestureValue = state.dragGesture.value,
        .pointPerInterval = state.dragGesture.pointPerInterval,
    };
}

AppAction StatusItemConnector::mapAction(const ViewAction& action) const
{
    using A = StatusItemConnectingView::Action;
    return std::visit(
        overloaded {
            [](const A::ZevovozoStatus& a) -> AppAction { return root::zevovozoStatus(a.status); },
            [this](const A::AutomaticRemindersRemoval& a) -> AppAction {
                return AutomaticRemindersRemovalConnector { clock, calendar }.mapAction(a.action);
            },
            [](const A::DragGestureStatus& a) -> AppAction {
                return root::dragGesture(DragGestureAction::Phase { a.phase });
            },
            [](const A::DragGestureValue& a) -> AppAction {
                return root::dragGesture(DragGestureAction::Value { a.value });
            },
            [](const A::IconFrame& a) -> AppAction {
                return root::statusItem(
                    StatusItemAction::Zevovozo { ZevovozoAction::Frame { a.frame } });
            },
            [](const A::PopoverIsPresented& a) -> AppAction {
                return actions::popoverIsPresented(a.isPresented);
            },
        },
        asVariant(action));
}

PopoverListContainerView::State PopoverListConnector::mapState(const AppState& state) const
{
    const auto& items = state.remindersStore.items;
    auto split = splitPopoverListOf(
        popoverListPoolOf(items.value, items.submittedValues, state.reminders.editing),
        state.view.popover.hideItemsWithNoDueDate, clock->now());
    return {
        .currentItems = std::move(split.currentItems),
        .pastItems = std::move(split.pastItems),
        .selection = state.reminders.selection,
        .removalMode = state.reminders.removalMode,
        .timer = state.timer,
        .formatter = state.settings.general.relativeTimeFormatter,
        .hideItemsWithNoDueDate = false,
    };
}

AppAction PopoverListConnector::mapAction(const ViewAction& action) const
{
    using A = PopoverListContainerView::Action;
    return std::visit(
        overloaded {
            [](const A::CurrentItems& a) -> AppAction {
                return root::editing(std::set<AnyReminder>(a.items.begin(), a.items.end()));
            },
            [](const A::PastItems& a) -> AppAction {
                return root::editing(std::set<AnyReminder>(a.items.begin(), a.items.end()));
            },
            [](const A::Delete& a) -> AppAction { return root::deleteItems(a.ids); },
            [](const A::Selection& a) -> AppAction { return root::selection(a.ids); },
            [](const A::Update& a) -> AppAction { return root::updateItems(a.reminders); },
            [](const A::DragGestureSourceFrame& a) -> AppAction {
                return root::dragGesture(DragGestureAction::LocalFrame { a.frame });
            },
            [](const A::DragGestureStatus& a) -> AppAction {
                return root::dragGesture(DragGestureAction::Phase { a.phase });
            },
            [](const A::DragGestureValue& a) -> AppAction {
                return root::dragGesture(DragGestureAction::Value { a.value });
            },
            [](const A::UndoManager& a) -> AppAction {
                return AppAction::UndoManager { UndoManagerAction::SetManager { a.manager } };
            },
        },
        asVariant(action));
}

PopoverNotificationsView::State PopoverNotificationsConnector::mapState(const AppState& state) const
{
    return { .notifications = state.view.popover.presentedNotification };
}

AppAction PopoverNotificationsConnector::mapAction(const ViewAction& action) const
{
    const auto& shown
        = std::get<PopoverNotificationsView::Action::Notifications>(asVariant(action));
    return root::popover(PopoverAction::PresentedNotification {
        PresentedNotificationAction::Update { shown.notifications } });
}

PopoverView::State PopoverViewConnector::mapState(const AppState& state) const
{
    // The list connector's rule, without building the lists.
    const auto& items = state.remindersStore.items;
    const bool isEmpty = popoverListIsEmpty(items.value, items.submittedValues,
        state.reminders.editing, state.view.popover.hideItemsWithNoDueDate, clock->now());
    return {
        .isEmpty = isEmpty,
        .emptyStateIsPlaying = state.view.popover.isPresented,
        .notifications = PopoverNotificationsConnector {}.mapState(state),
    };
}

AppAction PopoverViewConnector::mapAction(const ViewAction& action) const
{
    const auto& notifications = std::get<PopoverView::Action::Notifications>(asVariant(action));
    return PopoverNotificationsConnector {}.mapAction(notifications.action);
}

RemoveSelectedCommandView::State RemoveSelectedCommandConnector::mapState(
    const AppState& state) const
{
    return {
        .items = state.remindersStore.items.value,
        .removalMode = state.reminders.removalMode,
        .selection = state.reminders.selection,
    };
}

AppAction RemoveSelectedCommandConnector::mapAction(const ViewAction& action) const
{
    using A = RemoveSelectedCommandView::Action;
    return std::visit(overloaded {
                          [this](const A::Archive& a) -> AppAction {
                              return root::updateItems(archivedCopies(a.reminders, *clock));
                          },
                          [](const A::Delete& a) -> AppAction { return root::deleteItems(a.ids); },
                      },
        asVariant(action));
}

PopoverToolbar::State PopoverToolbarConnector::mapState(const AppState& state) const
{
    const auto& items = state.remindersStore.items.value;
    const auto& selection = state.reminders.selection;
    PopoverToolbar::State toolbar {
        .itemCount = static_cast<int>(items.size()),
        .removalMode = state.reminders.removalMode,
        .selectedList = state.reminders.selectedList,
        .selectionCount = static_cast<int>(selection.size()),
        .selection = selection,
        .selectedItems = {},
        .sources = std::nullopt,
        .undoManager = state.undoManager.undoManager,
    };
    if (!selection.empty()) {
        for (const auto& reminder : items) {
            if (selection.contains(reminder.id))
                toolbar.selectedItems.insert(toolbar.selectedItems.end(), reminder);
        }
    }
    if (const auto& sources = state.remindersStore.sources.value)
        toolbar.sources.emplace(sources->begin(), sources->end());
    return toolbar;
}

AppAction PopoverToolbarConnector::mapAction(const ViewAction& action) const
{
    using A = PopoverToolbar::Action;
    return std::visit(
        overloaded {
            [this](const A::Archive& a) -> AppAction {
                return root::updateItems(archivedCopies(a.reminders, *clock));
            },
            [](const A::Delete& a) -> AppAction { return root::deleteItems(a.ids); },
            [](const A::SelectedList& a) -> AppAction {
                return root::reminders(RemindersAction::SelectedList { a.list });
            },
            [](const A::SelectAll&) -> AppAction {
                return root::reminders(RemindersAction::SelectAll {});
            },
            [](const A::OpenHelp&) -> AppAction {
                return root::view(tidemark::ViewAction::HelpIsPresented { true });
            },
            [](const A::OpenSettings&) -> AppAction {
                return AppAction::Settings { SettingsAction::IsPresented { true } };
            },
            [](const A::OpenWhatsNew&) -> AppAction {
                return root::view(tidemark::ViewAction::WhatsNew { WhatsNewAction { true } });
            },
            [](const A::Undo&) -> AppAction {
                return AppAction::UndoManager { UndoManagerAction::Undo {} };
            },
            [](const A::Redo&) -> AppAction {
                return AppAction::UndoManager { UndoManagerAction::Redo {} };
            },
            [](const A::Quit&) -> AppAction { return root::view(tidemark::ViewAction::Quit {}); },
        },
        asVariant(action));
}

} // namespace tidemark::Connectors
