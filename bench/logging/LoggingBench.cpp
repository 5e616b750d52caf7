// What an entry costs: formatting and parsing its line, writing it through a logger (each
// entry is flushed to the file), and reading a day of entries back for an export.
#include "platform/logging/LogStore.hpp"
#include "platform/logging/Logger.hpp"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

using namespace tidemark;

LogEntry sampleEntry()
{
    return { std::chrono::system_clock::now(), 4242, LogLevel::notice, "com.tidemark.Tidemark",
        "AppState", "  remindersStore(items(create(submit([Reminder(title: \"Buy milk\")]))))" };
}

void formatLine(benchmark::State& state)
{
    auto entry = sampleEntry();
    for (auto _ : state)
        benchmark::DoNotOptimize(formatLogLine(entry));
}
BENCHMARK(formatLine);

void parseLine(benchmark::State& state)
{
    auto line = formatLogLine(sampleEntry());
    for (auto _ : state)
        benchmark::DoNotOptimize(parseLogLine(line));
}
BENCHMARK(parseLine);

std::filesystem::path benchFolder()
{
    return std::filesystem::temp_directory_path()
        / ("tidemark-bench-" + std::to_string(::getpid()));
}

void writeEntry(benchmark::State& state)
{
    auto system = std::make_shared<LogSystem>();
    LoggingConfiguration configuration;
    configuration.stateDirectory = benchFolder();
    configuration.writesToStandardError = false;
    (void)system->configure(configuration);
    Logger logger("com.tidemark.Tidemark", "AppState", system);
    for (auto _ : state)
        logger.notice("  view(popover(isPresented(true)))");
    std::filesystem::remove_all(configuration.stateDirectory);
}
BENCHMARK(writeEntry);

void exportEntries(benchmark::State& state)
{
    auto system = std::make_shared<LogSystem>();
    LoggingConfiguration configuration;
    configuration.stateDirectory = benchFolder();
    configuration.writesToStandardError = false;
    configuration.maximumFileSize = 64 * 1024 * 1024;
    (void)system->configure(configuration);
    Logger logger("com.tidemark.Tidemark", "AppState", system);
    for (int i = 0; i < state.range(0); ++i)
        logger.notice("  remindersStore(items(read(result(success(…)))))");
    for (auto _ : state)
        benchmark::DoNotOptimize(system->store().entries(Date()));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    std::filesystem::remove_all(configuration.stateDirectory);
}
BENCHMARK(exportEntries)->Arg(1000)->Arg(20000);

} // namespace

BENCHMARK_MAIN();
