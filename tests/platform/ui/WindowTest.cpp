#include "platform/ui/Window.hpp"
#include "platform/ui/Application.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QApplication>
#include <QBackingStore>
#include <QCursor>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

#ifdef TIDEMARK_HAVE_XCB
#include <xcb/xcb.h>
#endif

namespace tidemark {
namespace {

void processEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(WindowTraits, MapToTheWindowFlagsOfEachKind)
{
    struct Case {
        const char* name;
        WindowTraits traits;
        Qt::WindowFlags expected;
    };
    const Qt::WindowFlags frameless = Qt::Tool | Qt::FramelessWindowHint;
    const Case cases[] = {
        { "normal window", { WindowKind::normal, WindowLevel::normal, false, true, true },
            Qt::Window },
        { "tool panel", { WindowKind::panel, WindowLevel::floating, false, true, true },
            frameless | Qt::WindowStaysOnTopHint },
        { "overlay that ignores the mouse",
            { WindowKind::overlay, WindowLevel::status, true, false, false },
            frameless | Qt::WindowStaysOnTopHint | Qt::WindowTransparentForInput
                | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint },
        { "overlay that takes the keyboard",
            { WindowKind::overlay, WindowLevel::status, false, true, false },
            frameless | Qt::WindowStaysOnTopHint | Qt::NoDropShadowWindowHint },
    };
    for (const Case& c : cases)
        EXPECT_EQ(qtWindowFlags(c.traits), c.expected) << c.name;
}

TEST(Window, OverlayIsTranslucentAndNeverActivatesByDefault)
{
    Window overlay(WindowKind::overlay);
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(overlay.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(overlay.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(overlay.windowFlags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_FALSE(overlay.appearsInTaskbar());
    EXPECT_FALSE(overlay.testAttribute(Qt::WA_QuitOnClose));
}

TEST(Window, ChangingInputTransparencyOfAShownWindowKeepsItShownInPlace)
{
    Window overlay(WindowKind::overlay);
    overlay.setFrame(Rect(40, 30, 200, 100));
    overlay.orderFrontRegardless();
    ASSERT_TRUE(overlay.isVisible());

    overlay.setIgnoresMouseEvents(true);
    EXPECT_TRUE(overlay.windowFlags().testFlag(Qt::WindowTransparentForInput));
    ASSERT_NE(overlay.windowHandle(), nullptr);
    EXPECT_TRUE(overlay.windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(overlay.isVisible());
    EXPECT_EQ(overlay.frame(), Rect(40, 30, 200, 100));

    overlay.setIgnoresMouseEvents(false);
    EXPECT_FALSE(overlay.windowHandle()->flags().testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(overlay.isVisible());

    overlay.setCanBecomeKey(true);
    EXPECT_FALSE(overlay.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_FALSE(overlay.testAttribute(Qt::WA_ShowWithoutActivating));
}

TEST(Window, InputRegionLimitsWhereTheWindowIsHit)
{
    Window front(WindowKind::overlay);
    front.setFrame(Rect(0, 0, 400, 300));
    front.setInputRegion(Rect(100, 50, 120, 80));
    EXPECT_EQ(front.mask(), QRegion(QRect(100, 50, 120, 80)));
    EXPECT_EQ(front.inputRegion(), std::optional<Rect>(Rect(100, 50, 120, 80)));

    front.setInputRegion(std::nullopt);
    EXPECT_TRUE(front.mask().isEmpty());

    // Set together, the input and painted regions land as when set one by one.
    const QRegion painted(QRect(90, 40, 140, 100));
    front.setRegions(Rect(100, 50, 120, 80), painted);
    EXPECT_EQ(front.mask(), QRegion(QRect(100, 50, 120, 80)));
    EXPECT_EQ(front.inputRegion(), std::optional<Rect>(Rect(100, 50, 120, 80)));
    EXPECT_EQ(front.paintedRegion(), std::optional<QRegion>(painted));
    front.setRegions(Rect(0, 0, 10, 10), painted);
    EXPECT_EQ(front.mask(), QRegion(QRect(0, 0, 10, 10))) << "only the input moved";
    front.setRegions(std::nullopt, std::nullopt);
    EXPECT_TRUE(front.mask().isEmpty());
    EXPECT_EQ(front.paintedRegion(), std::nullopt);
}

#ifdef TIDEMARK_HAVE_XCB
// Needs an X server; ctest runs it under Xvfb (PlatformUiOnX11). An overlay moving by fractions
// of a pixel asks for the shapes it has: the server hears of them only when their pixels change,
// and again when the window shows again.
TEST(WindowX11, ShapesGoToTheServerOnlyWhenTheirPixelsChange)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the xcb platform";
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    // The requests sent while `change` runs, between two of the test's own.
    const auto requestsDuring = [c](const std::function<void()>& change) {
        const unsigned before = xcb_get_input_focus(c).sequence;
        change();
        const unsigned after = xcb_get_input_focus(c).sequence;
        xcb_discard_reply(c, before);
        xcb_discard_reply(c, after);
        return after - before - 1;
    };
    Window front(WindowKind::overlay);
    front.setFrame(Rect(0, 0, 400, 300));
    front.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));

    const QRegion painted(QRect(90, 40, 140, 100));
    EXPECT_GT(requestsDuring([&] { front.setRegions(Rect(100.2, 50.1, 120, 80), painted); }), 0U);
    EXPECT_EQ(requestsDuring([&] { front.setRegions(Rect(100.3, 49.9, 120, 80), painted); }), 0U)
        << "the same pixels";
    EXPECT_EQ(front.inputRegion(), std::optional<Rect>(Rect(100.3, 49.9, 120, 80)));
    EXPECT_GT(requestsDuring([&] { front.setRegions(Rect(101, 50, 120, 80), painted); }), 0U);
    EXPECT_GT(requestsDuring(
                  [&] { front.setRegions(Rect(101, 50, 120, 80), painted + QRect(0, 0, 5, 5)); }),
        0U)
        << "the painted region grew";

    front.hide();
    EXPECT_GT(requestsDuring([&] { front.show(); }), 0U);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&front));
    EXPECT_EQ(requestsDuring(
                  [&] { front.setRegions(Rect(101.2, 50, 120, 80), painted + QRect(0, 0, 5, 5)); }),
        0U);
}
#endif

TEST(Window, ConvertsContentRectanglesThroughTheScreen)
{
    Window source(WindowKind::overlay);
    source.setFrame(Rect(600, 0, 100, 24));
    Window target(WindowKind::overlay);
    target.setFrame(Rect(0, 0, 800, 600));
    source.orderFrontRegardless();
    target.orderFrontRegardless();

    const Rect icon(10, 2, 20, 20);
    const Rect onScreen = source.convertRectToScreen(icon);
    EXPECT_EQ(onScreen, Rect(610, 2, 20, 20));
    EXPECT_EQ(target.convertRectFromScreen(onScreen), Rect(610, 2, 20, 20));

    target.setFrame(Rect(100, 50, 600, 500));
    EXPECT_EQ(target.convertRectFromScreen(onScreen), Rect(510, -48, 20, 20));
}

TEST(Window, CloseTellsObserversAndKeepsTheWindowForReuse)
{
    Window window(WindowKind::panel);
    QSignalSpy willClose(&window, &Window::willClose);
    QSignalSpy disappeared(&window, &Window::didDisappear);
    window.setFrame(Rect(10, 10, 120, 80));
    window.orderFrontRegardless();

    EXPECT_TRUE(window.close());
    EXPECT_EQ(willClose.count(), 1);
    EXPECT_EQ(disappeared.count(), 1);
    EXPECT_FALSE(window.isVisible());

    window.orderFrontRegardless();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.frame(), Rect(10, 10, 120, 80));

    // Ordering out is not closing.
    window.orderOut();
    EXPECT_EQ(willClose.count(), 1);
}

TEST(Window, CenterPutsTheWindowInTheMiddleOfItsScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    QCursor::setPos(screen->geometry().center());
    Window window(WindowKind::panel);
    window.setFrame(Rect(0, 0, 200, 100));
    window.center();
    const Rect bounds = fromQt(screen->availableGeometry());
    EXPECT_EQ(window.frame(), Rect(0, 0, 200, 100).centered(bounds));
}

TEST(Window, MakeKeyAndOrderFrontGivesTheKeyboardOnlyToWindowsThatTakeIt)
{
    Window card(WindowKind::overlay);
    card.setCanBecomeKey(true);
    card.setFrame(Rect(0, 0, 200, 100));
    QSignalSpy becameKey(&card, &Window::didBecomeKey);
    QSignalSpy resignedKey(&card, &Window::didResignKey);
    card.makeKeyAndOrderFront();
    processEvents();
    EXPECT_TRUE(card.isKeyWindow());
    EXPECT_EQ(becameKey.count(), 1);

    card.orderOut();
    processEvents();
    EXPECT_FALSE(card.isKeyWindow());
    EXPECT_EQ(resignedKey.count(), 1);

    // A window that cannot take the keyboard is only ordered front, and tells the window
    // system so (the offscreen platform activates every window it shows regardless).
    Window back(WindowKind::overlay);
    back.setFrame(Rect(0, 0, 800, 600));
    back.makeKeyAndOrderFront();
    EXPECT_TRUE(back.isVisible());
    EXPECT_TRUE(back.testAttribute(Qt::WA_ShowWithoutActivating));
    ASSERT_NE(back.windowHandle(), nullptr);
    EXPECT_TRUE(back.windowHandle()->flags().testFlag(Qt::WindowDoesNotAcceptFocus));
}

TEST(Window, ChildWindowsFollowTheirParent)
{
    Window parent(WindowKind::panel);
    Window child(WindowKind::panel);
    parent.setFrame(Rect(100, 100, 50, 50));
    child.setFrame(Rect(100, 160, 50, 50));
    parent.orderFrontRegardless();
    child.orderFrontRegardless();
    parent.addChildWindow(&child);
    EXPECT_EQ(child.parentWindow(), &parent);

    parent.setFrame(Rect(130, 90, 50, 50));
    EXPECT_EQ(child.frame(), Rect(130, 150, 50, 50));

    parent.removeChildWindow(&child);
    EXPECT_EQ(child.parentWindow(), nullptr);
    parent.setFrame(Rect(0, 0, 50, 50));
    EXPECT_EQ(child.frame(), Rect(130, 150, 50, 50));
}

TEST(Window, ReleasingTheLastReferenceHidesAtOnceAndDestroysLater)
{
    WindowRef window = makeWindow(WindowKind::overlay);
    QPointer<Window> watch = window.get();
    WindowRef copy = window;
    EXPECT_EQ(copy, window);
    window->orderFrontRegardless();

    // Released from inside its own signal, as a reducer reacting to a close may do.
    QObject::connect(window.get(), &Window::willClose, [&] {
        window.reset();
        copy.reset();
    });
    watch->close();
    ASSERT_TRUE(watch);
    EXPECT_FALSE(watch->isVisible());
    processEvents();
    EXPECT_FALSE(watch);
}

bool holdsAnImage(const Window& window)
{
    const QBackingStore* store = window.backingStore();
    return store && !store->size().isEmpty();
}

// A close takes the native window down by another road than a hide: both must let the
// backing store (an image of the whole window) go and leave a bare native window ready.
TEST(Window, ReleasesItsBackingStoreWhenClosedOrOrderedOut)
{
    const std::pair<const char*, void (*)(Window&)> leavings[] = {
        { "close", [](Window& w) { w.close(); } },
        { "orderOut", [](Window& w) { w.orderOut(); } },
    };
    for (const auto& [name, leave] : leavings) {
        SCOPED_TRACE(name);
        Window window(WindowKind::overlay);
        window.setReleasesBackingStoreWhenHidden(true);
        window.setFrame(Rect(0, 0, 400, 300));
        EXPECT_TRUE(window.testAttribute(Qt::WA_WState_Created));
        EXPECT_FALSE(holdsAnImage(window));
        for (int round = 0; round < 2; ++round) {
            window.orderFrontRegardless();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
            window.repaint();
            ASSERT_TRUE(holdsAnImage(window));
            leave(window);
            processEvents();
            EXPECT_FALSE(holdsAnImage(window));
            EXPECT_TRUE(window.testAttribute(Qt::WA_WState_Created));
            EXPECT_FALSE(window.isVisible());
        }
        // Shown again at once, before the event loop ran: nothing is taken from under it.
        window.orderFrontRegardless();
        leave(window);
        window.orderFrontRegardless();
        processEvents();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.repaint();
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(holdsAnImage(window));
        EXPECT_EQ(window.frame(), Rect(0, 0, 400, 300));
    }
}

TEST(Application, ActivationPolicyDecidesTheTaskbarPresenceOfNormalWindows)
{
    Application application(qApp);
    Window settings(WindowKind::normal);
    Window popover(WindowKind::panel);
    QSignalSpy changed(&application, &Application::activationPolicyChanged);

    EXPECT_EQ(application.activationPolicy(), ActivationPolicy::accessory);
    EXPECT_FALSE(settings.appearsInTaskbar());

    EXPECT_TRUE(application.setActivationPolicy(ActivationPolicy::regular));
    EXPECT_TRUE(settings.appearsInTaskbar());
    EXPECT_FALSE(popover.appearsInTaskbar());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].value<ActivationPolicy>(), ActivationPolicy::regular);

    EXPECT_TRUE(application.setActivationPolicy(ActivationPolicy::regular));
    EXPECT_EQ(changed.count(), 1);

    application.setActivationPolicy(ActivationPolicy::accessory);
    EXPECT_FALSE(settings.appearsInTaskbar());
    EXPECT_EQ(changed.count(), 2);
}

TEST(Application, ActivateFrontsTheMostRecentWindowThatTakesTheKeyboard)
{
    Application application(qApp);
    QSignalSpy requested(&application, &Application::activationRequested);

    // Nothing to activate: the request is still made and harms nothing.
    application.activate(true);
    ASSERT_EQ(requested.count(), 1);
    EXPECT_TRUE(requested[0][0].toBool());

    Window onboarding(WindowKind::normal);
    onboarding.setFrame(Rect(0, 0, 300, 200));
    onboarding.orderFrontRegardless();
    Window overlay(WindowKind::overlay);
    overlay.setFrame(Rect(0, 0, 100, 100));
    overlay.orderFrontRegardless();
    processEvents();
    EXPECT_FALSE(onboarding.isKeyWindow());

    application.activate(false);
    processEvents();
    EXPECT_TRUE(onboarding.isKeyWindow());
    EXPECT_FALSE(overlay.isKeyWindow());
}

class RecordingDelegate : public ApplicationDelegate {
public:
    void applicationWillFinishLaunching() override { calls.push_back("willFinishLaunching"); }
    void applicationDidFinishLaunching() override { calls.push_back("didFinishLaunching"); }
    bool applicationShouldTerminate() override
    {
        calls.push_back("shouldTerminate");
        return allowTermination;
    }
    void applicationWillTerminate() override { calls.push_back("willTerminate"); }

    std::vector<std::string> calls;
    bool allowTermination = false;
};

TEST(Application, LaunchesOnceAndTerminatesOnlyWhenTheDelegateAgrees)
{
    Application application(qApp);
    RecordingDelegate delegate;
    application.setDelegate(&delegate);
    EXPECT_EQ(Application::shared(), &application);

    application.finishLaunching();
    application.finishLaunching();
    EXPECT_TRUE(application.didFinishLaunching());

    application.terminate();
    EXPECT_FALSE(application.isTerminated());

    delegate.allowTermination = true;
    application.terminate();
    application.terminate();
    EXPECT_TRUE(application.isTerminated());

    const std::vector<std::string> expected { "willFinishLaunching", "didFinishLaunching",
        "shouldTerminate", "shouldTerminate", "willTerminate" };
    EXPECT_EQ(delegate.calls, expected);
}

TEST(Application, SelectsXcbUnlessAPlatformIsNamed)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const QByteArray display = qgetenv("DISPLAY");

    std::string problem;
    EXPECT_TRUE(Application::selectPlatform(&problem));
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), platform);

    qunsetenv("QT_QPA_PLATFORM");
    qputenv("DISPLAY", ":99");
    EXPECT_TRUE(Application::selectPlatform(&problem));
    EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), "xcb");

    qunsetenv("QT_QPA_PLATFORM");
    qunsetenv("DISPLAY");
    EXPECT_FALSE(Application::selectPlatform(&problem));
    EXPECT_NE(problem.find("xvfb-run"), std::string::npos);

    qputenv("QT_QPA_PLATFORM", platform);
    if (display.isEmpty())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", display);
}

} // namespace
} // namespace tidemark
