// The local storage middleware in a real store with the root reducer: requests reach the
// SQLite file, the reminders come back through the read that every change brings, and
// the data source in use decides whether the middleware answers at all.
#include "LocalStoreFixture.hpp"

#include "core/state/AppReducer.hpp"
#include "platform/foundation/Clock.hpp"
#include "reminders/middleware/PersistentRemindersMiddleware.hpp"

#include <gmock/gmock.h>

namespace tidemark::test {
namespace {

using Reminders = std::set<AnyReminder>;
using Items = RemindersItemsAction;
using AppStore = Store<AppState, AppAction>;

const Date launch = dateFromTimeIntervalSince1970(1'700'000'000);

std::shared_ptr<AppStore> makeStore(std::shared_ptr<PersistentRemindersStorable> service)
{
    ReducerEnvironment environment { std::make_shared<ManualClock>(launch) };
    return AppStore::make(AppState::initial(launch, Calendar("Europe/Berlin")),
        [environment](
            AppState& state, const AppAction& action) { appReducer(state, action, environment); },
        { persistentRemindersMiddleware(std::move(service)) });
}

AppAction settingsReadWith(RemindersDataSource dataSource)
{
    UserSettings settings;
    settings.reminders.dataSource = dataSource;
    return actions::settingsRead(SettingsReadAction::success(settings));
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
    auto store = makeStore(m_service);
    store->dispatch(settingsReadWith(RemindersDataSource::local));
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.status, Status::completed)
        << "observing starts with a read";

    const auto tea = localReminder("A", "Tea");
    store->dispatch(createSubmit({ tea }));
    EXPECT_EQ(storedRows().size(), 1u) << "the request runs inside the dispatch";
    drainMainQueue();
    auto items = store->state().remindersStore.items;
    EXPECT_EQ(items.value, (Reminders { tea }));
    EXPECT_EQ(items.submittedValues, SubmittedValues<Reminders> {}) << "confirmed by a read";
    EXPECT_EQ(items.error, std::nullopt);

    auto manager = std::make_shared<UndoManager>();
    store->dispatch(setUndoManager(manager));
    EXPECT_EQ(service().undoManager(), manager);

    auto renamed = tea;
    renamed.title = "Green tea";
    store->dispatch(updateSubmit({ renamed }));
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.value, (Reminders { renamed }));

    // Undo goes through the undo-manager slice; the store's change brings the read.
    store->dispatch(AppAction::UndoManager { UndoManagerAction::Undo {} });
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.value, (Reminders { tea }));
    store->dispatch(AppAction::UndoManager { UndoManagerAction::Redo {} });
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.value, (Reminders { renamed }));

    store->dispatch(deleteSubmit({ "A" }));
    drainMainQueue();
    EXPECT_TRUE(store->state().remindersStore.items.value.empty());
    EXPECT_TRUE(storedRows().empty());

    store->dispatch(actions::sourcesAction(
        RemindersSourcesAction::read(RemindersSourcesAction::ReadAction::submit({}))));
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.sources.value, std::optional(std::set<AnySource> {}))
        << "the local store holds no lists";
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
    auto store = makeStore(m_service);
    store->dispatch(settingsReadWith(RemindersDataSource::local));
    drainMainQueue();
    poisonTitle();

    testing::internal::CaptureStdout();
    store->dispatch(createSubmit({ localReminder("P", "poison") }));
    const std::string printed = testing::internal::GetCapturedStdout();
    drainMainQueue();

    const auto& items = store->state().remindersStore.items;
    ASSERT_TRUE(items.error.has_value());
    EXPECT_NE(items.error->description.find("refused"), std::string::npos);
    EXPECT_EQ(printed, debugDescription("Unresolved error " + items.error->description) + "\n");
    EXPECT_EQ(printed.rfind("\"Unresolved error The reminders could not be saved.", 0), 0u);
    EXPECT_TRUE(storedRows().empty());
    EXPECT_TRUE(items.value.empty());
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
    auto store = makeStore(service);

    // Settings that name Apple Reminders start nothing; neither does a failed read.
    store->dispatch(actions::settingsRead(SettingsReadAction::failure(Error("unreadable"))));
    store->dispatch(settingsReadWith(RemindersDataSource::appleReminders));
    drainMainQueue();
    ASSERT_EQ(store->state().reminders.services.dataSource, RemindersDataSource::appleReminders);

    // Local requests get no answer, and the window's undo manager is not handed over.
    store->dispatch(createSubmit({ localReminder("A", "Tea") }));
    store->dispatch(setUndoManager(std::make_shared<UndoManager>()));
    EXPECT_EQ(store->liveSubscriptions(), 0u);
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.status, Status::loading);
    testing::Mock::VerifyAndClearExpectations(service.get());

    // Choosing the local store observes it: a read at once, another at every change.
    rx::PassthroughSubject<rx::Unit> changes;
    const auto tea = localReminder("A", "Tea");
    EXPECT_CALL(*service, changes()).WillOnce(testing::Return(changes.publisher()));
    EXPECT_CALL(*service, read()).Times(2).WillRepeatedly(testing::Return(Reminders { tea }));
    store->dispatch(chooseDataSource(RemindersDataSource::local));
    drainMainQueue();
    changes.send(rx::Unit {});
    drainMainQueue();
    EXPECT_EQ(store->state().remindersStore.items.value, (Reminders { tea }));
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
    store->dispatch(chooseDataSource(RemindersDataSource::appleReminders));
    drainMainQueue();
    EXPECT_TRUE(manager->canUndo()) << "steps of others stay";
    manager->undo();
    EXPECT_FALSE(manager->canUndo()) << "the local store's actions are gone";
}

} // namespace
} // namespace tidemark::test
