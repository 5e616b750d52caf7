#include "app/shell/AppMiddlewares.hpp"

#include "core/Action.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/Timer.hpp"
#include "platform/workspace/Workspace.hpp"

#include <QUrl>

namespace tidemark {

namespace {

rx::Publisher<AppAction> just(AppAction action)
{
    return rx::Just<AppAction>(std::move(action));
}

rx::Publisher<AppAction> none()
{
    return rx::Empty<AppAction>();
}

AppAction onboardingPresented(bool value)
{
    return actions::viewAction(ViewAction::Onboarding { OnboardingAction::IsPresented { value } });
}

void dispatchWindows(const AppWindowsStoreRef& windowsStore, AppWindowsAction action)
{
    windowsStore->dispatch(action);
}

} // namespace

AppCommandsEnvironment AppCommandsEnvironment::standard()
{
    return {
        .terminate =
            [] {
                if (Application* application = Application::shared())
                    application->terminate();
            },
        .openUrl =
            [](const std::string& address) {
                const auto opened = Workspace().openUrl(address);
                if (!opened.isSuccess())
                    appLogger(logcategory::application)
                        .error("could not open " + address + ": "
                            + opened.error().localizedDescription());
            },
        .supportAddress = AppInfo::supportWebsite(),
    };
}

bool isOpenableAddress(const std::string& address)
{
    const QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty() && !url.host().isEmpty();
}

std::optional<rx::Publisher<AppAction>> whatsNewPresentationPublisher(
    const UserSettings& settings, const AppState& state)
{
    const std::optional<std::string>& stored = settings.whatsNew.lastPresentedVersion;
    if (!stored)
        return std::nullopt;
    if (compareVersions(*stored, state.view.whatsNew.version) >= 0)
        return std::nullopt;
    return just(actions::viewAction(ViewAction::WhatsNew { WhatsNewAction { true } }));
}

std::optional<rx::Publisher<AppAction>> launchPresentationsPublisher(
    const UserSettings& settings, const AppState& state)
{
    std::vector<rx::Publisher<AppAction>> presentations;
    if (!settings.onboarding.lastPresentedVersion)
        presentations.push_back(just(onboardingPresented(true)));
    if (auto whatsNew = whatsNewPresentationPublisher(settings, state))
        presentations.push_back(std::move(*whatsNew));
    if (presentations.empty())
        return std::nullopt;
    return rx::merge(std::move(presentations));
}

AppMiddleware makeAppCommandsMiddleware(AppCommandsEnvironment environment)
{
    return [environment](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (caseAt<AppAction::View, ViewAction::Quit>(action)) {
            if (environment.terminate)
                environment.terminate();
            return none();
        }
        if (const auto* help = caseAt<AppAction::View, ViewAction::HelpIsPresented>(action)) {
            if (help->value && isOpenableAddress(environment.supportAddress) && environment.openUrl)
                environment.openUrl(environment.supportAddress);
            return none();
        }
        if (const auto* read = caseAt<AppAction::Settings, SettingsAction::Read>(action)) {
            if (const UserSettings* settings = read->action.successValue()) {
                // Copied: the publisher outlives this call and `state` changes with the next
                // dispatch.
                const UserSettings stored = *settings;
                if (auto presentations = launchPresentationsPublisher(stored, state))
                    return presentations;
            }
        }
        return none();
    };
}

ActivationPolicy activationPolicyFor(const AppState& state)
{
    const bool presentsWindow = state.view.onboarding.isPresented || state.view.whatsNew.isPresented
        || state.settings.isPresented;
    return presentsWindow ? ActivationPolicy::regular : ActivationPolicy::accessory;
}

AppMiddleware activationPolicyMiddleware()
{
    return [](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        const bool triggers = caseAt<AppAction::Settings, SettingsAction::IsPresented>(action)
            || caseAt<AppAction::View, ViewAction::Onboarding, OnboardingAction::IsPresented>(
                action)
            || caseAt<AppAction::View, ViewAction::WhatsNew>(action);
        if (triggers) {
            if (Application* application = Application::shared())
                application->setActivationPolicy(activationPolicyFor(state));
        }
        return none();
    };
}

AppMiddleware windowActivationMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* presented
            = caseAt<AppAction::View, ViewAction::Onboarding, OnboardingAction::IsPresented>(
                action)) {
            dispatchWindows(windowsStore,
                AppWindowsAction::Onboarding {
                    SingleInstanceWindowAction::IsPresented { presented->value } });
            return none();
        }
        const auto* read = caseAt<AppAction::RemindersStore, RemindersStoreAction::Sources,
            RemindersSourcesAction::Read>(action);
        if (read && read->action.asResult()
            && state.view.onboarding.selection == OnboardingPage::sync) {
            // One tick of a timer, then the timer is let go.
            auto token = std::make_shared<rx::Cancellable>();
            auto fired = std::make_shared<bool>(false);
            *token = rx::timerSource().start(
                onboardingReactivationDelay, [windowsStore, token, fired] {
                    if (*fired)
                        return;
                    *fired = true;
                    if (Application* application = Application::shared())
                        application->activate(true);
                    if (const WindowRef& window = windowsStore->state().onboarding.window)
                        window->makeKeyAndOrderFront();
                    rx::mainQueue().post([token] { token->cancel(); });
                });
        }
        return none();
    };
}

AppMiddleware popoverPresentationMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* onboarding
            = caseAt<AppAction::View, ViewAction::Onboarding, OnboardingAction::IsPresented>(
                action);
            onboarding && !onboarding->value)
            return just(actions::popoverIsPresented(true));
        if (const auto* presented
            = caseAt<AppAction::View, ViewAction::Popover, PopoverAction::IsPresented>(action)) {
            dispatchWindows(windowsStore,
                AppWindowsAction::Popover { PopoverWindowAction { presented->value } });
            return none();
        }
        if (caseAt<AppAction::View, ViewAction::StatusItem, StatusItemAction::DragFrame>(action)) {
            const ViewState& view = state.view;
            const bool opensByItself = view.popover.launchedAsLoginItem == false
                && !view.popover.wasPresentedSinceAppLaunch && !view.onboarding.isPresented
                && !view.whatsNew.isPresented;
            if (opensByItself)
                return just(actions::popoverIsPresented(true));
        }
        return none();
    };
}

AppMiddleware whatsNewMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState&,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* whatsNew = caseAt<AppAction::View, ViewAction::WhatsNew>(action))
            dispatchWindows(windowsStore,
                AppWindowsAction::WhatsNew {
                    SingleInstanceWindowAction::IsPresented { whatsNew->action.isPresented } });
        return none();
    };
}

AppMiddleware makeDragGestureMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* drag = caseOf<AppAction::DragGesture>(action)) {
            const auto* phase = caseOf<DragGestureAction::Phase>(drag->action);
            if (phase && phase->phase == DragGesturePhase::changed
                && state.view.statusItem.dragFrame) {
                dispatchWindows(windowsStore,
                    AppWindowsAction::YoyoDragBack {
                        YoyoDragBackWindowAction::IsPresented { true } });
                dispatchWindows(windowsStore,
                    AppWindowsAction::YoyoDragFront { YoyoDragFrontWindowAction { true } });
            }
            return none();
        }
        if (caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag,
                YoyoDragAction::AnimateOutDidEnd>(action)
            && state.view.yoyo.drag.semaphore == 0) {
            dispatchWindows(windowsStore,
                AppWindowsAction::YoyoDragFront { YoyoDragFrontWindowAction { false } });
            dispatchWindows(windowsStore,
                AppWindowsAction::YoyoDragBack { YoyoDragBackWindowAction::IsPresented { false } });
        }
        return none();
    };
}

AppMiddleware viewActionMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        const auto* presented = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Scroll,
            YoyoScrollAction::IsPresented>(action);
        if (presented && presented->isPresented && state.view.statusItem.scrollFrame)
            dispatchWindows(windowsStore,
                AppWindowsAction::YoyoScroll { YoyoScrollWindowAction::IsPresented {
                    true, state.view.statusItem.scrollBounds } });
        // The entry is over (its card back at rest, or dismissed): nothing is left to show.
        if (presented && !presented->isPresented)
            dispatchWindows(windowsStore,
                AppWindowsAction::YoyoScroll { YoyoScrollWindowAction::IsPresented { false } });
        return none();
    };
}

} // namespace tidemark
