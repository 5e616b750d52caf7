// The test store and the descriptions its failures print: every check it promises must
// fail when its condition does not hold, and name what differs.
#include "support/TestStore.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest-spi.h>

#include <map>
#include <set>
#include <variant>

using namespace tidemark;
using testing::ElementsAre;

namespace {

enum class Mood { calm, busy };

struct Inner {
    std::optional<int> limit;
    std::set<std::string> tags;
    bool operator==(const Inner&) const = default;
};

struct CounterState {
    int count = 0;
    Mood mood = Mood::calm;
    Inner inner;
    std::vector<int> history;
    std::map<std::string, int> totals;
    bool operator==(const CounterState&) const = default;
};

struct CounterActionCases {
    struct Increment {
        bool operator==(const Increment&) const = default;
    };
    struct Add {
        int amount;
        bool operator==(const Add&) const = default;
    };
    // Answered by the middleware with `Add { amount }` once `timers` tick, or at once.
    struct Ask {
        int amount;
        bool later = false;
        bool operator==(const Ask&) const = default;
    };
    struct Watch {
        bool operator==(const Watch&) const = default;
    };
    bool operator==(const CounterActionCases&) const = default;
};

struct CounterAction : CounterActionCases,
                       std::variant<CounterActionCases::Increment, CounterActionCases::Add,
                           CounterActionCases::Ask, CounterActionCases::Watch> {
    using variant::variant;
    bool operator==(const CounterAction&) const = default;
};

void counterReducer(CounterState& state, const CounterAction& action)
{
    if (std::holds_alternative<CounterAction::Increment>(action))
        ++state.count;
    else if (auto add = std::get_if<CounterAction::Add>(&action))
        state.count += add->amount;
    state.history.push_back(state.count);
}

using CounterTestStore = test::TestStore<CounterState, CounterAction>;

// Answers `Ask` with `Add`, at once or at the next tick of the timers; `Watch` with a
// stream that never ends.
CounterTestStore::Middleware asking(rx::PassthroughSubject<CounterAction>* watched = nullptr)
{
    return [watched](const CounterState&,
               const CounterAction& action) -> std::optional<rx::Publisher<CounterAction>> {
        if (auto ask = std::get_if<CounterAction::Ask>(&action)) {
            const CounterAction answer = CounterAction::Add { ask->amount };
            if (!ask->later)
                return rx::Just(answer);
            // One tick of the timers, then the answer and the end.
            return rx::Publisher<CounterAction>([answer](rx::Subscriber<CounterAction> subscriber) {
                auto token = std::make_shared<rx::Cancellable>();
                *token
                    = rx::timerSource().start(std::chrono::seconds(1), [subscriber, answer, token] {
                          token->cancel();
                          subscriber.receive(answer);
                          subscriber.complete(rx::Completion<rx::Never>::finished());
                      });
                return rx::Cancellable([token] { token->cancel(); });
            });
        }
        if (std::holds_alternative<CounterAction::Watch>(action) && watched)
            return watched->publisher();
        return rx::Empty<CounterAction>();
    };
}

TEST(Describe, NamesRecordsFieldsCasesEnumerationsAndDates)
{
    CounterState state;
    state.count = 3;
    state.inner.limit = 7;
    state.inner.tags = { "a" };
    state.totals = { { "x", 1 } };
    EXPECT_EQ(test::describe(state),
        "CounterState(count: 3, mood: calm, inner: Inner(limit: 7, tags: [\"a\"]), history: [], "
        "totals: [\"x\": 1])");
    EXPECT_EQ(test::describe(CounterAction(CounterAction::Add { 2 })), "Add(2)");
    EXPECT_EQ(test::describe(CounterAction(CounterAction::Ask { 2, true })),
        "Ask(amount: 2, later: true)");
    EXPECT_EQ(test::describe(CounterAction(CounterAction::Increment {})), "Increment");
    EXPECT_EQ(test::describe(static_cast<Mood>(9)), "Mood(9)");
    EXPECT_EQ(test::describe(std::chrono::system_clock::time_point(std::chrono::seconds(90061))),
        "1970-01-02T01:01:01Z");
    EXPECT_EQ(test::describe(std::optional<double>()), "nullopt");
    EXPECT_EQ(test::describe(0.1), "0.1");
}

TEST(Describe, DifferencesGoDownToTheFieldsThatDiffer)
{
    const CounterState base;
    struct Case {
        const char* name;
        std::function<void(CounterState&)> change;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        { "equal", [](CounterState&) {}, {} },
        { "a field", [](CounterState& s) { s.count = 2; }, { "count: expected 0, actual 2" } },
        { "an enumeration", [](CounterState& s) { s.mood = Mood::busy; },
            { "mood: expected calm, actual busy" } },
        { "inside an optional of a nested record", [](CounterState& s) { s.inner.limit = 1; },
            { "inner.limit: expected nullopt, actual 1" } },
        { "a set", [](CounterState& s) { s.inner.tags = { "new" }; },
            { "inner.tags: unexpected \"new\"" } },
        { "a sequence of another length", [](CounterState& s) { s.history = { 5 }; },
            { "history: expected [], actual [5]" } },
        { "a map", [](CounterState& s) { s.totals["k"] = 1; },
            { "totals[\"k\"]: unexpected, actual 1" } },
        { "two fields at once",
            [](CounterState& s) {
                s.count = 1;
                s.mood = Mood::busy;
            },
            { "count: expected 0, actual 1", "mood: expected calm, actual busy" } },
    };
    for (const auto& c : cases) {
        CounterState changed = base;
        c.change(changed);
        EXPECT_EQ(test::differences(base, changed), c.expected) << c.name;
    }
    EXPECT_THAT(test::differences(CounterAction(CounterAction::Ask { 1, false }),
                    CounterAction(CounterAction::Ask { 1, true })),
        ElementsAre("Ask.later: expected false, actual true"));
    EXPECT_THAT(test::differences(CounterAction(CounterAction::Add { 1 }),
                    CounterAction(CounterAction::Add { 2 })),
        ElementsAre("Add: expected 1, actual 2"));
}

class TestStoreTest : public testing::Test {
protected:
    void TearDown() override { test::drainMainQueue(); }
};

TEST_F(TestStoreTest, AScriptThatMatchesPasses)
{
    CounterTestStore store({}, counterReducer, { asking() });
    store.send(CounterAction::Increment {}, [](CounterState& s) {
        s.count = 1;
        s.history = { 1 };
    });
    store.send(CounterAction::Ask { 2 }, [](CounterState& s) { s.history.push_back(1); });
    store.receive(CounterAction::Add { 2 }, [](CounterState& s) {
        s.count = 3;
        s.history.push_back(3);
    });
    store.send(CounterAction::Ask { 4, true }, [](CounterState& s) { s.history.push_back(3); });
    test::timers().fire();
    store.receive(CounterAction::Add { 4 }, [](CounterState& s) {
        s.count = 7;
        s.history.push_back(7);
    });
    store.finish();
}

TEST_F(TestStoreTest, AWrongChangeNamesTheField)
{
    CounterTestStore store({}, counterReducer);
    EXPECT_NONFATAL_FAILURE(
        store.send(CounterAction::Increment {}, [](CounterState& s) { s.history = { 1 }; }),
        "send(Increment): the state is not the one expected.\n  count: expected 0, actual 1");
    EXPECT_NONFATAL_FAILURE(
        store.send(CounterAction::Add { 0 }), "history: expected [1], actual [1, 1]");
}

TEST_F(TestStoreTest, TheActualStateLendsWhatTheTestCannotKnow)
{
    CounterTestStore store({}, counterReducer);
    store.send(CounterAction::Increment {}, [](CounterState& s, const CounterState& actual) {
        s.count = 1;
        s.history = actual.history;
    });
}

TEST_F(TestStoreTest, FollowUpsLeftOverFailTheEndAndNameThemselves)
{
    rx::PassthroughSubject<CounterAction> watched;
    {
        CounterTestStore store({}, counterReducer, { asking(&watched) });
        store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history = { 0 }; });
        EXPECT_NONFATAL_FAILURE(
            store.finish(), "follow-up still in the main queue, not received: Add(1)");
    }
    {
        CounterTestStore store({}, counterReducer, { asking(&watched) });
        store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history = { 0 }; });
        test::drainMainQueue();
        EXPECT_NONFATAL_FAILURE(store.finish(),
            "received and not checked: Add(1) (from middleware 0 answering Ask(amount: 1, "
            "later: false))");
    }
    {
        CounterTestStore store({}, counterReducer, { asking(&watched) });
        store.send(CounterAction::Watch {}, [](CounterState& s) { s.history = { 0 }; });
        EXPECT_NONFATAL_FAILURE(
            store.finish(), "follow-up still running: middleware 0 answering Watch");
    }
    {
        CounterTestStore store({}, counterReducer, { asking(&watched) });
        store.send(CounterAction::Watch {}, [](CounterState& s) { s.history = { 0 }; });
        watched.send(CounterAction::Increment {});
        store.receive(CounterAction::Increment {}, [](CounterState& s) {
            s.count = 1;
            s.history.push_back(1);
        });
        store.cancelRunningFollowUps();
        watched.send(CounterAction::Increment {});
        EXPECT_EQ(test::mainQueue().pending(), 0u) << "a cancelled follow-up delivers nothing";
    }
    {
        CounterTestStore store({}, counterReducer);
        rx::mainQueue().post([] {});
        EXPECT_NONFATAL_FAILURE(store.finish(), "1 other main-queue item(s) pending");
    }
}

TEST_F(TestStoreTest, ReceivingChecksTheActionAndItsOrder)
{
    CounterTestStore store({}, counterReducer, { asking() });
    store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history = { 0 }; });
    EXPECT_NONFATAL_FAILURE(
        store.receive(CounterAction::Add { 2 }), "expected: Add(2)\n  received: Add(1)");
    EXPECT_NONFATAL_FAILURE(store.receive(CounterAction::Add { 2 }), "nothing was received");

    store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history.push_back(1); });
    test::drainMainQueue();
    EXPECT_NONFATAL_FAILURE(store.send(CounterAction::Increment {},
                                [](CounterState& s) {
                                    s.count = 3;
                                    s.history.push_back(3);
                                }),
        "1 received action(s) must be checked (or skipped) first:\n  Add(1)");
}

TEST_F(TestStoreTest, AnActionCanBeReceivedByAProperty)
{
    CounterTestStore store({}, counterReducer, { asking() });
    const auto isAdd = [](const CounterAction& action) {
        return std::holds_alternative<CounterAction::Add>(action);
    };
    store.send(CounterAction::Ask { 3 }, [](CounterState& s) { s.history = { 0 }; });
    store.receiveMatching("an addition", isAdd, [](CounterState& s, const CounterState& actual) {
        s.count = actual.count;
        s.history.push_back(actual.count);
    });
    EXPECT_EQ(store.state().count, 3);
    store.send(CounterAction::Watch {}, [](CounterState& s) { s.history.push_back(3); });
    EXPECT_NONFATAL_FAILURE(store.receiveMatching("an addition", isAdd), "nothing was received");
    store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history.push_back(3); });
    EXPECT_NONFATAL_FAILURE(store.receiveMatching("an increment",
                                [](const CounterAction& action) {
                                    return std::holds_alternative<CounterAction::Increment>(action);
                                }),
        "expected: an increment\n  received: Add(1)");
}

TEST_F(TestStoreTest, SkippingIsExplicitAndCounted)
{
    CounterTestStore store({}, counterReducer, { asking() });
    store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history = { 0 }; });
    store.send(CounterAction::Ask { 2 }, [](CounterState& s) { s.history.push_back(0); });
    store.skipReceivedActions(1);
    EXPECT_EQ(store.state().count, 1) << "a skipped action is still dispatched";
    EXPECT_NONFATAL_FAILURE(store.skipReceivedActions(2), "skipReceivedActions(2): only 1 arrived");
    EXPECT_EQ(store.state().count, 3);
    store.send(CounterAction::Ask { 1 }, [](CounterState& s) { s.history.push_back(3); });
    EXPECT_EQ(store.skipReceivedActions(), 1u);
}

TEST_F(TestStoreTest, WhatOtherCodeDispatchesIntoTheStoreIsReceivedWithItsChange)
{
    CounterTestStore store({}, counterReducer);
    store.store()->dispatch(CounterAction::Add { 5 });
    EXPECT_EQ(store.state().count, 5) << "reduced at once, as the real store does";
    EXPECT_NONFATAL_FAILURE(store.receive(CounterAction::Add { 5 }),
        "receive(Add(5)): the state is not the one expected.\n  count: expected 0, actual 5");
    store.store()->dispatch(CounterAction::Add { 1 });
    store.receive(CounterAction::Add { 1 }, [](CounterState& s) {
        s.count = 6;
        s.history.push_back(6);
    });
}

} // namespace
