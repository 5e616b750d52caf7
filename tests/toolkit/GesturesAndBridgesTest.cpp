#include "toolkit/HoveringEventsView.hpp"
#include "toolkit/LongHoldGesture.hpp"
#include "toolkit/ViewControllerBridge.hpp"

#include "ToolkitTesting.hpp"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tidemark {
namespace {

using namespace std::chrono_literals;
using test::nextTurn;
using test::waitFor;

TEST(LongHold, TheIntervalIsTheMinimumDurationLessTheLongPressOneButNeverUnder10Ms)
{
    struct Case {
        double minimumDuration;
        std::chrono::milliseconds expected;
    };
    const Case cases[] = {
        { 1.5, 1000ms },
        { 0.75, 250ms },
        { 0.5, 10ms }, // no difference: an interval of 0 would spin
        { 0.2, 10ms },
        { 0.505, 10ms },
        { 0.52, 20ms },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OnLongHoldGestureViewModifier::interval(c.minimumDuration), c.expected)
            << c.minimumDuration;
    }
}

// A view with the gesture, shown, and a record of the calls.
struct Held {
    QWidget view;
    std::vector<bool> calls;
    OnLongHoldGestureViewModifier* gesture;

    explicit Held(double minimumDuration)
    {
        view.resize(100, 100);
        gesture = new OnLongHoldGestureViewModifier(
            &view, minimumDuration, [this](bool held) { calls.push_back(held); });
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
    }
    void send(QEvent::Type type, QPoint at)
    {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton,
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }
};

// Runs the loop until a timer due later than anything already scheduled has fired.
void afterPendingTimers(std::chrono::milliseconds horizon)
{
    bool fired = false;
    QTimer::singleShot(horizon, [&] { fired = true; });
    ASSERT_TRUE(waitFor([&] { return fired; }));
}

TEST(LongHold, TicksWhileHeldAndEndsOnceOnRelease)
{
    Held held(0.5);
    held.send(QEvent::MouseButtonPress, { 50, 50 });
    EXPECT_EQ(held.gesture->timerInterval(), 10ms);
    ASSERT_TRUE(waitFor([&] { return held.calls.size() >= 3; }));
    held.send(QEvent::MouseButtonRelease, { 50, 50 });
    ASSERT_GE(held.calls.size(), 4u);
    EXPECT_EQ(held.calls.back(), false);
    EXPECT_EQ(std::count(held.calls.begin(), held.calls.end(), false), 1);
    const std::size_t afterRelease = held.calls.size();
    afterPendingTimers(50ms);
    EXPECT_EQ(held.calls.size(), afterRelease) << "the timer stopped with the press";
    EXPECT_FALSE(held.gesture->isHolding());
}

TEST(LongHold, APressEndedBeforeTheFirstTickCallsNothing)
{
    Held held(1.5);
    held.send(QEvent::MouseButtonPress, { 50, 50 });
    EXPECT_EQ(held.gesture->timerInterval(), 1000ms);
    held.send(QEvent::MouseButtonRelease, { 50, 50 });
    EXPECT_FALSE(held.gesture->isPressing());
    EXPECT_TRUE(held.calls.empty());
}

TEST(LongHold, MovingAwayEndsThePressAndASecondPressStartsAfresh)
{
    Held held(0.5);
    held.send(QEvent::MouseButtonPress, { 50, 50 });
    ASSERT_TRUE(waitFor([&] { return !held.calls.empty(); }));
    held.send(QEvent::MouseMove, { 58, 56 }); // 10 px away: still held
    EXPECT_TRUE(held.gesture->isPressing());
    held.send(QEvent::MouseMove, { 58, 57 }); // just over 10 px
    EXPECT_FALSE(held.gesture->isPressing());
    EXPECT_EQ(held.calls.back(), false);
    held.send(QEvent::MouseButtonRelease, { 58, 57 });
    EXPECT_EQ(std::count(held.calls.begin(), held.calls.end(), false), 1);

    held.calls.clear();
    held.send(QEvent::MouseButtonPress, { 10, 10 });
    ASSERT_TRUE(waitFor([&] { return held.calls.size() >= 2; }));
    held.view.hide(); // a press that can no longer end with a release ends here
    EXPECT_EQ(held.calls.back(), false);
    EXPECT_FALSE(held.gesture->isPressing());
}

TEST(ViewPublisher, PublishesTheRectangleWhereTheViewSitsInItsWindow)
{
    QWidget window;
    window.resize(300, 300);
    auto* panel = new QWidget(&window);
    panel->setGeometry(30, 40, 200, 200);
    auto* view = new QWidget(panel);
    view->setGeometry(10, 10, 50, 20);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    nextTurn();

    ViewPublisher publisher(Rect(2, 3, 8, 9), view);
    std::vector<Rect> published;
    const rx::Cancellable subscription
        = publisher.framePublisher().sink([&](const Rect& frame) { published.push_back(frame); });
    EXPECT_EQ(publisher.frame(), Rect()) << "nothing changed yet";

    view->move(20, 15);
    EXPECT_EQ(publisher.frame(), Rect(2 + 30 + 20, 3 + 40 + 15, 8, 9))
        << "the rectangle follows the view, offset by its place in the window";
    panel->move(0, 0);
    EXPECT_EQ(publisher.frame(), Rect(2 + 20, 3 + 15, 8, 9)) << "and an ancestor's moves";
    view->resize(100, 100);
    EXPECT_EQ(publisher.frame().size, (Size { 8, 9 })) << "the size is always the rectangle's";
    EXPECT_EQ(published.front(), Rect());
    EXPECT_EQ(published.back(), publisher.frame());

    ViewPublisher bounds(std::nullopt, view);
    EXPECT_EQ(bounds.rect(), Rect(0, 0, 100, 100));
    EXPECT_FALSE(bounds == publisher);
}

TEST(ViewPublisher, ObservesOnlyItsCurrentView)
{
    QWidget window;
    window.resize(300, 300);
    auto* first = new QWidget(&window);
    auto* second = new QWidget(&window);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    nextTurn();
    ViewPublisher publisher(Rect(0, 0, 1, 1), first);
    publisher.setView(second);
    first->move(50, 50);
    EXPECT_EQ(publisher.frame(), Rect());
    second->move(7, 8);
    EXPECT_EQ(publisher.frame(), Rect(7, 8, 1, 1));
}

TEST(ViewControllerBridge, RunsTheClosuresAtEachAppearanceOfTheWindow)
{
    SwiftyViewController controller;
    controller.setAttribute(Qt::WA_DontShowOnScreen);
    auto* content = new QLabel(QStringLiteral("content"));
    controller.embed(content);
    int appeared = 0;
    int disappeared = 0;
    onDidDisappear(content, [&] { ++disappeared; });
    onDidAppear(content, [&] { ++appeared; });

    controller.show();
    EXPECT_EQ(appeared, 1);
    controller.hide();
    EXPECT_EQ(disappeared, 1) << "an appear closure never clears a disappear closure";
    controller.show();
    controller.show();
    EXPECT_EQ(appeared, 2) << "once per appearance";
    EXPECT_EQ(content->parentWidget(), &controller);
    EXPECT_EQ(content->geometry(), controller.rect()) << "the content fills the controller";
}

TEST(ViewControllerBridge, AControllerInsideAWindowFollowsThatWindow)
{
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* controller = new SwiftyViewController(&window);
    auto* content = new QWidget;
    controller->embed(content);
    int appeared = 0;
    onDidAppear(content, [&] { ++appeared; });
    window.show();
    EXPECT_EQ(appeared, 1);

    // Without closures, and outside any controller, nothing happens.
    SwiftyViewController empty;
    empty.setAttribute(Qt::WA_DontShowOnScreen);
    empty.show();
    QWidget outside;
    onDidAppear(&outside, [&] { ++appeared; });
    outside.setAttribute(Qt::WA_DontShowOnScreen);
    outside.show();
    EXPECT_EQ(appeared, 1);
}

} // namespace
} // namespace tidemark
