// The onboarding's and what's new's windows and the drag demonstration, on the offscreen
// platform:
// - each window from the request (made, filled and shown as the windows store does) to its
//   first painted frame, opened and closed again and again;
// - resident memory before and after 20 openings and closings of each window;
// - the demonstration playing on the real timer and frame clock: process CPU time over
//   wall time while it plays, as a share of one core;
// - resident memory before and after 1,000 passes of the demonstration on a manual clock;
// - the popover closed on an empty store: its empty view with the demonstration, played and
//   then hidden as the popover's closing hides it, and the event loop left alone: the loop's
//   wake-ups and the timer events delivered, less those of the same wait with nothing made,
//   counted over TIDEMARK_BENCH_IDLE_SECONDS (10 unless set; 60 for the whole minute) and
//   given per 60 s. Goal: none.
//
//   build/bench/onboarding/bench_onboarding --benchmark_repetitions=10
//       --benchmark_report_aggregates_only=true
//   TIDEMARK_BENCH_IDLE_SECONDS=60 build/bench/onboarding/bench_onboarding
//       --benchmark_filter=ClosedPopover

#include "core/state/AppState.hpp"
#include "menubar/views/PopoverEmptyView.hpp"
#include "onboarding/views/DragDemonstrationView.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "onboarding/views/WhatsNewWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/ui/FrameClock.hpp"
#include "platform/ui/PinnedLayout.hpp"
#include "support/ResidentMemory.hpp"
#include "support/WidgetBenchmarkMain.hpp"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>

using namespace tidemark;

namespace {

double processCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Notes the first paint of the window's content.
class FirstPaint final : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

AppStoreRef onboardingStore()
{
    AppState state = AppState::initial(Clock::system()->now(), Calendar("UTC"));
    state.view.onboarding.isPresented = true;
    return AppStore::constant(std::move(state));
}

enum class Kind {
    onboarding,
    whatsNew,
};

// Makes, fills and shows the window, as the windows store does on a presentation, and runs
// the event loop until its content has painted; returns the milliseconds that took.
double openAndPaint(Kind kind, const AppStoreRef& store)
{
    QElapsedTimer elapsed;
    elapsed.start();
    WindowRef window = kind == Kind::onboarding ? makeOnboardingWindow() : makeWhatsNewWindow();
    QWidget* content = kind == Kind::onboarding ? makeOnboardingContainerView(store)
                                                : makeWhatsNewContainerView(store);
    FirstPaint paint;
    content->installEventFilter(&paint);
    addPinnedSubview(window->contentView(), content);
    window->show();
    while (!paint.painted)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const double ms = double(elapsed.nsecsElapsed()) / 1e6;
    content->removeEventFilter(&paint);
    window->close();
    window.reset();
    settle();
    return ms;
}

void BM_WindowRequestToFirstFrame(benchmark::State& state)
{
    const Kind kind = Kind(state.range(0));
    const AppStoreRef store = onboardingStore();
    // The first opening also makes what is made once per process (the what's-new pictures);
    // it counts only when this is the first benchmark run.
    state.counters["first_opening_ms"] = openAndPaint(kind, store);
    for (auto _ : state)
        state.SetIterationTime(openAndPaint(kind, store) / 1000);
}
BENCHMARK(BM_WindowRequestToFirstFrame)
    ->Arg(int(Kind::onboarding))
    ->ArgName("onboarding")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowRequestToFirstFrame)
    ->Arg(int(Kind::whatsNew))
    ->ArgName("whatsNew")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_TwentyOpeningsResidentMemory(benchmark::State& state)
{
    const AppStoreRef store = onboardingStore();
    for (auto _ : state) {
        bench::reportResidentGrowth(state, 3, 20, [&] {
            openAndPaint(Kind::onboarding, store);
            openAndPaint(Kind::whatsNew, store);
        });
    }
}
BENCHMARK(BM_TwentyOpeningsResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// The demonstration as the last onboarding page shows it (about 540 × 334), playing on the
// program's own timer and frame clock for two whole passes.
void BM_DemonstrationPlayingCpu(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget window;
        auto* view = new DragInteractionDemoView(true, &window);
        window.resize(540, 334);
        view->resize(540, 334);
        window.show();
        settle();
        const double passes = 2;
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(
            int(passes * DragDemonstrationTimings::pass * 1000), &loop, &QEventLoop::quit);
        loop.exec();
        const double cpu = processCpuSeconds() - cpuBefore;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["cpu_percent_of_core"] = 100 * cpu / seconds;
        state.counters["running"] = view->isRunning() ? 1 : 0;
    }
}
BENCHMARK(BM_DemonstrationPlayingCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

// A timer on the manual clock that ends each wait when told to.
class SteppedTimer final : public DragDemonstrationTimer {
public:
    void start(double seconds, std::function<void()> done) override
    {
        wait = seconds;
        m_done = std::move(done);
    }
    void stop() override { m_done = nullptr; }
    bool isActive() const override { return bool(m_done); }
    void fire()
    {
        auto done = std::move(m_done);
        m_done = nullptr;
        done();
    }
    double wait = 0;

private:
    std::function<void()> m_done;
};

void BM_ThousandPassesResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        ManualFrameClock clock;
        SteppedTimer timer;
        DragInteractionDemoView view(true, nullptr, &clock, &timer);
        view.resize(540, 334);
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.show();
        bench::reportResidentGrowth(state, 20, 1000, [&] {
            for (int step = 0; step < 6; ++step) {
                clock.runUntilIdle(1.0 / 60);
                clock.passTime(timer.wait);
                timer.fire();
            }
        });
    }
}
BENCHMARK(BM_ThousandPassesResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Counts the event loop's wake-ups and the timer events delivered to any object while it
// lives.
class WakeUps final : public QObject {
public:
    WakeUps()
    {
        QCoreApplication::instance()->installEventFilter(this);
        m_awake = QObject::connect(QAbstractEventDispatcher::instance(),
            &QAbstractEventDispatcher::awake, [this] { ++awake; });
    }
    ~WakeUps() override
    {
        QObject::disconnect(m_awake);
        QCoreApplication::instance()->removeEventFilter(this);
    }
    int awake = 0;
    int timerEvents = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Timer) {
            ++timerEvents;
            fprintf(stderr, "timer %s %s %p id=%d\n", watched->metaObject()->className(),
                qPrintable(watched->objectName()), (void*)watched,
                static_cast<QTimerEvent*>(event)->timerId());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMetaObject::Connection m_awake;
};

double idleSeconds()
{
    const int seconds = qEnvironmentVariableIntValue("TIDEMARK_BENCH_IDLE_SECONDS");
    return seconds > 0 ? seconds : 10;
}

// Leaves the event loop to itself for `seconds` and counts what woke it.
std::pair<int, int> wakeUpsOver(double seconds)
{
    settle();
    WakeUps counted;
    QEventLoop loop;
    QTimer::singleShot(int(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    return { counted.awake, counted.timerEvents };
}

void BM_ClosedPopoverEmptyStoreWakeUps(benchmark::State& state)
{
    const double seconds = idleSeconds();
    const double perMinute = 60 / seconds;
    for (auto _ : state) {
        // What the wait itself costs, with nothing made.
        const auto [baseAwake, baseTimers] = wakeUpsOver(seconds);

        // The popover's content with no reminder to list: the empty view with the
        // demonstration, opened long enough for the demonstration to be mid-pass, then
        // closed.
        setPopoverEmptyDemonstrationFactory(makePopoverDragDemonstration);
        QWidget popover;
        auto* empty = new PopoverEmptyView(&popover);
        auto* layout = new QVBoxLayout(&popover);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(empty);
        popover.setAttribute(Qt::WA_DontShowOnScreen);
        popover.show();
        empty->setPlaying(true);
        QEventLoop playing;
        QTimer::singleShot(1500, &playing, &QEventLoop::quit);
        playing.exec();
        const bool ranWhileOpen
            = static_cast<DragInteractionDemoView*>(empty->demonstration())->isRunning();
        popover.hide();
        const auto [awake, timers] = wakeUpsOver(seconds);

        state.counters["window_s"] = seconds;
        state.counters["ran_while_open"] = ranWhileOpen ? 1 : 0;
        state.counters["running_after_close"]
            = static_cast<DragInteractionDemoView*>(empty->demonstration())->isRunning() ? 1 : 0;
        state.counters["baseline_wakeups_per_60s"] = baseAwake * perMinute;
        state.counters["wakeups_per_60s"] = (awake - baseAwake) * perMinute;
        state.counters["timer_events_per_60s"] = (timers - baseTimers) * perMinute;
        setPopoverEmptyDemonstrationFactory(nullptr);
    }
}
BENCHMARK(BM_ClosedPopoverEmptyStoreWakeUps)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    bench::BenchmarkApplication application(argc, argv);
    return bench::runBenchmarksOnMainQueue<rx::QtMainQueue>(argc, argv);
}
