#include "AppTestSupport.hpp"

#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"
#include "toolkit/WindowPlacement.hpp"

namespace tidemark {
namespace {

using test::processEvents;

using WindowsTestStore = test::TestStore<AppWindowsState, AppWindowsAction>;

class WindowsStoreTest : public test::ShellFixture {
protected:
    AppWindowsStoreRef windows() { return makeAppWindowsStore(m_windows); }
    WindowsTestStore windowsTestStore(
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        return WindowsTestStore(
            initialAppWindowsState(),
            [environment = m_windows](AppWindowsState& state, const AppWindowsAction& action) {
                appWindowsReducer(state, action, environment);
            },
            {}, where);
    }

    static AppWindowsAction dragDrop(bool enabled)
    {
        return AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { enabled } };
    }
    static AppWindowsAction scroll(bool enabled)
    {
        return AppWindowsAction::ScrollMenuBarExtra { MenuBarExtraAction::IsEnabled { enabled } };
    }
    static AppWindowsAction onboarding(bool presented)
    {
        return AppWindowsAction::Onboarding { SingleInstanceWindowAction::IsPresented {
            presented } };
    }
    static AppWindowsAction popover(bool presented)
    {
        return AppWindowsAction::Popover { PopoverWindowAction { presented } };
    }

    static int hostedViews(const StatusItemRef& item)
    {
        return int(
            item->button()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size());
    }
};

TEST_F(WindowsStoreTest, BeforeTheMainStoreNothingCanBeMadeOrShown)
{
    auto store = windowsTestStore();
    store.send(popover(true));
    EXPECT_EQ(m_activations.count(), 0);

    store.send(onboarding(true));
    EXPECT_EQ(m_madeOnboarding, 0);
    EXPECT_EQ(m_activations.count(), 1); // presenting always activates

    // The status item comes, empty, without overlay windows.
    store.send(dragDrop(true), [](AppWindowsState& s, const AppWindowsState& actual) {
        s.dragDropMenuBarExtra = { true, actual.dragDropMenuBarExtra.item };
    });
    ASSERT_TRUE(store.state().dragDropMenuBarExtra.item);
    EXPECT_EQ(hostedViews(store.state().dragDropMenuBarExtra.item), 0);
}

TEST_F(WindowsStoreTest, EnablingAnExtraMakesOneItemWithItsViewAndItsOwnOverlays)
{
    auto mainStore = makeStore({});
    auto store = windows();
    store->dispatch(AppWindowsAction::Store { mainStore });
    EXPECT_EQ(store->state().store, mainStore);
    ASSERT_TRUE(store->state().popover);
    EXPECT_EQ(m_madePopover, 1);

    store->dispatch(dragDrop(true));
    const MenuBarExtraState& extra = store->state().dragDropMenuBarExtra;
    EXPECT_TRUE(extra.isEnabled);
    ASSERT_EQ(m_bar.items().size(), 1u);
    EXPECT_EQ(m_bar.items().front(), extra.item.get());
    EXPECT_EQ(extra.item->length(), StatusItem::variableLength);
    EXPECT_EQ(hostedViews(extra.item), 1);
    ASSERT_TRUE(store->state().yoyoDragBack);
    ASSERT_TRUE(store->state().yoyoDragFront);
    EXPECT_TRUE(store->state().yoyoDragBack->window);
    EXPECT_FALSE(store->state().yoyoScroll);

    // Enabling again replaces the item and the overlays.
    const WindowRef oldBack = store->state().yoyoDragBack->window;
    store->dispatch(dragDrop(true));
    EXPECT_EQ(m_bar.items().size(), 1u);
    EXPECT_NE(store->state().yoyoDragBack->window, oldBack);

    // The scroll extra brings its window and drops the drag windows.
    store->dispatch(scroll(true));
    EXPECT_EQ(m_bar.items().size(), 2u);
    EXPECT_FALSE(store->state().yoyoDragBack);
    EXPECT_FALSE(store->state().yoyoDragFront);
    ASSERT_TRUE(store->state().yoyoScroll);

    // Disabling drops only the item.
    store->dispatch(scroll(false));
    EXPECT_FALSE(store->state().scrollMenuBarExtra.isEnabled);
    EXPECT_FALSE(store->state().scrollMenuBarExtra.item);
    EXPECT_EQ(m_bar.items().size(), 1u);
    EXPECT_TRUE(store->state().yoyoScroll);
    store->dispatch(AppWindowsAction::TearDown {});
}

TEST_F(WindowsStoreTest, AnExtraWithoutItemIgnoresItsViewAndStaysDisabled)
{
    MenuBarExtraState extra;
    int made = 0;
    const MenuBarExtraEnvironment environment { &m_bar, [&made](const AppStoreRef&) {
                                                   ++made;
                                                   return new QWidget;
                                               } };
    reduceDragDropMenuBarExtra(extra, MenuBarExtraAction::Window { nullptr }, environment);
    reduceScrollMenuBarExtra(extra, MenuBarExtraAction::IsEnabled { false }, environment);
    EXPECT_EQ(extra, MenuBarExtraState {});
    EXPECT_EQ(made, 0);
    EXPECT_TRUE(m_bar.items().empty());

    // Each view is added; earlier ones stay.
    reduceDragDropMenuBarExtra(extra, MenuBarExtraAction::IsEnabled { true }, environment);
    reduceDragDropMenuBarExtra(extra, MenuBarExtraAction::Window { nullptr }, environment);
    reduceDragDropMenuBarExtra(extra, MenuBarExtraAction::Window { nullptr }, environment);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(hostedViews(extra.item), 2);
}

TEST_F(WindowsStoreTest, SingleInstanceWindowsAreMadeOnceAndForgottenWhenClosed)
{
    auto mainStore = makeStore({});
    auto store = windows();
    store->dispatch(onboarding(false));
    EXPECT_EQ(store->state(), initialAppWindowsState());

    store->dispatch(AppWindowsAction::Store { mainStore });
    store->dispatch(onboarding(true));
    const WindowRef first = store->state().onboarding.window;
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->isVisible());
    store->dispatch(onboarding(true));
    EXPECT_EQ(m_madeOnboarding, 1);
    EXPECT_EQ(store->state().onboarding.window, first);
    EXPECT_EQ(m_activations.count(), 2);

    store->dispatch(onboarding(false));
    EXPECT_FALSE(store->state().onboarding.window);
    EXPECT_FALSE(first->isVisible());
    store->dispatch(onboarding(true));
    EXPECT_EQ(m_madeOnboarding, 2);
    EXPECT_NE(store->state().onboarding.window, first);

    store->dispatch(
        AppWindowsAction::WhatsNew { SingleInstanceWindowAction::IsPresented { true } });
    EXPECT_EQ(m_madeWhatsNew, 1);
    EXPECT_TRUE(store->state().whatsNew.window->isVisible());
    store->dispatch(AppWindowsAction::TearDown {});
}

TEST_F(WindowsStoreTest, AWindowTheUserClosesIsDismissedInTheMainState)
{
    auto main = makeTestStore({});
    auto store = windows();
    store->dispatch(AppWindowsAction::Store { main.store() });
    const auto presented = [](bool value) {
        return [value](AppState& s) { s.view.onboarding.isPresented = value; };
    };
    main.send(test::onboardingPresented(true), presented(true));
    store->dispatch(onboarding(true));

    main.receive(test::readNotificationSettings(), test::readingNotificationSettings);
    store->state().onboarding.window->close(); // the title bar's close button
    main.receive(test::onboardingPresented(false), presented(false));

    // Closed by the program, the state already says so: nothing more is sent.
    main.send(test::onboardingPresented(true), presented(true));
    store->dispatch(onboarding(true));
    main.receive(test::readNotificationSettings()); // shown again: read again
    main.send(test::onboardingPresented(false), presented(false));
    store->dispatch(onboarding(false));
    test::drainMainQueue(); // the close's own check runs, and dispatches nothing
    store->dispatch(AppWindowsAction::TearDown {});
}

TEST_F(WindowsStoreTest, ThePopoverIsHighlightedPlacedUnderTheIconAndFronted)
{
    auto mainStore = makeStore({});
    auto store = windows();
    store->dispatch(AppWindowsAction::Store { mainStore });

    // Without the drag-and-drop item nothing is placed or highlighted, but the application is
    // still activated.
    store->dispatch(popover(true));
    EXPECT_EQ(m_activations.count(), 1);
    EXPECT_FALSE(store->state().popover->window->isVisible());

    store->dispatch(dragDrop(true));
    m_bar.layoutNow();
    processEvents();
    StatusBarButton* button = store->state().dragDropMenuBarExtra.item->button();
    store->dispatch(popover(true));
    const WindowRef& panel = store->state().popover->window;
    EXPECT_TRUE(button->isHighlighted());
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(m_activations.count(), 2);
    const Rect icon = button->frameInScreen();
    std::optional<Rect> screen;
    if (const auto underMouse = Screen::underMouse())
        screen = underMouse->frame();
    const Rect size { 0, 0, panel->frame().width(), panel->frame().height() };
    EXPECT_EQ(
        panel->frame(), placedFrame(size, icon, RectEdge::maxY, WindowValet::spacing, screen));
    EXPECT_EQ(panel->frame().minY(), icon.maxY() + WindowValet::spacing);

    store->dispatch(popover(false));
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_FALSE(panel->isVisible());
    // Closed, not rebuilt.
    EXPECT_EQ(store->state().popover->window, panel);
    EXPECT_EQ(m_madePopover, 1);
    store->dispatch(AppWindowsAction::TearDown {});
}

TEST_F(WindowsStoreTest, APopoverWithNowhereToHangIsSetBackToNotPresented)
{
    AppState state = initialState();
    state.view.popover.isPresented = true;
    auto mainStore = makeStore({}, state);
    auto store = windows();
    store->dispatch(AppWindowsAction::Store { mainStore });

    // No status item: the panel stays hidden, and the state must not say it is shown (its
    // one-second timer would run on for nobody).
    store->dispatch(popover(true));
    EXPECT_FALSE(store->state().popover->window->isVisible());
    test::drainMainQueue();
    EXPECT_FALSE(mainStore->state().view.popover.isPresented);

    // With one, it is shown and stays presented.
    store->dispatch(dragDrop(true));
    m_bar.layoutNow();
    processEvents();
    mainStore->dispatch(actions::popoverIsPresented(true));
    store->dispatch(popover(true));
    test::drainMainQueue();
    EXPECT_TRUE(store->state().popover->window->isVisible());
    EXPECT_TRUE(mainStore->state().view.popover.isPresented);
    store->dispatch(AppWindowsAction::TearDown {});
}

TEST_F(WindowsStoreTest, TearingDownClosesEverythingAndLetsTheMainStoreGo)
{
    auto mainStore = makeStore({});
    std::weak_ptr<AppStore> weakMain = mainStore;
    auto store = windows();
    store->dispatch(AppWindowsAction::Store { mainStore });
    store->dispatch(dragDrop(true));
    store->dispatch(onboarding(true));
    store->dispatch(popover(true));
    const WindowRef onboardingWindow = store->state().onboarding.window;
    mainStore.reset();
    EXPECT_FALSE(weakMain.expired());

    store->dispatch(AppWindowsAction::TearDown {});
    // Windows let go are deleted on the next turn of the event loop, as the program does
    // after its teardown.
    processEvents();
    EXPECT_EQ(store->state(), initialAppWindowsState());
    EXPECT_TRUE(m_bar.items().empty());
    EXPECT_FALSE(onboardingWindow->isVisible());
    EXPECT_TRUE(weakMain.expired());
}

} // namespace
} // namespace tidemark
