// The scroll entry in the real windows: from a wheel event over the scroll item to the card's
// finished paint, notch by notch (median and worst over 1,000 notches, after the program's
// first entry, which is counted apart as the first pull of the drag road is), and the resident
// memory at rest, with the card open and after 10 and 100 whole entries (23 notches, save,
// collapse). Run it on a display of 1920 × 1080, e.g.
//   xvfb-run -s "-screen 0 1920x1080x24" env QT_QPA_PLATFORM=xcb
//   build/bench/scroll/bench_scroll_entry
// Frames are moved by hand, one per notch, so the figures are the work of a frame and not
// the wait for the next one. BM_WheelEventToCardPaintPaced sends the notches 16 ms apart, as a
// wheel spun fast does, the event loop asleep between them as in use: each notch then starts
// cold (the processor, the paint thread and the X server idle since the last), as it does in
// use; back to back, each finds them just busy with the last.
#include "app/shell/AppMiddlewares.hpp"
#include "app/shell/AppWindows.hpp"
#include "app/shell/StatusItemDragMiddleware.hpp"
#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/ScrollDataEntryCard.hpp"
#include "entry/views/ScrollGestureView.hpp"
#include "entry/views/YoyoScrollFrontView.hpp"
#include "entry/views/YoyoScrollWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/QtMainQueue.hpp"
#include "platform/ui/FrameClock.hpp"
#include "platform/ui/StatusBar.hpp"
#include "support/EventLoop.hpp"
#include "support/ResidentMemory.hpp"
#include "support/WidgetBenchmarkMain.hpp"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWheelEvent>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tidemark;
using bench::residentKiB;

namespace {

// Counts the card's paints.
class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return QObject::eventFilter(watched, event);
    }
};

// The main store, the windows store with the scroll extra, and its window.
struct ScrollEntry {
    ManualFrameClock frames;
    AppWindowsStoreRef windows;
    AppStoreRef store;
    ScrollGestureView* reader = nullptr;
    YoyoScrollFrontWidget* front = nullptr;
    WindowRef window;
    PaintCounter counter;

    ScrollEntry()
    {
        setFrameClock(&frames);
        windows = makeAppWindowsStore();
        store = AppStore::make(AppState::initial(Clock::system()->now(), Calendar("UTC")),
            [environment = ReducerEnvironment { Clock::system() }](AppState& state,
                const AppAction& action) { appReducer(state, action, environment); },
            { viewActionMiddleware(windows), makeStatusItemDragMiddleware(windows) });
        windows->dispatch(AppWindowsAction::Store { store });
        windows->dispatch(
            AppWindowsAction::ScrollMenuBarExtra { MenuBarExtraAction::IsEnabled { true } });
        StatusBar::system().layoutNow();
        settle();
        reader
            = windows->state().scrollMenuBarExtra.item->button()->findChild<ScrollGestureView*>();
        window = windows->state().yoyoScroll->window;
        front = yoyoScrollFrontView(window);
        front->card()->installEventFilter(&counter);
    }

    ~ScrollEntry()
    {
        windows->dispatch(AppWindowsAction::TearDown {});
        settle();
        setFrameClock(nullptr);
    }

    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }

    // One notch towards the user; returns the milliseconds until the card has painted. With a
    // gap, the event loop first waits that long, asleep between its events.
    double notch(int gapMs = 0)
    {
        if (gapMs > 0)
            bench::idleFor(gapMs);
        const int before = counter.paints;
        QElapsedTimer timer;
        timer.start();
        const QPointF centre(reader->width() / 2.0, reader->height() / 2.0);
        QWheelEvent event(centre, reader->mapToGlobal(centre), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(reader, &event);
        QApplication::processEvents();
        frames.advance(1.0 / 60);
        for (int i = 0; i < 100 && counter.paints == before; ++i)
            QApplication::processEvents();
        return double(timer.nsecsElapsed()) / 1e6;
    }

    void entry()
    {
        for (int i = 0; i < 23; ++i)
            notch();
        front->save();
        frames.runUntilIdle();
        settle();
    }
};

// Times 1,000 notches, `gapMs` apart (0: each as soon as the last is painted).
void wheelNotches(benchmark::State& state, int gapMs)
{
    for (auto _ : state) {
        ScrollEntry entry;
        // The program's first entry, apart: its notches make the window's image and draw the
        // card's text and shadows for the first time in the process's life.
        double firstUseWorst = 0;
        for (int i = 0; i < 23; ++i) {
            const double ms = entry.notch();
            if (i == 0)
                state.counters["first_use_opening_ms"] = ms;
            firstUseWorst = std::max(firstUseWorst, ms);
        }
        state.counters["first_use_worst_ms"] = firstUseWorst;
        entry.front->save();
        entry.frames.runUntilIdle();
        ScrollEntry::settle();
        // The first notch of an entry also maps the window; the others only move the card.
        std::vector<double> latencies;
        std::vector<double> firsts;
        std::vector<double> others;
        while (latencies.size() < 1000) {
            for (int i = 0; i < 23 && latencies.size() < 1000; ++i) {
                const double ms = entry.notch(gapMs);
                latencies.push_back(ms);
                (i == 0 ? firsts : others).push_back(ms);
            }
            entry.front->save();
            entry.frames.runUntilIdle();
            ScrollEntry::settle();
        }
        for (auto* list : { &latencies, &firsts, &others })
            std::sort(list->begin(), list->end());
        state.counters["median_ms"] = latencies[latencies.size() / 2];
        state.counters["p99_ms"] = latencies[latencies.size() * 99 / 100];
        state.counters["worst_ms"] = latencies.back();
        state.counters["opening_notch_median_ms"] = firsts[firsts.size() / 2];
        state.counters["opening_notch_worst_ms"] = firsts.back();
        state.counters["later_notch_median_ms"] = others[others.size() / 2];
        state.counters["later_notch_worst_ms"] = others.back();
        state.counters["screen_w"] = entry.window->frame().size.width;
        state.counters["screen_h"] = entry.window->frame().size.height;
    }
}

void BM_WheelEventToCardPaint(benchmark::State& state)
{
    wheelNotches(state, 0);
}
BENCHMARK(BM_WheelEventToCardPaint)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WheelEventToCardPaintPaced(benchmark::State& state)
{
    wheelNotches(state, 16);
}
BENCHMARK(BM_WheelEventToCardPaintPaced)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ResidentMemory(benchmark::State& state)
{
    for (auto _ : state) {
        const long bare = residentKiB();
        ScrollEntry entry;
        const long atRest = residentKiB();
        for (int i = 0; i < 23; ++i)
            entry.notch();
        const long open = residentKiB();
        entry.front->save();
        entry.frames.runUntilIdle();
        ScrollEntry::settle();
        for (int i = 1; i < 10; ++i)
            entry.entry();
        const long after10 = residentKiB();
        for (int i = 10; i < 100; ++i)
            entry.entry();
        const long after100 = residentKiB();
        state.counters["rss_before_stores_KiB"] = double(bare);
        state.counters["rss_at_rest_KiB"] = double(atRest);
        state.counters["rss_card_open_KiB"] = double(open);
        state.counters["rss_after_10_entries_KiB"] = double(after10);
        state.counters["rss_after_100_entries_KiB"] = double(after100);
        state.counters["growth_10_to_100_KiB"] = double(after100 - after10);
        const auto& created = entry.store->state().remindersStore.items.submittedValues.create;
        state.counters["reminders_created"] = double(created ? created->size() : 0);
    }
}
BENCHMARK(BM_ResidentMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    bench::BenchmarkApplication application(argc, argv);
    return bench::runBenchmarksOnMainQueue<rx::QtMainQueue>(argc, argv);
}
