// The toolkit's drawing and list costs: one frame of the sample card (material, border,
// shadow and two alert buttons) at device pixel ratio 2, and the divider pass over a long
// list.
//
//   build/bench/toolkit/bench_toolkit --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "support/WidgetBenchmarkMain.hpp"
#include "toolkit/ListRowDivider.hpp"
#include "toolkit/Previews.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QUuid>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

void BM_SampleCardFrame(benchmark::State& state)
{
    const double ratio = 2;
    std::unique_ptr<QWidget> card(tidemark::makeSampleCard());
    card->setAttribute(Qt::WA_DontShowOnScreen);
    card->show();
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QImage frame(card->size() * ratio, QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(ratio);
    for (auto _ : state) {
        frame.fill(Qt::transparent);
        card->render(&frame, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(frame.constBits());
    }
    state.counters["width"] = card->width();
    state.counters["height"] = card->height();
}
BENCHMARK(BM_SampleCardFrame)->Unit(benchmark::kMicrosecond);

std::vector<std::string> identifiers(int count)
{
    std::vector<std::string> rows;
    rows.reserve(count);
    for (int i = 0; i < count; ++i)
        rows.push_back(QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString());
    return rows;
}

void BM_ListRowDividers(benchmark::State& state)
{
    const auto rows = identifiers(int(state.range(0)));
    // A few rows selected here and there, as a user selects them.
    std::unordered_set<std::string> selection;
    for (std::size_t i = 3; i < rows.size(); i += 997)
        selection.insert(rows[i]);
    for (auto _ : state) {
        auto dividers = tidemark::listRowDividers(rows, selection);
        benchmark::DoNotOptimize(dividers);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListRowDividers)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same rows drawn: the pass and one line under each row that gets one.
void BM_ListRowDividersPainted(benchmark::State& state)
{
    const auto rows = identifiers(int(state.range(0)));
    const std::unordered_set<std::string> selection { rows[5] };
    std::vector<QRectF> frames;
    for (std::size_t i = 0; i < rows.size(); ++i)
        frames.emplace_back(0, double(i) * 28, 230, 20);
    QImage image(230, 1000, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        QPainter painter(&image);
        tidemark::paintListRowDividers(
            painter, frames, tidemark::listRowDividers(rows, selection), palette);
    }
}
BENCHMARK(BM_ListRowDividersPainted)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    tidemark::bench::BenchmarkApplication application(argc, argv);
    return tidemark::bench::runBenchmarks(argc, argv);
}
