#include "AppTestSupport.hpp"

#include "app/shell/StatusItemDragMiddleware.hpp"
#include "onboarding/views/OnboardingControlsWidget.hpp"
#include "onboarding/views/OnboardingWindow.hpp"

#include <algorithm>

namespace tidemark {
namespace {

using test::onboardingPresented;
using test::readingNotificationSettings;
using test::readNotificationSettings;
using test::settingsPresented;
using test::whatsNewPresented;

std::vector<AppAction> collect(const std::optional<rx::Publisher<AppAction>>& publisher)
{
    std::vector<AppAction> values;
    if (publisher)
        publisher->sink([&values](const AppAction& action) { values.push_back(action); });
    return values;
}

UserSettings storedSettings(
    std::optional<std::string> onboarding, std::optional<std::string> whatsNew)
{
    UserSettings settings;
    settings.onboarding.lastPresentedVersion = std::move(onboarding);
    settings.whatsNew.lastPresentedVersion = std::move(whatsNew);
    return settings;
}

TEST(LaunchPresentations, FollowTheStoredVersions)
{
    struct Case {
        const char* name;
        std::optional<std::string> onboarding;
        std::optional<std::string> whatsNew;
        std::string current;
        std::vector<AppAction> expected;
    };
    const Case cases[] = {
        { "first start: onboarding only", std::nullopt, std::nullopt, "1.2.5",
            { onboardingPresented(true) } },
        { "an update: what's new", "1.0", "1.2.4", "1.2.5", { whatsNewPresented(true) } },
        { "the same version: nothing", "1.0", "1.2.5", "1.2.5", {} },
        { "a later version was shown: nothing", "1.0", "1.3", "1.2.5", {} },
        { "numbers, not text: 1.10 is above 1.9", "1.0", "1.10", "1.9", {} },
        { "numbers, not text: 1.9 is below 1.10", "1.0", "1.9", "1.10",
            { whatsNewPresented(true) } },
        { "both: onboarding first", std::nullopt, "1.2.4", "1.2.5",
            { onboardingPresented(true), whatsNewPresented(true) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState state = test::ShellFixture::initialState();
        state.view.whatsNew.version = c.current;
        EXPECT_EQ(
            collect(launchPresentationsPublisher(storedSettings(c.onboarding, c.whatsNew), state)),
            c.expected);
    }
}

class AppMiddlewaresTest : public test::ShellFixture {
protected:
    AppWindowsStoreRef m_windowsStore = makeAppWindowsStore(m_windows);

    void TearDown() override
    {
        m_windowsStore->dispatch(AppWindowsAction::TearDown {});
        ShellFixture::TearDown();
    }
};

TEST_F(AppMiddlewaresTest, TheSettingsReadPresentsOnceItSucceeds)
{
    auto store = makeTestStore({ makeAppCommandsMiddleware(AppCommandsEnvironment {}) });
    store.send(actions::settingsRead(SettingsReadAction::submit({})),
        [](AppState& s) { s.settings.submit.status = Status::loading; });
    store.send(actions::settingsRead(SettingsReadAction::failure(Error { "unreadable" })),
        [](AppState& s) {
            s.settings.submit = { Error { "unreadable" }, Status::completed };
        });

    // A first start after an update: onboarding, then what's new. (A success leaves the
    // error of the failure before it.)
    const UserSettings stored = storedSettings(std::nullopt, "1.2.4");
    store.send(actions::settingsRead(SettingsReadAction::success(stored)), [&](AppState& s) {
        s.reminders.automaticRemoval.isEnabled = stored.reminders.automaticRemoval.isEnabled;
        s.reminders.automaticRemoval.date = stored.reminders.automaticRemoval.date;
    });
    store.receive(
        onboardingPresented(true), [](AppState& s) { s.view.onboarding.isPresented = true; });
    store.receive(whatsNewPresented(true), [](AppState& s) { s.view.whatsNew.isPresented = true; });
}

TEST_F(AppMiddlewaresTest, QuitTerminatesAndHelpOpensTheSupportPageOnlyWhenAsked)
{
    int terminated = 0;
    std::vector<std::string> opened;
    AppCommandsEnvironment environment { [&terminated] { ++terminated; },
        [&opened](const std::string& address) { opened.push_back(address); },
        "https://tidemark.example/support" };
    {
        auto store = makeTestStore({ makeAppCommandsMiddleware(environment) });
        store.send(actions::viewAction(ViewAction::HelpIsPresented { false }));
        EXPECT_TRUE(opened.empty());
        store.send(actions::viewAction(ViewAction::HelpIsPresented { true }));
        EXPECT_EQ(opened, std::vector<std::string> { "https://tidemark.example/support" });
        store.send(actions::viewAction(ViewAction::Quit {}));
        EXPECT_EQ(terminated, 1);
    }
    environment.supportAddress = "not an address";
    auto invalid = makeTestStore({ makeAppCommandsMiddleware(environment) });
    invalid.send(actions::viewAction(ViewAction::HelpIsPresented { true }));
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(AppMiddlewaresTest, TheApplicationIsRegularWhileOneOfItsWindowsIsPresented)
{
    auto store = makeStore({ activationPolicyMiddleware() });
    m_application.setActivationPolicy(ActivationPolicy::accessory);
    const struct {
        AppAction action;
        ActivationPolicy expected;
    } script[] = {
        { onboardingPresented(true), ActivationPolicy::regular },
        { settingsPresented(true), ActivationPolicy::regular },
        { settingsPresented(false), ActivationPolicy::regular }, // onboarding still shows
        { whatsNewPresented(true), ActivationPolicy::regular },
        { onboardingPresented(false), ActivationPolicy::regular }, // what's new still shows
        { whatsNewPresented(false), ActivationPolicy::accessory },
        { settingsPresented(true), ActivationPolicy::regular },
        { settingsPresented(false), ActivationPolicy::accessory },
    };
    for (std::size_t i = 0; i < std::size(script); ++i) {
        SCOPED_TRACE(i);
        store->dispatch(script[i].action);
        EXPECT_EQ(m_application.activationPolicy(), script[i].expected);
    }
    // Other actions leave the policy alone, even when it no longer matches.
    m_application.setActivationPolicy(ActivationPolicy::regular);
    store->dispatch(actions::popoverIsPresented(true));
    EXPECT_EQ(m_application.activationPolicy(), ActivationPolicy::regular);
}

TEST_F(AppMiddlewaresTest, ThePopoverOpensByItselfOnlyAfterAStartByTheUser)
{
    struct Case {
        const char* name;
        std::optional<bool> launchedAsLoginItem;
        bool wasPresented;
        bool onboarding;
        bool whatsNew;
        bool opens;
    };
    const Case cases[] = {
        { "started by the user", false, false, false, false, true },
        { "not known yet how it started", std::nullopt, false, false, false, false },
        { "started at login", true, false, false, false, false },
        { "already opened since the start", false, true, false, false, false },
        { "over onboarding", false, false, true, false, false },
        { "over what's new", false, false, false, true, false },
    };
    const Rect frame { 10, 0, 24, 24 };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState state = initialState();
        state.view.popover.launchedAsLoginItem = c.launchedAsLoginItem;
        state.view.popover.wasPresentedSinceAppLaunch = c.wasPresented;
        state.view.onboarding.isPresented = c.onboarding;
        state.view.whatsNew.isPresented = c.whatsNew;
        auto store = makeTestStore({ popoverPresentationMiddleware(m_windowsStore) }, state);
        store.send(test::statusItem(StatusItemAction::DragFrame { frame }),
            [&](AppState& s) { s.view.statusItem.dragFrame = frame; });
        if (c.opens) {
            store.receive(actions::popoverIsPresented(true), [](AppState& s) {
                s.view.popover.isPresented = true;
                s.view.popover.wasPresentedSinceAppLaunch = true;
            });
        }
    }
}

TEST_F(AppMiddlewaresTest, TheIconIsMeasuredAgainOnceItIsKnownHowTheProgramStarted)
{
    // The icon was laid out, and measured, before the start was known: without a second
    // measure the popover would never open by itself.
    auto store = makeStore({ makeStatusItemDragMiddleware(m_windowsStore),
        popoverPresentationMiddleware(m_windowsStore) });
    m_windowsStore->dispatch(AppWindowsAction::Store { store });
    m_windowsStore->dispatch(
        AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    store->dispatch(test::statusItem(StatusItemAction::UpdateDragFrame {}));
    test::mainQueue().drain();
    ASSERT_TRUE(store->state().view.statusItem.dragFrame);
    EXPECT_FALSE(store->state().view.popover.isPresented);

    store->dispatch(
        actions::viewAction(ViewAction::Popover { PopoverAction::LaunchedAsLoginItem { false } }));
    test::mainQueue().drain();
    EXPECT_TRUE(store->state().view.popover.isPresented);
}

TEST_F(AppMiddlewaresTest, ClosingOnboardingAsksForThePopoverWhichTheWindowsStoreShows)
{
    AppState state = initialState();
    state.view.onboarding.isPresented = true;
    auto store = makeTestStore({ popoverPresentationMiddleware(m_windowsStore) }, state);
    m_windowsStore->dispatch(AppWindowsAction::Store { store.store() });
    m_windowsStore->dispatch(
        AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    // The status item tells the store where it stands once it is placed.
    Rect placed;
    store.receiveMatching(
        "the status item's frame",
        [&](const AppAction& action) {
            const auto* frame = caseAt<AppAction::View, ViewAction::StatusItem,
                StatusItemAction::Zevovozo, ZevovozoAction::Frame>(action);
            if (frame)
                placed = frame->frame;
            return frame && frame->frame.size.width > 0;
        },
        [&](AppState& s) { s.view.statusItem.zevovozo.frame = placed; });

    store.send(
        onboardingPresented(false), [](AppState& s) { s.view.onboarding.isPresented = false; });
    store.receive(actions::popoverIsPresented(true), [](AppState& s) {
        s.view.popover.isPresented = true;
        s.view.popover.wasPresentedSinceAppLaunch = true;
    });
    EXPECT_TRUE(m_windowsStore->state().popover->window->isVisible());
    EXPECT_TRUE(m_windowsStore->state().dragDropMenuBarExtra.item->button()->isHighlighted());

    store.send(actions::popoverIsPresented(false),
        [](AppState& s) { s.view.popover.isPresented = false; });
    EXPECT_FALSE(m_windowsStore->state()
                     .popover->window->isVisible()); // The panel's views hear the store on the main
                                                     // queue; they send it nothing.
    test::mainQueue().drain();
}

TEST_F(AppMiddlewaresTest, OnboardingAndWhatsNewWindowsFollowTheirPresentation)
{
    auto store = makeTestStore(
        { windowActivationMiddleware(m_windowsStore), whatsNewMiddleware(m_windowsStore) });
    m_windowsStore->dispatch(AppWindowsAction::Store { store.store() });

    store.send(
        onboardingPresented(true), [](AppState& s) { s.view.onboarding.isPresented = true; });
    store.receive(readNotificationSettings(), readingNotificationSettings);
    store.send(whatsNewPresented(true), [](AppState& s) { s.view.whatsNew.isPresented = true; });
    ASSERT_TRUE(m_windowsStore->state().onboarding.window);
    ASSERT_TRUE(m_windowsStore->state().whatsNew.window);
    EXPECT_TRUE(m_windowsStore->state().whatsNew.window->isVisible());

    store.send(
        onboardingPresented(false), [](AppState& s) { s.view.onboarding.isPresented = false; });
    store.send(whatsNewPresented(false), [](AppState& s) { s.view.whatsNew.isPresented = false; });
    EXPECT_FALSE(m_windowsStore->state().onboarding.window);
    EXPECT_FALSE(m_windowsStore->state().whatsNew.window);
    test::drainMainQueue(); // the closes' own checks run, and dispatch nothing
}

TEST_F(AppMiddlewaresTest, EachWayOfClosingOnboardingEndsItOnceAndOpensThePopoverOnce)
{
    struct Case {
        const char* name;
        std::function<void(QWidget& window, OnboardingControlsWidget& controls)> close;
    };
    const Case cases[] = {
        { "the Close button",
            [](QWidget&, OnboardingControlsWidget& controls) {
                controls.trailing()->primaryButton(OnboardingPrimaryButton::close)->click();
            } },
        { "Return on Close",
            [](QWidget&, OnboardingControlsWidget& controls) {
                EXPECT_TRUE(controls.trailing()->pressDefaultButton());
            } },
        { "the title bar's close button",
            [](QWidget& window, OnboardingControlsWidget&) { window.close(); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppWindowsStoreRef windows = makeAppWindowsStore(m_windows);
        std::vector<AppAction> dispatched;
        AppState state = initialState();
        state.view.onboarding.selection = OnboardingPage::completion;
        auto store = makeStore(
            { [&dispatched](const AppState&,
                  const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                 dispatched.push_back(action);
                 return rx::Publisher<AppAction>(rx::Empty<AppAction>());
             },
                windowActivationMiddleware(windows), popoverPresentationMiddleware(windows) },
            state);
        windows->dispatch(AppWindowsAction::Store { store });
        windows->dispatch(
            AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
        store->dispatch(onboardingPresented(true));
        store->dispatch(actions::viewAction(
            ViewAction::Onboarding { OnboardingAction::Selection { OnboardingPage::completion } }));
        test::drainMainQueue();
        test::processEvents();
        QWidget* window = windows->state().onboarding.window.get();
        ASSERT_TRUE(window);
        // The views are plain widgets without meta-objects: found by their place.
        OnboardingControlsWidget* controls = nullptr;
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (auto* container = dynamic_cast<OnboardingContainerView*>(child))
                controls = container->view()->controls();
        }
        ASSERT_TRUE(controls);
        ASSERT_EQ(controls->trailing()->shownPrimaryButton(), OnboardingPrimaryButton::close);
        dispatched.clear();

        c.close(*window, *controls);
        for (int i = 0; i < 3; ++i) {
            test::drainMainQueue();
            test::processEvents();
        }
        EXPECT_EQ(std::count(dispatched.begin(), dispatched.end(), onboardingPresented(false)), 1);
        EXPECT_EQ(
            std::count(dispatched.begin(), dispatched.end(), actions::popoverIsPresented(true)), 1);
        EXPECT_FALSE(store->state().view.onboarding.isPresented);
        EXPECT_FALSE(windows->state().onboarding.window);
        windows->dispatch(AppWindowsAction::TearDown {});
    }
}

TEST_F(AppMiddlewaresTest, ASourcesReadOnTheSyncPageFrontsOnboardingAgainAfterADelay)
{
    auto store = makeTestStore({ windowActivationMiddleware(m_windowsStore) });
    m_windowsStore->dispatch(AppWindowsAction::Store { store.store() });
    store.send(
        onboardingPresented(true), [](AppState& s) { s.view.onboarding.isPresented = true; });
    store.receive(readNotificationSettings(), readingNotificationSettings);
    const AppAction answered = actions::sourcesAction(RemindersSourcesAction::Read {
        SubmittableAction<EquatableVoid, RemindersStore::Sources>::failure(Error { "denied" }) });

    // Not on the sync page: nothing is scheduled.
    const int before = m_activations.count();
    store.send(answered, [](AppState& s) {
        s.remindersStore.sources.status = Status::completed;
        s.remindersStore.sources.error = Error { "denied" };
    });
    test::timers().fire();
    EXPECT_EQ(m_activations.count(), before);

    store.send(actions::viewAction(
                   ViewAction::Onboarding { OnboardingAction::Selection { OnboardingPage::sync } }),
        [](AppState& s) { s.view.onboarding.selection = OnboardingPage::sync; });
    m_windowsStore->state().onboarding.window->hide(); // covered by the access prompt
    store.send(answered);
    EXPECT_EQ(m_activations.count(), before);
    test::timers().fire();
    EXPECT_EQ(m_activations.count(), before + 1);
    EXPECT_TRUE(m_windowsStore->state().onboarding.window->isVisible());
    store.receive(readNotificationSettings()); // the pane is shown again: it reads again
    // One step only.
    test::drainMainQueue();
    test::timers().fire();
    EXPECT_EQ(m_activations.count(), before + 1);
    EXPECT_EQ(test::timers().running(), 0u);
}

TEST_F(AppMiddlewaresTest, DragOverlaysOpenWithAKnownFrameAndCloseAfterTheLastAnimateOut)
{
    auto store = makeStore({ makeDragGestureMiddleware(m_windowsStore) });
    m_windowsStore->dispatch(AppWindowsAction::Store { store });
    m_windowsStore->dispatch(
        AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    const WindowRef back = m_windowsStore->state().yoyoDragBack->window;
    const WindowRef front = m_windowsStore->state().yoyoDragFront->window;
    const AppAction changed
        = AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::changed } };
    const AppAction animateOutDidEnd = actions::viewAction(
        ViewAction::Yoyo { YoyoAction::Drag { YoyoDragAction::AnimateOutDidEnd {} } });

    store->dispatch(changed);
    EXPECT_FALSE(back->isVisible());
    EXPECT_FALSE(front->isVisible());

    store->dispatch(test::statusItem(StatusItemAction::DragFrame { { 10, 0, 24, 24 } }));
    store->dispatch(
        AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::begin } });
    store->dispatch(
        AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::begin } });
    store->dispatch(changed);
    EXPECT_TRUE(back->isVisible());
    EXPECT_TRUE(front->isVisible());

    // Two drags began; the first animate-out leaves the windows open, the second closes them.
    store->dispatch(animateOutDidEnd);
    EXPECT_EQ(store->state().view.yoyo.drag.semaphore, 1);
    EXPECT_TRUE(back->isVisible());
    store->dispatch(animateOutDidEnd);
    EXPECT_FALSE(back->isVisible());
    EXPECT_FALSE(front->isVisible());
}

TEST_F(AppMiddlewaresTest, TheScrollWindowOpensOnlyWithAKnownScrollFrameAndClosesAfterTheEntry)
{
    auto store = makeStore({ viewActionMiddleware(m_windowsStore) });
    m_windowsStore->dispatch(AppWindowsAction::Store { store });
    m_windowsStore->dispatch(
        AppWindowsAction::ScrollMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
    const WindowRef window = m_windowsStore->state().yoyoScroll->window;
    const AppAction present = actions::viewAction(
        ViewAction::Yoyo { YoyoAction::Scroll { YoyoScrollAction::IsPresented { true } } });

    store->dispatch(present);
    EXPECT_FALSE(window->isVisible());
    store->dispatch(test::statusItem(StatusItemAction::ScrollFrame { { 10, 0, 24, 24 } }));
    store->dispatch(present);
    EXPECT_TRUE(window->isVisible());
    // The entry is over: its window closes (else it would stay over the screen for good).
    store->dispatch(actions::viewAction(
        ViewAction::Yoyo { YoyoAction::Scroll { YoyoScrollAction::IsPresented { false } } }));
    EXPECT_FALSE(window->isVisible());
}

} // namespace
} // namespace tidemark
