// The removal rule runs on every click on the menu-bar icon, over every reminder read.
#include "reminders/AutomaticRemoval.hpp"

#include <benchmark/benchmark.h>

using namespace tidemark;

static void removalOverReminders(benchmark::State& state)
{
    const Calendar calendar("Europe/Berlin");
    const Date now = dateFromTimeIntervalSince1970(1718000000); // June 2024
    const Date removalTime = dateFromTimeIntervalSince1970(1717207200);
    std::set<AnyReminder> items;
    for (int i = 0; i < state.range(0); ++i) {
        AnyReminder reminder { std::to_string(i), std::nullopt, std::nullopt, "r", std::nullopt,
            std::nullopt };
        // Spread over the last ten days and the next ten, so about half are due.
        reminder.dueDateComponents
            = reminderComponents(dateByAdding(now, (i % 480 - 240) * 3600.0), calendar);
        items.insert(reminder);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(remindersToRemove(items, removalTime, now, calendar));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(removalOverReminders)->Arg(10)->Arg(100)->Arg(1000);

// Reading a due date back from its components, which the rule does once per reminder.
static void dueDateFromComponents(benchmark::State& state)
{
    const auto components
        = reminderComponents(dateFromTimeIntervalSince1970(1718000000), Calendar("Europe/Berlin"));
    for (auto _ : state)
        benchmark::DoNotOptimize(reminderDate(components));
}
BENCHMARK(dueDateFromComponents);

BENCHMARK_MAIN();
