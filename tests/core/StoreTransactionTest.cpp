#include "core/Store.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

#include <vector>

using namespace tidemark;

namespace {

struct Counter {
    int count = 0;
    int other = 0;
    bool operator==(const Counter&) const = default;
};

enum class Change { increment, touchOther, incrementThenFollowUp };

using CounterStore = Store<Counter, Change>;

std::shared_ptr<CounterStore> makeStore()
{
    return CounterStore::make({},
        [](Counter& state, const Change& change) {
            if (change == Change::touchOther)
                ++state.other;
            else
                ++state.count;
        },
        { [](const Counter&, const Change& change) -> std::optional<rx::Publisher<Change>> {
            // An effect that answers later, on the main queue: outside any transaction.
            if (change == Change::incrementThenFollowUp)
                return rx::Just(Change::increment);
            return rx::Empty<Change>();
        } });
}

// What a view of the count sees: each state with the animation current while it is handed over.
struct Seen {
    int count;
    std::optional<Animation> animation;
    bool operator==(const Seen&) const = default;
};

TEST(StoreTransaction, ADerivedStoreHandsItsStateOnInTheTransactionItWasDispatchedIn)
{
    auto root = makeStore();
    auto child = root->derived<int, Change>(
        [](const Counter& state) { return state.count; }, [](const Change& c) { return c; });
    auto grandchild = child->derived<int, Change>(
        [](const int& count) { return count * 10; }, [](const Change& c) { return c; });
    std::vector<Seen> seen;
    auto token = grandchild->statePublisher().sink([&](const int& state) {
        seen.push_back({ state, currentTransaction().animation });
    });

    const Animation spring = Animation::spring(0.45, 0.775);
    withAnimation(spring, [&] { root->dispatch(Change::increment); });
    EXPECT_EQ(root->transaction().animation, spring);
    EXPECT_TRUE(seen.empty()) << "derived states arrive a turn later";
    test::drainMainQueue();
    EXPECT_EQ(seen, (std::vector<Seen> { { 10, spring } }));
    EXPECT_EQ(child->transaction().animation, spring);
    EXPECT_EQ(grandchild->transaction().animation, spring);
    EXPECT_FALSE(currentTransaction().animation) << "only for the hand-over itself";

    // Outside a transaction the change jumps, and so does the follow-up a middleware sends.
    root->dispatch(Change::increment);
    withAnimation(spring, [&] { child->dispatch(Change::incrementThenFollowUp); });
    test::drainMainQueue();
    EXPECT_EQ(seen,
        (std::vector<Seen> {
            { 10, spring }, { 20, std::nullopt }, { 30, spring }, { 40, std::nullopt } }));
    EXPECT_FALSE(grandchild->transaction().animation);

    // A change that leaves the derived state alone hands nothing on, animated or not.
    withAnimation(spring, [&] { root->dispatch(Change::touchOther); });
    test::drainMainQueue();
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_FALSE(child->transaction().animation);
}

} // namespace
