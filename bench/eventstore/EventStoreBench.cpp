// Reading one list of many tasks. The tree is $TIDEMARK_CALENDARS_DIR when set (compare.sh
// makes one that todoman reads too), else a fresh one of 10,000 tasks in a temporary folder.
#include "platform/eventstore/EventStore.hpp"
#include "support/TaskListFixture.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

using tidemark::EventStore;
using tidemark::EventStoreOptions;

QString benchRoot;
QString stateDir;

std::unique_ptr<EventStore> openStore()
{
    EventStoreOptions options;
    options.rootPath = benchRoot;
    options.stateDirectory = stateDir;
    return std::make_unique<EventStore>(options);
}

std::size_t fetchAll(EventStore& store)
{
    const auto list = store.calendarWithIdentifier("bench/tasks");
    return store
        .fetchReminders(store.predicateForIncompleteReminders({}, {}, std::vector { *list }))
        .size();
}

// A new store each time: every file is read and parsed.
void BM_FetchListColdStore(benchmark::State& state)
{
    std::size_t count = 0;
    for (auto _ : state) {
        auto store = openStore();
        count = fetchAll(*store);
        benchmark::DoNotOptimize(count);
    }
    state.counters["reminders"] = double(count);
}
BENCHMARK(BM_FetchListColdStore)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same store again: files that did not change are only checked, not parsed.
void BM_FetchListWarmStore(benchmark::State& state)
{
    auto store = openStore();
    fetchAll(*store);
    std::size_t count = 0;
    for (auto _ : state) {
        count = fetchAll(*store);
        benchmark::DoNotOptimize(count);
    }
    state.counters["reminders"] = double(count);
}
BENCHMARK(BM_FetchListWarmStore)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("tidemark.eventstore.info=false");
    QTemporaryDir temporary;
    benchRoot = qEnvironmentVariable("TIDEMARK_CALENDARS_DIR");
    if (benchRoot.isEmpty()) {
        benchRoot = temporary.path() + "/calendars";
        tidemark::bench::writeTaskList(benchRoot, 10000, [](int i) {
            return tidemark::bench::TaskLines { "Task number " + QByteArray::number(i)
                    + " with a longer title",
                "20300101T090000", "20300101T091500" };
        });
    }
    stateDir = tidemark::bench::grantedStateDirectory(temporary.path());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
