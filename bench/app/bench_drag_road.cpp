// The drag road in the running program: the whole composition root in a temporary home whose
// settings say onboarding was seen, its real status item, overlay windows and frame clock.
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" dbus-run-session -- build/bench/app/bench_drag_road
//
// - BM_PullStepToPaint: each pointer move of a 300 px pull (3 px apart), from the event sent
//   to the icon to the end of the back overlay's next frame (painted and sent to the server);
//   median and worst over ten pulls, the first move of each pull (which shows the windows) counted
//   apart, until the X server has drawn it: mapping two screen-sized translucent windows keeps the
//   server busy for tens of milliseconds after the first paint, and without the wait the next move
//   would carry that rest of the first frame. Goal: under 4 ms.
// - BM_PullStepToPaintPaced: the same with the moves 8 ms apart, as a 125 Hz mouse sends them,
//   the event loop waiting between them as it does in use (animation frames run, the thread
//   sleeps). Back to back, every step finds the processor, the paint thread and the X server
//   just busy with the last; apart, each one starts cold, as it does in use.
// - BM_MachineFloor: the same number of steps of a round trip to the X server and 0.6 ms of
//   work each, nothing painted: how far the machine alone stretches a step now and then;
//   BM_MachineFloorPaced the same 8 ms apart, as the paced pull.
// - BM_CountdownMinute: one minute with a countdown two hours ahead: wake-ups of the event
//   loop and repaints of the status item. Goal: the one-second tick and one repaint per
//   visible change, no frames in between.
// - BM_ResidentMemory: resident memory at rest, at a drag's peak, once its windows closed,
//   and after 10 and 100 pulls. Goal: nothing until shown, back within 1 MiB once closed,
//   flat from pull 10 to 100.
#include "app/shell/AppDelegate.hpp"
#include "core/connectors/RootActions.hpp"
#include "core/state/AppState.hpp"
#include "entry/DragCapture.hpp"
#include "entry/views/DragDataEntryCard.hpp"
#include "entry/views/YoyoBackView.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "entry/views/YoyoFrontView.hpp"
#include "menubar/StatusItemLook.hpp"
#include "menubar/views/StatusItemView.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/reactive/QtTimerSource.hpp"
#include "platform/ui/StatusBar.hpp"
#include "reminders/Reminder.hpp"
#include "support/EventLoop.hpp"

#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#ifdef TIDEMARK_HAVE_XCB
#include <QGuiApplication>
#include <xcb/xcb.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using namespace tidemark;

namespace {

long procStatus(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

long residentKiB()
{
    return procStatus("VmRSS");
}

// Counts one kind of event reaching a widget.
class EventCounter final : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type)
        : m_type(type)
    {
        target->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == m_type)
            ++count;
        return false;
    }

private:
    QEvent::Type m_type;
};

// Runs the event loop for `milliseconds`, or until `done` holds.
template <class Done> bool runFor(int milliseconds, Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

struct Program {
    QTemporaryDir home;
    std::unique_ptr<AppDelegate> delegate;

    AppModel& model() { return delegate->model(); }
    StatusItemView* icon()
    {
        const auto& item = model().windowsStore->state().dragDropMenuBarExtra.item;
        return item ? item->button()->findChild<StatusItemView*>() : nullptr;
    }
    WindowRef back() { return model().windowsStore->state().yoyoDragBack->window; }
    WindowRef front() { return model().windowsStore->state().yoyoDragFront->window; }
    bool overlaysShown() { return back()->isVisible() || front()->isVisible(); }

    void mouse(QEvent::Type type, QPointF local, Qt::MouseButtons buttons)
    {
        StatusItemView* view = icon();
        QMouseEvent event(type, local, view->mapToGlobal(local), Qt::LeftButton, buttons, {});
        QCoreApplication::sendEvent(view, &event);
    }
    // The middle of the icon's hit area: the countdown widens the item after it.
    QPointF iconCentre()
    {
        const Rect hit
            = StatusItemLook::hitFrame({ double(icon()->width()), double(icon()->height()) });
        return { hit.center().x, hit.center().y };
    }
    void press() { mouse(QEvent::MouseButtonPress, iconCentre(), Qt::LeftButton); }
    void moveBy(double dy)
    {
        mouse(QEvent::MouseMove, iconCentre() + QPointF(0, dy), Qt::LeftButton);
    }
    void releaseAt(double dy)
    {
        mouse(QEvent::MouseButtonRelease, iconCentre() + QPointF(0, dy), Qt::NoButton);
    }
    // Lets the animate-out run until both overlays are closed.
    bool waitClosed()
    {
        return runFor(10000, [this] { return !overlaysShown(); });
    }
    // A card presented by a pull is let go, as Escape lets it go.
    void letGoOfCard()
    {
        runFor(5000, [this] { return model().store->state().view.yoyo.drag.isPresented; });
        if (YoyoFrontWidget* view = yoyoFrontView(front()))
            view->card()->secondaryAction();
    }
};

Program* program = nullptr;

// Returns once the X server has handled every request sent so far: what was painted is drawn.
void waitForDisplay()
{
#ifdef TIDEMARK_HAVE_XCB
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
        xcb_connection_t* c = x11->connection();
        std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    }
#endif
}

int pulls()
{
    return qEnvironmentVariableIsSet("BENCH_PULLS") ? qEnvironmentVariableIntValue("BENCH_PULLS")
                                                    : 10;
}

// The program's first press after start goes to the icon's first show; one pull, not counted,
// brings it to where every later pull starts.
void warmUp()
{
    for (int i = 0; i < 2; ++i) {
        program->press();
        for (double dy = 3; dy <= 30; dy += 3) {
            program->moveBy(dy);
            runFor(8, [] { return false; });
        }
        program->releaseAt(30);
        program->letGoOfCard();
        program->waitClosed();
    }
}

// Times every move of ten pulls, `gapMs` apart (0: each move as soon as the last is painted).
void pullSteps(benchmark::State& state, int gapMs)
{
    YoyoBackWidget* back = yoyoBackView(program->back());
    std::vector<double> steps;
    std::vector<double> firsts;
    int unpainted = 0;
    for (auto _ : state) {
        for (int pull = 0; pull < pulls(); ++pull) {
            if (pull == 0)
                warmUp();
            program->press();
            bool first = true;
            for (double dy = 3; dy <= 300; dy += 3) {
                if (gapMs > 0)
                    bench::idleFor(gapMs);
                const int before = back->frames();
                QElapsedTimer timer;
                timer.start();
                program->moveBy(dy);
                const bool painted = runFor(200, [&] { return back->frames() > before; });
                if (painted && first && dy >= DragCapture::minimumDistance)
                    waitForDisplay();
                const double ms = timer.nsecsElapsed() / 1e6;
                if (dy < DragCapture::minimumDistance)
                    continue; // under the threshold: nothing to draw yet
                if (!painted) {
                    ++unpainted;
                } else if (first) {
                    // The first paint of a pull comes with its windows shown.
                    firsts.push_back(ms);
                    first = false;
                } else {
                    steps.push_back(ms);
                }
            }
            program->releaseAt(300);
            program->letGoOfCard();
            program->waitClosed();
        }
    }
    std::sort(steps.begin(), steps.end());
    std::sort(firsts.begin(), firsts.end());
    if (!steps.empty()) {
        state.counters["median_ms"] = steps[steps.size() / 2];
        state.counters["worst_ms"] = steps.back();
        state.counters["p99_ms"] = steps[steps.size() * 99 / 100];
        state.counters["moves_over_4ms"]
            = double(steps.end() - std::upper_bound(steps.begin(), steps.end(), 4.0));
        state.counters["moves"] = double(steps.size());
    }
    if (!firsts.empty())
        state.counters["first_worst_ms"] = firsts.back();
    state.counters["moves_without_paint"] = unpainted;
}

void BM_PullStepToPaint(benchmark::State& state)
{
    pullSteps(state, 0);
}
BENCHMARK(BM_PullStepToPaint)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PullStepToPaintPaced(benchmark::State& state)
{
    pullSteps(state, 8);
}
BENCHMARK(BM_PullStepToPaintPaced)->Iterations(1)->Unit(benchmark::kMillisecond);

// What the machine itself adds: as many steps as the pull benchmark times, each a round trip
// to the X server and 0.6 ms of work on this thread (about a median move), nothing painted.
// Its worst is the floor under the pull's worst on the same machine at the same time.
void machineFloor(benchmark::State& state, int gapMs)
{
    std::vector<double> steps;
    for (auto _ : state) {
        // The first steps still meet the program's start-up: not counted.
        for (int i = -20; i < 950; ++i) {
            if (gapMs > 0)
                bench::idleFor(gapMs);
            QElapsedTimer timer;
            timer.start();
            waitForDisplay();
            while (timer.nsecsElapsed() < 600000) { }
            QCoreApplication::processEvents();
            if (i >= 0)
                steps.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    std::sort(steps.begin(), steps.end());
    state.counters["median_ms"] = steps[steps.size() / 2];
    state.counters["p99_ms"] = steps[steps.size() * 99 / 100];
    state.counters["worst_ms"] = steps.back();
}

void BM_MachineFloor(benchmark::State& state)
{
    machineFloor(state, 0);
}
BENCHMARK(BM_MachineFloor)->Iterations(1)->Unit(benchmark::kMillisecond);

// The same steps 8 ms apart, the event loop asleep between them: the floor under the paced
// pull, where each step wakes the processor and the X server.
void BM_MachineFloorPaced(benchmark::State& state)
{
    machineFloor(state, 8);
}
BENCHMARK(BM_MachineFloorPaced)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_CountdownMinute(benchmark::State& state)
{
    auto& store = program->model().store;
    const Date now = Clock::system()->now();
    store->dispatch(Connectors::root::createItems(
        { CreateReminder(now, 2 * 3600, std::string("Two hours")).toAnyReminder() }));
    // The countdown appears (its width springs open) before the minute is counted. Only the
    // status item shows: started by the user, the program opens its popover by itself, and
    // the popover's list would count down too.
    runFor(3000, [] { return false; });
    store->dispatch(actions::popoverIsPresented(false));
    runFor(1000, [] { return false; });
    EventCounter repaints(program->icon(), QEvent::Paint);
    int wakeups = 0;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake,
        [&wakeups] { ++wakeups; });
    const long switchesBefore = procStatus("voluntary_ctxt_switches");
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state.counters["wakeups_per_min"] = wakeups;
    state.counters["item_repaints_per_min"] = repaints.count;
    state.counters["voluntary_switches_per_min"]
        = double(procStatus("voluntary_ctxt_switches") - switchesBefore);
}
BENCHMARK(BM_CountdownMinute)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        runFor(1000, [] { return false; });
        const long rest = residentKiB();
        program->press();
        for (double dy = 3; dy <= 300; dy += 3) {
            program->moveBy(dy);
            runFor(8, [] { return false; });
        }
        const long peak = residentKiB();
        program->releaseAt(300);
        program->letGoOfCard();
        program->waitClosed();
        runFor(500, [] { return false; });
        const long closed = residentKiB();
        long afterTen = 0;
        for (int pull = 1; pull <= 100; ++pull) {
            program->press();
            for (double dy = 3; dy <= 15; dy += 3) {
                program->moveBy(dy);
                runFor(8, [] { return false; });
            }
            program->releaseAt(15);
            program->waitClosed();
            if (pull == 10)
                afterTen = residentKiB();
        }
        runFor(500, [] { return false; });
        const long afterHundred = residentKiB();
        state.counters["rest_KiB"] = rest;
        state.counters["peak_KiB"] = peak;
        state.counters["closed_KiB"] = closed;
        state.counters["after10_KiB"] = afterTen;
        state.counters["after100_KiB"] = afterHundred;
        state.counters["closed_over_rest_KiB"] = closed - rest;
        state.counters["growth_10_to_100_KiB"] = afterHundred - afterTen;
    }
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    Program running;
    if (!running.home.isValid())
        return 1;
    const QString home = running.home.path();
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (home + "/data").toUtf8());
    qputenv("XDG_STATE_HOME", (home + "/state").toUtf8());
    qputenv("XDG_CACHE_HOME", (home + "/cache").toUtf8());
    QDir().mkpath(home + "/config/tidemark");
    QFile::copy(QStringLiteral(TIDEMARK_ONBOARDING_SEEN),
        home + "/config/tidemark/com.tidemark.Tidemark.settings.json");

    Application application(argc, argv);
    rx::QtMainQueue mainQueue;
    rx::setMainQueue(&mainQueue);
    rx::QtTimerSource timers;
    rx::setTimerSource(&timers);
    {
        running.delegate = std::make_unique<AppDelegate>();
        application.setDelegate(running.delegate.get());
        application.finishLaunching();
        program = &running;
        if (!runFor(20000, [] { return program->icon() && program->icon()->isVisible(); })) {
            std::fprintf(stderr, "bench_drag_road: the status item never showed\n");
            return 1;
        }
        benchmark::Initialize(&argc, argv);
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        running.delegate->applicationWillTerminate();
        application.setDelegate(nullptr);
        running.delegate.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    rx::setTimerSource(nullptr);
    rx::setMainQueue(nullptr);
    return 0;
}
