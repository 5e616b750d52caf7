#include "AppTestSupport.hpp"

#include "app/shell/AppMiddlewares.hpp"
#include "app/shell/StatusItemDragMiddleware.hpp"
#include "entry/views/DataEntryControls.hpp"
#include "entry/views/ScrollDataEntryCard.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "entry/views/YoyoScrollFrontView.hpp"
#include "entry/views/YoyoScrollWindow.hpp"
#include "platform/ui/FrameClock.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tidemark {
namespace {

AppAction scrollDelta(Size delta)
{
    return AppAction::ScrollGesture { ScrollGestureAction::DeltaTranslation { delta } };
}
AppAction notch()
{
    return scrollDelta(Size { 0, 24 });
}
AppAction scrollPresented(bool value)
{
    return actions::viewAction(
        ViewAction::Yoyo { YoyoAction::Scroll { YoyoScrollAction::IsPresented { value } } });
}
AppAction scrollCardPresented(bool value)
{
    return actions::viewAction(ViewAction::Yoyo {
        YoyoAction::Scroll { YoyoScrollAction::DataEntryIsPresented { value } } });
}
AppAction create(const AnyReminder& reminder)
{
    return actions::itemsAction(RemindersItemsAction::create(
        RemindersItemsAction::CreateAction::submit(std::set<AnyReminder> { reminder })));
}

// A create request as the reducer takes it.
void takeRequest(AppState& expected, const AppState& actual)
{
    expected.remindersStore = actual.remindersStore;
}

// Whatever a step did to the scroll slice and the reminder being entered (checked on their
// own afterwards).
void takeScrollAndEntry(AppState& expected, const AppState& actual)
{
    expected.scrollGesture = actual.scrollGesture;
    expected.dataEntry = actual.dataEntry;
}

// The scroll entry's window on the windows store over a test store with the window
// middleware, the status item's scroll frame known, on a frame clock the test moves.
class ScrollEntryTest : public test::ShellFixture {
protected:
    ScrollEntryTest() { setFrameClock(&m_frames); }

    void TearDown() override
    {
        m_windowsStore->dispatch(AppWindowsAction::TearDown {});
        ShellFixture::TearDown();
        setFrameClock(nullptr);
    }

    static AppState stateWithScrollFrame()
    {
        AppState state = initialState();
        state.view.statusItem.scrollFrame = Rect(700, 0, 56, 24);
        return state;
    }

    // Enables the scroll extra with the test store as the main store; the extra, laid out
    // in the strip, reports where it stands.
    WindowRef openWindowsStore(test::AppTestStore& store)
    {
        m_windowsStore->dispatch(AppWindowsAction::Store { store.store() });
        m_windowsStore->dispatch(
            AppWindowsAction::ScrollMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
        m_bar.layoutNow();
        test::processEvents();
        // Set-up, not under test here: the reports as the strip takes its place (and the
        // frames measured from them, where the frame middleware runs).
        store.skipReceivedActions();
        StatusBarButton* button = m_windowsStore->state().scrollMenuBarExtra.item->button();
        EXPECT_EQ(store.state().view.statusItem.scrollBounds, button->frameInScreen())
            << "the extra reports where it stands on screen, filling its button";
        return m_windowsStore->state().yoyoScroll->window;
    }

    // Notches until the card shows its controls, each one checked; the first one starts
    // the entry. Returns the entry's reminder.
    AnyReminder scrollOpen(test::AppTestStore& store, int notches)
    {
        for (int i = 0; i < notches; ++i) {
            store.send(notch(), takeScrollAndEntry);
            store.receive(
                scrollPresented(true), [](AppState& s) { s.view.yoyo.scroll.isPresented = true; });
            store.receive(scrollCardPresented(true), [](AppState& s, const AppState& actual) {
                s.view.yoyo.scroll.dataEntryIsPresented = true;
                takeScrollAndEntry(s, actual);
            });
        }
        test::drainMainQueue();
        return *store.state().dataEntry.editing;
    }

    ManualFrameClock m_frames;
    AppWindowsStoreRef m_windowsStore = makeAppWindowsStore(m_windows);
};

TEST_F(ScrollEntryTest, NotchesOpenTheEntryEachOneCountsAndTheIntervalFollowsTheRule)
{
    auto store = makeTestStore({ viewActionMiddleware(m_windowsStore) }, stateWithScrollFrame());
    const WindowRef window = openWindowsStore(store);
    YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);
    ASSERT_TRUE(front);
    EXPECT_FALSE(window->isVisible()) << "nothing shows before a scroll";

    // The first notch opens the window and starts the entry, and does not count for the
    // interval; the next ones, equal as they are, each count once.
    std::vector<double> sums;
    std::vector<TimeInterval> intervals;
    for (int i = 0; i < 23; ++i) {
        scrollOpen(store, 1);
        sums.push_back(front->model().additiveTranslation.height);
        intervals.push_back(duration(*store.state().dataEntry.editing).value_or(0));
        if (i == 0) {
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(store.state().scrollGesture.startDate, m_clock->now());
        }
    }
    for (std::size_t i = 1; i < sums.size(); ++i)
        EXPECT_GT(sums[i], sums[i - 1]) << "notch " << i << " was dropped";
    EXPECT_EQ(intervals[0], 0);
    EXPECT_EQ(intervals[1], 3);
    EXPECT_EQ(intervals[20], 60);
    EXPECT_EQ(intervals[22], 420) << "22 counted notches of 24 points";
    EXPECT_TRUE(front->model().controlsArePresented);
    EXPECT_FALSE(window->inputRegion().value_or(Rect {}).isEmpty())
        << "the open card takes the pointer";
}

// Types `text` into the card's title field, each keystroke checked.
void typeTitle(test::AppTestStore& store, QLineEdit* field, const std::string& text)
{
    for (std::size_t n = 1; n <= text.size(); ++n) {
        QTest::keyClick(field, text[n - 1]);
        AnyReminder typed = *store.state().dataEntry.editing;
        typed.title = text.substr(0, n);
        store.receive(AppAction::DataEntry { DataEntryAction::Editing { typed } },
            [typed](AppState& s) { s.dataEntry.editing = typed; });
    }
}

TEST_F(ScrollEntryTest, SaveReturnAndResigningKeyInOneTurnCreateOneReminder)
{
    auto store = makeTestStore({ viewActionMiddleware(m_windowsStore) }, stateWithScrollFrame());
    const WindowRef window = openWindowsStore(store);
    YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);
    scrollOpen(store, 4);
    ScrollDataEntryWidget* card = front->card();
    typeTitle(store, card->timeView()->titleField(), "Call back");
    const AnyReminder entered = *store.state().dataEntry.editing;
    ASSERT_EQ(duration(entered), 9);

    // All in one turn: the save control, Return in the title field, and another window
    // taking the keyboard.
    card->controls()->saveButton()->click();
    QTest::keyClick(card->timeView()->titleField(), Qt::Key_Return);
    Q_EMIT window->didResignKey();

    store.receive(create(entered), takeRequest);
    store.receive(scrollCardPresented(false), [](AppState& s) {
        s.view.yoyo.scroll.dataEntryIsPresented = false;
        s.scrollGesture.startDate.reset();
    });
    store.receive(
        scrollPresented(false), [](AppState& s) { s.view.yoyo.scroll.isPresented = false; });
    test::drainMainQueue();
    EXPECT_FALSE(window->isVisible()) << "dismissed: the window closes at once";

    // The collapse ends with the card at rest and nothing more to send.
    m_frames.runUntilIdle();
    test::drainMainQueue();
    EXPECT_FALSE(front->isCollapsing());
    EXPECT_EQ(front->model().additiveTranslation, (Size { 0, 0 }));
}

TEST_F(ScrollEntryTest, SavingClosesTheWindowAfterTheCollapseAndTheNextEntryStartsAfresh)
{
    auto store = makeTestStore({ viewActionMiddleware(m_windowsStore) }, stateWithScrollFrame());
    const WindowRef window = openWindowsStore(store);
    YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);
    const ScrollDataEntryView::AnimationViewModel firstNotch = [&] {
        scrollOpen(store, 1);
        return front->model();
    }();
    scrollOpen(store, 3);
    const AnyReminder entered = *store.state().dataEntry.editing;

    QTest::keyClick(front->card()->timeView()->titleField(), Qt::Key_Return);
    store.receive(create(entered), takeRequest);
    store.receive(scrollCardPresented(false), [](AppState& s) {
        s.view.yoyo.scroll.dataEntryIsPresented = false;
        s.scrollGesture.startDate.reset();
    });
    test::drainMainQueue();
    EXPECT_TRUE(window->isVisible()) << "the card collapses in view";
    EXPECT_TRUE(front->isCollapsing());

    m_frames.runUntilIdle();
    store.receive(
        scrollPresented(false), [](AppState& s) { s.view.yoyo.scroll.isPresented = false; });
    EXPECT_FALSE(window->isVisible()) << "closed once the card is back at rest";
    EXPECT_EQ(front->cardFrame().size, (Size { 16, 16 }));
    EXPECT_EQ(window->inputRegion(), std::optional<Rect>(Rect {}))
        << "at rest the window takes no pointer";

    // The next entry's first notch opens the card as the first one did, not fully.
    scrollOpen(store, 1);
    EXPECT_EQ(front->model().maxSize, firstNotch.maxSize);
    EXPECT_EQ(front->model().controlsArePresented, firstNotch.controlsArePresented);
    EXPECT_NE(store.state().dataEntry.editing->id, entered.id) << "a new reminder";
}

TEST_F(ScrollEntryTest, CancelCreatesNothingAndADismissalAtRestSavesNothing)
{
    auto store = makeTestStore({ viewActionMiddleware(m_windowsStore) }, stateWithScrollFrame());
    const WindowRef window = openWindowsStore(store);
    YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);

    // Dismissed with the card at rest: nothing is saved.
    store.send(scrollPresented(false));
    test::drainMainQueue();

    scrollOpen(store, 4);
    front->card()->controls()->cancelButton()->click();
    store.receive(scrollCardPresented(false), [](AppState& s) {
        s.view.yoyo.scroll.dataEntryIsPresented = false;
        s.scrollGesture.startDate.reset();
    });
    // Saving in the same turn finds the entry let go.
    front->save();
    Q_EMIT window->didResignKey();
    store.receive(
        scrollPresented(false), [](AppState& s) { s.view.yoyo.scroll.isPresented = false; });
    m_frames.runUntilIdle();
    test::drainMainQueue();
    EXPECT_FALSE(window->isVisible());

    // Scrolled back up to rest: the entry ends and its window closes, nothing is saved.
    scrollOpen(store, 1);
    store.send(scrollDelta(Size { 0, -240 }), takeScrollAndEntry);
    store.receive(scrollCardPresented(false), [](AppState& s) {
        s.view.yoyo.scroll.dataEntryIsPresented = false;
        s.scrollGesture.startDate.reset();
    });
    store.receive(
        scrollPresented(false), [](AppState& s) { s.view.yoyo.scroll.isPresented = false; });
    test::drainMainQueue();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ScrollEntryTest, TheWindowTakesThePointerOverTheCardAndTheKeyboardOnceTheTitleShows)
{
    auto store = makeTestStore({ viewActionMiddleware(m_windowsStore) }, stateWithScrollFrame());
    const WindowRef window = openWindowsStore(store);
    YoyoScrollFrontWidget* front = yoyoScrollFrontView(window);
    // The item's frame in the window as the first notch places it (the frame middleware's
    // measure, not under test here).
    const std::optional<Screen> screen = Screen::underMouse();
    ASSERT_TRUE(screen);
    const Rect placed = YoyoScrollFrontView::windowFrame(
        screen->frame(), store.state().view.statusItem.scrollBounds, front->reach());
    const Rect item = store.state().view.statusItem.scrollBounds.offsetBy(-placed.x(), -placed.y());
    store.send(
        actions::viewAction(ViewAction::StatusItem { StatusItemAction::ScrollFrame { item } }),
        [&](AppState& s) { s.view.statusItem.scrollFrame = item; });
    EXPECT_TRUE(window->canBecomeKey());
    EXPECT_FALSE(window->ignoresMouseEvents());

    // A small scroll: the card follows, no title field yet, no keyboard.
    store.send(scrollDelta(Size { 0, 2 }), takeScrollAndEntry);
    store.receive(
        scrollPresented(true), [](AppState& s) { s.view.yoyo.scroll.isPresented = true; });
    store.receive(scrollCardPresented(true), [](AppState& s, const AppState& actual) {
        s.view.yoyo.scroll.dataEntryIsPresented = true;
        takeScrollAndEntry(s, actual);
    });
    test::drainMainQueue();
    m_frames.runUntilIdle();
    ASSERT_TRUE(window->isVisible());
    EXPECT_FALSE(front->model().labelIsPresented);
    EXPECT_FALSE(window->isActiveWindow());
    const std::optional<Rect> input = window->inputRegion();
    ASSERT_TRUE(input);
    EXPECT_EQ(*input, front->cardFrame()) << "the pointer only over the card";
    EXPECT_EQ(window->frame(), placed);
    EXPECT_EQ(input->center().x, item.midX()) << "under the item's centre";

    // The card opens with several values in motion at once: it lays itself out and the
    // window reshapes once a frame, and the region stays with the card in every frame.
    ScrollDataEntryWidget* card = front->card();
    int reports = 0;
    const QMetaObject::Connection counting
        = QObject::connect(card, &ScrollDataEntryWidget::shownChanged, [&] { ++reports; });
    scrollOpen(store, 1);
    int frames = 0;
    for (; m_frames.isRunning() && frames < 1000; ++frames) {
        const int before = reports;
        m_frames.advance(1.0 / 60);
        EXPECT_LE(reports - before, 1) << "frame " << frames;
        EXPECT_EQ(*window->inputRegion(), front->cardFrame()) << "frame " << frames;
    }
    QObject::disconnect(counting);
    EXPECT_GT(frames, 5);
    EXPECT_TRUE(front->model().labelIsPresented);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), 5000)) << "the title takes typing";
    EXPECT_EQ(*window->inputRegion(), front->cardFrame()) << "the region follows the card";
}

TEST_F(ScrollEntryTest, TheExtrasFrameReportIsMeasuredForTheWindowAtOnce)
{
    // No scroll yet, so no presentation asked for the measure: the report alone set it.
    auto store = makeTestStore({ makeStatusItemDragMiddleware(m_windowsStore) });
    const WindowRef window = openWindowsStore(store);
    const Rect bounds = store.state().view.statusItem.scrollBounds;
    const Point origin = window->contentRect().origin;
    EXPECT_EQ(store.state().view.statusItem.scrollFrame,
        std::optional<Rect>(bounds.offsetBy(-origin.x, -origin.y)));
    // Measured into the window as the report placed it: around the item, not the screen.
    const std::optional<Screen> screen = Screen::underMouse();
    ASSERT_TRUE(screen);
    EXPECT_TRUE(window->frame().contains(bounds));
    EXPECT_LT(window->frame().width(), screen->frame().width());
    EXPECT_EQ(window->frame().minY(), screen->frame().minY());
}

TEST(YoyoScrollWindow, PlacesFrontsWithoutTheKeyboardAndCloses)
{
    YoyoScrollWindowState none;
    none.reduce(YoyoScrollWindowActionCases::IsPresented { true }); // no window: nothing

    YoyoScrollWindowState state { makeYoyoOverlayWindow(true) };
    const WindowRef window = state.window;
    window->setFrame(Rect(5, 5, 10, 10));
    const std::optional<Screen> screen = Screen::underMouse();
    ASSERT_TRUE(screen);

    state.reduce(YoyoScrollWindowActionCases::PreparePresentation {});
    EXPECT_EQ(window->frame(), screen->frame());
    EXPECT_FALSE(window->isVisible()) << "placed, not shown";

    window->setFrame(Rect(5, 5, 10, 10));
    for (int i = 0; i < 2; ++i) {
        state.reduce(YoyoScrollWindowActionCases::IsPresented { true });
        EXPECT_EQ(state.window, window) << "the same window each time";
        EXPECT_EQ(window->frame(), screen->frame());
        EXPECT_TRUE(window->isVisible());
    }
    state.reduce(YoyoScrollWindowActionCases::IsPresented { false });
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(state.window, window) << "kept for the next entry";
}

} // namespace
} // namespace tidemark
