#include "menubar/views/ScrollMenuBarExtraView.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/StatusBar.hpp"

#include <QApplication>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace tidemark;

namespace {

// Sends a wheel event to the widget at `pos` of `view`, as the pointer over it would.
void wheel(QWidget* view, QPoint pixel, QPoint angle, Qt::ScrollPhase phase = Qt::NoScrollPhase)
{
    const QPoint pos(view->width() / 2, view->height() / 2);
    QWidget* target = view->childAt(pos);
    if (!target)
        target = view;
    QWheelEvent event(target->mapFrom(view, QPointF(pos)), view->mapToGlobal(QPointF(pos)), pixel,
        angle, Qt::NoButton, Qt::NoModifier, phase, false);
    QApplication::sendEvent(target, &event);
}

struct Recorder {
    std::vector<std::optional<Rect>> frames;
    std::vector<Size> deltas;
};

} // namespace

TEST(ScrollMenuBarExtraView, ReportsEachWheelEventAsOneDeltaOfItsOwn)
{
    Recorder seen;
    ScrollMenuBarExtraView view([&](std::optional<Rect> f) { seen.frames.push_back(f); },
        [&](Size d) { seen.deltas.push_back(d); });
    view.resize(view.sizeHint());
    view.show();

    wheel(&view, {}, { 0, -120 });
    wheel(&view, {}, { 0, -120 }); // equal, and still an event
    wheel(&view, {}, { -120, 0 }); // horizontal only
    wheel(&view, { 0, -3 }, { 0, -20 }, Qt::ScrollMomentum); // a touchpad's momentum
    wheel(&view, { 0, 2 }, { 0, 10 }, Qt::ScrollEnd);
    const std::vector<Size> expected { { 0, 24 }, { 0, 24 }, { 24, 0 }, { 0, 3 }, { 0, -2 } };
    EXPECT_EQ(seen.deltas, expected);
}

TEST(ScrollMenuBarExtraView, IsACircleAndASquareTwentyTwoHighWithMarginsAndReportsItsFrameOnce)
{
    Recorder seen;
    // Frameless, as the strip is: the platform adds no frame around it.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(30, 4, 0, 0);
    auto* view = new ScrollMenuBarExtraView(
        [&](std::optional<Rect> f) { seen.frames.push_back(f); }, [](Size) {});
    layout->addWidget(view, 0, Qt::AlignLeft | Qt::AlignTop);
    EXPECT_EQ(view->sizeHint(), QSize(9 + 16 + 8 + 14 + 9, 22));
    EXPECT_TRUE(seen.frames.empty()) << "nothing while not shown";

    window.show();
    // The platform may still place the window after showing it: until it has, the frame
    // reported last is where the view stood before.
    const auto onScreen = [&](int x, int y) {
        const QPoint p = window.mapToGlobal(QPoint(x, y));
        return std::optional<Rect>(Rect(p.x(), p.y(), 56, 22));
    };
    for (int i = 0; i < 1000 && (seen.frames.empty() || seen.frames.back() != onScreen(30, 4)); ++i)
        QApplication::processEvents();
    ASSERT_FALSE(seen.frames.empty());
    const QPoint at = window.mapToGlobal(QPoint(30, 4));
    EXPECT_EQ(seen.frames.back(), std::optional<Rect>(Rect(at.x(), at.y(), 56, 22)))
        << "where it stands on screen, its window's moves included";
    const std::size_t reports = seen.frames.size();

    // Unchanged: not reported again, however often asked.
    view->reportFrame();
    window.resize(window.width() + 10, window.height());
    QApplication::processEvents();
    EXPECT_EQ(seen.frames.size(), reports);

    // Moved within its window: reported once.
    layout->setContentsMargins(40, 4, 0, 0);
    layout->activate();
    QApplication::processEvents();
    ASSERT_EQ(seen.frames.size(), reports + 1);
    const QPoint moved = window.mapToGlobal(QPoint(40, 4));
    EXPECT_EQ(seen.frames.back(), std::optional<Rect>(Rect(moved.x(), moved.y(), 56, 22)));
}

TEST(ScrollMenuBarExtraView, FollowsItsItemInTheStatusBar)
{
    StatusBar bar;
    std::vector<Rect> frames;
    // A neighbour made first stands rightmost; the extra's item comes to its left.
    StatusItemRef neighbour = bar.statusItem(StatusItem::variableLength);
    auto* wide = new QWidget;
    wide->setMinimumSize(80, 22);
    addPinnedSubview(neighbour->button(), wide);
    StatusItemRef item = bar.statusItem(StatusItem::variableLength);
    auto* view = new ScrollMenuBarExtraView(
        [&](std::optional<Rect> f) {
            ASSERT_TRUE(f) << "a frame is never reported empty";
            frames.push_back(*f);
        },
        [](Size) {});
    addPinnedSubview(item->button(), view);
    bar.layoutNow();
    for (int i = 0; i < 1000 && (frames.empty() || frames.back() != item->frame()); ++i)
        QApplication::processEvents();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back(), item->frame()) << "it fills its item's button";
    const std::size_t reports = frames.size();

    // The neighbour goes: the item moves right on screen, which the extra reports once.
    neighbour.reset();
    bar.layoutNow();
    for (int i = 0; i < 1000 && frames.size() == reports; ++i)
        QApplication::processEvents();
    ASSERT_EQ(frames.size(), reports + 1);
    EXPECT_GT(frames.back().origin.x, frames[reports - 1].origin.x);
    EXPECT_EQ(frames.back(), item->frame());

    bar.layoutNow();
    QApplication::processEvents();
    EXPECT_EQ(frames.size(), reports + 1) << "nothing moved: nothing reported";
}
