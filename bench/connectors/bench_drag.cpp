// Cost of one drag value on its way from the icon to the screen: dispatched through the
// main store's root reducer, then mapped for the blob and the live time label, as happens
// for every value the icon lets through during a pull.
// Run: build/bench/connectors/bench_drag --benchmark_repetitions=10
// --benchmark_report_aggregates_only=true (the median is the figure to read).
#include "core/Store.hpp"
#include "core/connectors/TimeEntryConnectors.hpp"
#include "core/state/AppReducer.hpp"
#include "platform/foundation/Calendar.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace tidemark;

namespace {

using AppStore = Store<AppState, AppAction>;

std::vector<AppAction> dragValues(std::size_t count)
{
    // A pull that wanders down and sideways, as a hand does.
    std::mt19937 engine { 11 };
    std::normal_distribution<double> jitter(0, 3);
    std::vector<AppAction> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        AnyDragGestureValue value;
        const double t = static_cast<double>(i % 400);
        value.translation = { 40 * std::sin(t / 50) + jitter(engine), t * 1.5 + jitter(engine) };
        value.predictedEndTranslation = value.translation;
        value.location = { value.translation.width, value.translation.height };
        values.push_back(AppAction::DragGesture { DragGestureAction::Value { value } });
    }
    return values;
}

void BM_DragValueThroughReducerAndConnectors(benchmark::State& state)
{
    auto clock = std::make_shared<ManualClock>();
    const ReducerEnvironment environment { clock };
    auto store = AppStore::make(AppState::initial(clock->now(), Calendar("UTC")),
        [environment](AppState& s, const AppAction& a) { appReducer(s, a, environment); });
    store->dispatch(
        AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::begin } });
    store->dispatch(
        AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::changed } });

    const Connectors::YoyoBlobConnector blob;
    const Connectors::YoyoTimeViewConnector label { clock };
    const auto values = dragValues(4096);
    std::size_t next = 0;
    for (auto _ : state) {
        store->dispatch(values[next]);
        next = (next + 1) % values.size();
        auto blobState = blob.mapState(store->state());
        auto labelState = label.mapState(store->state());
        benchmark::DoNotOptimize(blobState);
        benchmark::DoNotOptimize(labelState);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DragValueThroughReducerAndConnectors);

} // namespace

BENCHMARK_MAIN();
