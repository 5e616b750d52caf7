#include "platform/ui/Animator.hpp"
#include "platform/ui/FrameClock.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace tidemark {
namespace {

constexpr double frame = 1.0 / 60;

// The textbook motion of a damped spring released at rest, `x0` from its target.
double releasedAtRest(double response, double zeta, double x0, double t)
{
    const double omega = 2 * std::numbers::pi / response;
    if (zeta < 1) {
        const double omegaD = omega * std::sqrt(1 - zeta * zeta);
        return std::exp(-zeta * omega * t)
            * (x0 * std::cos(omegaD * t) + zeta * omega * x0 / omegaD * std::sin(omegaD * t));
    }
    if (zeta == 1)
        return x0 * std::exp(-omega * t) * (1 + omega * t);
    const double root = std::sqrt(zeta * zeta - 1);
    const double r1 = -omega * (zeta - root);
    const double r2 = -omega * (zeta + root);
    return x0 * (r1 * std::exp(r2 * t) - r2 * std::exp(r1 * t)) / (r1 - r2);
}

// The same with a starting velocity, underdamped only.
double releasedMoving(double response, double zeta, double x0, double v0, double t)
{
    const double omega = 2 * std::numbers::pi / response;
    const double decay = zeta * omega;
    const double omegaD = omega * std::sqrt(1 - zeta * zeta);
    return std::exp(-decay * t)
        * (x0 * std::cos(omegaD * t) + (v0 + decay * x0) / omegaD * std::sin(omegaD * t));
}

class Animators : public testing::Test {
protected:
    void SetUp() override { setFrameClock(&clock); }
    void TearDown() override { setFrameClock(nullptr); }

    ManualFrameClock clock;
};

TEST_F(Animators, SpringFollowsTheClosedFormAndSettlesExactlyOnItsTarget)
{
    struct Case {
        const char* name;
        double dampingFraction;
        bool overshoots;
    };
    const Case cases[] = {
        { "underdamped", 0.46, true },
        { "critically damped", 1.0, false },
        { "overdamped", 1.6, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Animated<double> value(0.0);
        std::vector<double> written;
        int arrivals = 0;
        auto frames = value.onFrame([&](const double& v) { written.push_back(v); });
        auto reached = value.onTargetReached([&] { ++arrivals; });
        const double start = clock.now();
        value.setTarget(1.0, Animation::spring(0.35, c.dampingFraction));
        ASSERT_TRUE(clock.isRunning());

        double peak = 0;
        int frameCount = 0;
        while (value.isAnimating() && frameCount < 10000) {
            clock.advance(frame);
            ++frameCount;
            if (!value.isAnimating())
                break;
            const double expected
                = 1.0 + releasedAtRest(0.35, c.dampingFraction, -1.0, clock.now() - start);
            ASSERT_NEAR(value.value(), expected, 1e-9) << "frame " << frameCount;
            peak = std::max(peak, value.value());
        }
        EXPECT_FALSE(value.isAnimating());
        EXPECT_EQ(value.value(), 1.0) << "the last frame writes the target exactly";
        EXPECT_EQ(value.velocity(), 0.0);
        EXPECT_EQ(written.back(), 1.0);
        EXPECT_EQ(arrivals, 1);
        EXPECT_FALSE(clock.isRunning()) << "the clock stops once nothing moves";
        EXPECT_EQ(peak > 1.0, c.overshoots) << "peak " << peak;
    }
}

TEST_F(Animators, UnderdampedPeakMatchesTheOvershootOfTheClosedForm)
{
    // Fine frames, so the highest frame lies within a hair of the true peak.
    Animated<double> value(0.0);
    value.setTarget(1.0, Animation::spring(0.35, 0.46));
    double peak = 0;
    double peakTime = 0;
    while (value.isAnimating()) {
        clock.advance(0.0005);
        if (value.value() > peak) {
            peak = value.value();
            peakTime = clock.now();
        }
    }
    const double zeta = 0.46;
    const double omegaD = 2 * std::numbers::pi / 0.35 * std::sqrt(1 - zeta * zeta);
    EXPECT_NEAR(peak, 1 + std::exp(-std::numbers::pi * zeta / std::sqrt(1 - zeta * zeta)), 1e-5);
    EXPECT_NEAR(peakTime, std::numbers::pi / omegaD, 0.001);
}

TEST_F(Animators, RetargetKeepsValueAndVelocityAndFollowsTheNewSpringFromThere)
{
    Animated<double> value(0.0);
    value.setTarget(100.0, Animation::spring(0.5, 0.5));
    clock.runFrames(9);
    const double x = value.value();
    const double v = value.velocity();
    ASSERT_GT(v, 0);

    // A new target at the very moment of the last frame: nothing may jump.
    value.setTarget(40.0, Animation::spring(0.3, 0.7));
    EXPECT_EQ(value.value(), x);
    EXPECT_NEAR(value.velocity(), v, 1e-9);
    EXPECT_EQ(value.target(), 40.0);

    for (int n = 1; n <= 20; ++n) {
        clock.advance(frame);
        ASSERT_NEAR(value.value(), 40.0 + releasedMoving(0.3, 0.7, x - 40.0, v, n * frame), 1e-9)
            << "frame " << n;
    }
    clock.runUntilIdle();
    EXPECT_EQ(value.value(), 40.0);
}

TEST_F(Animators, RetargetBetweenFramesStartsFromTheStateOfThatMoment)
{
    Animated<double> value(0.0);
    value.setTarget(1.0, Animation::spring(0.4, 0.6));
    clock.runFrames(5);
    // Half a frame later, with no frame between, a new target arrives.
    clock.passTime(frame / 2);
    const double t = 5.5 * frame;
    const double h = 1e-6;
    const double x = 1.0 + releasedAtRest(0.4, 0.6, -1.0, t);
    const double v
        = (releasedAtRest(0.4, 0.6, -1.0, t + h) - releasedAtRest(0.4, 0.6, -1.0, t - h)) / (2 * h);
    value.setTarget(0.2, Animation::spring(0.25, 0.5));
    clock.advance(frame / 2);
    EXPECT_NEAR(value.value(), 0.2 + releasedMoving(0.25, 0.5, x - 0.2, v, frame / 2), 1e-6);

    // A timed curve taking over starts from where the value stands, not from a target.
    const double before = value.value();
    value.setTarget(-1.0, Animation::easeInOut(0.3));
    clock.advance(frame);
    EXPECT_LT(value.value(), before);
    EXPECT_GT(value.value(), before - 0.1);
    clock.runUntilIdle();
    EXPECT_EQ(value.value(), -1.0);
}

TEST_F(Animators, BlendDurationEasesTheOldResponseIntoTheNew)
{
    // Three copies of one motion, retargeted alike: with the new spring outright, with the
    // old response kept, and blended over 0.25 s.
    Animated<double> sudden(0.0);
    Animated<double> old(0.0);
    Animated<double> blended(0.0);
    for (Animated<double>* v : { &sudden, &old, &blended })
        v->setTarget(1.0, Animation::spring(0.6, 0.8));
    clock.runFrames(6);
    sudden.setTarget(0.0, Animation::spring(0.15, 0.8));
    old.setTarget(0.0, Animation::spring(0.6, 0.8));
    blended.setTarget(0.0, Animation::spring(0.15, 0.8, 0.25));

    clock.runFrames(3);
    // Early in the blend it is still mostly the old, slow spring.
    EXPECT_LT(std::abs(blended.value() - old.value()), std::abs(blended.value() - sudden.value()));
    const auto between
        = [](double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); };
    EXPECT_TRUE(between(blended.value(), old.value(), sudden.value()));

    // After the blend, each frame is the new spring's closed form from the frame before.
    clock.runFrames(15);
    ASSERT_TRUE(blended.isAnimating());
    const double x = blended.value();
    const double v = blended.velocity();
    clock.advance(frame);
    EXPECT_NEAR(blended.value(), releasedMoving(0.15, 0.8, x, v, frame), 1e-9);
    clock.runUntilIdle();
    EXPECT_EQ(blended.value(), 0.0);
}

TEST_F(Animators, DelayedAnimationWaitsWhileTheOldMotionRunsOn)
{
    Animated<double> idle(0.0);
    int idleWrites = 0;
    auto token = idle.onFrame([&](const double&) { ++idleWrites; });
    idle.setTarget(10.0, Animation::linear(0.5).delayed(0.1));
    EXPECT_EQ(idle.target(), 10.0);
    EXPECT_TRUE(clock.isRunning()) << "a delay keeps the clock going";
    clock.runFrames(5); // 0.083 s
    EXPECT_EQ(idle.value(), 0.0);
    EXPECT_EQ(idleWrites, 0) << "nothing is written while it waits";
    clock.runFrames(3); // 0.133 s: 0.033 s into the move
    EXPECT_NEAR(idle.value(), 10.0 * (8 * frame - 0.1) / 0.5, 1e-9);
    clock.runUntilIdle();
    EXPECT_EQ(idle.value(), 10.0);

    // A delayed change to a value in motion: the motion goes on until the delay is over.
    Animated<double> moving(0.0);
    moving.setTarget(100.0, Animation::linear(1));
    clock.runFrames(6);
    moving.setTarget(0.0, Animation::linear(1).delayed(0.2));
    clock.runFrames(6);
    EXPECT_NEAR(moving.value(), 100.0 * 12 * frame, 1e-9) << "still on the old course";
    clock.runFrames(12); // 0.4 s: 0.1 s into the new move, which began at 0.3 s of the old
    const double from = 100.0 * (0.1 + 0.2);
    EXPECT_NEAR(moving.value(), from - from * 0.1, 1e-9);
    clock.runUntilIdle();
    EXPECT_EQ(moving.value(), 0.0);
}

TEST_F(Animators, TimingCurvesRunTheirBezierOverTheirDuration)
{
    struct Case {
        const char* name;
        Animation animation;
        double lowAtHalf;
        double highAtHalf;
    };
    const Case cases[] = {
        { "linear", Animation::linear(1), 0.5 - 1e-9, 0.5 + 1e-9 },
        { "ease in: slow start", Animation::easeIn(1), 0.2, 0.45 },
        { "ease out: fast start", Animation::easeOut(1), 0.55, 0.8 },
        { "ease in and out: symmetric", Animation::easeInOut(1), 0.5 - 1e-6, 0.5 + 1e-6 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Animated<double> value(0.0);
        value.setTarget(1.0, c.animation);
        clock.runFrames(30);
        EXPECT_GE(value.value(), c.lowAtHalf);
        EXPECT_LE(value.value(), c.highAtHalf);
        clock.runFrames(29);
        EXPECT_LT(value.value(), 1.0);
        EXPECT_TRUE(value.isAnimating());
        clock.runFrames(2);
        EXPECT_EQ(value.value(), 1.0) << "lands exactly once its duration is over";
        EXPECT_FALSE(clock.isRunning());
    }
}

TEST_F(Animators, SetJumpsOutsideATransactionAndAnimatesInsideOne)
{
    Animated<Point> point({ 0, 0 });
    std::vector<Point> written;
    int arrivals = 0;
    auto frames = point.onFrame([&](const Point& p) { written.push_back(p); });
    auto reached = point.onTargetReached([&] { ++arrivals; });

    point.set({ 3, 4 });
    EXPECT_EQ(point.value(), (Point { 3, 4 }));
    EXPECT_EQ(written, (std::vector<Point> { { 3, 4 } })) << "a jump is one write";
    EXPECT_EQ(arrivals, 1);
    EXPECT_FALSE(clock.isRunning());

    point.set({ 3, 4 });
    EXPECT_EQ(written.size(), 1u) << "the same target again writes nothing";

    withAnimation(Animation::spring(), [&] { point.set({ 30, 40 }); });
    EXPECT_EQ(point.value(), (Point { 3, 4 }));
    EXPECT_TRUE(clock.isRunning());
    clock.runFrames(3);
    EXPECT_GT(point.value().x, 3);
    EXPECT_LT(point.value().x, 30);
    // Both components ride the same spring: the point moves along the straight line.
    EXPECT_NEAR((point.value().y - 4) / (point.value().x - 3), 36.0 / 27.0, 1e-9);

    point.set({ 30, 40 });
    EXPECT_TRUE(point.isAnimating()) << "setting the target it heads for again cuts nothing short";

    point.set({ 0, 0 });
    EXPECT_EQ(point.value(), (Point { 0, 0 })) << "a jump in mid-flight wins";
    EXPECT_FALSE(point.isAnimating());
    EXPECT_FALSE(clock.isRunning());
}

TEST_F(Animators, DegenerateAnimationsLandAtOnceAndNeverWriteNaN)
{
    struct Case {
        const char* name;
        Animation animation;
        bool atOnce;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        { "spring of no response", Animation::spring(0, 0.5), true },
        { "spring of negative response", Animation::spring(-1, 0.5), true },
        { "spring of infinite response", Animation::spring(inf, 0.5), true },
        { "timed curve of no duration", Animation::linear(0), true },
        { "timed curve of negative duration", Animation::linear(-2), true },
        { "timed curve of infinite duration", Animation::linear(inf), true },
        { "spring with damping not a number", Animation::spring(0.3, nan), false },
        { "spring with negative damping", Animation::spring(0.3, -4), false },
        { "spring with infinite damping", Animation::spring(0.3, inf), false },
        { "delay not a number", Animation::linear(0.2).delayed(nan), false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Animated<Rect> rect(Rect { 0, 0, 10, 10 });
        bool finite = true;
        auto check = rect.onFrame([&](const Rect& r) {
            finite = finite && std::isfinite(r.x()) && std::isfinite(r.width());
        });
        rect.setTarget({ 50, 60, 70, 80 }, c.animation);
        EXPECT_EQ(!rect.isAnimating(), c.atOnce);
        clock.runFrames(600);
        EXPECT_TRUE(finite);
        if (c.name != std::string("spring with negative damping")) {
            clock.runUntilIdle(frame, 200000);
            EXPECT_EQ(rect.value(), (Rect { 50, 60, 70, 80 }));
        }
        rect.jump({});
    }
    EXPECT_FALSE(clock.isRunning());
}

TEST_F(Animators, ColourEndsExactlyOnItsTargetAndStaysValidWhileASpringOvershoots)
{
    Animated<QColor> colour { QColor(Qt::black) };
    bool valid = true;
    auto check = colour.onFrame([&](const QColor& c) { valid = valid && c.isValid(); });
    colour.setTarget(QColor(255, 128, 0, 200), Animation::spring(0.3, 0.2));
    clock.runUntilIdle();
    EXPECT_TRUE(valid);
    EXPECT_EQ(colour.value(), QColor(255, 128, 0, 200));
}

TEST_F(Animators, HooksMayDestroyOrRetargetTheirValueInMidFrame)
{
    auto doomed = std::make_unique<Animated<double>>(0.0);
    Animated<double> neighbour(0.0);
    int calls = 0;
    auto destroy = doomed->onFrame([&](const double&) { doomed.reset(); });
    auto later = doomed->onFrame([&](const double&) { ++calls; });
    doomed->setTarget(1.0, Animation::linear(1));
    neighbour.setTarget(1.0, Animation::linear(1));
    clock.advance(frame);
    EXPECT_FALSE(doomed);
    EXPECT_EQ(calls, 0) << "no hook runs once its value is gone";
    EXPECT_GT(neighbour.value(), 0) << "the rest of the frame goes on";
    clock.runUntilIdle();
    EXPECT_EQ(neighbour.value(), 1.0);

    // A value sent back where it came from each time it arrives.
    Animated<double> bouncing(0.0);
    int arrivals = 0;
    auto back = bouncing.onTargetReached([&] {
        if (++arrivals < 3)
            bouncing.setTarget(bouncing.target() == 1.0 ? 0.0 : 1.0, Animation::linear(0.1));
    });
    bouncing.setTarget(1.0, Animation::linear(0.1));
    clock.runUntilIdle();
    EXPECT_EQ(arrivals, 3);
    EXPECT_EQ(bouncing.value(), 1.0);
    EXPECT_FALSE(clock.isRunning());
}

TEST_F(Animators, ClockLetsGoOfAValueDestroyedInMidFlight)
{
    {
        Animated<Size> size(Size { 1, 1 });
        size.setTarget({ 10, 10 }, Animation::spring());
        EXPECT_EQ(clock.movingClients(), 1u);
    }
    EXPECT_FALSE(clock.isRunning());
    clock.advance(frame);
}

TEST_F(Animators, InputRunsTheFrameThatIsDueAndNoneBeforeIt)
{
    clock.frameForInput(); // nothing moves: nothing happens
    EXPECT_FALSE(clock.isRunning());

    Animated<double> value(0.0);
    value.setTarget(1.0, Animation::linear(1.0));
    clock.passTime(frame);
    clock.frameForInput();
    const double first = value.value();
    EXPECT_GT(first, 0) << "a frame was due: the input brings it";

    // Events faster than the beat: only those a frame apart move the value.
    clock.passTime(frame * 0.25);
    clock.frameForInput();
    EXPECT_EQ(value.value(), first) << "a quarter of a frame later nothing is due";
    clock.passTime(frame * 0.55);
    clock.frameForInput();
    EXPECT_NEAR(value.value(), frame * 1.8, 1e-9) << "nearly a frame later it is";

    clock.runUntilIdle();
    clock.frameForInput();
    EXPECT_EQ(value.value(), 1.0);
}

TEST_F(Animators, AfterFrameTasksRunOnceEveryValueOfTheFrameHasMoved)
{
    int ranAtOnce = 0;
    clock.afterFrame([&] { ++ranAtOnce; });
    EXPECT_EQ(ranAtOnce, 1) << "outside a frame the task runs at once";

    Animated<double> first(0.0);
    Animated<double> second(0.0);
    std::vector<std::pair<double, double>> seen;
    bool pending = false;
    int followUps = 0;
    // Each value asks for the task in its own hook; one run sees both moved.
    const auto ask = [&](const double&) {
        if (pending)
            return;
        pending = true;
        clock.afterFrame([&] {
            pending = false;
            seen.emplace_back(first.value(), second.value());
            clock.afterFrame([&] { ++followUps; });
        });
    };
    auto a = first.onFrame(ask);
    auto b = second.onFrame(ask);
    first.setTarget(1.0, Animation::linear(1));
    second.setTarget(1.0, Animation::linear(1));
    clock.advance(frame);
    ASSERT_EQ(seen.size(), 1u) << "one run for the frame, not one per value";
    EXPECT_NEAR(seen[0].first, frame, 1e-9);
    EXPECT_NEAR(seen[0].second, frame, 1e-9);
    EXPECT_EQ(followUps, 1) << "a task asked for by a task runs in the same frame";
    clock.advance(frame);
    EXPECT_EQ(seen.size(), 2u);
}

TEST(QtFrameClock, InputHoldsTheBeatBackAndTheBeatResumesWhenInputStops)
{
    QtFrameClock clock;
    Animated<double> value(0.0, &clock);
    bool arrived = false;
    auto reached = value.onTargetReached([&] { arrived = true; });
    value.setTarget(1.0, Animation::linear(0.1));
    const int interval = QtFrameClock::frameInterval();
    // After an event the beat stays away for at least three quarters of an interval (a whole
    // one and a half after a frame the event ran), so the next event of a pointer or a wheel
    // comes first.
    QDeadlineTimer due(interval);
    while (!due.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, interval);
    clock.frameForInput();
    EXPECT_GT(value.value(), 0);
    EXPECT_GT(clock.msUntilNextBeat(), interval / 2);
    // Once input stops the beat carries the value home.
    QDeadlineTimer limit(10000);
    while (!arrived && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(arrived);
    EXPECT_FALSE(clock.isTimerActive());
}

TEST(QtFrameClock, TicksWhileAValueMovesAndStopsItsTimerOnceItRests)
{
    QtFrameClock clock;
    Animated<double> value(0.0, &clock);
    bool arrived = false;
    auto reached = value.onTargetReached([&] { arrived = true; });
    EXPECT_FALSE(clock.isTimerActive());
    value.setTarget(1.0, Animation::linear(0.05));
    EXPECT_TRUE(clock.isTimerActive());
    QDeadlineTimer limit(10000);
    while (!arrived && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(value.value(), 1.0);
    EXPECT_FALSE(clock.isTimerActive()) << "no timer runs while nothing moves";
    EXPECT_GE(QtFrameClock::frameInterval(), 1);
}

} // namespace
} // namespace tidemark
