#include "toolkit/PageView.hpp"
#include "support/TestMainQueue.hpp"

#include <QCoreApplication>
#include <QTest>
#include <QTimerEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemark {
namespace {

// Keys whose hashes collide in pairs: 1 and 3 share one.
struct Step {
    int value;
    bool operator==(const Step&) const = default;
};

} // namespace
} // namespace tidemark

template <> struct std::hash<tidemark::Step> {
    std::size_t operator()(const tidemark::Step& s) const { return std::size_t(s.value % 2); }
};

namespace tidemark {
namespace {

std::vector<QWidget*> makePages(int count)
{
    std::vector<QWidget*> pages;
    for (int i = 0; i < count; ++i) {
        pages.push_back(new QWidget);
        pages.back()->setObjectName(QStringLiteral("page %1").arg(i));
    }
    return pages;
}

// A wheel or touchpad event over the view; true when the view took it.
bool wheel(QWidget* view, QPoint pixels, Qt::ScrollPhase phase, QPoint angle = {})
{
    const QPointF at(10, 10);
    QWheelEvent event(at, view->mapToGlobal(at), pixels, angle.isNull() ? pixels : angle,
        Qt::NoButton, Qt::NoModifier, phase, false);
    QCoreApplication::sendEvent(view, &event);
    return event.isAccepted();
}

// The pause that ends a swipe without a scroll end, as the timer's event delivers it.
void pauseElapses(QWidget* view)
{
    auto* timer = view->findChild<QTimer*>(QStringLiteral("swipePause"));
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(timer->isActive());
    QTimerEvent event(timer->timerId());
    QCoreApplication::sendEvent(timer, &event);
}

int stripX(QWidget* view)
{
    return view->findChild<QWidget*>(QStringLiteral("pageStrip"))->x();
}

class PageViews : public testing::Test {
protected:
    void SetUp() override
    {
        setFrameClock(&clock);
        test::drainMainQueue();
    }
    void TearDown() override
    {
        test::drainMainQueue();
        setFrameClock(nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void show(QWidget& view)
    {
        view.resize(300, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    ManualFrameClock clock;
    int index = 0;
    Binding<int> binding { [this] { return index; }, [this](const int& i) { index = i; } };
};

TEST_F(PageViews, ANewIndexSlidesOnTheNextTurnAndOneThatNamesNoPageIsIgnored)
{
    PageControllerView view(binding, makePages(3));
    show(view);
    test::drainMainQueue();
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_FALSE(clock.isRunning());

    index = 2;
    view.update();
    EXPECT_EQ(view.selectedIndex(), 0) << "the step waits for the next turn";
    test::drainMainQueue();
    EXPECT_EQ(view.selectedIndex(), 2);
    EXPECT_TRUE(clock.isRunning());
    clock.runFrames(3);
    EXPECT_LT(stripX(&view), 0);
    EXPECT_GT(stripX(&view), -600);
    clock.runUntilIdle();
    EXPECT_EQ(view.position().value(), 2.0);
    EXPECT_EQ(stripX(&view), -600);
    EXPECT_EQ(view.page(2)->geometry(), QRect(600, 0, 300, 200));

    struct Case {
        const char* name;
        int index;
    };
    const Case cases[] = {
        { "the page already shown", 2 },
        { "a selection among no pages", -1 },
        { "one past the last page", 3 },
        { "far outside", 1000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        index = c.index;
        view.update();
        test::drainMainQueue();
        EXPECT_EQ(view.selectedIndex(), 2);
        EXPECT_FALSE(clock.isRunning()) << "no animation runs";
        EXPECT_EQ(stripX(&view), -600);
    }
}

TEST_F(PageViews, ASwipeDragsTheStripAndWritesItsPageBackOnTheNextTurn)
{
    PageControllerView view(binding, makePages(3));
    show(view);
    test::drainMainQueue();

    // Two swipes to the left: the third page.
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        EXPECT_FALSE(wheel(&view, {}, Qt::ScrollBegin)) << "no direction yet";
        EXPECT_TRUE(wheel(&view, { -60, 0 }, Qt::ScrollUpdate));
        EXPECT_TRUE(view.isLiveTransitioning());
        EXPECT_TRUE(wheel(&view, { -60, 0 }, Qt::ScrollUpdate));
        EXPECT_NEAR(view.position().value(), page - 1 + 0.4, 1e-9) << "the strip follows";
        EXPECT_TRUE(wheel(&view, {}, Qt::ScrollEnd));
        EXPECT_EQ(view.selectedIndex(), page);
        EXPECT_EQ(index, page - 1);
        test::drainMainQueue();
        EXPECT_EQ(index, page) << "written back on the next turn";
        EXPECT_TRUE(view.isLiveTransitioning()) << "until the page has landed";
        clock.runUntilIdle();
        EXPECT_FALSE(view.isLiveTransitioning());
        EXPECT_EQ(view.position().value(), double(page));
        // The view's update that follows the write finds the controller already there.
        view.update();
        test::drainMainQueue();
        EXPECT_FALSE(clock.isRunning());
    }

    // A short swipe to the right lands back where it started.
    wheel(&view, { 30, 0 }, Qt::ScrollUpdate);
    wheel(&view, {}, Qt::ScrollEnd);
    test::drainMainQueue();
    clock.runUntilIdle();
    EXPECT_EQ(index, 2);
    EXPECT_EQ(view.position().value(), 2.0);

    // No page beyond the last: the strip stops at it.
    wheel(&view, { -250, 0 }, Qt::ScrollUpdate);
    EXPECT_EQ(view.position().value(), 2.0);
    wheel(&view, {}, Qt::ScrollEnd);
    test::drainMainQueue();
    EXPECT_EQ(index, 2);
}

TEST_F(PageViews, AWheelSwipeEndsAfterItsPauseAndVerticalScrollsPassBy)
{
    PageControllerView view(binding, makePages(3));
    show(view);
    test::drainMainQueue();

    EXPECT_FALSE(wheel(&view, {}, Qt::NoScrollPhase, { 0, -120 })) << "vertical: not a swipe";
    EXPECT_FALSE(view.isLiveTransitioning());

    // A tilt wheel: three notches to the right, and then nothing.
    for (int notch = 0; notch < 3; ++notch)
        EXPECT_TRUE(wheel(&view, {}, Qt::NoScrollPhase, { -120, 0 }));
    EXPECT_NEAR(view.position().value(), 0.4, 1e-9);
    pauseElapses(&view);
    test::drainMainQueue();
    EXPECT_EQ(index, 1);
    clock.runUntilIdle();
    EXPECT_FALSE(view.isLiveTransitioning());
    EXPECT_FALSE(wheel(&view, {}, Qt::ScrollMomentum, { 0, -30 })) << "a glide after the end";
}

TEST_F(PageViews, ASelectionSetDuringASwipeIsIgnoredAndTheSwipeWins)
{
    PageControllerView view(binding, makePages(3));
    show(view);
    test::drainMainQueue();

    wheel(&view, { -90, 0 }, Qt::ScrollUpdate);
    index = 2;
    view.update();
    test::drainMainQueue();
    EXPECT_EQ(view.selectedIndex(), 0);
    EXPECT_NEAR(view.position().value(), 0.3, 1e-9);
    wheel(&view, {}, Qt::ScrollEnd);
    test::drainMainQueue();
    EXPECT_EQ(index, 1);
    clock.runUntilIdle();
    EXPECT_EQ(view.position().value(), 1.0);
}

TEST_F(PageViews, RefusedSwipesAreDroppedWhileNewIndicesStillSlide)
{
    PageControllerView view(binding, makePages(3), false);
    show(view);
    test::drainMainQueue();

    EXPECT_TRUE(wheel(&view, { -200, 0 }, Qt::ScrollUpdate)) << "taken and dropped";
    wheel(&view, {}, Qt::ScrollEnd);
    test::drainMainQueue();
    EXPECT_FALSE(view.isLiveTransitioning());
    EXPECT_EQ(view.position().value(), 0.0);
    EXPECT_EQ(index, 0);

    index = 1;
    view.update(binding, false);
    test::drainMainQueue();
    EXPECT_TRUE(clock.isRunning());
    clock.runUntilIdle();
    EXPECT_EQ(view.position().value(), 1.0);
}

TEST_F(PageViews, AViewNotOnScreenTurnsAtOnce)
{
    index = 2;
    PageControllerView view(binding, makePages(3));
    test::drainMainQueue();
    EXPECT_EQ(view.selectedIndex(), 2);
    EXPECT_EQ(view.position().value(), 2.0);
    EXPECT_FALSE(clock.isRunning());
}

TEST_F(PageViews, PageViewPagesByValueAndIgnoresASelectionNotAmongItsPages)
{
    std::string selection = "welcome";
    Binding<std::string> bound { [&] { return selection; },
        [&](const std::string& s) { selection = s; } };
    const std::vector<QWidget*> content = makePages(2);
    PageView<std::string> view(bound, true, { "welcome", "drag", "done" },
        { { "welcome", content[0] }, { "drag", content[1] } });
    show(view);
    test::drainMainQueue();
    EXPECT_EQ(view.page(0), content[0]);
    EXPECT_EQ(view.page(1), content[1]);
    ASSERT_NE(view.page(2), nullptr) << "a value without a view shows an empty page";
    EXPECT_NE(view.page(2), content[0]);

    selection = "done";
    view.update(bound, true, view.arrangedObjects());
    test::drainMainQueue();
    clock.runUntilIdle();
    EXPECT_EQ(view.selectedIndex(), 2);

    selection = "elsewhere";
    view.update(bound, true, view.arrangedObjects());
    test::drainMainQueue();
    EXPECT_EQ(view.selectedIndex(), 2) << "not among the pages: ignored";
    EXPECT_FALSE(clock.isRunning());

    wheel(&view, { 100, 0 }, Qt::ScrollUpdate);
    wheel(&view, {}, Qt::ScrollEnd);
    test::drainMainQueue();
    EXPECT_EQ(selection, "drag") << "a swipe writes its page's value back";
    clock.runUntilIdle();

    // New arranged values reorder the pages; the views stay those given at first.
    view.update(bound, true, { "drag", "welcome" });
    EXPECT_EQ(view.page(0), content[1]);
    EXPECT_EQ(view.page(1), content[0]);
    test::drainMainQueue();
    clock.runUntilIdle();
    EXPECT_EQ(view.selectedIndex(), 0);
}

TEST_F(PageViews, ValuesWithTheSameHashShareTheViewThatCameLater)
{
    Step selection { 1 };
    Binding<Step> bound { [&] { return selection; }, [&](const Step& s) { selection = s; } };
    const std::vector<QWidget*> content = makePages(3);
    PageView<Step> view(bound, false, { Step { 1 }, Step { 2 }, Step { 3 } },
        { { Step { 1 }, content[0] }, { Step { 2 }, content[1] }, { Step { 3 }, content[2] } });
    EXPECT_EQ(view.page(0), content[2]);
    EXPECT_EQ(view.page(2), content[2]);
    EXPECT_EQ(view.page(1), content[1]);
}

} // namespace
} // namespace tidemark
