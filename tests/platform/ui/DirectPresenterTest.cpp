#include "platform/ui/DirectPresenter.hpp"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#ifdef TIDEMARK_HAVE_XCB
#include <xcb/xcb.h>
#endif

#include <functional>
#include <optional>

namespace tidemark {
namespace {

// A translucent top-level that counts Qt's paints of it and paints nothing itself.
class Surface final : public QWidget {
public:
    Surface()
    {
        setWindowFlag(Qt::FramelessWindowHint);
        setAttribute(Qt::WA_TranslucentBackground);
        setGeometry(100, 100, 200, 200);
    }
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

DirectPresenter::Draw fill(QColor colour)
{
    return [colour](QImage& target, const QPoint&) { target.fill(colour); };
}

bool onX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

// The screen's pixel at a global point, as the X server shows it.
QColor shownAt(QPoint global)
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, global.x(), global.y(), 1, 1)
        .toImage()
        .pixelColor(0, 0);
}

// Waits until the screen shows `colour` at `global` (the server draws what it was sent in
// its own time), with a generous limit.
bool showsSoon(QPoint global, QColor colour)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        if (shownAt(global).rgb() == colour.rgb())
            return true;
        QTest::qWait(10);
    }
    return false;
}

TEST(DirectPresenter, WithoutAnXDisplayItLeavesTheFrameToQt)
{
    if (onX11())
        GTEST_SKIP() << "runs on the offscreen platform";
    Surface surface;
    surface.show();
    DirectPresenter presenter(&surface);
    bool drawn = false;
    EXPECT_FALSE(
        presenter.present(QRegion(0, 0, 10, 10), [&](QImage&, const QPoint&) { drawn = true; }));
    EXPECT_FALSE(drawn);
    EXPECT_EQ(presenter.frames(), 0);
    // A hidden window takes no frames either way.
    surface.hide();
    EXPECT_FALSE(presenter.present(QRegion(0, 0, 10, 10), fill(Qt::red)));
}

// The cases below need an X server; ctest runs them under Xvfb (PlatformUiOnX11).
class DirectPresenterX11 : public testing::Test {
protected:
    void SetUp() override
    {
        if (!onX11())
            GTEST_SKIP() << "needs the xcb platform";
        surface.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
    }
    QPoint global(int x, int y) const { return surface.mapToGlobal(QPoint(x, y)); }

    Surface surface;
};

TEST_F(DirectPresenterX11, AFrameReachesTheScreenOnlyWhereItsRegionLies)
{
    DirectPresenter presenter(&surface);
    const int paintsBefore = surface.paints;
    std::optional<QPoint> origin;
    ASSERT_TRUE(presenter.present(QRegion(20, 30, 40, 50), [&](QImage& target, const QPoint& at) {
        origin = at;
        EXPECT_EQ(target.size(), QSize(40, 50));
        // The region comes clear.
        EXPECT_EQ(target.pixelColor(5, 5).alpha(), 0);
        QPainter painter(&target);
        painter.translate(-at);
        painter.fillRect(surface.rect(), Qt::red);
    }));
    EXPECT_EQ(origin, QPoint(20, 30));
    EXPECT_EQ(presenter.frames(), 1);
    EXPECT_TRUE(showsSoon(global(40, 50), Qt::red));
    // Painted over the whole widget, sent only over the region.
    EXPECT_NE(shownAt(global(10, 10)).rgb(), QColor(Qt::red).rgb());
    EXPECT_NE(shownAt(global(70, 50)).rgb(), QColor(Qt::red).rgb());
    EXPECT_EQ(surface.paints, paintsBefore) << "Qt painted nothing for it";
}

TEST_F(DirectPresenterX11, AShapeGrowingFrameByFrameKeepsAFewBuffersAndLetsThemGo)
{
    DirectPresenter presenter(&surface);
    qsizetype most = 0;
    for (int height = 2; height <= 200; height += 2) {
        const QColor colour = height % 4 == 0 ? Qt::blue : Qt::green;
        ASSERT_TRUE(presenter.present(QRegion(0, 0, 150, height), fill(colour)));
        most = std::max(most, presenter.bytes());
    }
    EXPECT_EQ(presenter.frames(), 100);
    // At most three buffers, each at most a step of 256 KiB over the largest frame.
    EXPECT_LE(most, 3 * (150 * 200 * 4 + 256 * 1024));
    EXPECT_TRUE(showsSoon(global(75, 199), Qt::blue));
    presenter.release();
    EXPECT_EQ(presenter.bytes(), 0);
    ASSERT_TRUE(presenter.present(QRegion(0, 0, 10, 10), fill(Qt::green)));
    EXPECT_TRUE(showsSoon(global(5, 5), Qt::green));
}

#ifdef TIDEMARK_HAVE_XCB
// Sends the window an expose of `rect`, as the server does when it has lost what the window
// showed there (with a compositing manager it keeps it, so the test makes one up).
void sendExpose(QWidget& window, const QRect& rect)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* c = x11->connection();
    xcb_expose_event_t expose {};
    expose.response_type = XCB_EXPOSE;
    expose.window = xcb_window_t(window.winId());
    expose.x = uint16_t(rect.x());
    expose.y = uint16_t(rect.y());
    expose.width = uint16_t(rect.width());
    expose.height = uint16_t(rect.height());
    xcb_send_event(
        c, 0, expose.window, XCB_EVENT_MASK_EXPOSURE, reinterpret_cast<const char*>(&expose));
    xcb_flush(c);
}

TEST_F(DirectPresenterX11, WhatTheServerLostComesBackFromTheWidgetNotFromQtsOlderCopy)
{
    DirectPresenter presenter(&surface);
    QRegion lost;
    presenter.setOnLost([&](const QRegion& region) { lost += region; });
    ASSERT_TRUE(presenter.present(QRegion(surface.rect()), fill(Qt::green)));
    const int paintsBefore = surface.paints;

    // Lost after the last frame: all of it comes back.
    sendExpose(surface, QRect(50, 50, 100, 100));
    QElapsedTimer timer;
    timer.start();
    while (lost.isEmpty() && timer.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_EQ(lost, QRegion(50, 50, 100, 100));

    // Lost before a frame that drew part of it again: only the rest comes back.
    lost = QRegion();
    sendExpose(surface, QRect(0, 0, 100, 100));
    ASSERT_TRUE(presenter.present(QRegion(0, 0, 100, 60), fill(Qt::green)));
    timer.restart();
    while (lost.isEmpty() && timer.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_EQ(lost, QRegion(0, 60, 100, 40));

    EXPECT_EQ(surface.paints, paintsBefore) << "Qt did not answer the exposes from its own copy";
    EXPECT_TRUE(showsSoon(global(75, 75), Qt::green));
}
#endif

} // namespace
} // namespace tidemark
