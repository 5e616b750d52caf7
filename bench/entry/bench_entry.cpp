// Cost of the pull rule, which runs on every state change while the user drags (for the
// live label) and once at the end, and of the sender's value filter in front of it.
#include "entry/DragGesture.hpp"
#include "entry/DragTimeInterval.hpp"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace tidemark;

namespace {

std::vector<AnyDragGestureValue> pulls(std::size_t count)
{
    std::mt19937 engine { 7 };
    std::uniform_real_distribution<double> coordinate(-600, 600);
    std::vector<AnyDragGestureValue> values(count);
    for (auto& value : values) {
        value.translation = { coordinate(engine), coordinate(engine) };
        value.predictedEndTranslation = value.translation;
    }
    return values;
}

void BM_DragTimeInterval(benchmark::State& state)
{
    const auto values = pulls(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        for (const auto& value : values)
            benchmark::DoNotOptimize(dragTimeInterval(value, 4.0));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DragTimeInterval)->Arg(1 << 10)->Arg(1 << 16);

void BM_DragValueFilter(benchmark::State& state)
{
    const auto values = pulls(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        DragGestureState drag;
        for (const auto& value : values) {
            if (shouldDispatchValue(drag, value))
                drag.value = value;
        }
        benchmark::DoNotOptimize(drag);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DragValueFilter)->Arg(1 << 16);

} // namespace

BENCHMARK_MAIN();
