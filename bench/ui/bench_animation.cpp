// Cost of moving animated values one frame (the spring's closed form, per value), and whether
// memory stays flat over 100,000 animations run to rest.
#include "platform/ui/Animator.hpp"
#include "platform/ui/FrameClock.hpp"
#include "platform/ui/SpringSolver.hpp"
#include "support/ResidentMemory.hpp"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace tidemark;
using bench::residentKiB;

namespace {

constexpr double frame = 1.0 / 60;

// The solver alone: one step's coefficients and one value carried by them.
void BM_SpringStepOneValue(benchmark::State& state)
{
    double x = 100;
    double v = 0;
    double dt = frame;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dt);
        const SpringStep step = springStep(0.35, 0.46, dt);
        const double x1 = step.xx * x + step.xv * v;
        v = step.vx * x + step.vv * v;
        x = x1 == 0 ? 100 : x1;
        benchmark::DoNotOptimize(x);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SpringStepOneValue);

// A whole frame of an animator: spring step, settle test and bookkeeping. A rectangle moves
// four values per step; the items counter counts values.
template <std::size_t N> void BM_AnimatorFrame(benchmark::State& state)
{
    AnimatorCore<N> core({});
    typename AnimatorCore<N>::Vector target;
    target.fill(100);
    double now = 0;
    core.animate(target, Animation::spring(0.35, 0.46), now);
    for (auto _ : state) {
        now += frame;
        benchmark::DoNotOptimize(core.advance(now));
        if (!core.isMoving()) {
            target.fill(target[0] == 100 ? 0 : 100);
            core.animate(target, Animation::spring(0.35, 0.46), now);
        }
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(N));
}
BENCHMARK(BM_AnimatorFrame<1>)->Name("BM_AnimatorFrame/number");
BENCHMARK(BM_AnimatorFrame<4>)->Name("BM_AnimatorFrame/rect");

// A frame of the clock with 1,000 rectangles in motion, each with a frame hook, as views have.
void BM_ClockFrameThousandRects(benchmark::State& state)
{
    ManualFrameClock clock;
    std::vector<std::unique_ptr<Animated<Rect>>> values;
    std::vector<rx::Cancellable> hooks;
    double sink = 0;
    for (int i = 0; i < 1000; ++i) {
        values.push_back(std::make_unique<Animated<Rect>>(Rect {}, &clock));
        hooks.push_back(values.back()->onFrame([&sink](const Rect& r) { sink += r.x(); }));
    }
    bool there = false;
    for (auto _ : state) {
        if (!clock.isRunning()) {
            there = !there;
            const Rect target = there ? Rect { 100, 50, 300, 200 } : Rect {};
            for (auto& value : values)
                value->setTarget(target, Animation::spring(0.35, 0.46));
        }
        clock.advance(frame);
    }
    benchmark::DoNotOptimize(sink);
    state.SetItemsProcessed(state.iterations() * 1000 * 4);
}
BENCHMARK(BM_ClockFrameThousandRects)->Unit(benchmark::kMicrosecond);

// 100,000 animations, each a value made, hooked, sent off with a spring or a timed curve (every
// tenth retargeted in mid-flight with a blend), run to rest and destroyed.
void BM_HundredThousandAnimationsResidentMemory(benchmark::State& state)
{
    ManualFrameClock clock;
    const auto run = [&clock](int count) {
        double sink = 0;
        for (int i = 0; i < count; ++i) {
            Animated<Rect> value(Rect { 0, 0, 10, 10 }, &clock);
            auto hook = value.onFrame([&sink](const Rect& r) { sink += r.width(); });
            auto arrived = value.onTargetReached([&sink] { sink += 1; });
            const Animation animation
                = i % 2 ? Animation::spring(0.35, 0.46) : Animation::easeInOut(0.3);
            value.setTarget({ 100, 100, 200, 50 }, animation);
            if (i % 10 == 0) {
                clock.advance(frame);
                value.setTarget({ 50, 0, 20, 20 }, Animation::spring(0.2, 0.8, 0.25));
            }
            clock.runUntilIdle(0.05);
        }
        benchmark::DoNotOptimize(sink);
    };
    run(1000); // warm up allocator pools
    const long before = residentKiB();
    for (auto _ : state)
        run(100000);
    const long after = residentKiB();
    state.counters["rss_before_KiB"] = double(before);
    state.counters["rss_after_KiB"] = double(after);
    state.counters["clients_left"] = double(clock.movingClients());
}
BENCHMARK(BM_HundredThousandAnimationsResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// One long-lived value retargeted 100,000 times in mid-flight: nothing may pile up.
void BM_HundredThousandRetargetsResidentMemory(benchmark::State& state)
{
    ManualFrameClock clock;
    Animated<double> value(0.0, &clock);
    auto hook = value.onFrame([](const double& v) { benchmark::DoNotOptimize(v); });
    const auto run = [&](int count) {
        for (int i = 0; i < count; ++i) {
            value.setTarget(i % 2 ? 1.0 : 0.0,
                i % 3 ? Animation::spring(0.35, 0.46, 0.25) : Animation::linear(0.2).delayed(0.01));
            clock.advance(frame);
        }
    };
    run(1000);
    const long before = residentKiB();
    for (auto _ : state) {
        run(100000);
        clock.runUntilIdle();
    }
    const long after = residentKiB();
    state.counters["rss_before_KiB"] = double(before);
    state.counters["rss_after_KiB"] = double(after);
}
BENCHMARK(BM_HundredThousandRetargetsResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
