#include "TaskListsFixture.hpp"

#include "core/state/AppReducer.hpp"
#include "reminders/applereminders/AppleRemindersError.hpp"
#include "reminders/applereminders/middleware/AppleRemindersMiddleware.hpp"

#include <gmock/gmock.h>

#include <atomic>
#include <mutex>

namespace tidemark::test {
namespace {

using testing::Contains;
using testing::SizeIs;
using AppStore = Store<AppState, AppAction>;
using ItemsRead = RemindersItemsAction::ReadAction;
using SourcesRead = RemindersSourcesAction::ReadAction;

AppAction dataSource(RemindersDataSource source)
{
    return AppAction::Reminders { RemindersAction::Services {
        RemindersServicesAction::DataSource { source } } };
}
AppAction selectList(std::optional<AnyList> list)
{
    return AppAction::Reminders { RemindersAction::SelectedList { std::move(list) } };
}
AppAction requestAuthorization()
{
    return AppAction::Reminders { RemindersAction::Services {
        RemindersServicesAction::AppleReminders { AppleRemindersAction::RequestAuthorization {
            AuthorizationRequestAction::submit({}) } } } };
}
AppAction itemsRead()
{
    return actions::itemsAction(RemindersItemsAction::read(ItemsRead::submit({})));
}
AppAction sourcesRead()
{
    return actions::sourcesAction(RemindersSourcesAction::read(SourcesRead::submit({})));
}
AppAction create(std::set<AnyReminder> r)
{
    return actions::itemsAction(
        RemindersItemsAction::create(RemindersItemsAction::CreateAction::submit(std::move(r))));
}
AppAction update(std::set<AnyReminder> r)
{
    return actions::itemsAction(
        RemindersItemsAction::update(RemindersItemsAction::UpdateAction::submit(std::move(r))));
}
AppAction remove(std::set<std::string> ids)
{
    return actions::itemsAction(
        RemindersItemsAction::delete_(RemindersItemsAction::DeleteAction::submit(std::move(ids))));
}
AppAction undoManagerAction(UndoManagerAction action)
{
    return AppAction::UndoManager { std::move(action) };
}

// What kind of reminders-store step an action is, for reading the order of events.
std::string describe(const AppAction& action)
{
    auto store = caseOf<AppAction::RemindersStore>(action);
    if (!store)
        return "other";
    auto step = [](const auto& submittable) -> std::string {
        if (submittable.asSubmit())
            return "submit";
        if (auto result = submittable.asResult())
            return result->result.isSuccess() ? "success" : "failure";
        return "reset";
    };
    if (auto sources = caseOf<RemindersStoreAction::Sources>(store->action)) {
        if (auto read = sources->action.asRead())
            return "sources.read." + step(*read);
        return "sources.other";
    }
    // A store action that is not about the sources is about the reminders.
    const auto& items = caseOf<RemindersStoreAction::Items>(store->action)->action;
    if (auto a = items.asCreate())
        return "items.create." + step(*a);
    if (auto a = items.asRead())
        return "items.read." + step(*a);
    if (auto a = items.asUpdate())
        return "items.update." + step(*a);
    return "items.delete." + step(*items.asDelete());
}

// A main store over the root reducer with the middleware, recording every action.
struct StoreHarness {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(at(8, 0));
    std::vector<AppAction> log;
    std::shared_ptr<AppStore> store;

    explicit StoreHarness(std::shared_ptr<AppleRemindersServicable> service,
        RemindersDataSource source = RemindersDataSource::appleReminders)
    {
        ReducerEnvironment environment { clock };
        AppState initial = AppState::initial(clock->now(), Calendar("UTC"));
        initial.reminders.services.dataSource = source;
        store = AppStore::make(initial,
            [environment](AppState& state, const AppAction& action) {
                appReducer(state, action, environment);
            },
            { appleRemindersMiddleware(std::move(service)),
                [this](const AppState&, const AppAction& action) {
                    log.push_back(action);
                    return std::optional(rx::Empty<AppAction>());
                } });
    }
    const AppState& state() const { return store->state(); }
    std::vector<std::string> steps(std::size_t from = 0) const
    {
        std::vector<std::string> result;
        for (std::size_t i = from; i < log.size(); ++i) {
            if (auto d = describe(log[i]); d != "other")
                result.push_back(d);
        }
        return result;
    }
    std::set<std::string> titles() const
    {
        std::set<std::string> result;
        for (const auto& r : state().remindersStore.items.value)
            result.insert(r.title);
        return result;
    }
};

class AppleRemindersMiddlewareTest : public TaskListsFixture { };

// Waits until the steps since `mark` hold the answer to `operation` ("items.create"), then
// checks that the operation's submit came first and the answer once after it. The write
// also changes the files, and the change notification's own reads of the sources and the
// reminders run on their own time: where their steps fall among these is not fixed.
testing::AssertionResult answeredAfterItsSubmit(
    const StoreHarness& harness, std::size_t mark, const std::string& operation)
{
    const std::string submit = operation + ".submit";
    const std::string success = operation + ".success";
    auto listed = [](const std::vector<std::string>& steps) {
        std::string text;
        for (const auto& step : steps)
            text += (text.empty() ? "" : ", ") + step;
        return "[" + text + "]";
    };
    if (!waitUntil([&] {
            const auto steps = harness.steps(mark);
            return std::find(steps.begin(), steps.end(), success) != steps.end();
        }))
        return testing::AssertionFailure()
            << "no " << success << " among " << listed(harness.steps(mark));
    const auto steps = harness.steps(mark);
    if (steps.front() != submit)
        return testing::AssertionFailure() << submit << " is not first: " << listed(steps);
    if (std::count(steps.begin(), steps.end(), success) != 1)
        return testing::AssertionFailure() << success << " not once: " << listed(steps);
    return testing::AssertionSuccess();
}

const AnyList home { "personal/home", "Home" };
const AnyList work { "personal/work", "Work" };

// A title changed on another device is synced into the list folder, and the user snoozes
// the reminder before the change has been read: the snooze writes the due date alone, and
// the synced title stays.
TEST_F(AppleRemindersMiddlewareTest, aSnoozeRightAfterASyncKeepsWhatTheOtherDeviceChanged)
{
    replaceFile("personal/home/call.ics",
        taskFile("UID:call\r\nSUMMARY:Call\r\nDTSTART:20300101T090000Z\r\nDUE:"
                 "20300101T093000Z\r\n"));
    auto service = makeService();
    StoreHarness harness(service, RemindersDataSource::local);
    harness.store->dispatch(dataSource(RemindersDataSource::appleReminders));
    ASSERT_TRUE(waitUntil([&] { return harness.titles().contains("Call"); }));
    AnyReminder snoozed;
    for (const auto& r : harness.state().remindersStore.items.value)
        if (r.id == "call")
            snoozed = r;

    replaceFile("personal/home/call.ics",
        taskFile("UID:call\r\nSUMMARY:Call back\r\nDTSTART:20300101T090000Z\r\nDUE:"
                 "20300101T093000Z\r\n"));
    setDueDate(snoozed, at(10, 0));
    harness.store->dispatch(update({ snoozed }));

    auto settled = [&] {
        for (const auto& r : harness.state().remindersStore.items.value) {
            if (r.id == "call" && dueDate(r) == at(10, 0))
                return harness.state().remindersStore.items.status == Status::completed;
        }
        return false;
    };
    ASSERT_TRUE(waitUntil(settled));
    EXPECT_EQ(harness.titles(), (std::set<std::string> { "Seed", "Call back" }));
    EXPECT_TRUE(readFile("personal/home/call.ics").contains("SUMMARY:Call back"));
}

TEST_F(AppleRemindersMiddlewareTest,
    choosingTheTaskListsReadsSourcesThenTheFirstListAndAgainAfterEachChange)
{
    auto service = makeService();
    StoreHarness harness(service, RemindersDataSource::local);
    harness.store->dispatch(dataSource(RemindersDataSource::appleReminders));
    ASSERT_TRUE(waitUntil(
        [&] { return harness.state().remindersStore.items.status == Status::completed; }));

    EXPECT_EQ(harness.state().reminders.selectedList, home);
    ASSERT_TRUE(harness.state().remindersStore.sources.value.has_value());
    EXPECT_THAT(*harness.state().remindersStore.sources.value, SizeIs(2));
    EXPECT_EQ(harness.titles(), std::set<std::string> { "Seed" });
    EXPECT_EQ(harness.steps(),
        (std::vector<std::string> { "sources.read.submit", "sources.read.success",
            "items.read.submit", "items.read.success" }));

    // Another program adds a task: sources, then the reminders, are read again.
    const std::size_t mark = harness.log.size();
    writeTask("personal/home", "outside", "From outside");
    ASSERT_TRUE(waitUntil([&] { return harness.titles().contains("From outside"); }));
    EXPECT_EQ(harness.steps(mark),
        (std::vector<std::string> { "sources.read.submit", "sources.read.success",
            "items.read.submit", "items.read.success" }));
}

TEST_F(AppleRemindersMiddlewareTest, settingsNamingTheTaskListsStartObservation)
{
    auto service = makeService();
    StoreHarness harness(service, RemindersDataSource::local);
    UserSettings settings;
    settings.reminders.dataSource = RemindersDataSource::appleReminders;
    settings.reminders.selectedList = work;
    harness.store->dispatch(actions::settingsRead(SettingsReadAction::success(settings)));
    ASSERT_TRUE(waitUntil(
        [&] { return harness.state().remindersStore.items.status == Status::completed; }));
    EXPECT_EQ(harness.state().reminders.selectedList, work);
    EXPECT_TRUE(harness.state().remindersStore.items.value.empty());
}

TEST_F(
    AppleRemindersMiddlewareTest, aRefusedAccessFailsTheSourcesReadAndTheRequestAndReadsNoReminders)
{
    int asked = 0;
    auto service = makeService(
        AuthorizationStatus::notDetermined, [&](EntityType, std::function<void(bool)> reply) {
            ++asked;
            reply(false);
        });
    StoreHarness harness(service, RemindersDataSource::local);
    harness.store->dispatch(dataSource(RemindersDataSource::appleReminders));
    ASSERT_TRUE(waitUntil(
        [&] { return harness.state().remindersStore.sources.status == Status::completed; }));
    const Error refused = toError(AppleRemindersError::requestFailedInsufficientPermission);
    EXPECT_EQ(harness.state().remindersStore.sources.error, refused);
    EXPECT_EQ(harness.steps(), std::vector<std::string> { "sources.read.failure" });

    harness.store->dispatch(requestAuthorization());
    const auto& request = harness.state().reminders.services.appleReminders.requestAuthorization;
    ASSERT_TRUE(waitUntil([&] { return request.status == Status::completed; }));
    EXPECT_EQ(request.error, refused) << "a refusal is not a completed request";
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(harness.state().remindersStore.items.status, Status::idle);
}

TEST_F(AppleRemindersMiddlewareTest,
    writesAnswerAndTheChangeBringsTheNewStateWhichUndoAndRedoTakeBackAndForth)
{
    auto service = makeService();
    StoreHarness harness(service, RemindersDataSource::local);
    auto undo = std::make_shared<UndoManager>();
    harness.store->dispatch(dataSource(RemindersDataSource::appleReminders));
    harness.store->dispatch(undoManagerAction(UndoManagerAction::SetManager { undo }));
    EXPECT_EQ(service->undoManager(), undo);
    ASSERT_TRUE(waitUntil([&] { return harness.titles() == std::set<std::string> { "Seed" }; }));

    auto settle = [&](const std::set<std::string>& titles) {
        return waitUntil([&] {
            return harness.titles() == titles
                && harness.state().remindersStore.items.status == Status::completed;
        });
    };
    auto undoStep = [&](UndoManagerAction action) {
        undo->closeEventGroup();
        harness.store->dispatch(undoManagerAction(action));
    };

    // create
    std::size_t mark = harness.log.size();
    harness.store->dispatch(create({ reminder("Made", at(9, 0), 15, "personal/home") }));
    ASSERT_TRUE(settle({ "Seed", "Made" }));
    EXPECT_TRUE(answeredAfterItsSubmit(harness, mark, "items.create"));
    ASSERT_TRUE(waitUntil([&] { return undo->canUndo(); }));
    undoStep(UndoManagerAction::Undo {});
    ASSERT_TRUE(settle({ "Seed" }));
    undoStep(UndoManagerAction::Redo {});
    ASSERT_TRUE(settle({ "Seed", "Made" }));

    // update
    AnyReminder made;
    for (const auto& r : harness.state().remindersStore.items.value)
        if (r.title == "Made")
            made = r;
    AnyReminder renamed = made;
    renamed.title = "Renamed";
    mark = harness.log.size();
    harness.store->dispatch(update({ renamed }));
    ASSERT_TRUE(settle({ "Seed", "Renamed" }));
    EXPECT_TRUE(answeredAfterItsSubmit(harness, mark, "items.update"));
    undoStep(UndoManagerAction::Undo {});
    ASSERT_TRUE(settle({ "Seed", "Made" }));
    undoStep(UndoManagerAction::Redo {});
    ASSERT_TRUE(settle({ "Seed", "Renamed" }));

    // delete
    mark = harness.log.size();
    harness.store->dispatch(remove({ made.id }));
    ASSERT_TRUE(settle({ "Seed" }));
    EXPECT_TRUE(answeredAfterItsSubmit(harness, mark, "items.delete"));
    undoStep(UndoManagerAction::Undo {});
    ASSERT_TRUE(settle({ "Seed", "Renamed" }));
    undoStep(UndoManagerAction::Redo {});
    ASSERT_TRUE(settle({ "Seed" }));

    // Choosing the local store drops the undo steps, the manager and the observation.
    undo->closeEventGroup();
    ASSERT_TRUE(undo->canUndo());
    harness.store->dispatch(dataSource(RemindersDataSource::local));
    EXPECT_FALSE(undo->canUndo());
    EXPECT_FALSE(undo->canRedo());
    EXPECT_EQ(service->undoManager(), nullptr);
    harness.store->dispatch(undoManagerAction(UndoManagerAction::SetManager { undo }));
    EXPECT_EQ(service->undoManager(), nullptr) << "not while the local store is in use";
    mark = harness.log.size();
    ASSERT_GT(harness.store->liveSubscriptions(), 0u) << "the observation waits for a change";
    writeTask("personal/home", "late", "Late");
    harness.store->dispatch(itemsRead());
    EXPECT_EQ(harness.state().remindersStore.items.status, Status::loading);
    // The stopped observation ends at the next change, the new task's, without a word: once
    // no follow-up is left running, nothing more can come.
    ASSERT_TRUE(waitUntil([&] { return harness.store->liveSubscriptions() == 0; }));
    EXPECT_EQ(harness.steps(mark), std::vector<std::string> { "items.read.submit" })
        << "no observation, no answer";
}

TEST_F(AppleRemindersMiddlewareTest, listChoicesReadAtOnceAndAReadWithoutListReadsTheDefaultList)
{
    auto service = makeService();
    service->create({ reminder("Job", at(9, 0), 5, "personal/work") }, nullptr);
    StoreHarness harness(service);

    harness.store->dispatch(selectList(work));
    ASSERT_TRUE(waitUntil([&] { return harness.titles() == std::set<std::string> { "Job" }; }));
    EXPECT_EQ(harness.steps(), std::vector<std::string> { "items.read.success" })
        << "no submit before the result";

    harness.store->dispatch(selectList(std::nullopt));
    harness.store->dispatch(itemsRead());
    ASSERT_TRUE(waitUntil([&] { return harness.titles() == std::set<std::string> { "Seed" }; }));
    EXPECT_EQ(harness.steps(),
        (std::vector<std::string> {
            "items.read.success", "items.read.submit", "items.read.success" }))
        << "choosing no list reads nothing";
}

TEST_F(AppleRemindersMiddlewareTest, whileTheLocalStoreIsInUseOnlyTheAccessRequestIsAnswered)
{
    auto service = makeService();
    StoreHarness harness(service, RemindersDataSource::local);
    harness.store->dispatch(itemsRead());
    harness.store->dispatch(sourcesRead());
    harness.store->dispatch(requestAuthorization());
    const auto& request = harness.state().reminders.services.appleReminders.requestAuthorization;
    ASSERT_TRUE(waitUntil([&] { return request.status == Status::completed; }));
    EXPECT_EQ(request.error, std::nullopt);
    EXPECT_EQ(
        harness.steps(), (std::vector<std::string> { "items.read.submit", "sources.read.submit" }));
    EXPECT_EQ(harness.store->liveSubscriptions(), 0u);
}

// Records how its calls overlap; every call takes a while, the first read longest.
class SlowService final : public AppleRemindersServicable {
public:
    std::shared_ptr<UndoManager> undoManager() const override { return nullptr; }
    void setUndoManager(const std::shared_ptr<UndoManager>&) override { }
    rx::Publisher<rx::Unit> changes() override
    {
        return unexpected<rx::Publisher<rx::Unit>>("changes", rx::Silent<rx::Unit>());
    }
    void stopObserving() override { unexpected<int>("stopObserving", 0); }
    std::set<AnySource> sources() override
    {
        return unexpected<std::set<AnySource>>("sources", {});
    }
    rx::Publisher<EquatableVoid, Error> requestAccess() override
    {
        return unexpected<rx::Publisher<EquatableVoid, Error>>(
            "requestAccess", rx::Empty<EquatableVoid, Error>());
    }

    std::set<AnyReminder> create(const std::set<AnyReminder>& reminders, const Formatter&) override
    {
        work("create", 5);
        return reminders;
    }
    std::set<AnyReminder> fetchReminders(const std::vector<std::string>&, const Formatter&) override
    {
        const int number = ++m_reads;
        work("read" + std::to_string(number), number == 1 ? 60 : 1);
        return { reminder("read " + std::to_string(number), at(9, 0), 5) };
    }
    void update(const std::set<AnyReminder>&, const ReadReminders&, const Formatter&) override
    {
        work("update", 5);
    }
    void delete_(const std::set<std::string>&, const Formatter&) override { work("delete", 5); }

    std::vector<std::string> calls() const
    {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    int mostAtOnce() const { return m_most; }

private:
    template <class T> T unexpected(const char* name, T value)
    {
        ADD_FAILURE() << "unexpected call of " << name;
        return value;
    }
    void work(const std::string& name, int milliseconds)
    {
        const int now = ++m_running;
        int most = m_most.load();
        while (now > most && !m_most.compare_exchange_weak(most, now)) { }
        {
            std::lock_guard lock(m_mutex);
            m_calls.push_back(name);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        --m_running;
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::atomic<int> m_running { 0 };
    std::atomic<int> m_most { 0 };
    std::atomic<int> m_reads { 0 };
};

TEST_F(AppleRemindersMiddlewareTest, requestsRunOneAfterAnotherSoAnOlderReadNeverWinsOverANewerOne)
{
    auto service = std::make_shared<SlowService>();
    StoreHarness harness(service);
    harness.store->dispatch(selectList(home)); // a slow read
    harness.store->dispatch(create({ reminder("A", at(9, 0), 5) }));
    harness.store->dispatch(update({ reminder("A", at(9, 0), 5) }));
    harness.store->dispatch(remove({ "given" }));
    harness.store->dispatch(itemsRead()); // a quick read
    ASSERT_TRUE(waitUntil([&] { return harness.store->liveSubscriptions() == 0; }));

    EXPECT_EQ(service->calls(),
        (std::vector<std::string> { "read1", "create", "update", "delete", "read2" }));
    EXPECT_EQ(service->mostAtOnce(), 1);
    EXPECT_EQ(harness.steps(),
        (std::vector<std::string> { "items.create.submit", "items.update.submit",
            "items.delete.submit", "items.read.submit", "items.read.success",
            "items.create.success", "items.update.success", "items.delete.success",
            "items.read.success" }));
    EXPECT_EQ(harness.titles(), std::set<std::string> { "read 2" });
}

} // namespace
} // namespace tidemark::test
