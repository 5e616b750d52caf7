// One sync of the notification service over a large reminder store, against the real
// notification centre with no notification server: schedule a request per reminder due in
// the future, then remove the requests of reminders that are gone.
//
//   build/bench/notifications/bench_notifications --benchmark_repetitions=10
//     --benchmark_report_aggregates_only=true

#include "notifications/NotificationsSlice.hpp"
#include "notifications/UserNotificationsService.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace tidemark;

constexpr int reminderCount = 10'000;

class WallClockTime final : public Clock {
public:
    explicit WallClockTime(std::shared_ptr<WallClock> clock)
        : m_clock(std::move(clock))
    {
    }
    Date now() const override { return m_clock->now(); }

private:
    std::shared_ptr<WallClock> m_clock;
};

struct Fixture {
    QTemporaryDir stateDir;
    std::shared_ptr<ManualWallClock> clock
        = std::make_shared<ManualWallClock>(dateFromTimeIntervalSince1970(1.75e9));
    std::unique_ptr<UNUserNotificationCenter> center;
    std::unique_ptr<UserNotificationsService> service;
    std::shared_ptr<const DateComponentsFormatter> formatter
        = NotificationsState().defaultTitleFormatter;

    Fixture()
    {
        UNUserNotificationCenter::Configuration configuration;
        configuration.stateDirectory = stateDir.path();
        configuration.clock = clock;
        // A name nobody owns: no server answers, whatever runs on this desktop.
        configuration.serviceName = QStringLiteral("org.tidemark.bench.NoNotifications");
        center = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
        service = std::make_unique<UserNotificationsService>(
            *center, std::make_shared<WallClockTime>(clock));
        center->requestAuthorization(
            UNAuthorizationOptions::alert | UNAuthorizationOptions::sound, [](bool, auto) {});
        QCoreApplication::processEvents();
    }

    // Reminders first..first+count, due over the next days; every tenth is untitled, so
    // its body is written by the formatter, and every fiftieth is overdue.
    std::set<AnyReminder> reminders(int first) const
    {
        std::set<AnyReminder> result;
        const auto now = clock->now();
        for (int i = first; i < first + reminderCount; ++i) {
            AnyReminder r { "reminder-" + std::to_string(i), std::nullopt, std::nullopt,
                i % 10 == 0 ? std::string() : "Reminder number " + std::to_string(i), std::nullopt,
                std::nullopt };
            const auto due = dateByAdding(now, i % 50 == 0 ? -60.0 : 60.0 + i * 7.0);
            setStartDate(r, dateByAdding(due, -5400));
            setDueDate(r, due);
            result.insert(std::move(r));
        }
        return result;
    }

    NotificationSyncReport sync(std::set<AnyReminder> set)
    {
        NotificationSyncReport report;
        service->syncNotifications(
            std::move(set), formatter, [&](NotificationSyncReport r) { report = r; });
        return report;
    }
};

// A sync after a read in which 1% of the reminders are new and 1% are gone. With
// `withSave`, the centre's write of its pending list that follows is counted too.
void BM_Sync10000(benchmark::State& state)
{
    Fixture fixture;
    fixture.sync(fixture.reminders(0));
    QCoreApplication::processEvents();
    int generation = 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto set = fixture.reminders(generation++ * reminderCount / 100);
        state.ResumeTiming();
        const auto report = fixture.sync(std::move(set));
        benchmark::DoNotOptimize(report);
        if (state.range(0) != 0) {
            QCoreApplication::processEvents();
            fixture.center->flush();
        }
    }
    state.SetItemsProcessed(state.iterations() * reminderCount);
}
BENCHMARK(BM_Sync10000)->ArgName("withSave")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The first sync into an empty centre.
void BM_FirstSync10000(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto fixture = std::make_unique<Fixture>();
        auto set = fixture->reminders(0);
        state.ResumeTiming();
        benchmark::DoNotOptimize(fixture->sync(std::move(set)));
        state.PauseTiming();
        fixture.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * reminderCount);
}
BENCHMARK(BM_FirstSync10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
