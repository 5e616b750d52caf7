// The notification centre's pending list at the size of a large reminder store, with no
// notification server: what a sync of every reminder costs the layer.
//
//   build/bench/usernotifications/bench_usernotifications --benchmark_repetitions=10
//     --benchmark_report_aggregates_only=true

#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_set>

namespace {

using namespace tidemark;

constexpr int requestCount = 10'000;

struct Fixture {
    QTemporaryDir stateDir;
    std::unique_ptr<UNUserNotificationCenter> center;

    Fixture()
    {
        UNUserNotificationCenter::Configuration configuration;
        configuration.stateDirectory = stateDir.path();
        configuration.clock
            = std::make_shared<ManualWallClock>(dateFromTimeIntervalSince1970(1.7e9));
        // A name nobody owns: no server answers, whatever runs on this desktop.
        configuration.serviceName = QStringLiteral("org.tidemark.bench.NoNotifications");
        center = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
        UNNotificationCategory category;
        category.identifier = "reminders";
        category.actions = { { "snooze1Min", "1 minute" } };
        center->setNotificationCategories({ category });
        center->requestAuthorization(
            UNAuthorizationOptions::alert | UNAuthorizationOptions::sound, [](bool, auto) {});
        QCoreApplication::processEvents();
    }

    void addAll(int generation, int firstIndex = 0)
    {
        for (int i = firstIndex; i < firstIndex + requestCount; ++i) {
            UNNotificationRequest request;
            request.identifier = "reminder-" + std::to_string(i);
            request.content.title = "Reminder";
            request.content.body = "Reminder number " + std::to_string(i) + " of generation "
                + std::to_string(generation);
            request.content.sound = UNNotificationSound::defaultSound();
            request.content.interruptionLevel = UNNotificationInterruptionLevel::timeSensitive;
            request.content.categoryIdentifier = "reminders";
            request.trigger = UNTimeIntervalNotificationTrigger { 60.0 + i + generation, false };
            center->addNotificationRequest(std::move(request));
        }
    }
};

// Adding 10,000 requests whose identifiers are all pending already (each replaces one).
void BM_AddReplace10000(benchmark::State& state)
{
    Fixture fixture;
    fixture.addAll(0);
    int generation = 1;
    for (auto _ : state) {
        fixture.addAll(generation++);
        if (state.range(0) != 0)
            QCoreApplication::processEvents(); // arms the clock and writes the state file
    }
    state.SetItemsProcessed(state.iterations() * requestCount);
}
BENCHMARK(BM_AddReplace10000)->ArgName("withSave")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One sync as the notification service does it: list the pending and delivered requests,
// remove those of reminders that are gone (1% each time), then add one request per
// reminder. With `withSave`, the write of the state file that follows is counted too.
void BM_SyncPass10000(benchmark::State& state)
{
    Fixture fixture;
    fixture.addAll(0);
    QCoreApplication::processEvents();
    int generation = 1;
    for (auto _ : state) {
        const int first = generation * requestCount / 100; // 1% of the reminders are new
        std::unordered_set<std::string> kept;
        kept.reserve(requestCount);
        for (int i = first; i < first + requestCount; ++i)
            kept.insert("reminder-" + std::to_string(i));

        std::vector<std::string> stale;
        fixture.center->getPendingNotificationRequests(
            [&](std::vector<UNNotificationRequest> requests) {
                for (const auto& request : requests) {
                    if (!kept.contains(request.identifier))
                        stale.push_back(request.identifier);
                }
            });
        fixture.center->getDeliveredNotifications([&](std::vector<UNNotification> notifications) {
            for (const auto& notification : notifications) {
                if (!kept.contains(notification.request.identifier))
                    stale.push_back(notification.request.identifier);
            }
        });
        fixture.center->removePendingNotificationRequests(stale);
        fixture.center->removeDeliveredNotifications(stale);
        fixture.addAll(generation++, first);
        if (state.range(0) != 0)
            QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * requestCount);
}
BENCHMARK(BM_SyncPass10000)->ArgName("withSave")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Writing 10,000 pending requests to the state file (on the writer's thread, waited for).
void BM_WritePending10000(benchmark::State& state)
{
    Fixture fixture;
    int generation = 0;
    for (auto _ : state) {
        fixture.addAll(generation++);
        fixture.center->flush();
    }
    state.SetItemsProcessed(state.iterations() * requestCount);
}
BENCHMARK(BM_WritePending10000)->Unit(benchmark::kMillisecond);

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
