#include "platform/ui/StatusBar.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <ostream>

namespace tidemark {

void PrintTo(const Rect& r, std::ostream* os);

namespace {

void processEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A hosted view that records what reaches it and wants the width it is told.
class RecordingView final : public QWidget {
public:
    struct Received {
        QEvent::Type type;
        QPointF position;
        Qt::MouseButtons buttons;
        QPoint angleDelta;
    };

    explicit RecordingView(int width = 30)
        : m_width(width)
    {
    }

    void setPreferredWidth(int width)
    {
        m_width = width;
        updateGeometry();
    }
    QSize sizeHint() const override { return { m_width, 22 }; }

    std::vector<QEvent::Type> types() const
    {
        std::vector<QEvent::Type> result;
        for (const Received& r : received)
            result.push_back(r.type);
        return result;
    }

    std::vector<Received> received;

protected:
    bool event(QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            received.push_back({ event->type(), mouse->position(), mouse->buttons(), {} });
            break;
        }
        case QEvent::Enter:
            received.push_back(
                { event->type(), static_cast<QEnterEvent*>(event)->position(), {}, {} });
            break;
        case QEvent::Leave:
            received.push_back({ event->type(), {}, {}, {} });
            break;
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            received.push_back({ event->type(), wheel->position(), {}, wheel->angleDelta() });
            break;
        }
        default:
            break;
        }
        return QWidget::event(event);
    }

private:
    int m_width;
};

Rect usableArea()
{
    return fromQt(QGuiApplication::primaryScreen()->availableGeometry());
}

TEST(StatusBar, StripIsAsWideAsItsItemsAtTheTopRightAndHiddenWhenEmpty)
{
    StatusBar bar;
    EXPECT_EQ(bar.window()->windowTitle(), QStringLiteral("Tidemark status bar"));
    EXPECT_FALSE(bar.window()->isVisible());
    const Qt::WindowFlags flags = bar.window()->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));

    StatusItemRef first = bar.statusItem(40);
    StatusItemRef second = bar.statusItem(StatusItem::squareLength);
    const Rect area = usableArea();
    EXPECT_TRUE(bar.window()->isVisible());
    EXPECT_EQ(bar.frame(), Rect(area.maxX() - 64, area.minY(), 64, 24));
    // The first item made stands rightmost.
    EXPECT_EQ(first->frame(), Rect(area.maxX() - 40, area.minY(), 40, 24));
    EXPECT_EQ(second->frame(), Rect(area.maxX() - 64, area.minY(), 24, 24));

    second->setVisible(false);
    EXPECT_EQ(bar.frame().width(), 40);
    second->setVisible(true);

    first.reset();
    EXPECT_EQ(bar.items().size(), 1u);
    EXPECT_EQ(bar.frame(), Rect(area.maxX() - 24, area.minY(), 24, 24));
    EXPECT_EQ(second->frame(), bar.frame());

    second.reset();
    EXPECT_TRUE(bar.items().empty());
    EXPECT_FALSE(bar.window()->isVisible());
}

TEST(StatusBar, VariableLengthItemsFollowTheirContentAndReportMoves)
{
    StatusBar bar;
    StatusItemRef icon = bar.statusItem(StatusItem::variableLength);
    StatusItemRef other = bar.statusItem(20);
    auto* view = new RecordingView(30);
    addPinnedSubview(icon->button(), view);
    processEvents();

    const Rect area = usableArea();
    EXPECT_EQ(icon->frame(), Rect(area.maxX() - 30, area.minY(), 30, 24));
    EXPECT_EQ(fromQt(view->geometry()), Rect(0, 0, 30, 24));

    QSignalSpy iconMoved(icon.get(), &StatusItem::moved);
    QSignalSpy otherMoved(other.get(), &StatusItem::moved);
    view->setPreferredWidth(70);
    processEvents();
    EXPECT_EQ(icon->frame(), Rect(area.maxX() - 70, area.minY(), 70, 24));
    EXPECT_EQ(other->frame(), Rect(area.maxX() - 90, area.minY(), 20, 24));
    EXPECT_EQ(bar.frame().width(), 90);
    EXPECT_EQ(iconMoved.count(), 1);
    EXPECT_EQ(otherMoved.count(), 1);

    // A change to the left of an item leaves it where it is.
    other->setLength(50);
    EXPECT_EQ(iconMoved.count(), 1);
    EXPECT_EQ(otherMoved.count(), 2);
}

TEST(StatusBar, DeliversPressDragReleaseToTheHostedViewEvenOutsideTheStrip)
{
    StatusBar bar;
    StatusItemRef item = bar.statusItem(StatusItem::variableLength);
    auto* view = new RecordingView(40);
    addPinnedSubview(item->button(), view);
    processEvents();
    QWindow* strip = bar.window()->windowHandle();
    ASSERT_NE(strip, nullptr);

    const QPoint inItem = item->button()->geometry().topLeft() + QPoint(20, 12);
    QTest::mousePress(strip, Qt::LeftButton, {}, inItem);
    // Pulled down and out of the strip: the pressed view keeps the pointer.
    QTest::mouseMove(strip, inItem + QPoint(-5, 60));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, inItem + QPoint(-5, 60));

    std::vector<RecordingView::Received> mouse;
    for (const auto& r : view->received) {
        if (r.type != QEvent::Enter && r.type != QEvent::Leave)
            mouse.push_back(r);
    }
    // QTest moves the pointer onto the press position first.
    if (!mouse.empty() && mouse.front().type == QEvent::MouseMove)
        mouse.erase(mouse.begin());
    ASSERT_EQ(mouse.size(), 3u);
    EXPECT_EQ(mouse[0].type, QEvent::MouseButtonPress);
    EXPECT_EQ(mouse[0].position, QPointF(20, 12));
    EXPECT_EQ(mouse[1].type, QEvent::MouseMove);
    EXPECT_EQ(mouse[1].position, QPointF(15, 72));
    EXPECT_EQ(mouse[1].buttons, Qt::MouseButtons(Qt::LeftButton));
    EXPECT_EQ(mouse[2].type, QEvent::MouseButtonRelease);
    EXPECT_EQ(mouse[2].position, QPointF(15, 72));
}

TEST(StatusBar, DeliversHoverAndWheelToTheViewUnderThePointer)
{
    StatusBar bar;
    StatusItemRef first = bar.statusItem(StatusItem::variableLength);
    StatusItemRef second = bar.statusItem(StatusItem::variableLength);
    auto* firstView = new RecordingView(40);
    auto* secondView = new RecordingView(40);
    addPinnedSubview(first->button(), firstView);
    addPinnedSubview(second->button(), secondView);
    processEvents();
    QWindow* strip = bar.window()->windowHandle();
    ASSERT_NE(strip, nullptr);
    const QPoint inFirst = first->button()->geometry().topLeft() + QPoint(20, 12);
    const QPoint inSecond = second->button()->geometry().topLeft() + QPoint(20, 12);

    // The pointer comes onto the strip over the first item, as the window system says.
    QEnterEvent enter { QPointF(inFirst), QPointF(inFirst), QPointF(strip->mapToGlobal(inFirst)) };
    QCoreApplication::sendEvent(strip, &enter);
    QTest::mouseMove(strip, inFirst);
    QTest::mouseMove(strip, inFirst + QPoint(3, 0));
    QTest::mouseMove(strip, inSecond);
    const std::vector<QEvent::Type> hover { QEvent::Enter, QEvent::MouseMove, QEvent::MouseMove,
        QEvent::Leave };
    EXPECT_EQ(firstView->types(), hover);
    ASSERT_FALSE(secondView->received.empty());
    EXPECT_EQ(secondView->received.front().type, QEvent::Enter);
    EXPECT_EQ(firstView->received[2].position, QPointF(23, 12));

    firstView->received.clear();
    secondView->received.clear();
    QWheelEvent wheel(QPointF(inFirst), QPointF(strip->mapToGlobal(inFirst)), QPoint(0, 0),
        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(strip, &wheel);
    ASSERT_EQ(firstView->types(), std::vector<QEvent::Type> { QEvent::Wheel });
    EXPECT_EQ(firstView->received[0].angleDelta, QPoint(0, -120));
    EXPECT_EQ(firstView->received[0].position, QPointF(20, 12));
    EXPECT_TRUE(secondView->received.empty() || secondView->types().front() != QEvent::Wheel);
}

TEST(StatusBar, ButtonHighlightAndReleaseFromInsideAnEvent)
{
    StatusBar bar;
    StatusItemRef item = bar.statusItem(24);
    item->button()->highlight(true);
    EXPECT_TRUE(item->button()->isHighlighted());
    item->button()->highlight(false);
    EXPECT_FALSE(item->button()->isHighlighted());

    // Releasing the item from a press on its own view (a click that disables the extra)
    // must neither crash nor leave the item on screen.
    auto* view = new RecordingView(24);
    addPinnedSubview(item->button(), view);
    processEvents();
    QPointer<QWidget> button = item->button();
    view->installEventFilter(new QObject(view));
    struct Releaser : QObject {
        StatusItemRef* ref;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::MouseButtonPress)
                ref->reset();
            return false;
        }
    } releaser;
    releaser.ref = &item;
    view->installEventFilter(&releaser);
    QTest::mousePress(
        bar.window()->windowHandle(), Qt::LeftButton, {}, button->geometry().center());
    EXPECT_FALSE(item);
    EXPECT_TRUE(bar.items().empty());
    EXPECT_FALSE(bar.window()->isVisible());
    processEvents();
    EXPECT_FALSE(button);
}

} // namespace
} // namespace tidemark
