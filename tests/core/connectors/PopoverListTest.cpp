#include "ConnectorsTestSupport.hpp"

#include "core/connectors/MenuBarConnectors.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;
using test::reminder;
using testing::ElementsAre;

namespace {

class PopoverList : public ConnectorsTest {
protected:
    std::vector<std::string> ids(const std::vector<AnyReminder>& reminders) const
    {
        std::vector<std::string> result;
        for (const auto& r : reminders)
            result.push_back(r.id);
        return result;
    }
};

} // namespace

TEST_F(PopoverList, SplitsIntoCurrentSoonestFirstAndPastMostRecentFirst)
{
    struct Case {
        const char* name;
        bool hideItemsWithNoDueDate;
        std::vector<std::string> current;
        std::vector<std::string> past;
    };
    const Case cases[] = {
        { "undated shown at the head", false, { "undated", "in1s", "in5m", "in10m" },
            { "ago1s", "ago1h", "ago2h" } },
        { "undated hidden", true, { "in1s", "in5m", "in10m" }, { "ago1s", "ago1h", "ago2h" } },
    };
    AppState state = initialState();
    state.remindersStore.items.value = {
        reminder("in10m", in(600)),
        reminder("ago2h", in(-7200)),
        reminder("in1s", in(1)),
        reminder("undated", std::nullopt),
        reminder("ago1h", in(-3600)),
        reminder("now", in(0)), // due exactly now: in neither list
        reminder("in5m", in(300)),
        reminder("ago1s", in(-1)),
    };
    // A completed reminder is listed by its due date all the same.
    AnyReminder completed = reminder("ago1h", in(-3600));
    state.remindersStore.items.value.erase(completed);
    completed.completionDate = in(-10);
    state.remindersStore.items.value.insert(completed);

    const PopoverListConnector list { clock };
    for (const auto& c : cases) {
        state.view.popover.hideItemsWithNoDueDate = c.hideItemsWithNoDueDate;
        const auto view = list.mapState(state);
        EXPECT_EQ(ids(view.currentItems), c.current) << c.name;
        EXPECT_EQ(ids(view.pastItems), c.past) << c.name;
        EXPECT_FALSE(view.hideItemsWithNoDueDate)
            << c.name << ": the root flag acts through the split alone";
    }

    const auto empty = list.mapState(initialState());
    EXPECT_TRUE(empty.currentItems.empty());
    EXPECT_TRUE(empty.pastItems.empty());
}

TEST_F(PopoverList, SeveralUndatedRemindersAllStandBeforeTheDatedOnes)
{
    const auto split
        = splitPopoverList({ reminder("u1", std::nullopt), reminder("soon", in(10)),
                               reminder("u2", std::nullopt), reminder("later", in(20)) },
            false, now());
    ASSERT_EQ(split.currentItems.size(), 4u);
    EXPECT_THAT(ids({ split.currentItems.begin() + 2, split.currentItems.end() }),
        ElementsAre("soon", "later"));
    EXPECT_FALSE(dueDate(split.currentItems[0]) || dueDate(split.currentItems[1]));
}

// The edited copy over a pending update over a pending creation over the stored version,
// one entry per identifier.
TEST_F(PopoverList, EveryReminderIsListedOnceInItsNewestVersion)
{
    const auto stored = reminder("r", in(600), "stored");
    const auto created = reminder("r", in(600), "created");
    const auto updated = reminder("r", in(600), "updated");
    const auto edited = reminder("r", in(600), "edited");
    const auto other = reminder("other", in(900), "other");
    struct Case {
        const char* name;
        std::optional<std::set<AnyReminder>> create;
        std::optional<std::set<AnyReminder>> update;
        std::optional<std::set<AnyReminder>> editing;
        std::string title;
    };
    const Case cases[] = {
        { "stored alone", std::nullopt, std::nullopt, std::nullopt, "stored" },
        { "pending creation", std::set { created }, std::nullopt, std::nullopt, "created" },
        { "pending update over creation", std::set { created }, std::set { updated }, std::nullopt,
            "updated" },
        { "edited over everything", std::set { created }, std::set { updated }, std::set { edited },
            "edited" },
        { "edited over the stored version", std::nullopt, std::nullopt, std::set { edited },
            "edited" },
        { "an empty editing set changes nothing", std::nullopt, std::set { updated },
            std::set<AnyReminder> {}, "updated" },
    };
    for (const auto& c : cases) {
        SubmittedValues<std::set<AnyReminder>> submitted;
        submitted.create = c.create;
        submitted.update = c.update;
        const auto pool = popoverListPool({ stored, other }, submitted, c.editing);
        ASSERT_EQ(pool.size(), 2u) << c.name;
        const auto& listed = pool[0].id == "r" ? pool[0] : pool[1];
        EXPECT_EQ(listed.title, c.title) << c.name;
    }
}

TEST_F(PopoverList, ThePoolHoldsOneVersionPerIdInIdOrder)
{
    // Two stored versions of c (the greater wins), a creation before and after the stored ids,
    // an update over c, an edit over e.
    const std::set<AnyReminder> stored = { reminder("a", in(60)), reminder("c", in(60), "c1"),
        reminder("c", in(60), "c2"), reminder("e", in(60), "stored") };
    SubmittedValues<std::set<AnyReminder>> submitted;
    submitted.create
        = std::set { reminder("0", in(60)), reminder("b", in(60)), reminder("f", in(60)) };
    submitted.update = std::set { reminder("c", in(60), "updated") };
    const std::optional<std::set<AnyReminder>> editing
        = std::set { reminder("e", in(60), "edited") };
    std::vector<std::string> listed;
    for (const auto& r : popoverListPool(stored, submitted, editing))
        listed.push_back(r.id + ":" + r.title);
    EXPECT_THAT(
        listed, ElementsAre("0:title", "a:title", "b:title", "c:updated", "e:edited", "f:title"));
    listed.clear();
    for (const auto& r : popoverListPool(stored, {}, std::nullopt))
        listed.push_back(r.id + ":" + r.title);
    EXPECT_THAT(listed, ElementsAre("a:title", "c:c2", "e:stored"));
}

// Emptiness is settled by the newest version of each reminder, as the pool would list it.
TEST_F(PopoverList, EmptinessLooksAtTheNewestVersionOfEachReminder)
{
    const auto listed = reminder("r", in(600), "b");
    const auto dueNow = reminder("r", in(0), "a"); // due exactly now: in neither list
    const auto undated = reminder("u", std::nullopt);
    using Layer = std::optional<std::set<AnyReminder>>;
    struct Case {
        const char* name;
        std::set<AnyReminder> stored;
        Layer create;
        Layer update;
        Layer editing;
        bool hide;
        bool isEmpty;
    };
    const Case cases[] = {
        { "nothing", {}, std::nullopt, std::nullopt, std::nullopt, false, true },
        { "a listed stored reminder", { listed }, std::nullopt, std::nullopt, std::nullopt, false,
            false },
        { "its edit falls due now", { listed }, std::nullopt, std::nullopt, std::set { dueNow },
            false, true },
        { "an update lists it again", { dueNow }, std::nullopt, std::set { listed }, std::nullopt,
            false, false },
        { "a creation over the stored version", { listed }, std::set { dueNow }, std::nullopt,
            std::nullopt, false, true },
        // Two pending updates of one reminder: the greater by value wins.
        { "the greater of two updates", {}, std::nullopt, std::set { dueNow, listed }, std::nullopt,
            false, false },
        { "undated shown", { undated }, std::nullopt, std::nullopt, std::nullopt, false, false },
        { "undated hidden", { undated }, std::nullopt, std::nullopt, std::nullopt, true, true },
    };
    for (const auto& c : cases) {
        SubmittedValues<std::set<AnyReminder>> submitted;
        submitted.create = c.create;
        submitted.update = c.update;
        EXPECT_EQ(popoverListIsEmpty(c.stored, submitted, c.editing, c.hide, now()), c.isEmpty)
            << c.name;
        EXPECT_EQ(
            popoverListIsEmpty(popoverListPoolOf(c.stored, submitted, c.editing), c.hide, now()),
            c.isEmpty)
            << c.name << ": as the pool lists it";
    }
}

TEST_F(PopoverList, EditsPendingRequestsAndDeletionsThroughTheStore)
{
    auto store = makeStore();
    const PopoverListConnector list { clock };
    const auto a = reminder("a", in(600), "a");
    const auto b = reminder("b", in(300), "b");
    store->dispatch(readItems({ a, b }));
    EXPECT_THAT(ids(list.mapState(store->state()).currentItems), ElementsAre("b", "a"));

    // A row edits b's title: the list shows the edit at once, once.
    auto view = list.mapState(store->state());
    view.currentItems[0].title = "b typed";
    store->dispatch(
        list.mapAction(PopoverListContainerView::Action::CurrentItems { view.currentItems }));
    view = list.mapState(store->state());
    EXPECT_THAT(ids(view.currentItems), ElementsAre("b", "a"));
    EXPECT_EQ(view.currentItems[0].title, "b typed");
    EXPECT_EQ(store->state().reminders.editing, std::set<AnyReminder> { view.currentItems[0] })
        << "only the reminder that differs is held as edited";

    // The field loses focus: the edit goes out as an update, and stays listed, once,
    // while the store has not yet read it back.
    store->dispatch(
        list.mapAction(PopoverListContainerView::Action::Update { { view.currentItems[0] } }));
    view = list.mapState(store->state());
    EXPECT_THAT(ids(view.currentItems), ElementsAre("b", "a"));
    EXPECT_EQ(view.currentItems[0].title, "b typed");

    // A second update of the same reminder before any read: still listed once.
    auto again = view.currentItems[0];
    again.title = "b again";
    store->dispatch(list.mapAction(PopoverListContainerView::Action::Update { { again } }));
    EXPECT_THAT(ids(list.mapState(store->state()).currentItems), ElementsAre("b", "a"));

    // A pending deletion stays listed until a read no longer holds the reminder.
    store->dispatch(list.mapAction(PopoverListContainerView::Action::Delete { { "a" } }));
    EXPECT_THAT(ids(list.mapState(store->state()).currentItems), ElementsAre("b", "a"));
    store->dispatch(readItems({ again }));
    view = list.mapState(store->state());
    EXPECT_THAT(ids(view.currentItems), ElementsAre("b"));
    EXPECT_EQ(view.currentItems[0].title, "b again");
}

TEST_F(PopoverList, ARowsRemovalFollowsTheRemovalMode)
{
    PopoverListContainerView::State state;
    state.currentItems = { reminder("c", in(60)) };
    state.pastItems = { reminder("p", in(-60)) };
    using A = PopoverListContainerView::Action;

    state.removalMode = ReminderRemovalMode::delete_;
    EXPECT_EQ(
        popoverListRemoval(state, { "c", "nowhere" }, *clock), A(A::Delete { { "c", "nowhere" } }))
        << "ids go out unchanged";

    state.removalMode = ReminderRemovalMode::archive;
    EXPECT_EQ(popoverListRemoval(state, { "nowhere" }, *clock), A(A::Update { {} }))
        << "an empty update still goes out";
    AnyReminder c = state.currentItems[0];
    AnyReminder p = state.pastItems[0];
    c.completionDate = now();
    p.completionDate = now();
    EXPECT_EQ(popoverListRemoval(state, { "c", "p" }, *clock), A(A::Update { { c, p } }));
}

TEST_F(PopoverList, EachListActionBecomesOneRootAction)
{
    const PopoverListConnector list { clock };
    using A = PopoverListContainerView::Action;
    const auto r = reminder("r", in(60));
    auto manager = std::make_shared<UndoManager>();
    AnyDragGestureValue value;
    value.translation = { 1, 2 };
    struct Case {
        const char* name;
        A action;
        AppAction expected;
    };
    const Case cases[] = {
        { "current", A::CurrentItems { { r } },
            AppAction::Reminders { RemindersAction::Editing { std::set { r } } } },
        { "past", A::PastItems { { r } },
            AppAction::Reminders { RemindersAction::Editing { std::set { r } } } },
        { "delete", A::Delete { { "r" } }, test::deleteRequest({ "r" }) },
        { "selection", A::Selection { { "r" } },
            AppAction::Reminders { RemindersAction::Selection { { "r" } } } },
        { "update", A::Update { { r } }, test::updateRequest({ r }) },
        { "frame", A::DragGestureSourceFrame { Rect(1, 2, 3, 4) },
            AppAction::DragGesture { DragGestureAction::LocalFrame { Rect(1, 2, 3, 4) } } },
        { "phase", A::DragGestureStatus { DragGesturePhase::begin },
            AppAction::DragGesture { DragGestureAction::Phase { DragGesturePhase::begin } } },
        { "value", A::DragGestureValue { value },
            AppAction::DragGesture { DragGestureAction::Value { value } } },
        { "undo manager", A::UndoManager { manager },
            AppAction::UndoManager { UndoManagerAction::SetManager { manager } } },
        { "no undo manager", A::UndoManager { nullptr },
            AppAction::UndoManager { UndoManagerAction::SetManager { nullptr } } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.mapAction(c.action), c.expected) << c.name;

    EXPECT_EQ(popoverListDragActions(std::nullopt, DragGesturePhase::changed, value),
        (std::vector<A> {
            A::DragGestureStatus { DragGesturePhase::changed }, A::DragGestureValue { value } }));
    EXPECT_EQ(popoverListDragActions(Rect(1, 2, 3, 4), DragGesturePhase::begin, value),
        (std::vector<A> { A::DragGestureSourceFrame { Rect(1, 2, 3, 4) },
            A::DragGestureStatus { DragGesturePhase::begin }, A::DragGestureValue { value } }));
}
