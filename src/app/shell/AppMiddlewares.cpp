#include "app/shell/AppMiddlewares.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/Timer.hpp"
#include "platform/workspace/Workspace.hpp"

#include <QUrl>

namespace tidemark {

namespace {

template <class Case, class Variant> const Case* caseIn(const Variant* value)
{
    return value ? std::get_if<Case>(&static_cast<const typename Variant::variant&>(*value))
                 : nullptr;
}

const ViewAction* viewOf(const AppAction& action)
{
    const auto* view = caseOf<AppAction::View>(action);
    return view ? &view->action : nullptr;
}

const OnboardingAction* onboardingOf(const AppAction& action)
{
    const auto* onboarding = caseIn<ViewAction::Onboarding>(viewOf(action));
    return onboarding ? &onboarding->action : nullptr;
}

// view(onboarding(isPresented(b))): b, else none.
std::optional<bool> onboardingIsPresented(const AppAction& action)
{
    if (const auto* presented = caseIn<OnboardingAction::IsPresented>(onboardingOf(action)))
        return presented->value;
    return std::nullopt;
}

const WhatsNewAction* whatsNewOf(const AppAction& action)
{
    const auto* whatsNew = caseIn<ViewAction::WhatsNew>(viewOf(action));
    return whatsNew ? &whatsNew->action : nullptr;
}

const PopoverAction* popoverOf(const AppAction& action)
{
    const auto* popover = caseIn<ViewAction::Popover>(viewOf(action));
    return popover ? &popover->action : nullptr;
}

const StatusItemAction* statusItemOf(const AppAction& action)
{
    const auto* statusItem = caseIn<ViewAction::StatusItem>(viewOf(action));
    return statusItem ? &statusItem->action : nullptr;
}

const YoyoAction* yoyoOf(const AppAction& action)
{
    const auto* yoyo = caseIn<ViewAction::Yoyo>(viewOf(action));
    return yoyo ? &yoyo->action : nullptr;
}

const SettingsAction* settingsOf(const AppAction& action)
{
    const auto* settings = caseOf<AppAction::Settings>(action);
    return settings ? &settings->action : nullptr;
}

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
        const ViewAction* view = viewOf(action);
        if (caseIn<ViewAction::Quit>(view)) {
            if (environment.terminate)
                environment.terminate();
            return none();
        }
        if (const auto* help = caseIn<ViewAction::HelpIsPresented>(view)) {
            if (help->value && isOpenableAddress(environment.supportAddress) && environment.openUrl)
                environment.openUrl(environment.supportAddress);
            return none();
        }
        if (const auto* read = caseIn<SettingsAction::Read>(settingsOf(action))) {
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
        const bool triggers = caseIn<SettingsAction::IsPresented>(settingsOf(action))
            || onboardingIsPresented(action).has_value() || whatsNewOf(action);
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
        if (const std::optional<bool> presented = onboardingIsPresented(action)) {
            dispatchWindows(windowsStore,
                AppWindowsAction::Onboarding {
                    SingleInstanceWindowAction::IsPresented { *presented } });
            return none();
        }
        const auto* store = caseOf<AppAction::RemindersStore>(action);
        const auto* sources
            = store ? std::get_if<RemindersStoreAction::Sources>(&store->action) : nullptr;
        const auto* read
            = sources ? std::get_if<RemindersSourcesAction::Read>(&sources->action) : nullptr;
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
        if (onboardingIsPresented(action) == false)
            return just(actions::popoverIsPresented(true));
        if (const auto* presented = caseIn<PopoverAction::IsPresented>(popoverOf(action))) {
            dispatchWindows(windowsStore,
                AppWindowsAction::Popover { PopoverWindowAction { presented->value } });
            return none();
        }
        if (caseIn<StatusItemAction::DragFrame>(statusItemOf(action))) {
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
        if (const WhatsNewAction* whatsNew = whatsNewOf(action))
            dispatchWindows(windowsStore,
                AppWindowsAction::WhatsNew {
                    SingleInstanceWindowAction::IsPresented { whatsNew->isPresented } });
        return none();
    };
}

AppMiddleware makeDragGestureMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* drag = caseOf<AppAction::DragGesture>(action)) {
            const auto* phase = std::get_if<DragGestureAction::Phase>(&drag->action);
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
        if (const auto* yoyo = caseIn<YoyoAction::Drag>(yoyoOf(action))) {
            if (std::get_if<YoyoDragAction::AnimateOutDidEnd>(&yoyo->action)
                && state.view.yoyo.drag.semaphore == 0) {
                dispatchWindows(windowsStore,
                    AppWindowsAction::YoyoDragFront { YoyoDragFrontWindowAction { false } });
                dispatchWindows(windowsStore,
                    AppWindowsAction::YoyoDragBack {
                        YoyoDragBackWindowAction::IsPresented { false } });
            }
        }
        return none();
    };
}

AppMiddleware viewActionMiddleware(AppWindowsStoreRef windowsStore)
{
    return [windowsStore](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (const auto* scroll = caseIn<YoyoAction::Scroll>(yoyoOf(action))) {
            const auto* presented = std::get_if<YoyoScrollAction::IsPresented>(&scroll->action);
            if (presented && presented->isPresented && state.view.statusItem.scrollFrame)
                dispatchWindows(windowsStore,
                    AppWindowsAction::YoyoScroll { YoyoScrollWindowAction::IsPresented { true } });
        }
        return none();
    };
}

} // namespace tidemark
