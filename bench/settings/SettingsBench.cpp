// Costs of the settings work done inside a dispatch or for every log line: saving the
// whole settings value, reading a damaged value part by part, hiding reminder titles.
#include "platform/foundation/Calendar.hpp"
#include "settings/Description.hpp"
#include "settings/PersistentUserDefaultsService.hpp"
#include "settings/UserSettings.hpp"

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

using namespace tidemark;

namespace {

UserSettings defaults()
{
    return UserSettings::makeDefault(Calendar("UTC"), dateFromTimeIntervalSince1970(1'700'000'000));
}

void BM_SaveWholeSettingsInMemory(benchmark::State& state)
{
    PersistentUserDefaultsService<UserSettings> store("bench", defaults(), true);
    auto value = defaults();
    for (auto _ : state) {
        value.menubar.progressBar.opacity = value.menubar.progressBar.opacity > 0.5 ? 0.25 : 0.75;
        benchmark::DoNotOptimize(store.save(value));
    }
}
BENCHMARK(BM_SaveWholeSettingsInMemory);

void BM_LoadDamagedSettings(benchmark::State& state)
{
    nlohmann::json stored = defaults();
    stored["menubar"]["progressBar"]["opacity"] = "high";
    stored["reminders"]["dataSource"] = "elsewhere";
    nlohmann::json fallback = defaults();
    auto decodes = [](const nlohmann::json& json) {
        try {
            (void)json.get<UserSettings>();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    };
    for (auto _ : state)
        benchmark::DoNotOptimize(salvage(stored, fallback, decodes));
}
BENCHMARK(BM_LoadDamagedSettings);

void BM_RedactLogLine(benchmark::State& state)
{
    std::string line = "  remindersStore(items(read(result(success([";
    for (int i = 0; i < state.range(0); ++i)
        line += "AnyReminder(id: \"" + std::to_string(i)
            + "\", title: \"Call \\\"Ann\\\" back\", start: nil), ";
    line += "])))))";
    for (auto _ : state)
        benchmark::DoNotOptimize(redactReminderTitles(line));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(line.size()));
}
BENCHMARK(BM_RedactLogLine)->Arg(1)->Arg(100)->Arg(1000);

} // namespace

BENCHMARK_MAIN();
