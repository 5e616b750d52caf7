// The reminder store's costs on a real file: a large first save, reading everything that is
// open, and the single-reminder round trips the application makes on each user action.
// Run: build/bench/persistence/bench_persistence (medians of 10 repetitions are reported).
#include "platform/persistence/PersistentContainer.hpp"
#include "platform/reactive/Scheduler.hpp"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace tidemark;

namespace {

rx::ManualScheduler& queue()
{
    static rx::ManualScheduler scheduler;
    rx::setMainQueue(&scheduler);
    return scheduler;
}

// A store file in a folder of its own, removed afterwards.
struct TemporaryStore {
    std::filesystem::path folder;
    std::unique_ptr<PersistentContainer> container;

    TemporaryStore()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "tidemark-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        container = std::make_unique<PersistentContainer>("Tidemark", StoreDescription { folder });
        if (auto error = container->loadPersistentStores())
            throw *error;
    }
    ~TemporaryStore()
    {
        container.reset();
        queue().drain();
        std::filesystem::remove_all(folder);
    }
    ManagedObjectContext& context() { return container->viewContext(); }
};

CDReminder makeReminder(int index)
{
    CDReminder object;
    object.identifier = "00000000-0000-4000-8000-" + std::to_string(100000000000 + index);
    object.title = "Reminder " + std::to_string(index);
    object.startDate = dateFromTimeIntervalSince1970(1'700'000'000 + index);
    object.dueDate = dateFromTimeIntervalSince1970(1'700'003'600 + index);
    return object;
}

void fill(ManagedObjectContext& context, int count)
{
    for (int i = 0; i < count; ++i)
        context.insert(makeReminder(i));
    context.save();
    queue().drain();
}

FetchRequest notCompleted()
{
    FetchRequest request;
    request.predicate = Predicate::notCompleted();
    return request;
}

void insert10000WithOneSave(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<TemporaryStore>();
        state.ResumeTiming();
        fill(store->context(), 10000);
        state.PauseTiming();
        store.reset();
        state.ResumeTiming();
    }
}

void fetch10000NotCompleted(benchmark::State& state)
{
    TemporaryStore store;
    fill(store.context(), 10000);
    for (auto _ : state) {
        auto objects = store.context().fetch(notCompleted());
        if (objects.size() != 10000)
            state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(objects);
    }
}

void insertAndSave(benchmark::State& state)
{
    TemporaryStore store;
    fill(store.context(), 10000);
    int index = 10000;
    for (auto _ : state) {
        store.context().insert(makeReminder(index++));
        store.context().save();
        queue().drain();
    }
}

void updateAndSave(benchmark::State& state)
{
    TemporaryStore store;
    fill(store.context(), 10000);
    auto object = store.context().fetch(notCompleted()).at(5000);
    int round = 0;
    for (auto _ : state) {
        object.title = "Renamed " + std::to_string(round++);
        store.context().update(object);
        store.context().save();
        queue().drain();
    }
}

void deleteAndSave(benchmark::State& state)
{
    TemporaryStore store;
    fill(store.context(), 10000);
    int index = 10000;
    for (auto _ : state) {
        state.PauseTiming();
        const auto object = store.context().insert(makeReminder(index++));
        store.context().save();
        queue().drain();
        state.ResumeTiming();
        store.context().deleteObject(object);
        store.context().save();
        queue().drain();
    }
}

} // namespace

BENCHMARK(insert10000WithOneSave)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(fetch10000NotCompleted)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(insertAndSave)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(updateAndSave)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(deleteAndSave)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv)
{
    queue(); // the context posts its notifications to the main queue
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
