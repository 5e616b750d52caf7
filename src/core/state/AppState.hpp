#pragma once

#include "core/Action.hpp"
#include "core/ListenerService.hpp"
#include "core/TimerSlice.hpp"
#include "core/UndoManagerSlice.hpp"
#include "entry/DataEntrySlice.hpp"
#include "entry/DragGesture.hpp"
#include "entry/ScrollGesture.hpp"
#include "entry/YoyoState.hpp"
#include "menubar/CountdownState.hpp"
#include "menubar/PopoverState.hpp"
#include "menubar/StatusItemState.hpp"
#include "notifications/NotificationsSlice.hpp"
#include "onboarding/OnboardingSlice.hpp"
#include "onboarding/WhatsNewSlice.hpp"
#include "reminders/RemindersSlice.hpp"
#include "reminders/RemindersStore.hpp"
#include "settings/LoggerSlice.hpp"
#include "settings/SettingsSlice.hpp"
#include "settings/UpdateSlice.hpp"

#include <variant>

namespace tidemark {

class Calendar;

// The application's own slice for its windows, the popover, the status item, what's new
// and the blob overlay.
struct ViewState {
    OnboardingState onboarding;
    PopoverState popover;
    StatusItemState statusItem;
    WhatsNewState whatsNew;
    YoyoState yoyo;

    bool operator==(const ViewState&) const = default;
};

// The whole state of the application, one slice per feature.
struct AppState {
    RemindersStore remindersStore;
    DataEntryState dataEntry;
    CountdownState countdown;
    DragGestureState dragGesture;
    LoggerState logger;
    NotificationsState notifications;
    RemindersState reminders;
    ScrollGestureState scrollGesture;
    SettingsState settings;
    TimerState timer;
    UndoManagerState undoManager;
    ViewState view;
    // Whether a check for updates can be offered; the update action reaches the updater.
    UpdateState update;

    // The state at start; `now` and `calendar` place the automatic removal's default time.
    static AppState initial(Date now, const Calendar& calendar);

    bool operator==(const AppState&) const = default;
};

struct AppAction;

using AppListenerAction = ListenerAction<AppState, AppAction>;

struct ViewActionCases {
    struct HelpIsPresented {
        bool value;
        bool operator==(const HelpIsPresented&) const = default;
    };
    struct Onboarding {
        OnboardingAction action;
        bool operator==(const Onboarding&) const = default;
    };
    struct Popover {
        PopoverAction action;
        bool operator==(const Popover&) const = default;
    };
    struct StatusItem {
        StatusItemAction action;
        bool operator==(const StatusItem&) const = default;
    };
    struct WhatsNew {
        WhatsNewAction action;
        bool operator==(const WhatsNew&) const = default;
    };
    struct Yoyo {
        YoyoAction action;
        bool operator==(const Yoyo&) const = default;
    };
    struct Quit {
        bool operator==(const Quit&) const = default;
    };
    using Variant
        = std::variant<HelpIsPresented, Onboarding, Popover, StatusItem, WhatsNew, Yoyo, Quit>;
};

struct ViewAction : ActionOf<ViewActionCases> {
    using ActionOf::ActionOf;
};

struct AppActionCases {
    struct RemindersStore {
        RemindersStoreAction action;
        bool operator==(const RemindersStore&) const = default;
    };
    struct DataEntry {
        DataEntryAction action;
        bool operator==(const DataEntry&) const = default;
    };
    struct Countdown {
        CountdownAction action;
        bool operator==(const Countdown&) const = default;
    };
    struct DragGesture {
        DragGestureAction action;
        bool operator==(const DragGesture&) const = default;
    };
    struct Listener {
        AppListenerAction action;
        bool operator==(const Listener&) const = default;
    };
    struct Logger {
        LoggerAction action;
        bool operator==(const Logger&) const = default;
    };
    struct Notifications {
        NotificationsAction action;
        bool operator==(const Notifications&) const = default;
    };
    struct Reminders {
        RemindersAction action;
        bool operator==(const Reminders&) const = default;
    };
    struct ScrollGesture {
        ScrollGestureAction action;
        bool operator==(const ScrollGesture&) const = default;
    };
    struct Settings {
        SettingsAction action;
        bool operator==(const Settings&) const = default;
    };
    struct Timer {
        TimerAction action;
        bool operator==(const Timer&) const = default;
    };
    struct UndoManager {
        UndoManagerAction action;
        bool operator==(const UndoManager&) const = default;
    };
    struct View {
        ViewAction action;
        bool operator==(const View&) const = default;
    };
    struct Update {
        UpdateAction action;
        bool operator==(const Update&) const = default;
    };
    using Variant
        = std::variant<RemindersStore, DataEntry, Countdown, DragGesture, Listener, Logger,
            Notifications, Reminders, ScrollGesture, Settings, Timer, UndoManager, View, Update>;
};

// The one action of the main store; each case carries one feature's action.
struct AppAction : ActionOf<AppActionCases> {
    using ActionOf::ActionOf;
};

// The listener action an action carries, if it is the listener case.
const AppListenerAction* listenerActionOf(const AppAction& action);

// Short builders for the actions the program sends most.
namespace actions {
AppAction itemsAction(RemindersItemsAction action);
AppAction sourcesAction(RemindersSourcesAction action);
AppAction viewAction(ViewAction action);
AppAction popoverIsPresented(bool isPresented);
AppAction settingsRead(SettingsReadAction action);
} // namespace actions

} // namespace tidemark
