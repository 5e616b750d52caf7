// The sync pane with 50 accounts of 20 lists each (goal: under 20 ms): the accounts arriving
// at a pane that shows none yet (the store's new state reaching the pane, the picker's 1,050
// entries rebuilt, the pane laid out and painted), and the pane built on them from nothing
// and painted.
//
//   build/bench/reminders/bench_sync_settings_pane --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "core/Store.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "reminders/views/RemindersListPicker.hpp"
#include "reminders/views/SyncSettingsPane.hpp"
#include "reminders/views/SyncSettingsPreviews.hpp"
#include "support/WidgetBenchmarkMain.hpp"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <variant>

using namespace tidemark;

namespace {

using Sync = AppleRemindersConnectingView;
using Input = std::variant<Sync::State, Sync::Action>;

Sync::State manySources()
{
    Sync::State state;
    state.isEnabled = true;
    state.sources = sampleReminderSources(50, 20);
    state.selectedList = *state.sources[25].lists.begin();
    return state;
}

void paint(QWidget& pane, QImage& image)
{
    pane.adjustSize();
    if (image.size() != pane.size())
        image = QImage(pane.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    pane.render(&painter);
}

void BM_SyncPaneSourcesArrive(benchmark::State& run)
{
    const Sync::State empty { true, std::nullopt, {} };
    const Sync::State full = manySources();
    auto parent = Store<Sync::State, Input>::make(empty, [](Sync::State& state, const Input& in) {
        if (const auto* whole = std::get_if<Sync::State>(&in))
            state = *whole;
    });
    auto store = parent->derived<Sync::State, Sync::Action>(
        [](const Sync::State& s) { return s; }, [](const Sync::Action& a) { return Input(a); });
    SyncSettingsPane pane(store);
    QImage image;
    paint(pane, image);
    for (auto _ : run) {
        parent->dispatch(Input(full));
        QCoreApplication::processEvents();
        paint(pane, image);

        run.PauseTiming();
        parent->dispatch(Input(empty));
        QCoreApplication::processEvents();
        run.ResumeTiming();
    }
    if (pane.picker()->count() != 0)
        run.SkipWithError("the accounts did not leave");
}
BENCHMARK(BM_SyncPaneSourcesArrive)->Unit(benchmark::kMillisecond);

void BM_SyncPaneBuiltOnManySources(benchmark::State& run)
{
    auto store = AppleRemindersSettingsStore::constant(manySources());
    QImage image;
    for (auto _ : run) {
        SyncSettingsPane pane(store);
        paint(pane, image);
        benchmark::DoNotOptimize(pane.picker()->count());
    }
}
BENCHMARK(BM_SyncPaneBuiltOnManySources)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    bench::BenchmarkApplication application(argc, argv);
    return bench::runBenchmarksOnMainQueue<rx::QtMainQueue>(argc, argv);
}
