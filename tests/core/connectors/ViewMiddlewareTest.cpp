#include "ConnectorsTestSupport.hpp"

#include "support/AppTestStore.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "core/state/ViewMiddleware.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using test::ConnectorsTest;
using test::reminder;

namespace {

class ViewMiddleware : public ConnectorsTest {
protected:
    // Every action the middleware's answer delivers.
    std::vector<AppAction> answer(const AppState& state, const AppAction& action)
    {
        auto publisher = makeViewMiddleware(clock)(state, action);
        EXPECT_TRUE(publisher) << "the middleware always answers with a publisher";
        std::vector<AppAction> received;
        if (!publisher)
            return received;
        auto token = publisher->sink([&received](const AppAction& a) { received.push_back(a); });
        return received;
    }
};

const AppAction start = AppAction::Timer { TimerAction::start };
const AppAction stop = AppAction::Timer { TimerAction::stop };
const AppAction anyAction = AppAction::Countdown { CountdownAction::ReadDueDate {} };

} // namespace

TEST_F(ViewMiddleware, RunsTheTimerWhileTheBlobThePopoverOrADatedCountdownIsShown)
{
    struct Case {
        const char* name;
        bool blob;
        bool popover;
        bool countdown;
        std::vector<AnyReminder> items;
        std::optional<std::string> pinned;
        AppAction expected;
    };
    const auto future = reminder("future", dateByAdding(test::utc(2024, 6, 10, 10, 0), 600));
    const auto past = reminder("past", dateByAdding(test::utc(2024, 6, 10, 10, 0), -600));
    const auto undated = reminder("undated", std::nullopt);
    const Case cases[] = {
        { "the blob is shown", true, false, false, {}, std::nullopt, start },
        { "the popover is open, countdown off", false, true, false, {}, std::nullopt, start },
        { "nothing shown, countdown off", false, false, false, { future }, std::nullopt, stop },
        { "countdown on, nothing to count down to", false, false, true, { past, undated },
            std::nullopt, stop },
        { "countdown on, a future reminder", false, false, true, { future, past }, std::nullopt,
            start },
        { "countdown pinned to a reminder already past", false, false, true, { past }, "past",
            start },
        { "countdown pinned to an undated reminder", false, false, true, { undated, future },
            "undated", stop },
    };
    for (const auto& c : cases) {
        AppState state = initialState();
        state.view.yoyo.drag.isPresented = c.blob;
        state.view.popover.isPresented = c.popover;
        state.countdown.isEnabled = c.countdown;
        state.countdown.reminderID = c.pinned;
        state.remindersStore.items.value = { c.items.begin(), c.items.end() };
        EXPECT_THAT(answer(state, anyAction), testing::ElementsAre(c.expected)) << c.name;

        // The rule agrees with the countdown connector's own choice of reminder.
        if (!c.blob && !c.popover && c.countdown) {
            const auto countdown = Connectors::CountdownConnector { clock }.mapState(state);
            EXPECT_EQ(
                c.expected == start, countdown.reminder && dueDate(*countdown.reminder).has_value())
                << c.name;
        }
    }
}

TEST_F(ViewMiddleware, ATimerActionGetsNoAnswer)
{
    AppState state = initialState();
    state.view.popover.isPresented = true;
    EXPECT_TRUE(answer(state, start).empty());
    EXPECT_TRUE(answer(state, stop).empty());
}

TEST_F(ViewMiddleware, KeepsTheTimerOfARealStoreRunningExactlyWhileThePopoverIsOpen)
{
    AppState state = initialState();
    state.countdown.isEnabled = false;
    test::AppTestStore store(state, test::rootReducer(clock), { makeViewMiddleware(clock) });
    // Each start and stop gives the timer a fresh identifier.
    const auto freshTimer
        = [](AppState& s, const AppState& actual) { s.timer.id = actual.timer.id; };

    store.send(actions::popoverIsPresented(true), [](AppState& s) {
        s.view.popover.isPresented = true;
        s.view.popover.wasPresentedSinceAppLaunch = true;
    });
    EXPECT_FALSE(store.state().timer.isRunning()) << "the answer comes a main-queue turn later";
    store.receive(start, freshTimer);
    EXPECT_TRUE(store.state().timer.isRunning());
    EXPECT_EQ(store.runningFollowUps(), 0u) << "the timer action was answered with nothing";

    store.send(AppAction::Reminders { RemindersAction::Selection { { "x" } } },
        [](AppState& s) { s.reminders.selection = { "x" }; });
    store.receive(start); // a repeated start keeps the running timer and its identifier

    store.send(actions::popoverIsPresented(false), [](AppState& s) {
        s.view.popover.isPresented = false;
        s.reminders.selection.clear();
    });
    store.receive(stop, freshTimer);
    EXPECT_FALSE(store.state().timer.isRunning());
}
