#pragma once

// A store for tests that checks every step of a feature, over the manual main queue.
//
//   test::TestStore<AppState, AppAction> store(initialState, reducer, { middleware });
//   store.send(action, [](AppState& s) { s.view.popover.isPresented = true; });
//   store.receive(followUp, [](AppState& s) { s.settings.submit.status = Status::completed; });
//   test::timers().fire();                  // timers tick only when the test says so
//   store.receive(delayedFollowUp);         // no change given: the state must stay as it was
//   store.receiveMatching("a failed read", isFailedRead, change); // a text the test cannot know
//   store.skipReceivedActions(2);           // on purpose, never silently
//   store.finish();                         // or let the destructor do it
//
// `send` dispatches an action into a real `Store` built from the reducer and middlewares;
// the state right after the reducer must equal the state before with `expectedChange`
// applied to a copy of it. The middlewares run as they do in the program, but their
// follow-up actions are held back: they arrive through the main queue, and `receive`
// takes the next one (running main-queue items one at a time until one arrives), checks
// it, dispatches it and checks its change the same way.
//
// `expectedChange` is `void(State& expected)`, or `void(State& expected, const State&
// actual)` for a value the test cannot know in advance (a fresh identifier): copy that one
// field over from `actual`, by name.
//
// "Now" comes from the reducer's and middlewares' own clock: give them a `ManualClock`
// (test::rootReducer(clock) for the root state) and move it between steps.
//
// The real store is `store()`: give it to code that needs one (a windows store, a view).
// An action that code dispatches into it straight is received like a follow-up, with the
// change it made already checked against the state it found.
//
// At the end (`finish()` or the destructor) the test fails when anything is left: actions
// received and not checked, follow-ups still in the main queue, other main-queue items, or
// follow-up publishers still running (end those with `cancelRunningFollowUps()` when the
// test means to leave them). Failures name the fields that differ (see Describe.hpp) and
// point at the line of the step.

#include "core/Store.hpp"
#include "support/Describe.hpp"
#include "support/SourceLocation.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace tidemark::test {

template <class State, class Action> class TestStore {
public:
    using StoreType = Store<State, Action>;
    using Reducer = typename StoreType::Reducer;
    using Middleware = typename StoreType::Middleware;

    // The change of a step that changes nothing.
    struct NoChange {
        void operator()(State&) const { }
    };

    TestStore(State initialState, Reducer reducer, std::vector<Middleware> middlewares = {},
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
        : m_core(std::make_shared<Core>())
        , m_made(where)
    {
        std::weak_ptr<Core> weak = m_core;
        std::vector<Middleware> wrapped;
        for (std::size_t i = 0; i < middlewares.size(); ++i)
            wrapped.push_back(holdingBack(weak, std::move(middlewares[i]), i));
        m_store = StoreType::make(
            std::move(initialState), recording(weak, std::move(reducer)), std::move(wrapped));
    }

    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    ~TestStore()
    {
        if (!m_core->finished)
            finish(m_made);
        cancelRunningFollowUps();
    }

    const State& state() const { return m_store->state(); }
    const std::shared_ptr<StoreType>& store() const { return m_store; }

    // Follow-up publishers of the middlewares that have not finished yet.
    std::size_t runningFollowUps() const
    {
        m_core->forgetEnded();
        return m_core->running.size();
    }

    template <class Change = NoChange>
    void send(const Action& action, Change expectedChange = {},
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        const std::string step = "send(" + label(action) + ")";
        if (!m_core->received.empty()) {
            ADD_FAILURE_AT(where.file_name(), where.line())
                << step << ": " << m_core->received.size()
                << " received action(s) must be checked (or skipped) first:\n"
                << listOfReceived();
            while (!m_core->received.empty())
                takeFront();
        }
        const State before = m_store->state();
        const State after = dispatchStep(action);
        check(step, before, after, expectedChange, where);
    }

    template <class Change = NoChange>
    void receive(const Action& expected, Change expectedChange = {},
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        if (!runUntilReceived()) {
            ADD_FAILURE_AT(where.file_name(), where.line())
                << "receive(" << label(expected) << "): nothing was received." << runningSummary();
            return;
        }
        const std::string origin = m_core->received.front().origin;
        const Action received = m_core->received.front().action;
        const auto [before, after] = takeFront();
        if (!(received == expected)) {
            ADD_FAILURE_AT(where.file_name(), where.line())
                << "receive: another action came first.\n  expected: " << describe(expected)
                << "\n  received: " << describe(received) << "\n  (from " << origin
                << ")\n  differing: " << joined(differences(expected, received), "\n    ");
            return;
        }
        check("receive(" + label(received) + ")", before, after, expectedChange, where);
    }

    // `receive` for an action with a part the test cannot know in advance (an error text
    // the system words): the next received action must satisfy `matches`; `what` names it
    // in failures.
    template <class Matches, class Change = NoChange>
    void receiveMatching(const std::string& what, Matches matches, Change expectedChange = {},
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        if (!runUntilReceived()) {
            ADD_FAILURE_AT(where.file_name(), where.line())
                << "receive(" << what << "): nothing was received." << runningSummary();
            return;
        }
        const std::string origin = m_core->received.front().origin;
        const Action received = m_core->received.front().action;
        const auto [before, after] = takeFront();
        if (!matches(received)) {
            ADD_FAILURE_AT(where.file_name(), where.line())
                << "receive: another action came first.\n  expected: " << what
                << "\n  received: " << describe(received) << "\n  (from " << origin << ")";
            return;
        }
        check("receive(" + label(received) + ")", before, after, expectedChange, where);
    }

    // Dispatches the next `count` received actions without checking them or their changes.
    void skipReceivedActions(std::size_t count,
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        for (std::size_t i = 0; i < count; ++i) {
            if (!runUntilReceived()) {
                ADD_FAILURE_AT(where.file_name(), where.line())
                    << "skipReceivedActions(" << count << "): only " << i << " arrived."
                    << runningSummary();
                return;
            }
            takeFront();
        }
    }

    // Dispatches every action received until the main queue is empty (the follow-ups of
    // the skipped actions included), without checking them; returns how many there were.
    std::size_t skipReceivedActions()
    {
        std::size_t skipped = 0;
        while (runUntilReceived()) {
            takeFront();
            ++skipped;
        }
        return skipped;
    }

    // Ends the follow-up publishers that are still running (an observation that lasts as
    // long as the program), so that the end of the test does not count them.
    void cancelRunningFollowUps()
    {
        for (auto& [id, running] : m_core->running) {
            running.cancelled->store(true);
            running.token.cancel();
        }
        m_core->running.clear();
    }

    // Fails when anything is left to receive or still pending; see the top of the file.
    void finish(tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        m_core->finished = true;
        // After a fatal failure the rest of the script did not run: its leftovers say nothing.
        if (testing::Test::HasFatalFailure())
            return;
        std::vector<std::string> left;
        for (const auto& arrival : m_core->received)
            left.push_back("received and not checked: " + describe(arrival.action) + " (from "
                + arrival.origin + ")");
        std::size_t inTransit = 0;
        {
            std::lock_guard lock(m_core->transitMutex);
            inTransit = m_core->inTransit.size();
            for (const auto& [key, description] : m_core->inTransit)
                left.push_back("follow-up still in the main queue, not received: " + description);
        }
        const std::size_t pending = test::mainQueue().pending();
        if (pending > inTransit)
            left.push_back(std::to_string(pending - inTransit)
                + " other main-queue item(s) pending: run them (drainMainQueue()) and receive "
                  "what they bring");
        m_core->forgetEnded();
        for (const auto& [id, running] : m_core->running)
            left.push_back("follow-up still running: " + running.origin);
        if (!left.empty())
            ADD_FAILURE_AT(where.file_name(), where.line())
                << "the test store ends with work left:\n  " << joined(left, "\n  ");
    }

private:
    struct Arrival {
        Action action;
        std::string origin;
        // Dispatched into the store straight: reduced already, between these two states.
        std::optional<State> before;
        std::optional<State> after;
    };
    struct Running {
        std::string origin;
        std::shared_ptr<std::atomic<bool>> cancelled;
        std::shared_ptr<std::atomic<bool>> ended;
        rx::Cancellable token;
    };

    struct Core : std::enable_shared_from_this<Core> {
        // While send or receive dispatches: whether the action's own reducer step ran, and
        // the state right after it.
        bool stepping = false;
        std::optional<State> afterStep;
        std::deque<Arrival> received;
        std::map<std::uint64_t, Running> running;
        std::uint64_t nextRunning = 0;
        std::mutex transitMutex;
        std::map<std::uint64_t, std::string> inTransit;
        std::uint64_t nextTransit = 0;
        bool finished = false;

        // Drops the tokens of the follow-ups that have finished.
        void forgetEnded()
        {
            std::erase_if(running, [](const auto& entry) { return entry.second.ended->load(); });
        }

        void follow(const rx::Publisher<Action>& publisher, std::string origin)
        {
            const auto id = nextRunning++;
            auto cancelled = std::make_shared<std::atomic<bool>>(false);
            auto ended = std::make_shared<std::atomic<bool>>(false);
            running.emplace(id, Running { origin, cancelled, ended, {} });
            std::weak_ptr<Core> weak = this->shared_from_this();
            // Values may come on any thread; like the store's own subscription they are
            // delivered through the main queue, in order.
            auto token = publisher.sink(
                [weak, cancelled, origin](const Action& action) {
                    auto core = weak.lock();
                    if (!core || cancelled->load())
                        return;
                    std::uint64_t key = 0;
                    {
                        std::lock_guard lock(core->transitMutex);
                        key = core->nextTransit++;
                        core->inTransit.emplace(key, describe(action));
                    }
                    rx::mainQueue().post([weak, cancelled, origin, action, key] {
                        auto core = weak.lock();
                        if (!core)
                            return;
                        {
                            std::lock_guard lock(core->transitMutex);
                            core->inTransit.erase(key);
                        }
                        if (!cancelled->load())
                            core->received.push_back(
                                Arrival { action, origin, std::nullopt, std::nullopt });
                    });
                },
                // Marked at once, from whatever thread: the token itself is dropped later
                // on the main thread, never from inside the publisher's own callback.
                [ended](const rx::Completion<rx::Never>&) { ended->store(true); });
            if (auto found = running.find(id); found != running.end())
                found->second.token = std::move(token);
        }
    };

    static Reducer recording(std::weak_ptr<Core> weak, Reducer reducer)
    {
        return [weak, reducer](State& state, const Action& action) {
            auto core = weak.lock();
            if (!core) {
                reducer(state, action);
                return;
            }
            if (core->stepping && !core->afterStep) {
                reducer(state, action);
                core->afterStep = state;
                return;
            }
            // Dispatched into the store by other code, or by a middleware while it ran.
            Arrival arrival { action, "dispatched into the store straight", state, std::nullopt };
            reducer(state, action);
            arrival.after = state;
            core->received.push_back(std::move(arrival));
        };
    }

    static Middleware holdingBack(
        std::weak_ptr<Core> weak, Middleware middleware, std::size_t index)
    {
        return [weak, middleware, index](const State& state,
                   const Action& action) -> std::optional<rx::Publisher<Action>> {
            auto publisher = middleware(state, action);
            if (!publisher || publisher->isKnownEmpty())
                return publisher;
            auto core = weak.lock();
            if (!core)
                return publisher;
            core->follow(*publisher,
                "middleware " + std::to_string(index) + " answering " + describe(action));
            return rx::Empty<Action>();
        };
    }

    State dispatchStep(const Action& action)
    {
        m_core->stepping = true;
        m_core->afterStep.reset();
        m_store->dispatch(action);
        m_core->stepping = false;
        State after = m_core->afterStep ? *m_core->afterStep : m_store->state();
        m_core->afterStep.reset();
        return after;
    }

    // Dispatches the first received action (unless it was reduced already); the states
    // before and after its reducer step.
    std::pair<State, State> takeFront()
    {
        Arrival arrival = std::move(m_core->received.front());
        m_core->received.pop_front();
        if (arrival.before)
            return { std::move(*arrival.before), std::move(*arrival.after) };
        State before = m_store->state();
        State after = dispatchStep(arrival.action);
        return { std::move(before), std::move(after) };
    }

    bool runUntilReceived()
    {
        while (m_core->received.empty() && test::mainQueue().runOne()) { }
        return !m_core->received.empty();
    }

    template <class Change>
    void check(const std::string& step, const State& before, const State& after,
        Change& expectedChange, tidemark::test::SourceLocation where)
    {
        State expected = before;
        if constexpr (std::is_invocable_v<Change&, State&, const State&>)
            expectedChange(expected, after);
        else
            expectedChange(expected);
        if (expected == after)
            return;
        const auto lines = differences(expected, after);
        ADD_FAILURE_AT(where.file_name(), where.line())
            << step << ": the state is not the one expected.\n  "
            << (lines.empty() ? std::string("(they differ by their own comparison only)")
                              : joined(lines, "\n  "));
    }

    std::string listOfReceived() const
    {
        std::vector<std::string> items;
        for (const auto& arrival : m_core->received)
            items.push_back(describe(arrival.action) + " (from " + arrival.origin + ")");
        return "  " + joined(items, "\n  ");
    }

    std::string runningSummary() const
    {
        m_core->forgetEnded();
        if (m_core->running.empty())
            return " No follow-up is running.";
        std::vector<std::string> items;
        for (const auto& [id, running] : m_core->running)
            items.push_back(running.origin);
        return " Follow-ups still running:\n  " + joined(items, "\n  ");
    }

    // An action as a step's name: its description, cut short.
    static std::string label(const Action& action)
    {
        constexpr std::size_t limit = 160;
        std::string text = describe(action);
        return text.size() > limit ? text.substr(0, limit) + "…" : text;
    }

    static std::string joined(const std::vector<std::string>& items, const std::string& separator)
    {
        std::string text;
        for (std::size_t i = 0; i < items.size(); ++i)
            text += (i ? separator : "") + items[i];
        return text;
    }

    std::shared_ptr<Core> m_core;
    std::shared_ptr<StoreType> m_store;
    tidemark::test::SourceLocation m_made;
};

} // namespace tidemark::test
