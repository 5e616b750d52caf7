#include "AppTestSupport.hpp"

#include "app/shell/AppMiddlewares.hpp"
#include "app/shell/AppWindows.hpp"
#include "app/shell/StatusItemDragMiddleware.hpp"
#include "entry/views/DataEntryControls.hpp"
#include "entry/views/DragDataEntryCard.hpp"
#include "entry/views/DragEventViewModifier.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "entry/views/YoyoBackView.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "entry/views/YoyoFrontView.hpp"
#include "platform/ui/FrameClock.hpp"
#include "toolkit/EditingHighlight.hpp"

#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

namespace tidemark {
namespace {

using Phase = DragGesturePhase;

AppAction phase(Phase p)
{
    return AppAction::DragGesture { DragGestureAction::Phase { p } };
}

AppAction pulledTo(double height)
{
    AnyDragGestureValue value;
    value.translation = { 0, height };
    value.location = { 1426, 12 + height };
    value.startLocation = { 1426, 12 };
    return AppAction::DragGesture { DragGestureAction::Value { value } };
}

bool isCreate(const AppAction& action)
{
    const auto* items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
    return items && items->action.asCreate();
}

// Counts the paints a widget receives.
class PaintCount final : public QObject {
public:
    explicit PaintCount(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

// The drag road as the program has it: the main store with the two middlewares of the drag,
// the windows store making the real overlay windows with their views, a frame clock that moves
// only when the test says so, and a record of every action the main store reduced. A pull is
// sent as the status item sends it.
class DragRoad : public test::ShellFixture {
protected:
    DragRoad() { setFrameClock(&m_frames); }

    void SetUp() override
    {
        auto log = m_log;
        m_store = makeStore({
            [log](const AppState&,
                const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                log->push_back(action);
                return rx::Publisher<AppAction>(rx::Empty<AppAction>());
            },
            makeStatusItemDragMiddleware(m_windowsStore),
            makeDragGestureMiddleware(m_windowsStore),
        });
        m_windowsStore->dispatch(AppWindowsAction::Store { m_store });
        m_windowsStore->dispatch(
            AppWindowsAction::DragDropMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
        m_back = m_windowsStore->state().yoyoDragBack->window;
        m_front = m_windowsStore->state().yoyoDragFront->window;
        ASSERT_TRUE(yoyoBackView(m_back) && yoyoFrontView(m_front));
        settle();
        // Where the icon stands: the status item reports it when it is laid out.
        m_store->dispatch(test::statusItem(
            StatusItemAction::Zevovozo { ZevovozoAction::Frame { Rect(1416, 2, 20, 20) } }));
        settle();
        m_log->clear();
    }

    void TearDown() override
    {
        m_windowsStore->dispatch(AppWindowsAction::TearDown {});
        ShellFixture::TearDown();
        setFrameClock(nullptr);
    }

    // Runs the main queue and the frames until nothing is left to do.
    void settle()
    {
        for (int i = 0; i < 20000; ++i) {
            const std::size_t ran = test::drainMainQueue();
            test::processEvents();
            if (m_frames.isRunning())
                m_frames.advance(1.0 / 60);
            else if (ran == 0)
                return;
        }
        ADD_FAILURE() << "the drag never came to rest";
    }

    // A few frames and queue turns: an animation under way, not finished.
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            test::drainMainQueue();
            m_frames.advance(1.0 / 60);
        }
        test::drainMainQueue();
    }

    void begin(double height = 10)
    {
        m_store->dispatch(phase(Phase::begin));
        m_store->dispatch(pulledTo(height));
        test::drainMainQueue();
    }
    void moveTo(double height)
    {
        if (m_store->state().dragGesture.phase != Phase::changed)
            m_store->dispatch(phase(Phase::changed));
        m_store->dispatch(pulledTo(height));
        test::drainMainQueue();
    }
    void release()
    {
        m_store->dispatch(phase(Phase::ended));
        test::drainMainQueue();
    }
    // Press, pull down to `height` in steps of 10, release.
    void pull(double height)
    {
        begin();
        for (double y = 20; y < height; y += 10)
            moveTo(y);
        moveTo(height);
        release();
    }

    // A pull `height` long from an icon inside the test screen, so the blob lands where the
    // window paints, not released.
    void pullOnScreen(double height)
    {
        m_store->dispatch(test::statusItem(
            StatusItemAction::Zevovozo { ZevovozoAction::Frame { Rect(300, 2, 20, 20) } }));
        settle();
        begin();
        moveTo(height);
        settle();
    }

    const AppState& state() const { return m_store->state(); }
    YoyoBackWidget* back() const { return yoyoBackView(m_back); }
    YoyoFrontWidget* front() const { return yoyoFrontView(m_front); }
    int count(bool (*which)(const AppAction&)) const
    {
        return int(std::count_if(m_log->begin(), m_log->end(), which));
    }
    std::optional<ZevovozoStatus> lastIconStatus() const
    {
        for (auto it = m_log->rbegin(); it != m_log->rend(); ++it) {
            if (const auto* status = caseAt<AppAction::View, ViewAction::StatusItem,
                    StatusItemAction::Zevovozo, ZevovozoAction::Status>(*it))
                return status->status;
        }
        return std::nullopt;
    }
    bool windowsShown() const { return m_back->isVisible() || m_front->isVisible(); }

    ManualFrameClock m_frames;
    AppWindowsStoreRef m_windowsStore = makeAppWindowsStore(m_windows);
    AppStoreRef m_store;
    WindowRef m_back;
    WindowRef m_front;
    std::shared_ptr<std::vector<AppAction>> m_log = std::make_shared<std::vector<AppAction>>();
};

TEST_F(DragRoad, ALongPullShowsOneCardAndItsSaveCreatesOneReminder)
{
    begin();
    ASSERT_TRUE(state().view.statusItem.dragFrame) << "the begin measures the icon";
    moveTo(40);
    EXPECT_TRUE(m_back->isVisible() && m_front->isVisible()) << "the first change shows both";
    moveTo(100);
    release();
    settle();

    EXPECT_TRUE(state().view.yoyo.drag.isPresented);
    EXPECT_NEAR(front()->cardPresentation(), 1, 1e-3);
    ASSERT_TRUE(state().dataEntry.editing);
    EXPECT_EQ(duration(*state().dataEntry.editing), 600.0) << "100² / 4² = 625 s: ten minutes";
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 1) << "the card holds the windows open";
    EXPECT_TRUE(back()->springDidComplete());

    // Return and the save shortcut in one turn: the second save finds the first one's mark.
    DragDataEntryConnectingWidget* card = front()->card();
    card->primaryAction();
    card->primaryAction();
    settle();
    EXPECT_EQ(count(isCreate), 1);
    EXPECT_FALSE(state().view.yoyo.drag.isPresented);
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 0);
    EXPECT_FALSE(windowsShown()) << "the last animate-out closes both windows";
    EXPECT_EQ(lastIconStatus(), ZevovozoStatus::idle)
        << "of the dismissal's two steps, the one that rests the icon comes last";
}

TEST_F(DragRoad, TheBackWindowIsReshapedOnceAPaintToWhatItThenPaints)
{
    pullOnScreen(40);
    // Count the reshapes from here on; they still reach the window.
    auto reshapes = std::make_shared<std::vector<QRegion>>();
    Window* window = m_back.get();
    back()->setOnPaintedRegionChanged([reshapes, window](const QRegion& region) {
        reshapes->push_back(region);
        window->setPaintedRegion(region);
    });
    // Moves and animation frames in one turn, as a pointer and the beat bring them.
    moveTo(60);
    m_frames.advance(1.0 / 60);
    moveTo(80);
    m_frames.advance(1.0 / 60);
    moveTo(100);
    EXPECT_TRUE(reshapes->empty()) << "nothing is reshaped before the paint";
    QDeadlineTimer limit(3000);
    while (reshapes->empty() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_EQ(reshapes->size(), 1u) << "one reshape for the turn's paint";
    EXPECT_EQ(reshapes->back(), back()->paintedRegion()) << "the region the paint draws";
    EXPECT_EQ(m_back->paintedRegion(), std::optional<QRegion>(reshapes->back()));
    test::processEvents();
    EXPECT_EQ(reshapes->size(), 1u) << "no paint, no reshape";
    release();
    settle();
}

TEST_F(DragRoad, TheTimeLabelKeepsItsShapeWhileTheTimeReadsTheSameAndTakesANewFont)
{
    pullOnScreen(100);
    const QRect label = back()->paintedRegion().boundingRect();
    // A pull a fraction longer reads the same: the label only moves, on whole pixels.
    moveTo(100.4);
    settle();
    const QRect moved = back()->paintedRegion().boundingRect();
    EXPECT_EQ(moved.size(), label.size());

    QFont larger = back()->font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    back()->setFont(larger);
    settle();
    const QRect relaid = back()->paintedRegion().boundingRect();
    EXPECT_GT(relaid.width(), label.width()) << "the same time, shaped in the new font";
    EXPECT_GT(relaid.height(), label.height());
    release();
    settle();
}

TEST_F(DragRoad, TheFrontWindowTakingOrLosingTheKeyboardRepaintsNothing)
{
    // The front window covers the screen and paints only its card: a repaint on a change of
    // focus (the window takes the keyboard as it appears) would redraw the whole screen.
    begin();
    moveTo(40);
    settle();
    ASSERT_TRUE(m_front->isVisible());
    PaintCount count(front());
    for (const QEvent::Type type : { QEvent::FocusIn, QEvent::FocusOut, QEvent::FocusIn }) {
        QFocusEvent event(type, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(front(), &event);
        test::processEvents();
    }
    EXPECT_EQ(count.paints, 0);
    release();
    settle();
}

TEST_F(DragRoad, AShortPullFadesOutAndLeavesNothing)
{
    pull(20); // 20 points: under the 22 of the minimum distance
    settle();
    EXPECT_FALSE(state().view.yoyo.drag.isPresented);
    EXPECT_FALSE(state().dataEntry.editing);
    EXPECT_EQ(state().view.yoyo.drag.blobOpacity, 0);
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 0);
    EXPECT_FALSE(windowsShown());
    EXPECT_EQ(lastIconStatus(), ZevovozoStatus::idle);
    EXPECT_EQ(count(isCreate), 0);
}

TEST_F(DragRoad, EachReleaseShowsOneCard)
{
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const auto before = std::count_if(m_log->begin(), m_log->end(), [](const AppAction& a) {
            const auto* p = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag,
                YoyoDragAction::IsPresented>(a);
            return p && p->isPresented;
        });
        pull(80);
        settle();
        const auto after = std::count_if(m_log->begin(), m_log->end(), [](const AppAction& a) {
            const auto* p = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag,
                YoyoDragAction::IsPresented>(a);
            return p && p->isPresented;
        });
        EXPECT_EQ(after - before, 1);
        EXPECT_TRUE(state().view.yoyo.drag.isPresented);
        // The next pull dismisses the card (and saves what it held) before its own shows.
    }
    EXPECT_EQ(count(isCreate), 2) << "each card a new pull dismissed saved its reminder";
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 1);
}

TEST_F(DragRoad, APullBegunWhileTheLastStillAnimatesOutFinishesThatOneFirst)
{
    pull(15);
    frames(3); // the short pull's fade is under way
    ASSERT_EQ(state().view.yoyo.drag.semaphore, 1);
    ASSERT_GT(back()->translationProgress(), 0);

    begin();
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 1) << "raised by the begin, lowered by the finish";
    EXPECT_EQ(back()->translationProgress(), 0);
    EXPECT_FALSE(back()->springDidComplete());

    for (double y = 20; y <= 100; y += 10)
        moveTo(y);
    release();
    settle();
    EXPECT_TRUE(state().view.yoyo.drag.isPresented) << "the new pull gets its card";
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 1);
    front()->card()->secondaryAction();
    settle();
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 0);
    EXPECT_FALSE(windowsShown());
}

TEST_F(DragRoad, ABeginAndEndWithoutAChangeIsNoDrag)
{
    pull(90);
    settle();
    ASSERT_TRUE(state().view.yoyo.drag.isPresented);
    const auto editing = state().dataEntry.editing;

    begin(40);
    release();
    settle();
    EXPECT_TRUE(state().view.yoyo.drag.isPresented) << "the card stays";
    EXPECT_EQ(state().dataEntry.editing, editing) << "no other reminder";
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 1);
    EXPECT_EQ(state().view.yoyo.drag.blobOpacity, 1);
    EXPECT_EQ(count(isCreate), 0);
}

TEST_F(DragRoad, APullWhileACardShowsKeepsItsBlobVisible)
{
    pull(90);
    settle();
    ASSERT_TRUE(state().view.yoyo.drag.isPresented);

    begin();
    moveTo(30);
    moveTo(60);
    settle();
    EXPECT_FALSE(state().view.yoyo.drag.isPresented) << "the pull dismissed the card";
    EXPECT_EQ(count(isCreate), 1) << "which saved what it held";
    EXPECT_EQ(state().view.yoyo.drag.blobOpacity, 1) << "the dismissal left the new blob alone";
    EXPECT_GT(back()->blobFrame().opacity, 0.99);
    EXPECT_NE(lastIconStatus(), ZevovozoStatus::idle);
    EXPECT_TRUE(windowsShown());

    release();
    settle();
    EXPECT_TRUE(state().view.yoyo.drag.isPresented);
}

TEST_F(DragRoad, EscapeLetsTheReminderGoAndTheIconRests)
{
    pull(90);
    settle();
    m_front->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_front.get()));
    QTest::keyClick(m_front.get(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(state().view.yoyo.drag.isPresented);
    EXPECT_EQ(count(isCreate), 0);
    EXPECT_EQ(state().view.yoyo.drag.semaphore, 0);
    EXPECT_FALSE(windowsShown());
    EXPECT_EQ(lastIconStatus(), ZevovozoStatus::idle);
}

TEST_F(DragRoad, WhatIsTypedFromTheReleaseOnReachesTheTitle)
{
    begin();
    for (double y = 20; y <= 100; y += 10)
        moveTo(y);
    ASSERT_TRUE(m_front->isVisible());
    QLineEdit* title = front()->card()->card()->timeView()->titleField();
    // Typed in the same moment as the release, before its state reaches the views: the keys
    // come to the window itself, nobody in it having the focus yet.
    m_store->dispatch(phase(Phase::ended));
    QTest::keyClicks(m_front.get(), QStringLiteral("Buy"));
    // Then the card begins to grow; the title has no focus yet, the view has.
    frames(2);
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_front.get()));
    ASSERT_NE(QApplication::focusWidget(), title);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" milk"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(count(isCreate), 0) << "Return waits for the text before it";
    settle();

    ASSERT_EQ(count(isCreate), 1);
    const auto* create
        = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(*std::find_if(
            m_log->begin(), m_log->end(), [](const AppAction& a) { return isCreate(a); }));
    const auto submitted = create->action.asCreate()->asSubmit();
    ASSERT_TRUE(submitted && submitted->input.size() == 1);
    EXPECT_EQ(submitted->input.begin()->title, "Buy milk");
    EXPECT_EQ(front()->pendingKeys(), 0u);
    EXPECT_FALSE(windowsShown());
}

} // namespace
} // namespace tidemark

namespace tidemark {
namespace {

TEST(DragCaptureOnTheIcon, AGrabTakenAwayMidPullEndsItAndTheNextPullBeginsAgain)
{
    QWidget icon;
    icon.resize(22, 22);
    icon.show();
    ZevovozoStatus status = ZevovozoStatus::idle;
    std::vector<DragGesturePhase> heard;
    DragEventViewModifier capture(
        &icon, [] { return QRectF(0, 0, 22, 22); },
        Binding<ZevovozoStatus> {
            [&] { return status; }, [&](const ZevovozoStatus& value) { status = value; } },
        [&](DragGesturePhase phase, const AnyDragGestureValue&) { heard.push_back(phase); });
    auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, icon.mapToGlobal(at), Qt::LeftButton, buttons, {});
        if (type == QEvent::MouseButtonPress)
            capture.press(&event);
        else if (type == QEvent::MouseMove)
            capture.move(&event);
        else
            capture.release(&event);
    };

    mouse(QEvent::MouseButtonPress, { 11, 11 }, Qt::LeftButton);
    mouse(QEvent::MouseMove, { 11, 30 }, Qt::LeftButton);
    mouse(QEvent::MouseMove, { 11, 50 }, Qt::LeftButton);
    ASSERT_TRUE(capture.isDragging());
    // Another client grabs the pointer: Qt tells the icon it lost its grab.
    QEvent ungrab(QEvent::UngrabMouse);
    QCoreApplication::sendEvent(&icon, &ungrab);
    EXPECT_FALSE(capture.isDragging());
    EXPECT_EQ(heard, (std::vector { Phase::begin, Phase::changed, Phase::ended }));

    heard.clear();
    mouse(QEvent::MouseButtonPress, { 11, 11 }, Qt::LeftButton);
    mouse(QEvent::MouseMove, { 11, 40 }, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, { 11, 40 }, Qt::NoButton);
    EXPECT_EQ(heard, (std::vector { Phase::begin, Phase::ended }))
        << "the next pull begins afresh, with its own start";
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
} // namespace tidemark

namespace tidemark {
namespace {

// The label's time lines are shaped once and drawn many times: drawn, they must be the text
// as the painter draws it, each piece in its colour on its line's baseline.
TEST(TimeLines, ShapedOnceTheyDrawAsThePainterDrawsTheirText)
{
    const TimeLinesText text { TimeView::Phrase { "in ", "10 min", "" },
        TimeView::Phrase { "at ", "16:51", "" } };
    const QFont font = timeLinesFont(QApplication::font());
    const double spacing = TimeView::lineSpacing(false);
    const double runPaddingX = EditingViewModifier::horizontalPadding;
    const double runPaddingY = EditingViewModifier::verticalPadding;
    const TimeLinesLayout layout(text, font, spacing);
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::WindowText, QColor(20, 30, 200));

    for (const QPointF topLeft : { QPointF(3, 4), QPointF(7.5, 2.25) }) {
        SCOPED_TRACE(topLeft.x());
        QImage drawn(200, 120, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(Qt::white);
        {
            QPainter painter(&drawn);
            layout.paint(painter, topLeft, palette, 1);
        }
        // The same pieces drawn the plain way.
        QImage expected(drawn.size(), drawn.format());
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            painter.setFont(font);
            const QFontMetricsF metrics(font);
            const double lineHeight = std::ceil(metrics.height()) + 2 * runPaddingY;
            double y = topLeft.y();
            for (const TimeView::Phrase& line : { *text.relative, text.absolute }) {
                double x = topLeft.x() + runPaddingX;
                for (const auto& [part, primary] :
                    { std::pair { line.before, false }, std::pair { line.value, true } }) {
                    QColor colour(20, 30, 200);
                    if (!primary)
                        colour.setAlphaF(0.55f);
                    painter.setPen(colour);
                    painter.drawText(QPointF(x, y + runPaddingY + metrics.ascent()),
                        QString::fromStdString(part));
                    x += metrics.horizontalAdvance(QString::fromStdString(part));
                }
                y += lineHeight + spacing;
            }
        }
        int differing = 0;
        int inked = 0;
        for (int row = 0; row < drawn.height(); ++row) {
            for (int column = 0; column < drawn.width(); ++column) {
                const QRgb a = drawn.pixel(column, row);
                const QRgb b = expected.pixel(column, row);
                if (std::abs(qRed(a) - qRed(b)) > 8 || std::abs(qGreen(a) - qGreen(b)) > 8
                    || std::abs(qBlue(a) - qBlue(b)) > 8)
                    ++differing;
                if (a != qRgb(255, 255, 255))
                    ++inked;
            }
        }
        EXPECT_EQ(differing, 0);
        EXPECT_GT(inked, 100) << "the text was drawn";
    }
    EXPECT_GT(layout.size().width(), 40);
    EXPECT_GT(layout.size().height(), 2 * QFontMetricsF(font).height());
}

} // namespace
} // namespace tidemark
