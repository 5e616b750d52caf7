// The popover with many reminders: opening it to its first painted frame, the resident memory
// its list costs per row, one scrolling frame, one tick of the one-second timer and one title
// character typed, each with the panel on an offscreen screen at device pixel ratio 1.
//
//   build/bench/menubar/bench_popover --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true
//
// Frame figures are milliseconds per frame; the scrolling benchmark reports the median and
// the slowest of its frames as counters.

#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverListModel.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverStyle.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "support/ResidentMemory.hpp"
#include "support/WidgetBenchmarkMain.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tidemark;
using bench::residentKiB;

namespace {

rx::ManualScheduler mainQueue;

const Date now = dateFromTimeIntervalSince1970(1718012460);

// `count` reminders, a fifth of them past, set half an hour before they are due, with
// titles of everyday length.
AppState stateWith(int count)
{
    static const char* const titles[] = { "Call the dentist", "Take the bread out",
        "Water the plants", "Stand-up meeting", "Pick up the parcel at the post office" };
    AppState state = AppState::initial(now, Calendar::autoupdatingCurrent());
    for (int i = 0; i < count; ++i) {
        AnyReminder reminder;
        reminder.id = "x-apple-reminder://" + std::to_string(1000000 + i);
        reminder.title = titles[i % 5];
        const Date due = dateByAdding(now, 60.0 * (i - count / 5) + 30);
        setStartDate(reminder, dateByAdding(due, -1800));
        setDueDate(reminder, due);
        state.remindersStore.items.value.insert(std::move(reminder));
    }
    state.view.popover.isPresented = true;
    return state;
}

AppStoreRef storeWith(int count, const std::shared_ptr<const Clock>& clock)
{
    return AppStore::make(stateWith(count),
        [environment = ReducerEnvironment { clock }](
            AppState& s, const AppAction& action) { appReducer(s, action, environment); });
}

// The panel's content as its first showing builds it, shown and painted once.
std::unique_ptr<PopoverPanelContent> openPanel(
    const AppStoreRef& store, const std::shared_ptr<const Clock>& clock)
{
    auto content
        = std::make_unique<PopoverPanelContent>(store, PopoverToolbarDelegate::make(store), clock);
    content->resize(popoverPanelSize());
    content->show();
    QCoreApplication::processEvents();
    content->repaint();
    return content;
}

PopoverListView* listOf(PopoverPanelContent& content)
{
    return content.container()->popoverView()->listContainer()->list();
}

double milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// From the panel's building to its first painted frame, the store already holding the
// reminders.
void BM_OpenToFirstFrame(benchmark::State& state)
{
    auto clock = std::make_shared<ManualClock>(now);
    auto store = storeWith(int(state.range(0)), clock);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto content = openPanel(store, clock);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        content.reset();
        mainQueue.drain();
        QCoreApplication::processEvents();
    }
    state.SetLabel(std::to_string(state.range(0)) + " reminders");
}
BENCHMARK(BM_OpenToFirstFrame)
    ->Arg(1000)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// What the open panel adds to resident memory for each reminder it lists: its derived
// states, the model's rows and the view's layout of them.
void BM_ResidentMemoryPerRow(benchmark::State& state)
{
    const int count = int(state.range(0));
    auto clock = std::make_shared<ManualClock>(now);
    for (auto _ : state) {
        auto store = storeWith(count, clock);
        mainQueue.drain();
        malloc_trim(0);
        const long before = residentKiB();
        auto content = openPanel(store, clock);
        mainQueue.drain();
        malloc_trim(0);
        const long after = residentKiB();
        state.counters["bytes_per_row"] = double(after - before) * 1024.0 / count;
        state.counters["rss_growth_KiB"] = double(after - before);
        content.reset();
        mainQueue.drain();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ResidentMemoryPerRow)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

// An open panel with 10,000 reminders.
class OpenPanel {
public:
    OpenPanel()
        : m_clock(std::make_shared<ManualClock>(now))
        , m_store(storeWith(10000, m_clock))
        , m_content(openPanel(m_store, m_clock))
    {
        mainQueue.drain();
        QCoreApplication::processEvents();
    }
    ~OpenPanel()
    {
        m_content.reset();
        mainQueue.drain();
        QCoreApplication::processEvents();
    }

    PopoverListView* list() const { return listOf(*m_content); }
    ManualClock& clock() { return *m_clock; }

private:
    std::shared_ptr<ManualClock> m_clock;
    AppStoreRef m_store;
    std::unique_ptr<PopoverPanelContent> m_content;
};

// One frame of scrolling through the list: the scroller moves by what a wheel's notch or a
// fling's frame moves it, and the rows now in view are painted.
void BM_ScrollFrame(benchmark::State& state)
{
    OpenPanel panel;
    PopoverListView* list = panel.list();
    QScrollBar* bar = list->verticalScrollBar();
    std::vector<double> frames;
    frames.reserve(100000);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        int next = bar->value() + 48;
        if (next > bar->maximum())
            next = 0;
        bar->setValue(next);
        list->viewport()->repaint();
        const double ms = milliseconds(timer);
        frames.push_back(ms);
        state.SetIterationTime(ms / 1e3);
    }
    std::sort(frames.begin(), frames.end());
    state.counters["median_ms"] = frames[frames.size() / 2];
    state.counters["max_ms"] = frames.back();
    state.counters["over_16ms"]
        = double(std::count_if(frames.begin(), frames.end(), [](double ms) { return ms > 16; }));
}
BENCHMARK(BM_ScrollFrame)->Iterations(2000)->UseManualTime()->Unit(benchmark::kMillisecond);

// One tick of the one-second timer: the rows on screen count on and are painted again.
void BM_Tick(benchmark::State& state)
{
    OpenPanel panel;
    PopoverListView* list = panel.list();
    for (auto _ : state) {
        panel.clock().advance(1);
        list->tick();
        list->viewport()->repaint();
    }
}
BENCHMARK(BM_Tick)->Iterations(500)->Unit(benchmark::kMillisecond);

// One character typed into a row's title: the edit goes through the store and comes back as
// new lists, and the list is painted again.
void BM_TypeTitleCharacter(benchmark::State& state)
{
    OpenPanel panel;
    PopoverListView* list = panel.list();
    list->editTitle(list->listModel()->rowOf("x-apple-reminder://1002010"));
    QLineEdit* editor = list->titleEditor();
    if (!editor) {
        state.SkipWithError("no title field opened");
        return;
    }
    bool add = true;
    for (auto _ : state) {
        const int key = add ? Qt::Key_A : Qt::Key_Backspace;
        QKeyEvent press(
            QEvent::KeyPress, key, Qt::NoModifier, add ? QStringLiteral("a") : QString());
        QCoreApplication::sendEvent(editor, &press);
        mainQueue.drain();
        list->viewport()->repaint();
        add = !add;
    }
}
BENCHMARK(BM_TypeTitleCharacter)->Iterations(100)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    bench::BenchmarkApplication application(argc, argv);
    rx::setMainQueue(&mainQueue);
    const int result = bench::runBenchmarks(argc, argv);
    mainQueue.drain();
    rx::setMainQueue(nullptr);
    return result;
}
