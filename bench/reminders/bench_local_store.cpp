// The local data source on a real SQLite file: what one request of each kind costs with
// 10,000 reminders stored. Goals: a read of 10,000 under 20 ms; one create with its save
// under 1 ms.
#include "platform/reactive/Scheduler.hpp"
#include "reminders/PersistentRemindersService.hpp"

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
    return scheduler;
}

AnyReminder reminder(int index, const std::string& title = "Reminder")
{
    AnyReminder value;
    value.id = "bench-" + std::to_string(index);
    value.title = title + " " + std::to_string(index);
    const Date start = dateFromTimeIntervalSince1970(1'700'000'000 + index * 60.0);
    value.startDateComponents = reminderComponents(start);
    value.dueDateComponents = reminderComponents(dateByAdding(start, 1500));
    return value;
}

std::set<AnyReminder> reminders(int count, int first = 0)
{
    std::set<AnyReminder> values;
    for (int i = first; i < first + count; ++i)
        values.insert(reminder(i));
    return values;
}

// A store file in a folder of its own, removed with the fixture.
class LocalStore {
public:
    LocalStore()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tidemark-bench-XXXXXX");
        m_folder = ::mkdtemp(pattern.data());
        PersistenceControllerOptions options;
        options.directory = m_folder;
        m_service = std::make_unique<PersistentRemindersService>(
            PersistenceController(false, false, options));
    }
    ~LocalStore()
    {
        m_service.reset();
        queue().drain();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
    PersistentRemindersService& service() { return *m_service; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<PersistentRemindersService> m_service;
};

constexpr int stored = 10'000;

} // namespace

static void createOneWithItsSave(benchmark::State& state)
{
    LocalStore store;
    store.service().create(reminders(stored));
    queue().drain();
    int next = stored;
    for (auto _ : state) {
        benchmark::DoNotOptimize(store.service().create({ reminder(next++) }));
        if (next % 256 == 0)
            queue().drain();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(createOneWithItsSave)->Unit(benchmark::kMicrosecond);

static void createTenThousandInOneRequest(benchmark::State& state)
{
    LocalStore store;
    const auto values = reminders(stored);
    for (auto _ : state) {
        state.PauseTiming();
        store.service().deleteAll();
        queue().drain();
        state.ResumeTiming();
        benchmark::DoNotOptimize(store.service().create(values));
    }
    state.SetItemsProcessed(state.iterations() * stored);
}
BENCHMARK(createTenThousandInOneRequest)->Unit(benchmark::kMillisecond);

static void readTenThousand(benchmark::State& state)
{
    LocalStore store;
    store.service().create(reminders(stored));
    queue().drain();
    for (auto _ : state) {
        auto read = store.service().read();
        if (read.size() != stored)
            state.SkipWithError("the read missed reminders");
        benchmark::DoNotOptimize(read);
    }
    state.SetItemsProcessed(state.iterations() * stored);
}
BENCHMARK(readTenThousand)->Unit(benchmark::kMillisecond);

// The first read of a process, before any date of the store was converted.
static void readTenThousandFirstTime(benchmark::State& state)
{
    auto store = std::make_unique<LocalStore>();
    store->service().create(reminders(stored));
    queue().drain();
    for (auto _ : state) {
        state.PauseTiming();
        // Reopening gives a service that has converted nothing yet; the folder stays.
        auto controller = store->service().persistenceController();
        PersistentRemindersService fresh(controller);
        state.ResumeTiming();
        benchmark::DoNotOptimize(fresh.read());
    }
    state.SetItemsProcessed(state.iterations() * stored);
}
BENCHMARK(readTenThousandFirstTime)->Unit(benchmark::kMillisecond);

static void updateOneOfTenThousand(benchmark::State& state)
{
    LocalStore store;
    store.service().create(reminders(stored));
    queue().drain();
    int round = 0;
    for (auto _ : state) {
        store.service().update({ reminder(stored / 2, round++ % 2 ? "Renamed" : "Reminder") }, {});
        queue().drain();
    }
}
BENCHMARK(updateOneOfTenThousand)->Unit(benchmark::kMicrosecond);

static void deleteOneOfTenThousand(benchmark::State& state)
{
    LocalStore store;
    store.service().create(reminders(stored));
    queue().drain();
    for (auto _ : state) {
        store.service().delete_({ reminder(stored / 2).id });
        state.PauseTiming();
        store.service().create({ reminder(stored / 2) });
        queue().drain();
        state.ResumeTiming();
    }
}
BENCHMARK(deleteOneOfTenThousand)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    rx::setMainQueue(&queue());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
