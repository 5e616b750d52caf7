#include "core/state/AppReducer.hpp"

#include "core/Action.hpp"
#include "core/Overloaded.hpp"
#include "reminders/SourceOrder.hpp"

#include <algorithm>

namespace tidemark {

namespace {

void remindersStoreStep(AppState& state, const RemindersStoreAction& action)
{
    remindersStoreReducer(state.remindersStore, action);

    if (auto items = caseOf<RemindersStoreAction::Items>(action)) {
        if (auto update = items->action.asUpdate(); update && update->asSubmit()) {
            state.reminders.editing.reset();
            state.reminders.selection.clear();
        } else if (auto remove = items->action.asDelete(); remove && remove->asSubmit()) {
            const auto& ids = remove->asSubmit()->input;
            if (state.reminders.editing)
                std::erase_if(*state.reminders.editing,
                    [&ids](const AnyReminder& r) { return ids.contains(r.id); });
            std::erase_if(state.reminders.selection,
                [&ids](const std::string& id) { return ids.contains(id); });
        }
        return;
    }
    auto sources = caseOf<RemindersStoreAction::Sources>(action);
    if (!sources)
        return;
    if (auto read = sources->action.asRead();
        read && read->successValue() && !state.reminders.selectedList) {
        // Sources come as a set whose order means nothing: pick by title, then identifier,
        // so that the same accounts always give the same first list.
        state.reminders.selectedList = firstList(state.remindersStore.sources.value);
    }
}

void countdownStep(AppState& state, const CountdownAction& action)
{
    countdownReducer(state.countdown, action);
}

void dragGestureStep(
    AppState& state, const DragGestureAction& action, const ReducerEnvironment& environment)
{
    const bool withoutChange = endsWithoutChange(state.dragGesture, action);
    dragGestureReducer(state.dragGesture, action, *environment.clock);
    auto phase = caseOf<DragGestureAction::Phase>(action);
    if (!phase)
        return;
    if (withoutChange) {
        // No window opened and nothing will animate out: the begin's count is taken back
        // and no reminder is entered.
        yoyoDragReducer(state.view.yoyo.drag, YoyoDragAction::AnimateOutDidEnd {});
        return;
    }
    switch (phase->phase) {
    case DragGesturePhase::begin:
        raiseSemaphore(state.view.yoyo.drag);
        break;
    case DragGesturePhase::changed:
        state.view.yoyo.drag.blobOpacity = 1.0;
        break;
    case DragGesturePhase::ended:
        if (auto entry = endedDragEntry(state.dragGesture)) {
            std::optional<std::string> listID;
            if (state.reminders.selectedList)
                listID = state.reminders.selectedList->id;
            state.dataEntry.editing
                = CreateReminder(entry->startDate, entry->timeInterval, std::nullopt, listID)
                      .toAnyReminder();
        }
        break;
    }
}

void scrollGestureStep(AppState& state, const ScrollGestureAction& action)
{
    scrollGestureReducer(state.scrollGesture, action);
    auto delta = caseOf<ScrollGestureAction::DeltaTranslation>(action);
    if (!delta || !delta->delta || !state.dataEntry.editing)
        return;
    AnyReminder& reminder = *state.dataEntry.editing;
    setDuration(reminder,
        scrolledTimeInterval(duration(reminder), *delta->delta, state.scrollGesture.heightPerUnit));
}

void remindersStep(AppState& state, const RemindersAction& action)
{
    remindersReducer(state.reminders, action);
    std::visit(overloaded {
                   [&](const RemindersAction::Services& services) -> void {
                       if (caseOf<RemindersServicesAction::DataSource>(services.action)) {
                           // Another data source: what was read from the old one no longer
                           // applies, the reminders as little as the sources.
                           state.remindersStore.sources.value.reset();
                           state.remindersStore.items.value.clear();
                           state.remindersStore.items.submittedValues = {};
                       }
                   },
                   [&](const RemindersAction::Editing& editing) -> void {
                       if (!editing.editing) {
                           state.reminders.editing.reset();
                           return;
                       }
                       std::set<AnyReminder> changed;
                       const auto& stored = state.remindersStore.items.value;
                       std::set_difference(editing.editing->begin(), editing.editing->end(),
                           stored.begin(), stored.end(), std::inserter(changed, changed.end()));
                       state.reminders.editing = std::move(changed);
                   },
                   [&](const RemindersAction::SelectAll&) -> void {
                       std::set<std::string> ids;
                       for (const auto& reminder : state.remindersStore.items.value)
                           ids.insert(ids.end(), reminder.id);
                       state.reminders.selection = std::move(ids);
                   },
                   [&](const auto&) -> void {},
               },
        action);
}

void settingsStep(
    AppState& state, const SettingsAction& action, const ReducerEnvironment& environment)
{
    settingsReducer(state.settings, action);
    auto read = caseOf<SettingsAction::Read>(action);
    if (!read)
        return;
    const UserSettings* settings = read->action.successValue();
    if (!settings)
        return;
    // Copied into the slices without being dispatched: only the read result itself reaches
    // the middlewares.
    const UserSettings u = *settings;
    using AR = AutomaticRemovalAction;
    const AppAction copies[] = {
        AppAction::Notifications {
            { UserNotificationsAction::IsEnabled { u.notifications.isEnabled } } },
        AppAction::Reminders { RemindersAction::AutomaticRemoval {
            AR::IsEnabled { u.reminders.automaticRemoval.isEnabled } } },
        AppAction::Reminders {
            RemindersAction::AutomaticRemoval { AR::Date { u.reminders.automaticRemoval.date } } },
        AppAction::Reminders { RemindersAction::Services {
            RemindersServicesAction::DataSource { u.reminders.dataSource } } },
        AppAction::Reminders { RemindersAction::SelectedList { u.reminders.selectedList } },
        AppAction::Settings { SettingsAction::General { { u.general.openAtLogin } } },
        AppAction::Countdown { CountdownAction::IsEnabled { u.menubar.countdownIsEnabled } },
        AppAction::Countdown { CountdownAction::ProgressBar {
            CountdownProgressBarAction::IsEnabled { u.menubar.progressBar.isEnabled } } },
        AppAction::Countdown { CountdownAction::ProgressBar {
            CountdownProgressBarAction::Opacity { u.menubar.progressBar.opacity } } },
        AppAction::DragGesture {
            DragGestureAction::PointPerInterval { u.gesture.dragGesturePointPerInterval } },
        AppAction::Logger { LoggerAction::IsEnabled { u.logging.isEnabled } },
        AppAction::Logger { LoggerAction::HideReminderDescriptions { u.logging.isRedacted } },
    };
    for (const auto& copy : copies)
        appReducer(state, copy, environment);
}

void viewStep(AppState& state, const ViewAction& action, const ReducerEnvironment& environment)
{
    viewStateReducer(state.view, action);
    if (auto presented = caseAt<ViewAction::Popover, PopoverAction::IsPresented>(action);
        presented && !presented->value)
        state.reminders.selection.clear();
    if (auto entry
        = caseAt<ViewAction::Yoyo, YoyoAction::Scroll, YoyoScrollAction::DataEntryIsPresented>(
            action)) {
        if (entry->dataEntryIsPresented && !state.scrollGesture.startDate) {
            state.scrollGesture.startDate = environment.clock->now();
            state.dataEntry.editing.reset();
        } else if (!entry->dataEntryIsPresented) {
            state.scrollGesture.startDate.reset();
        }
    }
    if (state.scrollGesture.startDate && !state.dataEntry.editing)
        state.dataEntry.editing
            = CreateReminder(state.scrollGesture.startDate, std::nullopt).toAnyReminder();

    if (caseAt<ViewAction::Yoyo, YoyoAction::Drag, YoyoDragAction::AnimateOutDidEnd>(action)
        && state.countdown.isEnabled)
        state.view.statusItem.countdownIsPresented = true;
}

} // namespace

void viewStateReducer(ViewState& state, const ViewAction& action)
{
    std::visit(overloaded {
                   [&](const ViewAction::HelpIsPresented&) -> void {},
                   [&](const ViewAction::Onboarding& a) -> void {
                       onboardingReducer(state.onboarding, a.action);
                   },
                   [&](const ViewAction::Popover& a) -> void {
                       popoverReducer(state.popover, a.action);
                       if (auto presented = caseOf<PopoverAction::IsPresented>(a.action);
                           presented && !presented->value)
                           state.statusItem.zevovozo.status = ZevovozoStatus::idle;
                   },
                   [&](const ViewAction::StatusItem& a) -> void {
                       statusItemReducer(state.statusItem, a.action);
                   },
                   [&](const ViewAction::WhatsNew& a) -> void {
                       whatsNewReducer(state.whatsNew, a.action);
                   },
                   [&](const ViewAction::Yoyo& a) -> void { yoyoReducer(state.yoyo, a.action); },
                   [&](const ViewAction::Quit&) -> void {},
               },
        action);
}

void appReducer(AppState& state, const AppAction& action, const ReducerEnvironment& environment)
{
    std::visit(
        overloaded {
            [&](const AppAction::RemindersStore& a) -> void {
                remindersStoreStep(state, a.action);
            },
            [&](const AppAction::DataEntry& a) -> void {
                dataEntryReducer(state.dataEntry, a.action);
            },
            [&](const AppAction::Countdown& a) -> void { countdownStep(state, a.action); },
            [&](const AppAction::DragGesture& a) -> void {
                dragGestureStep(state, a.action, environment);
            },
            [&](const AppAction::Listener&) -> void {},
            [&](const AppAction::Logger& a) -> void { loggerReducer(state.logger, a.action); },
            [&](const AppAction::Notifications& a) -> void {
                notificationsReducer(state.notifications, a.action);
            },
            [&](const AppAction::Reminders& a) -> void { remindersStep(state, a.action); },
            [&](const AppAction::ScrollGesture& a) -> void { scrollGestureStep(state, a.action); },
            [&](const AppAction::Settings& a) -> void {
                settingsStep(state, a.action, environment);
            },
            [&](const AppAction::Timer& a) -> void { timerReducer(state.timer, a.action); },
            [&](const AppAction::UndoManager& a) -> void {
                undoManagerReducer(state.undoManager, a.action);
            },
            [&](const AppAction::View& a) -> void { viewStep(state, a.action, environment); },
            [&](const AppAction::Update& a) -> void { updateReducer(state.update, a.action); },
        },
        action);
}

} // namespace tidemark
