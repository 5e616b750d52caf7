// Reading one list of many tasks. The tree is $TIDEMARK_CALENDARS_DIR when set (compare.sh
// makes one that todoman reads too), else a fresh one of 10,000 tasks in a temporary folder.
#include "platform/eventstore/EventStore.hpp"

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

void makeTree(const QString& root, int count)
{
    const QString list = root + "/bench/tasks";
    QDir().mkpath(list);
    QFile name(list + "/displayname");
    if (name.open(QIODevice::WriteOnly))
        name.write("Tasks\n");
    for (int i = 0; i < count; ++i) {
        QFile file(list + QString("/task-%1.ics").arg(i, 5, 10, QChar('0')));
        if (!file.open(QIODevice::WriteOnly))
            continue;
        const QByteArray n = QByteArray::number(i);
        file.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//Bench//EN\r\nBEGIN:VTODO\r\nUID:task-" + n
            + "\r\nDTSTAMP:20300101T000000Z\r\nCREATED:20300101T000000Z\r\nSUMMARY:Task number " + n
            + " with a longer title\r\nDTSTART;TZID=Europe/Berlin:20300101T090000\r\n"
              "DUE;TZID=Europe/Berlin:20300101T091500\r\nSTATUS:NEEDS-ACTION\r\n"
              "BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Task\r\nTRIGGER;VALUE=DATE-TIME:20300101T081500Z\r\n"
              "END:VALARM\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    }
}

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
    return store.fetchReminders(store.predicateForIncompleteReminders({}, {}, std::vector{*list})).size();
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
        makeTree(benchRoot, 10000);
    }
    stateDir = temporary.path() + "/state";
    QDir().mkpath(stateDir);
    QFile answer(stateDir + "/eventstore-access");
    if (answer.open(QIODevice::WriteOnly))
        answer.write("reminders=fullAccess\n");
    answer.close();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
