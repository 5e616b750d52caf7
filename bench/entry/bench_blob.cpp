// The blob's work in one frame of a pull, apart from the window around it: the region its
// window is shaped to, and its paint (shadow strokes and gradient fill) into a transparent
// image, for short, middle and long pulls, straight down and at a slant. The paint runs on
// this thread (where Qt splits the larger fills over its thread pool) and on the paint
// thread (where it does not), timed from here in wall-clock time.
#include "entry/views/AnimatedBlob.hpp"
#include "platform/ui/PaintThread.hpp"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

using namespace tidemark;

namespace {

BlobFrame frameFor(double length, double slant)
{
    AnimatedBlob blob;
    blob.jump({ Rect(300, 2, 20, 20), Size(slant * length, length), false, 1.0 });
    return blob.frame();
}

void BM_BlobRegion(benchmark::State& state)
{
    const BlobFrame frame = frameFor(double(state.range(0)), double(state.range(1)) / 100);
    for (auto _ : state)
        benchmark::DoNotOptimize(blobRegion(frame));
}
BENCHMARK(BM_BlobRegion)->ArgsProduct({ { 60, 150, 300 }, { 0, 50 } });

void BM_BlobPaint(benchmark::State& state)
{
    const BlobFrame frame = frameFor(double(state.range(0)), double(state.range(1)) / 100);
    QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        paintBlob(painter, frame, palette);
    }
}
BENCHMARK(BM_BlobPaint)->ArgsProduct({ { 60, 150, 300 }, { 0, 50 } })->UseRealTime();

void BM_BlobPaintOnPaintThread(benchmark::State& state)
{
    const BlobFrame frame = frameFor(double(state.range(0)), double(state.range(1)) / 100);
    QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette;
    for (auto _ : state) {
        runOnPaintThread([&] {
            image.fill(Qt::transparent);
            QPainter painter(&image);
            paintBlob(painter, frame, palette);
        });
    }
}
BENCHMARK(BM_BlobPaintOnPaintThread)->ArgsProduct({ { 60, 150, 300 }, { 0, 50 } })->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
