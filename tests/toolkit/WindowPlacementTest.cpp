#include "toolkit/WindowPlacement.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/Screen.hpp"
#include "platform/ui/Window.hpp"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

namespace tidemark {

void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}

namespace {

struct PlacementCase {
    const char* name;
    Rect placed;
    Rect anchor;
    RectEdge edge;
    std::optional<Rect> screen;
    Rect expected;
};

// y grows downwards: `maxY` is below the anchor, `minY` above it.
const Rect fullHd { 0, 0, 1920, 1080 };

TEST(WindowPlacement, PlacesAgainstTheAnchorAndKeepsOnScreen)
{
    const PlacementCase cases[] = {
        { "popover below an icon: centred, 6 points under it", { 0, 0, 300, 200 },
            { 1000, 180, 24, 30 }, RectEdge::maxY, fullHd, { 862, 216, 300, 200 } },
        { "icon at the right end: shifted left to the screen edge, y kept", { 0, 0, 300, 200 },
            { 1890, 180, 24, 30 }, RectEdge::maxY, fullHd, { 1620, 216, 300, 200 } },
        { "icon at the left end: shifted right to the screen edge", { 0, 0, 300, 200 },
            { 0, 0, 24, 24 }, RectEdge::maxY, fullHd, { 0, 30, 300, 200 } },
        { "above the anchor", { 0, 0, 100, 50 }, { 500, 500, 20, 20 }, RectEdge::minY, fullHd,
            { 460, 444, 100, 50 } },
        { "left of the anchor", { 0, 0, 100, 50 }, { 500, 500, 20, 20 }, RectEdge::minX, fullHd,
            { 394, 485, 100, 50 } },
        { "right of the anchor", { 0, 0, 100, 50 }, { 500, 500, 20, 20 }, RectEdge::maxX, fullHd,
            { 526, 485, 100, 50 } },
        { "below the bottom of the screen: lifted onto it", { 0, 0, 300, 200 },
            { 800, 1000, 24, 30 }, RectEdge::maxY, fullHd, { 662, 880, 300, 200 } },
        { "no screen under the pointer: not kept inside anything", { 0, 0, 300, 200 },
            { 1890, 180, 24, 30 }, RectEdge::maxY, std::nullopt, { 1752, 216, 300, 200 } },
        { "wider than the screen: both corrections, each on the unshifted frame", { 0, 0, 200, 50 },
            { 40, 0, 20, 20 }, RectEdge::maxY, Rect { 0, 0, 100, 1080 }, { -50, 26, 200, 50 } },
        { "the given size wins over the old origin", { 700, 700, 300, 200 }, { 1000, 180, 24, 30 },
            RectEdge::maxY, fullHd, { 862, 216, 300, 200 } },
    };
    for (const PlacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(
            placedFrame(c.placed, c.anchor, c.edge, WindowValet::spacing, c.screen), c.expected);
    }
}

TEST(WindowPlacement, AFrameAlreadyOnScreenComesBackUnchanged)
{
    const Rect inside { 10.25, 20.5, 300, 200 };
    EXPECT_EQ(inside.keptInside(fullHd), inside);
}

class WindowPlacementWidgets : public testing::Test {
protected:
    void TearDown() override
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static WindowRef shownWindow(const QRect& geometry)
    {
        WindowRef window = makeWindow<Window>(WindowKind::panel);
        window->setGeometry(geometry);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
};

TEST_F(WindowPlacementWidgets, AViewOutsideAnyWindowGivesNoConverterAndPlacesNothing)
{
    QWidget loose;
    EXPECT_FALSE(ViewToWindowConverter::make(&loose));
    EXPECT_FALSE(ViewToWindowConverter::make(nullptr));

    WindowRef window = shownWindow({ 100, 100, 200, 100 });
    const QRect before = window->geometry();
    WindowValet valet(&loose, window->contentView());
    valet.positionWindow(std::nullopt, RectEdge::maxY);
    EXPECT_EQ(window->geometry(), before);

    WindowValet reverse(window->contentView(), &loose);
    reverse.setAttachWindows(true);
    EXPECT_TRUE(reverse.attachWindows());
    EXPECT_TRUE(window->childWindows().empty());
}

TEST_F(WindowPlacementWidgets, ConvertsAFrameBetweenWindowsThroughTheScreen)
{
    WindowRef source = shownWindow({ 100, 50, 200, 100 });
    WindowRef target = shownWindow({ 20, 10, 400, 300 });
    auto* icon = new QWidget(source->contentView());
    icon->setGeometry(30, 5, 24, 22);

    const auto converter = ViewToWindowConverter::make(icon);
    ASSERT_TRUE(converter);
    EXPECT_EQ(converter->window, source.get());
    EXPECT_EQ(converter->frame, Rect(30, 5, 24, 22));
    // Source content origin (100, 50) on screen, target content origin (20, 10).
    EXPECT_EQ(converter->convertTo(target.get()), Rect(110, 45, 24, 22));
    // The other way: the converter's frame taken as lying in the source.
    const ViewToWindowConverter overlay { { 30, 5, 24, 22 }, target.get() };
    EXPECT_EQ(overlay.convertFrom(source.get()), Rect(110, 45, 24, 22));
    EXPECT_EQ((ViewToWindowConverter { { 110, 45, 24, 22 }, target.get() }).convertTo(source.get()),
        Rect(30, 5, 24, 22));
}

TEST_F(WindowPlacementWidgets, ValetPlacesThePlacedWindowAgainstTheAnchorWindow)
{
    WindowRef anchor = shownWindow({ 200, 40, 24, 30 });
    WindowRef placed = makeWindow<Window>(WindowKind::panel);
    placed->resize(120, 80);

    WindowValet valet(anchor->contentView(), placed->contentView());
    ASSERT_EQ(valet.window(), placed.get());
    ASSERT_EQ(valet.sourceWindow(), anchor.get());
    valet.positionWindow(std::nullopt, RectEdge::maxY);

    std::optional<Rect> screen;
    if (const auto underMouse = Screen::underMouse())
        screen = underMouse->frame();
    EXPECT_EQ(placed->frame(),
        placedFrame({ 0, 0, 120, 80 }, anchor->frame(), RectEdge::maxY, 6, screen));

    valet.setAttachWindows(true);
    EXPECT_EQ(anchor->childWindows(), std::vector<Window*> { placed.get() });
    valet.setAttachWindows(false);
    EXPECT_TRUE(anchor->childWindows().empty());
}

} // namespace
} // namespace tidemark
