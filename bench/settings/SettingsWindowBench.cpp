// The settings window on the offscreen platform: the first opening (made, shown, first frame
// painted), a later opening of the kept window, switching tabs, one step of the sensitivity
// slider with its save to a real settings file, and resident memory over 50 openings and
// closings.
//
//   QT_QPA_PLATFORM=offscreen build/bench/settings/bench_settings_window
//       --benchmark_repetitions=10 --benchmark_report_aggregates_only=true

#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "settings/GeneralSettingsRules.hpp"
#include "settings/PersistentSettingsService.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"
#include "settings/views/GeneralSettingsView.hpp"
#include "settings/views/SettingsWindow.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

using namespace tidemark;

namespace {

long residentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// A main store over the root reducer whose settings are saved to a file in a temporary folder.
struct Fixture {
    QTemporaryDir folder;
    AppStoreRef store;

    Fixture()
    {
        const Date now = dateFromTimeIntervalSince1970(1'700'000'000);
        const Calendar calendar("UTC");
        auto defaults
            = UserDefaults::suite("com.tidemark.Tidemark.settings", folder.path().toStdString());
        auto settings = std::make_shared<PersistentSettingsService<UserSettings>>(
            UserSettings::makeDefault(calendar, now), defaults);
        auto clock = std::make_shared<ManualClock>(now);
        store = AppStore::make(AppState::initial(now, calendar),
            [reducing = ReducerEnvironment { clock }](
                AppState& s, const AppAction& a) { appReducer(s, a, reducing); },
            { userSettingsMiddleware(settings) });
    }
};

// Processes events until `widget` has been painted (at most two seconds).
class PaintWatch final : public QObject {
public:
    explicit PaintWatch(QWidget* widget)
        : m_widget(widget)
    {
        widget->installEventFilter(this);
    }
    ~PaintWatch() override { m_widget->removeEventFilter(this); }

    bool wait()
    {
        QElapsedTimer limit;
        limit.start();
        while (!m_painted && limit.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_painted;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return false;
    }

private:
    QWidget* m_widget;
    bool m_painted = false;
};

SettingsContainerView* contentOf(const WindowRef& window)
{
    for (QWidget* child : window->findChildren<QWidget*>())
        if (auto* content = dynamic_cast<SettingsContainerView*>(child))
            return content;
    return nullptr;
}

// Shows the window and waits for the selected pane's first frame; the seconds it took.
double openAndPaint(const WindowRef& window)
{
    QWidget* pane = contentOf(window)->tabWidget()->currentWidget();
    PaintWatch watch(pane);
    QElapsedTimer timer;
    timer.start();
    window->makeKeyAndOrderFront();
    const bool painted = watch.wait();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    return painted ? seconds : 2.0;
}

void close(const WindowRef& window)
{
    window->close();
    QCoreApplication::processEvents();
}

void BM_FirstOpeningToFirstFrame(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        WindowRef window = makeSettingsWindow(fixture.store);
        const double made = double(timer.nsecsElapsed()) / 1e9;
        state.SetIterationTime(made + openAndPaint(window));
        state.PauseTiming();
        close(window);
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstOpeningToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void BM_LaterOpeningToFirstFrame(benchmark::State& state)
{
    Fixture fixture;
    WindowRef window = makeSettingsWindow(fixture.store);
    openAndPaint(window);
    close(window);
    for (auto _ : state) {
        state.SetIterationTime(openAndPaint(window));
        close(window);
    }
}
BENCHMARK(BM_LaterOpeningToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

void BM_TabSwitchToFirstFrame(benchmark::State& state)
{
    Fixture fixture;
    WindowRef window = makeSettingsWindow(fixture.store);
    openAndPaint(window);
    SettingsContainerView* content = contentOf(window);
    SettingsTabs tab = SettingsTabs::general;
    for (auto _ : state) {
        tab = tab == SettingsTabs::general ? SettingsTabs::other : SettingsTabs::general;
        QWidget* pane = content->pane(tab);
        PaintWatch watch(pane);
        QElapsedTimer timer;
        timer.start();
        content->pickTab(tab);
        const bool painted = watch.wait();
        state.SetIterationTime(painted ? double(timer.nsecsElapsed()) / 1e9 : 2.0);
    }
}
BENCHMARK(BM_TabSwitchToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

// The slider's value changes by one fine step: the action, the reducer, and the whole
// settings value written to its file (atomically) by the user-settings middleware.
void BM_SensitivityStepWithSave(benchmark::State& state)
{
    Fixture fixture;
    WindowRef window = makeSettingsWindow(fixture.store);
    openAndPaint(window);
    auto* general
        = static_cast<GeneralSettingsView*>(contentOf(window)->pane(SettingsTabs::general));
    QSlider* slider = general->sensitivitySlider();
    int step = 1;
    for (auto _ : state) {
        if (slider->value() >= slider->maximum() || slider->value() <= slider->minimum())
            step = -step;
        slider->setValue(slider->value() + step);
    }
    state.counters["pointPerInterval"] = fixture.store->state().dragGesture.pointPerInterval;
}
BENCHMARK(BM_SensitivityStepWithSave)->Unit(benchmark::kMillisecond);

void BM_MemoryOver50Openings(benchmark::State& state)
{
    Fixture fixture;
    WindowRef window = makeSettingsWindow(fixture.store);
    openAndPaint(window);
    close(window);
    for (int i = 0; i < 5; ++i) { // warm up
        openAndPaint(window);
        close(window);
    }
    long before = 0;
    long after = 0;
    for (auto _ : state) {
        before = residentKiB();
        for (int i = 0; i < 50; ++i) {
            openAndPaint(window);
            close(window);
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        after = residentKiB();
    }
    state.counters["rssBeforeKiB"] = double(before);
    state.counters["rssAfterKiB"] = double(after);
    state.counters["growthKiB"] = double(after - before);
}
BENCHMARK(BM_MemoryOver50Openings)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    rx::QtMainQueue mainQueue;
    rx::setMainQueue(&mainQueue);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rx::setMainQueue(nullptr);
    return 0;
}
