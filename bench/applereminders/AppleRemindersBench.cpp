// Reading the 10,000 tasks of one list through the calendar task lists service: the
// files, the conversion to the shared reminder model and the default-title check.
// Run: build/bench/applereminders/bench_applereminders --benchmark_repetitions=10
//      --benchmark_report_aggregates_only=true   (read the median)
#include "platform/foundation/DateComponentsFormatter.hpp"
#include "reminders/applereminders/AppleRemindersService.hpp"
#include "support/TaskListFixture.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using tidemark::AppleRemindersService;
using tidemark::DateComponentsFormatter;
using tidemark::EventStoreOptions;

QString benchRoot;
QString stateDir;
constexpr int taskCount = 10000;

// The local time `minutes` after 1 January 2030 00:00 (within January), as
// YYYYMMDDTHHMMSS: every task starts at a minute of its own, so no two share a span.
QByteArray clock(int minutes)
{
    const int day = 1 + minutes / (24 * 60);
    minutes %= 24 * 60;
    return "203001" + QByteArray::number(day).rightJustified(2, '0') + "T"
        + QByteArray::number(minutes / 60).rightJustified(2, '0')
        + QByteArray::number(minutes % 60).rightJustified(2, '0') + "00";
}

// Every task starts at a minute of its own; every tenth is untitled, stored with its span
// as its title.
tidemark::bench::TaskLines task(int i)
{
    const QByteArray n = QByteArray::number(i);
    return { i % 10 == 0 ? QByteArray("15 min") : "Task number " + n + " with a longer title",
        clock(i), clock(i + 15) };
}

std::unique_ptr<AppleRemindersService> openService()
{
    EventStoreOptions options;
    options.rootPath = benchRoot;
    options.stateDirectory = stateDir;
    return std::make_unique<AppleRemindersService>(options);
}

std::shared_ptr<const DateComponentsFormatter> titleFormatter()
{
    auto formatter = std::make_shared<DateComponentsFormatter>();
    formatter->setAllowedUnits({ DateComponentsFormatter::Unit::hour,
        DateComponentsFormatter::Unit::minute, DateComponentsFormatter::Unit::second });
    formatter->setUnitsStyle(DateComponentsFormatter::UnitsStyle::short_);
    formatter->setMaximumUnitCount(2);
    return formatter;
}

// A new service each time: every file is read and parsed.
void BM_ReadListColdService(benchmark::State& state)
{
    const auto formatter = titleFormatter();
    std::size_t count = 0;
    for (auto _ : state) {
        auto service = openService();
        count = service->fetchReminders({ "bench/tasks" }, formatter).size();
        benchmark::DoNotOptimize(count);
    }
    if (count != taskCount)
        state.SkipWithError("not every task was read");
    state.counters["reminders"] = double(count);
}
BENCHMARK(BM_ReadListColdService)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same service again, as the application reads after each change: files that did not
// change are only checked; the conversion is done anew.
void BM_ReadListWarmService(benchmark::State& state)
{
    const auto formatter = titleFormatter();
    auto service = openService();
    service->fetchReminders({ "bench/tasks" }, formatter);
    std::size_t count = 0;
    for (auto _ : state) {
        count = service->fetchReminders({ "bench/tasks" }, formatter).size();
        benchmark::DoNotOptimize(count);
    }
    if (count != taskCount)
        state.SkipWithError("not every task was read");
    state.counters["reminders"] = double(count);
}
BENCHMARK(BM_ReadListWarmService)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same without a formatter: the files and the conversion alone.
void BM_ReadListWarmServiceNoFormatter(benchmark::State& state)
{
    auto service = openService();
    service->fetchReminders({ "bench/tasks" }, nullptr);
    std::size_t count = 0;
    for (auto _ : state) {
        count = service->fetchReminders({ "bench/tasks" }, nullptr).size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["reminders"] = double(count);
}
BENCHMARK(BM_ReadListWarmServiceNoFormatter)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules("tidemark.eventstore.info=false");
    QTemporaryDir temporary;
    benchRoot = temporary.path() + "/calendars";
    tidemark::bench::writeTaskList(benchRoot, taskCount, task);
    stateDir = tidemark::bench::grantedStateDirectory(temporary.path());

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
