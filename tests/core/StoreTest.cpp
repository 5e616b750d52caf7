#include "core/Store.hpp"
#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>

#include <string>
#include <vector>

using namespace tidemark;
using testing::ElementsAre;

namespace {

struct CounterState {
    int count = 0;
    std::string label;
    bool operator==(const CounterState&) const = default;
};

struct CounterAction {
    enum class Kind { increment, setLabel, followUp } kind;
    std::string text;
    bool operator==(const CounterAction&) const = default;
};

CounterAction increment()
{
    return { CounterAction::Kind::increment, {} };
}
CounterAction setLabel(std::string text)
{
    return { CounterAction::Kind::setLabel, std::move(text) };
}

void counterReducer(CounterState& state, const CounterAction& action)
{
    switch (action.kind) {
    case CounterAction::Kind::increment:
        ++state.count;
        break;
    case CounterAction::Kind::setLabel:
        state.label = action.text;
        break;
    case CounterAction::Kind::followUp:
        break;
    }
}

using CounterStore = Store<CounterState, CounterAction>;
using Middleware = CounterStore::Middleware;

// A middleware that records what it saw and answers with a fixed choice.
Middleware recording(std::vector<std::string>& log, std::string name,
    std::optional<rx::Publisher<CounterAction>> answer)
{
    return [&log, name, answer](const CounterState& state, const CounterAction& action) {
        log.push_back(name + ":" + std::to_string(state.count) + ":"
            + (action.kind == CounterAction::Kind::increment ? "inc" : action.text));
        return answer;
    };
}

} // namespace

TEST(Store, MiddlewaresRunInOrderAfterTheReducerAndStopAtOneWithoutAnAnswer)
{
    std::vector<std::string> log;
    auto store = CounterStore::make({}, counterReducer,
        { recording(log, "a", rx::Empty<CounterAction>()), recording(log, "b", std::nullopt),
            recording(log, "c", rx::Empty<CounterAction>()) });
    int announcements = 0;
    auto token = store->willChange().sink([&](const rx::Unit&) { ++announcements; });

    store->dispatch(increment());
    EXPECT_THAT(log, ElementsAre("a:1:inc", "b:1:inc"))
        << "c is hidden behind b, which answered with no value";
    store->dispatch(setLabel("x"));
    EXPECT_EQ(announcements, 2)
        << "every dispatch announces a change, even one that changes nothing";
    EXPECT_EQ(test::drainMainQueue(), 0u);
}

TEST(Store, NestedSynchronousDispatchIsSeenByLaterMiddlewares)
{
    std::vector<std::string> log;
    std::weak_ptr<CounterStore> weak;
    Middleware nested
        = [&weak](const CounterState&,
              const CounterAction& action) -> std::optional<rx::Publisher<CounterAction>> {
        if (action.kind == CounterAction::Kind::setLabel)
            weak.lock()->dispatch(increment());
        return rx::Empty<CounterAction>();
    };
    auto store = CounterStore::make(
        {}, counterReducer, { nested, recording(log, "after", rx::Empty<CounterAction>()) });
    weak = store;

    store->dispatch(setLabel("go"));
    EXPECT_THAT(log, ElementsAre("after:1:inc", "after:1:go"))
        << "the nested dispatch runs completely first; the outer action then sees its state";
}

TEST(Store, FollowUpActionsArriveLaterInEmissionOrder)
{
    std::vector<std::string> seen;
    Middleware answer
        = [](const CounterState&,
              const CounterAction& action) -> std::optional<rx::Publisher<CounterAction>> {
        if (action.text == "start")
            return rx::merge(rx::Just(setLabel("first")), rx::Just(setLabel("second")));
        return rx::Empty<CounterAction>();
    };
    Middleware record
        = [&seen](const CounterState&,
              const CounterAction& action) -> std::optional<rx::Publisher<CounterAction>> {
        seen.push_back(action.text);
        return rx::Empty<CounterAction>();
    };
    auto store = CounterStore::make({}, counterReducer, { answer, record });

    store->dispatch(setLabel("start"));
    EXPECT_THAT(seen, ElementsAre("start"))
        << "follow-ups never run inside the dispatch that produced them";
    EXPECT_EQ(store->liveSubscriptions(), 1u);
    test::drainMainQueue();
    EXPECT_THAT(seen, ElementsAre("start", "first", "second"));
    EXPECT_EQ(store->state().label, "second");
    EXPECT_EQ(store->liveSubscriptions(), 0u) << "a finished publisher's token is dropped";
}

TEST(Store, TokensStayUntilTheirPublisherFinishes)
{
    rx::PassthroughSubject<CounterAction> subject;
    Middleware answer = [&subject](const CounterState&,
                            const CounterAction&) -> std::optional<rx::Publisher<CounterAction>> {
        return subject.publisher();
    };
    auto store = CounterStore::make({}, counterReducer, { answer });
    for (int i = 0; i < 3; ++i)
        store->dispatch(setLabel("x"));
    EXPECT_EQ(store->liveSubscriptions(), 3u);
    subject.send(increment());
    test::drainMainQueue();
    EXPECT_EQ(store->state().count, 3) << "each live subscription delivers";
    subject.send(rx::Completion<rx::Never>::finished());
    test::drainMainQueue();
    EXPECT_EQ(store->liveSubscriptions(), 0u);
}

TEST(Store, DerivedStoreFollowsItsPartOnlyWhenItChanges)
{
    auto store = CounterStore::make({}, counterReducer);
    auto child = store->derived<int, bool>(
        [](const CounterState& s) { return s.count; }, [](bool) { return increment(); });
    int childAnnouncements = 0;
    auto token = child->willChange().sink([&](const rx::Unit&) { ++childAnnouncements; });

    child->dispatch(true);
    EXPECT_EQ(store->state().count, 1) << "a child's action reaches the parent at once";
    EXPECT_EQ(child->state(), 0) << "the child sees its new state one main-queue turn later";
    test::drainMainQueue();
    EXPECT_EQ(child->state(), 1);

    const int before = childAnnouncements;
    store->dispatch(setLabel("unrelated"));
    test::drainMainQueue();
    EXPECT_EQ(childAnnouncements, before) << "an unchanged part is dropped";
}

TEST(Store, ADerivedStoresKeptStateStaysAsItWas)
{
    auto store = CounterStore::make({}, counterReducer);
    auto child = store->derived<int, bool>(
        [](const CounterState& s) { return s.count; }, [](bool) { return increment(); });
    const auto kept = child->sharedState();
    child->dispatch(true);
    test::drainMainQueue();
    EXPECT_EQ(child->state(), 1);
    EXPECT_EQ(*kept, 0) << "a new state is a new object";
}

TEST(Store, BindingsDispatchAndReadTheStore)
{
    auto store = CounterStore::make({}, counterReducer);
    auto label = store->binding<std::string>([](const CounterState& s) { return s.label; },
        [](const std::string& text) { return setLabel(text); });
    label.set("typed");
    EXPECT_EQ(label.get(), "typed") << "the reducer ran synchronously inside the write";
    EXPECT_EQ(store->state().label, "typed");
}

TEST(Store, ConstantStoreKeepsItsState)
{
    auto store = CounterStore::constant({ 5, "fixed" });
    store->dispatch(increment());
    EXPECT_EQ(store->state(), (CounterState { 5, "fixed" }));
}
