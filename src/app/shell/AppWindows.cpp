#include "app/shell/AppWindows.hpp"

#include "core/Action.hpp"
#include "core/Overloaded.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "menubar/views/ScrollMenuBarExtraView.hpp"
#include "menubar/views/StatusItemView.hpp"
#include "notifications/views/UserNotificationsSettingsPane.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "onboarding/views/WhatsNewWindow.hpp"
#include "platform/ui/Application.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "reminders/views/SyncSettingsPane.hpp"
#include "toolkit/WindowPlacement.hpp"

namespace tidemark {

AppWindowsState initialAppWindowsState()
{
    return {};
}

AppWindowsEnvironment AppWindowsEnvironment::standard()
{
    return {
        .statusBar = &StatusBar::system(),
        .statusItemContainerView = makeStatusItemContainerView,
        .scrollMenuBarExtraContainerView = makeScrollMenuBarExtraContainerView,
        .makePopoverWindow
        = [](const AppStoreRef& store) { return tidemark::makePopoverWindow(store); },
        .makeOnboardingWindow = tidemark::makeOnboardingWindow,
        .onboardingContainerView = makeOnboardingContainerView,
        .makeSettingsWindow =
            [](const AppStoreRef& store) {
                return tidemark::makeSettingsWindow(store, settingsPanes());
            },
        .settingsWindowMade = {},
        .makeWhatsNewWindow = tidemark::makeWhatsNewWindow,
        .whatsNewContainerView = makeWhatsNewContainerView,
        .makeYoyoDragBackWindow =
            [](const AppStoreRef& store) {
                return YoyoDragBackWindowState { tidemark::makeYoyoDragBackWindow(store) };
            },
        .makeYoyoDragFrontWindow =
            [](const AppStoreRef& store) {
                return YoyoDragFrontWindowState { tidemark::makeYoyoDragFrontWindow(store) };
            },
        .makeYoyoScrollWindow =
            [](const AppStoreRef& store) {
                return YoyoScrollWindowState { tidemark::makeYoyoScrollWindow(store) };
            },
    };
}

namespace {

// A window the user closes from its title bar is dismissed the same way as one closed by the
// program: the main state hears that the window is no longer presented (on the next turn,
// outside the window's own close handling). A close made by the program finds the state
// already not presented and sends nothing.
void reportUserClose(const WindowRef& window, const AppStoreRef& store,
    std::function<bool(const AppState&)> isPresented, AppAction dismiss)
{
    std::weak_ptr<AppStore> weak = store;
    QObject::connect(window.get(), &Window::willClose, window.get(), [weak, isPresented, dismiss] {
        rx::mainQueue().post([weak, isPresented, dismiss] {
            if (auto store = weak.lock(); store && isPresented(store->state()))
                store->dispatch(dismiss);
        });
    });
}

void fillWindow(const WindowRef& window, QWidget* content)
{
    if (window && window->contentView() && content)
        addPinnedSubview(window->contentView(), content);
}

MenuBarExtraEnvironment extraEnvironment(const AppWindowsEnvironment& environment, bool dragDrop)
{
    return { environment.statusBar,
        dragDrop ? environment.statusItemContainerView
                 : environment.scrollMenuBarExtraContainerView };
}

bool enables(const MenuBarExtraAction& action)
{
    const auto* enabled = caseOf<MenuBarExtraAction::IsEnabled>(action);
    return enabled && enabled->value;
}

void presentPopover(AppWindowsState& state, bool isPresented)
{
    PopoverWindowState& popover = *state.popover;
    const StatusItemRef& item = state.dragDropMenuBarExtra.item;
    StatusBarButton* button = item ? item->button() : nullptr;
    if (!isPresented) {
        if (button)
            button->highlight(false);
        if (popover.window)
            popover.window->close();
        return;
    }
    if (button)
        button->highlight(true);
    const bool canPlace = button && popover.window && popover.window->contentView();
    if (canPlace)
        WindowValet(button, popover.window->contentView())
            .positionWindow(std::nullopt, RectEdge::maxY);
    if (Application* application = Application::shared())
        application->activate(true);
    if (canPlace) {
        popover.window->makeKeyAndOrderFront();
        return;
    }
    // Nowhere to hang the panel: it stays hidden, so the popover is not presented either (else
    // the state would keep the one-second timer running for a panel nobody sees). Said on
    // the next turn, outside the dispatch that asked for it.
    if (std::weak_ptr<AppStore> weak = state.store; !weak.expired()) {
        rx::mainQueue().post([weak] {
            if (auto store = weak.lock(); store && store->state().view.popover.isPresented)
                store->dispatch(actions::popoverIsPresented(false));
        });
    }
}

void tearDown(AppWindowsState& state)
{
    for (SingleInstanceWindowState* entry : { &state.onboarding, &state.whatsNew }) {
        // Their views hold the main store through their connectors: they go with the next
        // turn of the event loop even where someone still holds the window.
        if (entry->window) {
            for (QWidget* view : entry->window->contentView()->findChildren<QWidget*>(
                     QString(), Qt::FindDirectChildrenOnly))
                view->deleteLater();
        }
        singleInstanceWindowReducer(*entry, SingleInstanceWindowAction::IsPresented { false });
    }
    if (state.popover && state.popover->window) {
        state.popover->window->close();
        tearDownPopoverWindow(*state.popover);
    }
    // Hidden without its close notification: the application is going, the settings are not
    // being dismissed. Its views hold the main store; they go on the next turn.
    if (state.settings) {
        state.settings->orderOut();
        for (QWidget* view : state.settings->contentView()->findChildren<QWidget*>(
                 QString(), Qt::FindDirectChildrenOnly))
            view->deleteLater();
    }
    for (WindowRef* window : { state.yoyoDragBack ? &state.yoyoDragBack->window : nullptr,
             state.yoyoDragFront ? &state.yoyoDragFront->window : nullptr,
             state.yoyoScroll ? &state.yoyoScroll->window : nullptr }) {
        if (window && *window)
            (*window)->close();
    }
    state = initialAppWindowsState();
}

void showSettings(AppWindowsState& state, const AppWindowsEnvironment& environment)
{
    if (!state.settings) {
        if (!state.store || !environment.makeSettingsWindow)
            return;
        state.settings = environment.makeSettingsWindow(state.store);
        if (!state.settings)
            return;
        state.settings->center();
        if (environment.settingsWindowMade)
            environment.settingsWindowMade(state.settings);
    }
    state.settings->makeKeyAndOrderFront();
}

} // namespace

// The notification and sync panes take the window's form style from the window itself.
SettingsPaneFactory settingsPanes()
{
    return {
        .notifications
        = [](const AppStoreRef& store,
              std::optional<FormStyle>) { return makeNotificationSettingsPane(store); },
        .sync = [](const AppStoreRef& store,
                    std::optional<FormStyle>) { return makeSyncSettingsPane(store); },
    };
}

void onboardingWindowReducer(SingleInstanceWindowState& state,
    const SingleInstanceWindowAction& action, const AppWindowsEnvironment& environment)
{
    if (const auto* make = caseOf<SingleInstanceWindowAction::Window>(action)) {
        if (!environment.makeOnboardingWindow)
            return;
        // An earlier window is let go, not closed.
        state.window = environment.makeOnboardingWindow();
        if (!state.window)
            return;
        if (environment.onboardingContainerView)
            fillWindow(state.window, environment.onboardingContainerView(make->store));
        reportUserClose(
            state.window, make->store,
            [](const AppState& s) { return s.view.onboarding.isPresented; },
            actions::viewAction(
                ViewAction::Onboarding { OnboardingAction::IsPresented { false } }));
        return;
    }
    singleInstanceWindowReducer(state, action);
}

void whatsNewWindowReducer(SingleInstanceWindowState& state,
    const SingleInstanceWindowAction& action, const AppWindowsEnvironment& environment)
{
    if (const auto* make = caseOf<SingleInstanceWindowAction::Window>(action)) {
        if (!environment.makeWhatsNewWindow)
            return;
        state.window = environment.makeWhatsNewWindow();
        if (!state.window)
            return;
        if (environment.whatsNewContainerView)
            fillWindow(state.window, environment.whatsNewContainerView(make->store));
        reportUserClose(
            state.window, make->store,
            [](const AppState& s) { return s.view.whatsNew.isPresented; },
            actions::viewAction(ViewAction::WhatsNew { WhatsNewAction { false } }));
        return;
    }
    singleInstanceWindowReducer(state, action);
}

void appWindowsReducer(AppWindowsState& state, const AppWindowsAction& action,
    const AppWindowsEnvironment& environment)
{
    using A = AppWindowsAction;
    std::visit(
        overloaded {
            [&](const A::Store& a) -> void {
                state.store = a.store;
                state.popover.reset();
                if (a.store && environment.makePopoverWindow)
                    state.popover = environment.makePopoverWindow(a.store);
            },
            [&](const A::DragDropMenuBarExtra& a) -> void {
                reduceDragDropMenuBarExtra(
                    state.dragDropMenuBarExtra, a.action, extraEnvironment(environment, true));
                if (!enables(a.action) || !state.store)
                    return;
                reduceDragDropMenuBarExtra(state.dragDropMenuBarExtra,
                    MenuBarExtraAction::Window { state.store },
                    extraEnvironment(environment, true));
                state.yoyoDragBack.reset();
                if (environment.makeYoyoDragBackWindow)
                    state.yoyoDragBack = environment.makeYoyoDragBackWindow(state.store);
                state.yoyoDragFront.reset();
                if (environment.makeYoyoDragFrontWindow)
                    state.yoyoDragFront = environment.makeYoyoDragFrontWindow(state.store);
                state.yoyoScroll.reset();
            },
            [&](const A::ScrollMenuBarExtra& a) -> void {
                reduceScrollMenuBarExtra(
                    state.scrollMenuBarExtra, a.action, extraEnvironment(environment, false));
                if (!enables(a.action) || !state.store)
                    return;
                reduceScrollMenuBarExtra(state.scrollMenuBarExtra,
                    MenuBarExtraAction::Window { state.store },
                    extraEnvironment(environment, false));
                state.yoyoDragBack.reset();
                state.yoyoDragFront.reset();
                state.yoyoScroll.reset();
                if (environment.makeYoyoScrollWindow)
                    state.yoyoScroll = environment.makeYoyoScrollWindow(state.store);
            },
            [&](const A::Onboarding& a) -> void {
                const auto* presented = caseOf<SingleInstanceWindowAction::IsPresented>(a.action);
                if (presented && presented->value && !state.onboarding.window && state.store)
                    onboardingWindowReducer(state.onboarding,
                        SingleInstanceWindowAction::Window { state.store }, environment);
                onboardingWindowReducer(state.onboarding, a.action, environment);
            },
            [&](const A::WhatsNew& a) -> void {
                const auto* presented = caseOf<SingleInstanceWindowAction::IsPresented>(a.action);
                if (presented && presented->value && !state.whatsNew.window && state.store)
                    whatsNewWindowReducer(state.whatsNew,
                        SingleInstanceWindowAction::Window { state.store }, environment);
                whatsNewWindowReducer(state.whatsNew, a.action, environment);
            },
            [&](const A::ShowSettings&) -> void { showSettings(state, environment); },
            [&](const A::Popover& a) -> void {
                if (!state.popover)
                    return;
                reducePopoverWindow(*state.popover, a.action);
                presentPopover(state, a.action.isPresented);
            },
            [&](const A::YoyoDragBack& a) -> void {
                if (state.yoyoDragBack)
                    state.yoyoDragBack->reduce(a.action);
            },
            [&](const A::YoyoDragFront& a) -> void {
                if (state.yoyoDragFront)
                    state.yoyoDragFront->reduce(a.action);
            },
            [&](const A::YoyoScroll& a) -> void {
                if (state.yoyoScroll)
                    state.yoyoScroll->reduce(a.action);
            },
            [&](const A::TearDown&) -> void { tearDown(state); },
        },
        action);
}

AppWindowsStoreRef makeAppWindowsStore(AppWindowsEnvironment environment)
{
    return AppWindowsStore::make(initialAppWindowsState(),
        [environment = std::move(environment)](AppWindowsState& state,
            const AppWindowsAction& action) { appWindowsReducer(state, action, environment); });
}

} // namespace tidemark
