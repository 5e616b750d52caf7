#include "core/state/AppReducer.hpp"

#include "core/Overloaded.hpp"
#include "reminders/SourceOrder.hpp"

#include <algorithm>

namespace tidemark {

namespace {

void remindersStoreStep(AppState& state, const RemindersStoreAction& action)
{
    remindersStoreReducer(state.remindersStore, action);

    if (auto items = std::get_if<RemindersStoreAction::Items>(
            &static_cast<const RemindersStoreAction::variant&>(action))) {
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
    auto sources = std::get_if<RemindersStoreAction::Sources>(
        &static_cast<const RemindersStoreAction::variant&>(action));
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
    dragGestureReducer(state.dragGesture, action, *environment.clock);
    auto phase = std::get_if<DragGestureAction::Phase>(
        &static_cast<const DragGestureAction::variant&>(action));
    if (!phase)
        return;
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
    auto delta = std::get_if<ScrollGestureAction::DeltaTranslation>(
        &static_cast<const ScrollGestureAction::variant&>(action));
    if (!delta || !delta->delta || !state.dataEntry.editing)
        return;
    AnyReminder& reminder = *state.dataEntry.editing;
    setDuration(reminder,
        scrolledTimeInterval(duration(reminder), *delta->delta, state.scrollGesture.heightPerUnit));
}

void remindersStep(AppState& state, const RemindersAction& action)
{
    remindersReducer(state.reminders, action);
    std::visit(
        overloaded {
            [&](const RemindersAction::Services& services) -> void {
                if (std::holds_alternative<RemindersServicesAction::DataSource>(services.action)) {
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
            [&](const auto&) -> void {},
        },
        action);
}

void settingsStep(
    AppState& state, const SettingsAction& action, const ReducerEnvironment& environment)
{
    settingsReducer(state.settings, action);
    auto read
        = std::get_if<SettingsAction::Read>(&static_cast<const SettingsAction::variant&>(action));
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
    const auto& base = static_cast<const ViewAction::variant&>(action);

    if (auto popover = std::get_if<ViewAction::Popover>(&base)) {
        if (auto presented = std::get_if<PopoverAction::IsPresented>(
                &static_cast<const PopoverAction::variant&>(popover->action));
            presented && !presented->value)
            state.reminders.selection.clear();
    }
    if (auto yoyo = std::get_if<ViewAction::Yoyo>(&base)) {
        if (auto scroll = std::get_if<YoyoAction::Scroll>(
                &static_cast<const YoyoAction::variant&>(yoyo->action))) {
            if (auto entry = std::get_if<YoyoScrollAction::DataEntryIsPresented>(
                    &static_cast<const YoyoScrollAction::variant&>(scroll->action))) {
                if (entry->dataEntryIsPresented && !state.scrollGesture.startDate) {
                    state.scrollGesture.startDate = environment.clock->now();
                    state.dataEntry.editing.reset();
                } else if (!entry->dataEntryIsPresented) {
                    state.scrollGesture.startDate.reset();
                }
            }
        }
    }
    if (state.scrollGesture.startDate && !state.dataEntry.editing)
        state.dataEntry.editing
            = CreateReminder(state.scrollGesture.startDate, std::nullopt).toAnyReminder();

    if (auto yoyo = std::get_if<ViewAction::Yoyo>(&base)) {
        if (auto drag
            = std::get_if<YoyoAction::Drag>(&static_cast<const YoyoAction::variant&>(yoyo->action));
            drag && std::holds_alternative<YoyoDragAction::AnimateOutDidEnd>(drag->action)
            && state.countdown.isEnabled)
            state.view.statusItem.countdownIsPresented = true;
    }
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
                       if (auto presented = std::get_if<PopoverAction::IsPresented>(
                               &static_cast<const PopoverAction::variant&>(a.action));
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
