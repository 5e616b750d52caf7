// The clock-hand icon's frames while both hands spring: one frame (move the frame clock, paint
// the icon) at device pixel ratio 2 for the menu-bar icon at rest and the list-item icon with
// a shadow of radius 5, and resident memory before and after 10,000 such frames.
//
//   build/bench/menubar/bench_clock_icon --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true

#include "entry/ZevovozoStatus.hpp"
#include "menubar/ZevovozoConfiguring.hpp"
#include "menubar/ZevovozoViewModel.hpp"
#include "menubar/views/ZevovozoView.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/ui/FrameClock.hpp"
#include "support/ResidentMemory.hpp"
#include "support/WidgetBenchmarkMain.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <memory>

using namespace tidemark;

namespace {

constexpr double frame = 1.0 / 60;
constexpr double ratio = 2;

enum class Icon {
    menuBar,
    listItem,
};

// An icon whose hands are sent to new angles every half second, so that they never rest,
// painted into one image frame after frame.
class SpringingIcon {
public:
    explicit SpringingIcon(Icon icon)
    {
        std::shared_ptr<const ZevovozoConfiguring> config;
        if (icon == Icon::menuBar)
            config = std::make_shared<const MenubarZevovozoConfiguration>();
        else
            config = std::make_shared<const ListItemZevovozoConfiguration>();
        m_parameters = ZevovozoViewModel { ZevovozoStatus::idle, config, {} }.parameters();
        if (icon == Icon::listItem)
            m_parameters.shadowRadius = 5;
        m_view = std::make_unique<ZevovozoView>(m_parameters, 0.6, nullptr, &m_clock);
        m_view->setAttribute(Qt::WA_DontShowOnScreen);
        m_view->resize(m_view->sizeHint());
        m_view->show();
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        m_image = QImage(m_view->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_image.setDevicePixelRatio(ratio);
    }

    void nextFrame()
    {
        if (m_frames++ % 30 == 0) {
            m_parameters.hourAngle.radians += 0.5;
            m_parameters.minuteAngle.radians += 1.3;
            m_view->setParameters(m_parameters);
        }
        m_clock.advance(frame);
        m_image.fill(Qt::transparent);
        m_view->render(&m_image, QPoint(), QRegion(), QWidget::DrawChildren);
        benchmark::DoNotOptimize(m_image.constBits());
    }

    bool isSpringing() const { return m_view->clock().isTurning(); }
    QSize size() const { return m_view->size(); }

private:
    ManualFrameClock m_clock;
    ZevovozoViewModel::Parameters m_parameters;
    std::unique_ptr<ZevovozoView> m_view;
    QImage m_image;
    long m_frames = 0;
};

void BM_ClockIconFrame(benchmark::State& state)
{
    SpringingIcon icon(Icon(state.range(0)));
    long springing = 0;
    for (auto _ : state) {
        icon.nextFrame();
        springing += icon.isSpringing() ? 1 : 0;
    }
    state.counters["width"] = icon.size().width();
    state.counters["springing"] = double(springing) / double(state.iterations());
}
BENCHMARK(BM_ClockIconFrame)
    ->Arg(int(Icon::menuBar))
    ->ArgName("menuBar")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ClockIconFrame)
    ->Arg(int(Icon::listItem))
    ->ArgName("listItemShadow5")
    ->Unit(benchmark::kMicrosecond);

// 10,000 frames of each icon; resident memory before and after, after 1,000 frames to warm
// up caches and allocator pools.
void BM_TenThousandFramesResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        SpringingIcon menuBar(Icon::menuBar);
        SpringingIcon listItem(Icon::listItem);
        bench::reportResidentGrowth(state, 1000, 10000, [&] {
            menuBar.nextFrame();
            listItem.nextFrame();
        });
    }
}
BENCHMARK(BM_TenThousandFramesResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    bench::BenchmarkApplication application(argc, argv);
    return bench::runBenchmarks(argc, argv);
}
