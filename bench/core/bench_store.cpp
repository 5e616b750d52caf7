// Cost of one dispatch through a reducer and 19 middlewares that answer with empty
// publishers (the shape of the application's main store), and whether memory grows over a
// million dispatches.
#include "core/Store.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "support/ResidentMemory.hpp"

#include <benchmark/benchmark.h>

using namespace tidemark;
using bench::residentKiB;

namespace {

struct State {
    long count = 0;
    bool operator==(const State&) const = default;
};
using Action = int;
using BenchStore = Store<State, Action>;

std::shared_ptr<BenchStore> makeStore()
{
    std::vector<BenchStore::Middleware> middlewares;
    for (int i = 0; i < 19; ++i) {
        middlewares.push_back(
            [](const State& state, const Action& action) -> std::optional<rx::Publisher<Action>> {
                benchmark::DoNotOptimize(state.count + action);
                return rx::Empty<Action>();
            });
    }
    return BenchStore::make(
        {}, [](State& s, const Action& a) { s.count += a; }, std::move(middlewares));
}

rx::ManualScheduler g_queue;

void BM_DispatchThrough19Middlewares(benchmark::State& state)
{
    rx::setMainQueue(&g_queue);
    auto store = makeStore();
    for (auto _ : state)
        store->dispatch(1);
    g_queue.drain();
    benchmark::DoNotOptimize(store->state().count);
}
BENCHMARK(BM_DispatchThrough19Middlewares);

void BM_MillionDispatchesResidentMemory(benchmark::State& state)
{
    rx::setMainQueue(&g_queue);
    auto store = makeStore();
    for (int i = 0; i < 10000; ++i) // warm up allocator pools
        store->dispatch(1);
    const long before = residentKiB();
    for (auto _ : state) {
        for (int i = 0; i < 1000000; ++i)
            store->dispatch(1);
        g_queue.drain();
    }
    const long after = residentKiB();
    state.counters["rss_before_KiB"] = static_cast<double>(before);
    state.counters["rss_after_KiB"] = static_cast<double>(after);
    state.counters["live_subscriptions"] = static_cast<double>(store->liveSubscriptions());
}
BENCHMARK(BM_MillionDispatchesResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Middlewares that answer with a publisher of one follow-up action: every token must be
// dropped once its publisher has finished, or memory grows with every dispatch.
void BM_FollowUpTokensAreDropped(benchmark::State& state)
{
    rx::setMainQueue(&g_queue);
    std::vector<BenchStore::Middleware> middlewares(
        19, [](const State&, const Action& action) -> std::optional<rx::Publisher<Action>> {
            if (action == 1)
                return rx::Just(Action { 0 });
            return rx::Empty<Action>();
        });
    auto store = BenchStore::make(
        {}, [](State& s, const Action& a) { s.count += a; }, std::move(middlewares));
    for (int i = 0; i < 1000; ++i)
        store->dispatch(1);
    g_queue.drain();
    const long before = residentKiB();
    for (auto _ : state) {
        for (int i = 0; i < 100000; ++i) {
            store->dispatch(1);
            g_queue.drain();
        }
    }
    const long after = residentKiB();
    state.counters["rss_before_KiB"] = static_cast<double>(before);
    state.counters["rss_after_KiB"] = static_cast<double>(after);
    state.counters["live_subscriptions"] = static_cast<double>(store->liveSubscriptions());
}
BENCHMARK(BM_FollowUpTokensAreDropped)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
