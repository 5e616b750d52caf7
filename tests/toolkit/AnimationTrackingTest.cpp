#include "toolkit/AnimationTracking.hpp"
#include "core/Store.hpp"
#include "support/TestMainQueue.hpp"
#include "toolkit/AnimationCompletionObserver.hpp"
#include "toolkit/AnimationTrackingPreviews.hpp"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tidemark {
namespace {

constexpr double frame = 1.0 / 60;

class AnimationTracking : public testing::Test {
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
    }

    // One frame, then the main-queue turn that follows it in the program.
    void nextFrame()
    {
        clock.advance(frame);
        test::drainMainQueue();
    }

    ManualFrameClock clock;
};

TEST_F(AnimationTracking, CompletionRunsAfterTheFinalWriteOnlyAndIsNotDeduplicated)
{
    Animated<double> progress(0.0);
    int completions = 0;
    auto observer = onAnimationCompleted(progress, [&] { ++completions; });
    test::drainMainQueue();
    EXPECT_EQ(completions, 0) << "applying the observer schedules nothing";

    progress.setTarget(1.0, Animation::spring(0.45, 0.775));
    int frames = 0;
    while (progress.isAnimating()) {
        nextFrame();
        ++frames;
        if (progress.isAnimating()) {
            // Frames near the target, however near, are not the target.
            ASSERT_EQ(completions, 0) << "frame " << frames << " at " << progress.value();
        }
    }
    EXPECT_GT(frames, 10);
    EXPECT_EQ(completions, 1);

    // Without animation the value is written at once; the completion still waits for its turn.
    progress.set(0.0);
    EXPECT_EQ(completions, 1);
    test::drainMainQueue();
    EXPECT_EQ(completions, 2);
    progress.jump(0.0);
    progress.jump(0.0);
    test::drainMainQueue();
    EXPECT_EQ(completions, 4) << "every write equal to the target schedules it again";
}

TEST_F(AnimationTracking, SpringContinuationFiresOnEveryFrameBeyondTheTargetAfterThePeak)
{
    Animated<double> progress(0.0);
    double maxValue = 0;
    Binding<double> binding { [&] { return maxValue; }, [&](const double& v) { maxValue = v; } };
    int completions = 0;
    SpringAnimationContinuationModifier<double> continuation(
        progress, binding, [&] { ++completions; });

    progress.setTarget(1.0, Animation::spring(0.35, 0.46));
    double previous = 0;
    bool pastPeak = false;
    int firing = 0;
    while (progress.isAnimating()) {
        const int before = completions;
        nextFrame();
        const double value = progress.value();
        const int fired = completions - before;
        if (value <= 1.0) {
            ASSERT_EQ(fired, 0) << "at or below the target: " << value;
        } else if (!pastPeak && value > previous) {
            ASSERT_EQ(fired, 0) << "rising beyond the target: " << value;
        } else {
            pastPeak = true;
            ASSERT_EQ(fired, 1) << "beyond the target after the peak: " << value;
            ++firing;
        }
        if (value < previous)
            pastPeak = true;
        previous = value;
    }
    EXPECT_GT(firing, 2);
    EXPECT_GT(maxValue, 1.0);

    // A critically damped spring never passes its target.
    Animated<double> calm(0.0);
    double calmMax = 0;
    int calmCompletions = 0;
    SpringAnimationContinuationModifier<double> calmContinuation(calm,
        { [&] { return calmMax; }, [&](const double& v) { calmMax = v; } },
        [&] { ++calmCompletions; });
    calm.setTarget(1.0, Animation::spring(0.35, 1.0));
    while (calm.isAnimating())
        nextFrame();
    EXPECT_EQ(calmCompletions, 0);

    // The peak is never lowered: a second run compares with the first one's peak, so its
    // first frame beyond the target already fires.
    const double firstPeak = maxValue;
    progress.jump(0.0);
    test::drainMainQueue();
    completions = 0;
    progress.setTarget(1.0, Animation::spring(0.35, 0.46));
    while (progress.value() <= 1.0)
        nextFrame();
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(maxValue, firstPeak);
}

TEST_F(AnimationTracking, SpringContinuationComparesStrictly)
{
    // A linear fall from 3 to 1 over one second writes exactly 2 at half time.
    Animated<double> value(3.0);
    double maxValue = 4.0;
    int completions = 0;
    SpringAnimationContinuationModifier<double> continuation(value,
        { [&] { return maxValue; }, [&](const double& v) { maxValue = v; } },
        [&] { ++completions; });
    value.setTarget(1.0, Animation::linear(1));
    clock.advance(0.5);
    ASSERT_EQ(value.value(), 2.0);
    test::drainMainQueue();
    EXPECT_EQ(completions, 0) << "a square equal to the stored peak calls nothing";
    clock.advance(0.1);
    test::drainMainQueue();
    EXPECT_EQ(completions, 1);
    clock.advance(0.5);
    ASSERT_EQ(value.value(), 1.0);
    test::drainMainQueue();
    EXPECT_EQ(completions, 1) << "a square equal to the target's calls nothing";
}

TEST_F(AnimationTracking, ObserverReportsRisingValuesAndCompletesExactlyAtTheTarget)
{
    Animated<double> offset(0.0);
    std::vector<double> reported;
    int completions = 0;
    auto observer = std::make_unique<AnimationObserverModifier<double>>(
        offset, [&](const double& v) { reported.push_back(v); }, [&] { ++completions; });
    offset.setTarget(10.0, Animation::easeIn(0.5));
    while (offset.isAnimating()) {
        nextFrame();
        EXPECT_EQ(completions, reported.back() == 10.0 ? 1 : 0);
    }
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_EQ(reported.back(), 10.0);
    EXPECT_EQ(completions, 1);

    // Taken away in mid-flight, it never completes.
    offset.setTarget(0.0, Animation::easeIn(0.5));
    nextFrame();
    observer.reset();
    clock.runUntilIdle();
    test::drainMainQueue();
    EXPECT_EQ(completions, 1);
}

TEST_F(AnimationTracking, AnimatableHeightNeverGoesBelowZeroAndClipsFromTheTop)
{
    auto* content = new QLabel(QStringLiteral("line\nline\nline\nline\nline"));
    content->setMinimumHeight(120);
    AnimatableHeightModifier view(content, 40);
    view.resize(200, 40);
    view.show();
    EXPECT_EQ(view.shownHeight(), 40);
    EXPECT_EQ(view.height(), 40);
    EXPECT_EQ(content->geometry(), QRect(0, 0, 200, content->geometry().height()));
    EXPECT_GE(content->height(), 120) << "the content keeps its height, clipped by the view";

    view.setHeight(-5);
    EXPECT_EQ(view.shownHeight(), 0);
    EXPECT_EQ(view.height(), 0);

    withAnimation(Animation::spring(0.3, 0.3), [&] { view.setHeight(80); });
    bool neverNegative = true;
    while (view.animatedHeight().isAnimating()) {
        clock.advance(frame);
        neverNegative = neverNegative && view.shownHeight() >= 0;
    }
    EXPECT_TRUE(neverNegative);
    EXPECT_EQ(view.height(), 80);
}

TEST_F(AnimationTracking, ATransactionThroughADerivedStoreAnimatesTheViewAndOthersJump)
{
    using OpacityStore = Store<double, double>;
    auto root = OpacityStore::make(1.0, [](double& state, const double& value) { state = value; });
    auto derived = root->derived<double, double>(
        [](const double& s) { return s; }, [](const double& a) { return a; });
    // The view: its blob's opacity follows the derived store.
    Animated<double> blobOpacity(derived->state());
    auto token = derived->statePublisher().sink([&](const double& s) { blobOpacity.set(s); });

    withAnimation(Animation::easeInOut(0.3), [&] { root->dispatch(0.0); });
    test::drainMainQueue();
    EXPECT_TRUE(blobOpacity.isAnimating());
    EXPECT_EQ(blobOpacity.value(), 1.0);
    clock.runFrames(9);
    EXPECT_GT(blobOpacity.value(), 0.0);
    EXPECT_LT(blobOpacity.value(), 1.0);
    clock.runUntilIdle();
    EXPECT_EQ(blobOpacity.value(), 0.0);

    root->dispatch(0.5);
    test::drainMainQueue();
    EXPECT_FALSE(blobOpacity.isAnimating());
    EXPECT_EQ(blobOpacity.value(), 0.5);
}

TEST_F(AnimationTracking, ObserverPreviewCountsUpAndSaysDone)
{
    AnimationObserverTest preview(nullptr, &clock);
    preview.resize(400, 200);
    preview.show();
    test::drainMainQueue();
    auto labels = preview.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Loading: 0.000000%"));
    clock.runFrames(60 * 4);
    test::drainMainQueue();
    EXPECT_GT(preview.progress(), 50);
    EXPECT_EQ(labels[1]->text(), QString::fromLatin1(AnimationObserverTest::halfwayCaption));
    while (clock.isRunning()) {
        clock.advance(frame);
        test::drainMainQueue();
    }
    EXPECT_TRUE(preview.isDone());
    EXPECT_EQ(labels[0]->text(), QStringLiteral("Loading: 100.000000%"));
    EXPECT_EQ(labels[1]->text(), QStringLiteral("Done!"));

    preview.findChild<QPushButton*>()->click();
    test::drainMainQueue();
    EXPECT_FALSE(preview.isDone());
    EXPECT_TRUE(clock.isRunning());
}

} // namespace
} // namespace tidemark
