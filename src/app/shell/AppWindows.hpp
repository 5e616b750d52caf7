#pragma once

#include "app/shell/PendingWindows.hpp"
#include "core/Action.hpp"
#include "entry/views/YoyoScrollWindow.hpp"
#include "menubar/views/MenuBarExtra.hpp"
#include "menubar/views/PopoverWindow.hpp"
#include "settings/views/SettingsWindow.hpp"
#include "toolkit/SingleInstanceWindow.hpp"

#include <functional>
#include <optional>
#include <variant>

namespace tidemark {

// The platform windows and status items, kept out of the main state in a store of their own.
struct AppWindowsState {
    // Kept so that windows made later can be given it; none until the `store` action.
    AppStoreRef store;
    MenuBarExtraState dragDropMenuBarExtra;
    SingleInstanceWindowState onboarding;
    std::optional<PopoverWindowState> popover;
    MenuBarExtraState scrollMenuBarExtra;
    // Made at its first showing and kept, hidden when closed, for every showing after.
    WindowRef settings;
    SingleInstanceWindowState whatsNew;
    std::optional<YoyoDragBackWindowState> yoyoDragBack;
    std::optional<YoyoDragFrontWindowState> yoyoDragFront;
    std::optional<YoyoScrollWindowState> yoyoScroll;

    bool operator==(const AppWindowsState&) const = default;
};

AppWindowsState initialAppWindowsState();

struct AppWindowsActionCases {
    struct Store {
        AppStoreRef store;
        bool operator==(const Store&) const = default;
    };
    struct DragDropMenuBarExtra {
        MenuBarExtraAction action;
        bool operator==(const DragDropMenuBarExtra&) const = default;
    };
    struct Onboarding {
        SingleInstanceWindowAction action;
        bool operator==(const Onboarding&) const = default;
    };
    struct Popover {
        PopoverWindowAction action;
        bool operator==(const Popover&) const = default;
    };
    struct ScrollMenuBarExtra {
        MenuBarExtraAction action;
        bool operator==(const ScrollMenuBarExtra&) const = default;
    };
    // Shows the settings window in front with the keyboard, making it the first time.
    struct ShowSettings {
        bool operator==(const ShowSettings&) const = default;
    };
    struct WhatsNew {
        SingleInstanceWindowAction action;
        bool operator==(const WhatsNew&) const = default;
    };
    struct YoyoDragBack {
        YoyoDragBackWindowAction action;
        bool operator==(const YoyoDragBack&) const = default;
    };
    struct YoyoDragFront {
        YoyoDragFrontWindowAction action;
        bool operator==(const YoyoDragFront&) const = default;
    };
    struct YoyoScroll {
        YoyoScrollWindowAction action;
        bool operator==(const YoyoScroll&) const = default;
    };
    // Closes every window, drops both status items and lets the main store go: the windows
    // store holds the main store and the main store's middlewares hold the windows store, so
    // the application ends that loop as it terminates.
    struct TearDown {
        bool operator==(const TearDown&) const = default;
    };
    using Variant
        = std::variant<Store, DragDropMenuBarExtra, Onboarding, Popover, ScrollMenuBarExtra,
            ShowSettings, WhatsNew, YoyoDragBack, YoyoDragFront, YoyoScroll, TearDown>;
};

struct AppWindowsAction : ActionOf<AppWindowsActionCases> {
    using ActionOf::ActionOf;
};

using AppWindowsStore = Store<AppWindowsState, AppWindowsAction>;
using AppWindowsStoreRef = std::shared_ptr<AppWindowsStore>;

// Where the windows store's items go and what its windows show.
struct AppWindowsEnvironment {
    StatusBar* statusBar = nullptr;
    MenuBarExtraContent statusItemContainerView;
    MenuBarExtraContent scrollMenuBarExtraContainerView;
    std::function<PopoverWindowState(const AppStoreRef&)> makePopoverWindow;
    std::function<WindowRef()> makeOnboardingWindow;
    std::function<QWidget*(const AppStoreRef&)> onboardingContainerView;
    // The settings window with its content for the main store, and who is told it was made
    // (the settings service, which brings it forward from then on).
    std::function<WindowRef(const AppStoreRef&)> makeSettingsWindow;
    std::function<void(const WindowRef&)> settingsWindowMade;
    std::function<WindowRef()> makeWhatsNewWindow;
    std::function<QWidget*(const AppStoreRef&)> whatsNewContainerView;
    std::function<YoyoDragBackWindowState(const AppStoreRef&)> makeYoyoDragBackWindow;
    std::function<YoyoDragFrontWindowState(const AppStoreRef&)> makeYoyoDragFrontWindow;
    std::function<YoyoScrollWindowState(const AppStoreRef&)> makeYoyoScrollWindow;

    // The application's status bar and the application's windows and views.
    static AppWindowsEnvironment standard();
};

// Creates, shows, places and closes the windows and status items; the one reducer that
// works on platform objects directly.
void appWindowsReducer(AppWindowsState& state, const AppWindowsAction& action,
    const AppWindowsEnvironment& environment);

// The onboarding window's own reducer: `window(store)` makes the window and fills it with the
// onboarding's view; `isPresented` shows or closes it.
void onboardingWindowReducer(SingleInstanceWindowState& state,
    const SingleInstanceWindowAction& action, const AppWindowsEnvironment& environment);
// The same for the what's-new window.
void whatsNewWindowReducer(SingleInstanceWindowState& state,
    const SingleInstanceWindowAction& action, const AppWindowsEnvironment& environment);

// The settings window's notifications and sync panes. Where a pane is not given, its tab
// shows a placeholder.
SettingsPaneFactory settingsPanes();

AppWindowsStoreRef makeAppWindowsStore(
    AppWindowsEnvironment environment = AppWindowsEnvironment::standard());

} // namespace tidemark
