// The local storage middleware in a real store with the root reducer: requests reach the
// SQLite file, the reminders come back through the read that every change brings, and
// the data source in use decides whether the middleware answers at all.
#include "LocalStoreFixture.hpp"

#include "core/state/AppReducer.hpp"
#include "platform/foundation/Clock.hpp"
#include "reminders/middleware/PersistentRemindersMiddleware.hpp"
#include "support/AppTestStore.hpp"

#include <gmock/gmock.h>

namespace tidemark::test {
namespace {

using Reminders = std::set<AnyReminder>;
using Items = RemindersItemsAction;

const Date launch = dateFromTimeIntervalSince1970(1'700'000'000);

AppTestStore makeTestStore(std::shared_ptr<PersistentRemindersStorable> service,
    std::source_location where = std::source_location::current())
{
    return AppTestStore(AppState::initial(launch, Calendar("Europe/Berlin")),
        rootReducer(std::make_shared<ManualClock>(launch)),
        { persistentRemindersMiddleware(std::move(service)) }, where);
}

// A plain store, for steps whose follow-ups run on their own time (the observation of the
// file) and where only the outcome counts.
std::shared_ptr<Store<AppState, AppAction>> makeStore(
    std::shared_ptr<PersistentRemindersStorable> service)
{
    return Store<AppState, AppAction>::make(AppState::initial(launch, Calendar("Europe/Berlin")),
        rootReducer(std::make_shared<ManualClock>(launch)),
        { persistentRemindersMiddleware(std::move(service)) });
}

AppAction settingsReadWith(RemindersDataSource dataSource)
{
    UserSettings settings;
    settings.reminders.dataSource = dataSource;
    return actions::settingsRead(SettingsReadAction::success(settings));
}

// The settings of a first launch, that name the data source.
void readsSettingsNaming(AppState& s, RemindersDataSource dataSource)
{
    const UserSettings settings;
    s.settings.submit.status = Status::completed;
    s.reminders.automaticRemoval.isEnabled = settings.reminders.automaticRemoval.isEnabled;
    s.reminders.automaticRemoval.date = settings.reminders.automaticRemoval.date;
    s.reminders.services.dataSource = dataSource;
}

AppAction itemsRead()
{
    return actions::itemsAction(Items::read(Items::ReadAction::submit(EquatableVoid {})));
}

AppAction itemsReadAnswer(Reminders reminders)
{
    return actions::itemsAction(Items::read(Items::ReadAction::success(std::move(reminders))));
}

void loading(AppState& s)
{
    s.remindersStore.items.status = Status::loading;
}
void completed(AppState& s)
{
    s.remindersStore.items.status = Status::completed;
}

// What a change of the file brings: a read for the save and one for the changed objects,
// the first of which leaves the reminders as they are now and confirms what was submitted.
void receiveTheReadsOfAChange(AppTestStore& store, const Reminders& reminders,
    std::source_location where = std::source_location::current())
{
    store.receive(itemsRead(), loading, where);
    store.receive(itemsRead(), test::TestStore<AppState, AppAction>::NoChange {}, where);
    store.receive(
        itemsReadAnswer(reminders),
        [&reminders](AppState& s) {
            s.remindersStore.items.status = Status::completed;
            s.remindersStore.items.value = reminders;
            s.remindersStore.items.submittedValues = {};
        },
        where);
    store.receive(
        itemsReadAnswer(reminders), test::TestStore<AppState, AppAction>::NoChange {}, where);
}

AppAction createSubmit(Reminders reminders)
{
    return actions::itemsAction(Items::create(Items::CreateAction::submit(std::move(reminders))));
}

AppAction updateSubmit(Reminders reminders)
{
    return actions::itemsAction(
        Items::Update { Items::UpdateAction::Submit { std::move(reminders) } });
}

AppAction deleteSubmit(std::set<std::string> identifiers)
{
    return actions::itemsAction(
        Items::Delete { Items::DeleteAction::Submit { std::move(identifiers) } });
}

AppAction chooseDataSource(RemindersDataSource dataSource)
{
    return AppAction::Reminders { RemindersAction::Services {
        RemindersServicesAction::DataSource { dataSource } } };
}

AppAction setUndoManager(std::shared_ptr<UndoManager> manager)
{
    return AppAction::UndoManager { UndoManagerAction::SetManager { std::move(manager) } };
}

using LocalStorageMiddlewareTest = LocalStoreTest;

TEST_F(LocalStorageMiddlewareTest, RequestsReachTheFileAndTheRemindersComeBackByTheNextRead)
{
    auto store = makeTestStore(m_service);
    store.send(settingsReadWith(RemindersDataSource::local),
        [](AppState& s) { readsSettingsNaming(s, RemindersDataSource::local); });
    // Observing starts with a read.
    store.receive(itemsRead(), loading);
    store.receive(itemsReadAnswer({}), completed);

    const auto tea = localReminder("A", "Tea");
    store.send(createSubmit({ tea }), [&](AppState& s) {
        loading(s);
        s.remindersStore.items.submittedValues.create = Reminders { tea };
    });
    EXPECT_EQ(storedRows().size(), 1u) << "the request runs inside the dispatch";
    store.receive(
        actions::itemsAction(Items::create(Items::CreateAction::success({ tea }))), completed);
    receiveTheReadsOfAChange(store, { tea });

    auto manager = std::make_shared<UndoManager>();
    store.send(setUndoManager(manager), [&](AppState& s) { s.undoManager.undoManager = manager; });
    EXPECT_EQ(service().undoManager(), manager);

    auto renamed = tea;
    renamed.title = "Green tea";
    store.send(updateSubmit({ renamed }), [&](AppState& s) {
        loading(s);
        s.remindersStore.items.value.erase(tea); // its old version, until the read
        s.remindersStore.items.submittedValues.update = Reminders { renamed };
    });
    store.receive(actions::itemsAction(Items::update(Items::UpdateAction::success({}))), completed);
    receiveTheReadsOfAChange(store, { renamed });

    // Undo goes through the undo-manager slice; the store's change brings the read.
    store.send(AppAction::UndoManager { UndoManagerAction::Undo {} });
    receiveTheReadsOfAChange(store, { tea });
    store.send(AppAction::UndoManager { UndoManagerAction::Redo {} });
    receiveTheReadsOfAChange(store, { renamed });

    store.send(deleteSubmit({ "A" }), [&](AppState& s) {
        loading(s);
        s.remindersStore.items.submittedValues.delete_ = Reminders { renamed };
    });
    store.receive(
        actions::itemsAction(Items::delete_(Items::DeleteAction::success({}))), completed);
    receiveTheReadsOfAChange(store, {});
    EXPECT_TRUE(storedRows().empty());

    // The local store holds no lists.
    store.send(actions::sourcesAction(
                   RemindersSourcesAction::read(RemindersSourcesAction::ReadAction::submit({}))),
        [](AppState& s) { s.remindersStore.sources.status = Status::loading; });
    store.receive(actions::sourcesAction(RemindersSourcesAction::read(
                      RemindersSourcesAction::ReadAction::success(std::set<AnySource> {}))),
        [](AppState& s) {
            s.remindersStore.sources.status = Status::completed;
            s.remindersStore.sources.value = std::set<AnySource> {};
        });
    store.cancelRunningFollowUps(); // the observation of the file lasts as long as the program
}

// The local store hears nothing of another process's writes, so the state can be far
// behind when the user snoozes: only the due date the snooze changed is written.
TEST_F(LocalStorageMiddlewareTest, ASnoozeKeepsWhatAnotherProcessWroteSinceTheRead)
{
    auto store = makeStore(m_service);
    store->dispatch(settingsReadWith(RemindersDataSource::local));
    store->dispatch(createSubmit({ localReminder("A", "Tea") }));
    drainMainQueue();
    const AnyReminder read = *store->state().remindersStore.items.value.begin();
    {
        SQLite::Database other(storeFile().string(), SQLite::OPEN_READWRITE);
        other.exec("UPDATE CDReminder SET title = 'Green tea'");
    }

    AnyReminder snoozed = read;
    setDueDate(snoozed, dateFromTimeIntervalSince1970(1'700'001'200));
    store->dispatch(updateSubmit({ snoozed }));
    drainMainQueue();
    EXPECT_EQ(storedRows().at("A").title, "Green tea");
    AnyReminder expected = snoozed;
    expected.title = "Green tea";
    EXPECT_EQ(store->state().remindersStore.items.value, (Reminders { expected }));

    // The user's own rename wins, also over a rename made elsewhere meanwhile.
    {
        SQLite::Database other(storeFile().string(), SQLite::OPEN_READWRITE);
        other.exec("UPDATE CDReminder SET title = 'Black tea'");
    }
    AnyReminder renamed = expected;
    renamed.title = "Mint tea";
    store->dispatch(updateSubmit({ renamed }));
    drainMainQueue();
    EXPECT_EQ(storedRows().at("A").title, "Mint tea");
}

TEST_F(LocalStorageMiddlewareTest, AFailedRequestIsPrintedAndAnsweredWithItsError)
{
    auto store = makeTestStore(m_service);
    store.send(settingsReadWith(RemindersDataSource::local),
        [](AppState& s) { readsSettingsNaming(s, RemindersDataSource::local); });
    store.receive(itemsRead(), loading);
    store.receive(itemsReadAnswer({}), completed);
    poisonTitle();

    const auto poison = localReminder("P", "poison");
    testing::internal::CaptureStdout();
    store.send(createSubmit({ poison }), [&](AppState& s) {
        loading(s);
        s.remindersStore.items.submittedValues.create = Reminders { poison };
    });
    const std::string printed = testing::internal::GetCapturedStdout();
    const auto isFailedCreate = [](const AppAction& action) {
        const auto* store = caseOf<AppAction::RemindersStore>(action);
        const auto* items = store ? std::get_if<RemindersStoreAction::Items>(
                                &static_cast<const RemindersStoreAction::variant&>(store->action))
                                  : nullptr;
        const auto* create = items ? items->action.asCreate() : nullptr;
        const auto* result = create ? create->asResult() : nullptr;
        return result && !result->result.isSuccess();
    };
    store.receiveMatching(
        "the creation's failure", isFailedCreate, [](AppState& s, const AppState& actual) {
            completed(s);
            s.remindersStore.items.error = actual.remindersStore.items.error;
        });

    const auto& items = store.state().remindersStore.items;
    ASSERT_TRUE(items.error.has_value());
    EXPECT_NE(items.error->description.find("refused"), std::string::npos);
    EXPECT_EQ(printed, debugDescription("Unresolved error " + items.error->description) + "\n");
    EXPECT_EQ(printed.rfind("\"Unresolved error The reminders could not be saved.", 0), 0u);
    EXPECT_TRUE(storedRows().empty());
    EXPECT_TRUE(items.value.empty());
    store.cancelRunningFollowUps(); // the observation of the file lasts as long as the program
}

class MockLocalService : public PersistentRemindersStorable {
public:
    MOCK_METHOD(std::set<AnyReminder>, create, (const std::set<AnyReminder>&), (override));
    MOCK_METHOD(std::set<AnyReminder>, read, (), (override));
    MOCK_METHOD(void, update, (const std::set<AnyReminder>&, const ReadReminders&), (override));
    MOCK_METHOD(void, delete_, (const std::set<std::string>&), (override));
    MOCK_METHOD(void, deleteAll, (), (override));
    MOCK_METHOD(std::shared_ptr<UndoManager>, undoManager, (), (const, override));
    MOCK_METHOD(void, setUndoManager, (std::shared_ptr<UndoManager>), (override));
    MOCK_METHOD(UndoManager::Target, undoTarget, (), (const, override));
    MOCK_METHOD(rx::Publisher<rx::Unit>, changes, (), (override));
    MOCK_METHOD(void, stopObserving, (), (override));
};

// Which data source is in use decides everything; the fake fails on any call the test
// did not expect.
TEST(LocalStorageMiddlewareRulesTest, AnswersOnlyWhileTheLocalDataSourceIsInUse)
{
    drainMainQueue();
    auto service = std::make_shared<testing::StrictMock<MockLocalService>>();
    auto store = makeTestStore(service);

    // Settings that name Apple Reminders start nothing; neither does a failed read.
    store.send(
        actions::settingsRead(SettingsReadAction::failure(Error("unreadable"))), [](AppState& s) {
            s.settings.submit = { Error("unreadable"), Status::completed };
        });
    store.send(settingsReadWith(RemindersDataSource::appleReminders),
        [](AppState& s) { readsSettingsNaming(s, RemindersDataSource::appleReminders); });

    // Local requests get no answer, and the window's undo manager is not handed over.
    const auto tea = localReminder("A", "Tea");
    store.send(createSubmit({ tea }), [&](AppState& s) {
        loading(s);
        s.remindersStore.items.submittedValues.create = Reminders { tea };
    });
    const auto windowManager = std::make_shared<UndoManager>();
    store.send(setUndoManager(windowManager),
        [&](AppState& s) { s.undoManager.undoManager = windowManager; });
    EXPECT_EQ(store.runningFollowUps(), 0u);
    testing::Mock::VerifyAndClearExpectations(service.get());

    // Choosing the local store observes it: a read at once, another at every change.
    rx::PassthroughSubject<rx::Unit> changes;
    EXPECT_CALL(*service, changes()).WillOnce(testing::Return(changes.publisher()));
    EXPECT_CALL(*service, read()).Times(2).WillRepeatedly(testing::Return(Reminders { tea }));
    store.send(chooseDataSource(RemindersDataSource::local), [](AppState& s) {
        s.reminders.services.dataSource = RemindersDataSource::local;
        s.remindersStore.items.submittedValues = {};
    });
    store.receive(itemsRead());
    store.receive(itemsReadAnswer({ tea }), [&](AppState& s) {
        completed(s);
        s.remindersStore.items.value = { tea };
    });
    changes.send(rx::Unit {});
    store.receive(itemsRead(), loading);
    store.receive(itemsReadAnswer({ tea }), completed);
    testing::Mock::VerifyAndClearExpectations(service.get());

    // Choosing Apple Reminders drops the local undo steps, the manager and the observation.
    auto manager = std::make_shared<UndoManager>();
    const int target = 0, other = 0;
    manager->registerUndo(&target, [] {});
    manager->registerUndo(&other, [] {});
    manager->closeEventGroup();
    {
        testing::InSequence order;
        EXPECT_CALL(*service, undoManager()).WillOnce(testing::Return(manager));
        EXPECT_CALL(*service, undoTarget()).WillOnce(testing::Return(&target));
        EXPECT_CALL(*service, setUndoManager(std::shared_ptr<UndoManager>()));
        EXPECT_CALL(*service, stopObserving());
    }
    store.send(chooseDataSource(RemindersDataSource::appleReminders), [](AppState& s) {
        s.reminders.services.dataSource = RemindersDataSource::appleReminders;
        s.remindersStore.items.value.clear();
    });
    EXPECT_TRUE(manager->canUndo()) << "steps of others stay";
    manager->undo();
    EXPECT_FALSE(manager->canUndo()) << "the local store's actions are gone";
    drainMainQueue(); // the undo manager's own end of its step
    store.cancelRunningFollowUps(); // the fake's change stream, stopped by the service, never ends
}

} // namespace
} // namespace tidemark::test
