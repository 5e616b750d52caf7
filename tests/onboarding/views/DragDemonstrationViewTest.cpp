// The drag demonstration on a manual frame clock and a manual timer: it runs only while on
// screen, its picture moves with the steps' animations and rests between them, and the
// places that show it start and stop it.
#include "onboarding/views/DragDemonstrationView.hpp"
#include "core/state/AppState.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "onboarding/views/OnboardingPages.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "onboarding/views/WhatsNewWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"

#include <QApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace tidemark {
namespace {

// One timer on the frame clock's time line: `fire` moves the clock to the end of the wait,
// running frames on the way, and ends it.
class ClockTimer final : public DragDemonstrationTimer {
public:
    explicit ClockTimer(ManualFrameClock& clock)
        : m_clock(clock)
    {
    }
    void start(double seconds, std::function<void()> done) override
    {
        m_due = m_clock.now() + seconds;
        m_done = std::move(done);
        waits.push_back(seconds);
    }
    void stop() override
    {
        m_due.reset();
        m_done = nullptr;
    }
    bool isActive() const override { return m_due.has_value(); }

    // Frames 1/60 s apart up to the end of the wait; returns how many frames ran.
    int fire()
    {
        int frames = 0;
        while (m_clock.now() + 1.0 / 60 < *m_due) {
            m_clock.advance(1.0 / 60);
            if (m_clock.isRunning())
                ++frames;
        }
        m_clock.passTime(*m_due - m_clock.now());
        m_due.reset();
        auto done = std::move(m_done);
        m_done = nullptr;
        done();
        return frames;
    }

    std::vector<double> waits;

private:
    ManualFrameClock& m_clock;
    std::optional<double> m_due;
    std::function<void()> m_done;
};

class DragDemonstrationViewTest : public testing::Test {
protected:
    ManualFrameClock clock;
    ClockTimer timer { clock };
};

TEST_F(DragDemonstrationViewTest, ThePictureMovesWithEachStepAndRestsBetweenThem)
{
    DragInteractionDemoView view(true, nullptr, &clock, &timer);
    view.resize(324, 200);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    ASSERT_TRUE(view.isRunning());
    const auto near = [](Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y) < 0.5; };
    // From 50 below the icon to the icon within the step's second; the last 0.2 s of the
    // wait run no frames.
    EXPECT_EQ(view.cursorShown(), (Point { 162, 61 }));
    EXPECT_LE(timer.fire(), 61);
    EXPECT_EQ(view.cursorShown(), (Point { 162, 11 }));

    timer.fire(); // hovering
    timer.fire(); // dragging: the blob shows and is pulled 50 down with the pointer
    EXPECT_TRUE(near(view.cursorShown(), { 162, 61 }));
    EXPECT_NEAR(view.blobShown().model.translation.height, 50, 0.5);
    EXPECT_NEAR(view.blobShown().opacity, 1, 0.01);
    timer.fire(); // back up
    EXPECT_NEAR(view.blobShown().model.translation.height, 1, 0.5);
    timer.fire(); // hidden
    timer.fire(); // rest, and the next pass begins
    EXPECT_EQ(view.cycle().step(), DragDemonstrationStep::moveCursorToIcon);
    EXPECT_EQ(timer.waits, (std::vector<double> { 1.2, 1.0, 1.0, 0.4, 0.1, 1.5, 1.2 }));
    EXPECT_DOUBLE_EQ(view.blobShown().opacity, 0);
}

TEST_F(DragDemonstrationViewTest, ItRunsOnlyWhileOnScreen)
{
    struct Case {
        const char* name;
        std::function<void(DragInteractionDemoView&)> act;
        bool running;
        bool moving; // anything still asks the frame clock for frames
    };
    const Case cases[] = {
        { "hidden", [](DragInteractionDemoView& v) { v.hide(); }, false, false },
        { "its place out of view", [](DragInteractionDemoView& v) { v.setInView(false); }, false,
            false },
        { "playing switched off", [](DragInteractionDemoView& v) { v.setPlaying(false); }, false,
            true },
        { "shown again",
            [](DragInteractionDemoView& v) {
                v.hide();
                v.show();
            },
            true, true },
        { "back in view",
            [](DragInteractionDemoView& v) {
                v.setInView(false);
                v.setInView(true);
            },
            true, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DragInteractionDemoView view(true, nullptr, &clock, &timer);
        view.resize(324, 200);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        timer.fire();
        c.act(view);
        EXPECT_EQ(view.isRunning(), c.running);
        EXPECT_EQ(timer.isActive(), c.running);
        EXPECT_EQ(clock.isRunning(), c.moving);
    }

    // Appearing plays even when the flag says not to.
    DragInteractionDemoView idle(false, nullptr, &clock, &timer);
    idle.setAttribute(Qt::WA_DontShowOnScreen);
    idle.show();
    EXPECT_TRUE(idle.isRunning());
}

TEST_F(DragDemonstrationViewTest, TheLastPagePlaysItOnlyWhileSelected)
{
    const Date now = dateFromTimeIntervalSince1970(1'700'000'000);
    AppState state = AppState::initial(now, Calendar("UTC"));
    state.view.onboarding.isPresented = true;
    auto store = AppStore::make(state, test::rootReducer(std::make_shared<ManualClock>(now)), {});
    OnboardingContainerView view(store);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    test::drainMainQueue();
    QApplication::processEvents();
    auto* last = static_cast<OnboardingLastView*>(view.view()->page(OnboardingPage::completion));
    ASSERT_TRUE(last);
    EXPECT_FALSE(last->demonstration()->isRunning());

    store->dispatch(AppAction::View {
        ViewAction::Onboarding { OnboardingAction::Selection { OnboardingPage::completion } } });
    test::drainMainQueue();
    EXPECT_TRUE(last->demonstration()->isRunning());

    store->dispatch(AppAction::View { ViewAction::Onboarding { OnboardingAction::Back {} } });
    test::drainMainQueue();
    EXPECT_FALSE(last->demonstration()->isRunning());
    view.hide();
}

TEST_F(DragDemonstrationViewTest, ThePopoversEmptyViewShowsWhatItsMakerGives)
{
    PopoverEmptyView plain;
    EXPECT_EQ(plain.demonstration(), nullptr);
    plain.setPlaying(true); // nothing to tell

    setPopoverEmptyDemonstrationFactory(makePopoverDragDemonstration);
    {
        PopoverEmptyView empty;
        auto* demonstration = dynamic_cast<DragInteractionDemoView*>(empty.demonstration());
        ASSERT_TRUE(demonstration);
        EXPECT_FALSE(demonstration->isPlaying());
        empty.setPlaying(true);
        EXPECT_TRUE(demonstration->isPlaying());
        empty.setAttribute(Qt::WA_DontShowOnScreen);
        empty.show();
        EXPECT_TRUE(demonstration->isRunning());
        empty.hide();
        EXPECT_FALSE(demonstration->isRunning());
    }
    setPopoverEmptyDemonstrationFactory(nullptr);
}

TEST(WhatsNewWindowSize, TheSmallestSizeFitsTheScreenAndKeepsFiveToFour)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(screen);
    const QRect free = screen->availableGeometry();
    const QSize minimum = whatsNewMinimumSize();
    EXPECT_LE(minimum.width(), free.width());
    EXPECT_LE(minimum.height(), free.height());
    EXPECT_NEAR(double(minimum.width()) / minimum.height(), 1.25, 0.01);
}

} // namespace
} // namespace tidemark
