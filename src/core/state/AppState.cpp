#include "core/state/AppState.hpp"

#include "platform/foundation/Calendar.hpp"

namespace tidemark {

AppState AppState::initial(Date now, const Calendar& calendar)
{
    AppState state {
        .remindersStore = {},
        .dataEntry = {},
        .countdown = {},
        .dragGesture = DragGestureState::initial(),
        .logger = {},
        .notifications = NotificationsState(UserNotificationsState {}),
        .reminders = RemindersState::initial(now, calendar),
        .scrollGesture = ScrollGestureState::initial(),
        .settings = {},
        .timer = {},
        .undoManager = {},
        .view = {},
        .update = {},
    };
    return state;
}

const AppListenerAction* listenerActionOf(const AppAction& action)
{
    auto listener = caseOf<AppAction::Listener>(action);
    return listener ? &listener->action : nullptr;
}

namespace actions {

AppAction itemsAction(RemindersItemsAction action)
{
    return AppAction::RemindersStore { RemindersStoreAction::Items { std::move(action) } };
}

AppAction sourcesAction(RemindersSourcesAction action)
{
    return AppAction::RemindersStore { RemindersStoreAction::Sources { std::move(action) } };
}

AppAction viewAction(ViewAction action)
{
    return AppAction::View { std::move(action) };
}

AppAction popoverIsPresented(bool isPresented)
{
    return viewAction(ViewAction::Popover { PopoverAction::IsPresented { isPresented } });
}

AppAction settingsRead(SettingsReadAction action)
{
    return AppAction::Settings { SettingsAction::Read { std::move(action) } };
}

} // namespace actions

} // namespace tidemark
