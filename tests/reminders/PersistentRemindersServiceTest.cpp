// The local data source on real SQLite files: requests, undo, change notifications,
// failed saves, reopening, and store files that cannot be used.
#include "LocalStoreFixture.hpp"

#include "platform/foundation/StringTables.hpp"
#include "support/LogCapture.hpp"

#include <fstream>
#include <functional>

namespace tidemark::test {
namespace {

using Reminders = std::set<AnyReminder>;
using Rows = std::map<std::string, StoredRow>;

Date at(double seconds)
{
    return dateFromTimeIntervalSince1970(seconds);
}

const std::string newLabel = localized("Undo", "new_reminder_label");
const std::string updateLabel = localized("Undo", "update_reminder_label");
const std::string deleteLabel = localized("Undo", "delete_reminder_label");

using PersistentRemindersServiceTest = LocalStoreTest;

TEST_F(PersistentRemindersServiceTest, CreatesReadsUpdatesAndDeletes)
{
    const auto tea = localReminder("A", "Tea");
    const auto untitled = localReminder("B", "", 1'700'000'100.75, std::nullopt);
    auto listed = localReminder("L", "Listed");
    listed.listID = "list-1";
    const auto done = localReminder("D", "Done", 1'700'000'000, 1'700'000'600, at(1'700'000'500));

    auto listedAsStored = listed;
    listedAsStored.listID.reset();
    auto untitledAsStored = untitled;
    untitledAsStored.startDateComponents = reminderComponents(at(1'700'000'100));
    EXPECT_EQ(service().create({ tea, untitled, listed, done }),
        (Reminders { tea, untitledAsStored, listedAsStored, done }))
        << "the store keeps no list and whole seconds of the components";
    EXPECT_EQ(service().read(), (Reminders { tea, untitledAsStored, listedAsStored }))
        << "a completed reminder is never read back";
    EXPECT_EQ(storedRows().at("D"), (StoredRow { "Done", true, true }));

    // The update saves without reading everything back or printing anything.
    auto renamed = tea;
    renamed.title = "Green tea";
    testing::internal::CaptureStdout();
    service().update({ renamed }, {});
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(service().read(), (Reminders { renamed, untitledAsStored, listedAsStored }));

    // Completing and reopening through an update move the stored flag with the date.
    auto completed = untitledAsStored;
    setCompletionDate(completed, at(1'700'000'900));
    auto reopened = done;
    setCompletionDate(reopened, std::nullopt);
    service().update({ completed, reopened }, {});
    EXPECT_EQ(service().read(), (Reminders { renamed, listedAsStored, reopened }));
    EXPECT_EQ(storedRows().at("B"), (StoredRow { "", true, true }));
    EXPECT_EQ(storedRows().at("D"), (StoredRow { "Done", false, false }));

    service().delete_({ "A", "nothing-like-it" });
    EXPECT_EQ(service().read(), (Reminders { listedAsStored, reopened }));
    EXPECT_FALSE(storedRows().contains("A"));

    service().deleteAll();
    EXPECT_TRUE(storedRows().empty());
    EXPECT_TRUE(service().read().empty());
}

TEST_F(PersistentRemindersServiceTest, UpdateWritesTheStoredRemindersOfTheSetAndSkipsOthers)
{
    const auto tea = localReminder("A", "Tea");
    const auto walk = localReminder("B", "Walk");
    service().create({ tea, walk });
    auto renamed = tea;
    renamed.title = "Green tea";
    service().update({ renamed, walk, localReminder("X", "not stored") }, {});
    EXPECT_EQ(storedRows(),
        (Rows { { "A", { "Green tea", false, false } }, { "B", { "Walk", false, false } } }));
}

// Requests that have nothing to store save nothing, and leave the name of the step
// before them alone.
// Another process (a second instance, a sync tool) may write the store between the read
// the user acted on and the update: its change to another field stays, while the field the
// user changed takes the user's value, also over the other process's.
TEST_F(PersistentRemindersServiceTest, AnUpdateWritesWhatTheUserChangedOntoTheRowAsItIsNow)
{
    struct Case {
        const char* name;
        const char* elsewhere; // what the other process does to the row
        std::function<void(AnyReminder&)> userChange;
        std::string title;
        double due;
        bool completed;
    };
    const Case cases[] = {
        { "a snooze keeps a rename", "UPDATE CDReminder SET title = 'Green tea'",
            [](AnyReminder& r) { setDueDate(r, at(1'700'001'200)); }, "Green tea", 1'700'001'200,
            false },
        { "a rename wins over a rename", "UPDATE CDReminder SET title = 'Green tea'",
            [](AnyReminder& r) { r.title = "Mint tea"; }, "Mint tea", 1'700'000'600, false },
        { "a completion keeps a snooze", "UPDATE CDReminder SET dueDate = dueDate + 3600",
            [](AnyReminder& r) { setCompletionDate(r, at(1'700'000'300)); }, "Tea", 1'700'004'200,
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        service().delete_({ "A" });
        service().create({ localReminder("A", "Tea") });
        const AnyReminder read = *service().read().begin();
        {
            SQLite::Database other(storeFile().string(), SQLite::OPEN_READWRITE);
            other.exec(c.elsewhere);
        }
        AnyReminder request = read;
        c.userChange(request);
        service().update({ request }, { { read.id, read } });

        const auto now = service().persistenceController().fetchReminders({ "A" });
        ASSERT_EQ(now.size(), 1u);
        EXPECT_EQ(now[0].title, c.title);
        EXPECT_EQ(now[0].dueDate, at(c.due));
        EXPECT_EQ(now[0].isCompleted, c.completed);
    }
}

// The row is written column by column: a change another connection makes between the
// context reading the row and its save stays.
TEST_F(PersistentRemindersServiceTest, ASaveWritesOnlyTheColumnsThatChanged)
{
    service().create({ localReminder("A", "Tea") });
    CDReminder object = service().persistenceController().fetchReminders({ "A" }).at(0);
    object.dueDate = at(1'700'001'200);
    context().update(object);
    {
        SQLite::Database other(storeFile().string(), SQLite::OPEN_READWRITE);
        other.exec("UPDATE CDReminder SET title = 'Green tea'");
    }
    context().save();
    const CDReminder saved = service().persistenceController().fetchReminders({ "A" }).at(0);
    EXPECT_EQ(saved.title, "Green tea");
    EXPECT_EQ(saved.dueDate, at(1'700'001'200));
}

TEST_F(PersistentRemindersServiceTest, RequestsWithNothingToStoreSaveAndNameNothing)
{
    const auto tea = localReminder("A", "Tea");
    const std::vector<std::pair<std::string, std::function<void(PersistentRemindersService&)>>>
        cases {
            { "empty create", [](auto& s) { EXPECT_TRUE(s.create({}).empty()); } },
            { "empty update", [](auto& s) { s.update({}, {}); } },
            { "empty delete", [](auto& s) { s.delete_({}); } },
            { "delete of identifiers not stored",
                [](auto& s) {
                    s.delete_({ "X", "Y" });
                } },
            { "update equal to the store", [&](auto& s) { s.update({ tea }, {}); } },
            { "update of a reminder not stored",
                [](auto& s) { s.update({ localReminder("X", "not stored") }, {}); } },
        };
    auto manager = std::make_shared<UndoManager>();
    service().setUndoManager(manager);
    service().create({ tea });
    drainMainQueue();
    int saves = 0;
    auto counting = context().didSave().sink([&](const ChangeSet&) { ++saves; });

    for (const auto& [name, request] : cases) {
        SCOPED_TRACE(name);
        manager->setActionName("Earlier step");
        request(service());
        drainMainQueue();
        EXPECT_EQ(saves, 0);
        EXPECT_EQ(manager->undoActionName(), "Earlier step");
        EXPECT_EQ(storedRows(), (Rows { { "A", { "Tea", false, false } } }));
    }
    // The earlier step is still the one undone.
    manager->undo();
    EXPECT_TRUE(storedRows().empty());
}

TEST_F(PersistentRemindersServiceTest, UndoesAndRedoesEachRequestUnderItsName)
{
    auto manager = std::make_shared<UndoManager>();
    service().setUndoManager(manager);
    auto renamed = localReminder("A", "Green tea");

    struct Step {
        std::string name;
        std::function<void()> request;
        std::string label;
        Rows before;
        Rows after;
    };
    const Rows none;
    const Rows tea { { "A", { "Tea", false, false } } };
    const Rows greenTea { { "A", { "Green tea", false, false } } };
    const std::vector<Step> steps {
        { "create", [&] { service().create({ localReminder("A", "Tea") }); }, newLabel, none, tea },
        { "update", [&] { service().update({ renamed }, {}); }, updateLabel, tea, greenTea },
        { "delete", [&] { service().delete_({ "A" }); }, deleteLabel, greenTea, none },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.name);
        step.request();
        drainMainQueue(); // ends the turn, and with it the undo step
        EXPECT_EQ(storedRows(), step.after);
        EXPECT_EQ(manager->undoActionName(), step.label);

        manager->undo();
        drainMainQueue();
        EXPECT_EQ(storedRows(), step.before);
        EXPECT_EQ(manager->redoActionName(), step.label);

        manager->redo();
        drainMainQueue();
        EXPECT_EQ(storedRows(), step.after);
        EXPECT_EQ(manager->undoActionName(), step.label);
    }
    EXPECT_TRUE(service().read().empty());
}

TEST_F(PersistentRemindersServiceTest, NamesNoStepWhileAStepIsUndone)
{
    auto manager = std::make_shared<UndoManager>();
    service().setUndoManager(manager);
    manager->registerUndo(this, [this] { service().create({ localReminder("A", "Tea") }); });
    manager->setActionName("Custom step");
    drainMainQueue();

    manager->undo();
    drainMainQueue();
    EXPECT_EQ(storedRows(), (Rows { { "A", { "Tea", false, false } } }));
    EXPECT_EQ(manager->redoActionName(), "Custom step");
}

TEST_F(PersistentRemindersServiceTest, AnnouncesEveryChangeUntilObservationStops)
{
    auto manager = std::make_shared<UndoManager>();
    service().setUndoManager(manager);
    int firstValues = 0, secondValues = 0;
    bool firstEnded = false, secondEnded = false;
    auto first = service().changes().sink([&](const rx::Unit&) { ++firstValues; },
        [&](const rx::Completion<rx::Never>&) { firstEnded = true; });

    service().create({ localReminder("A", "Tea") });
    drainMainQueue();
    EXPECT_GE(firstValues, 1) << "a save announces itself";
    const int afterCreate = firstValues;
    manager->undo();
    drainMainQueue();
    EXPECT_GT(firstValues, afterCreate) << "an undo changes the store and announces itself";

    // A newer observation replaces the older one, which ends at its next change.
    auto second = service().changes().sink([&](const rx::Unit&) { ++secondValues; },
        [&](const rx::Completion<rx::Never>&) { secondEnded = true; });
    const int beforeReplacement = firstValues;
    service().create({ localReminder("B", "Walk") });
    drainMainQueue();
    EXPECT_EQ(firstValues, beforeReplacement);
    EXPECT_TRUE(firstEnded);
    EXPECT_GE(secondValues, 1);

    service().stopObserving();
    const int beforeStop = secondValues;
    service().create({ localReminder("C", "Read") });
    drainMainQueue();
    EXPECT_EQ(secondValues, beforeStop);
    EXPECT_TRUE(secondEnded);
}

TEST_F(PersistentRemindersServiceTest, AFailedSaveIsRolledBackAndNeverLandsLater)
{
    auto manager = std::make_shared<UndoManager>();
    service().setUndoManager(manager);
    const auto tea = localReminder("A", "Tea");
    service().create({ tea });
    drainMainQueue();
    poisonTitle();

    EXPECT_THROW(service().create({ localReminder("B", "Walk"), localReminder("P", "poison") }),
        PersistenceError);
    auto poisoned = tea;
    poisoned.title = "poison";
    EXPECT_THROW(service().update({ poisoned }, {}), PersistenceError);
    drainMainQueue();
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(service().read(), (Reminders { tea }));

    // The next save carries only its own request.
    const auto read = localReminder("C", "Read");
    service().create({ read });
    drainMainQueue();
    EXPECT_EQ(storedRows(),
        (Rows { { "A", { "Tea", false, false } }, { "C", { "Read", false, false } } }));
    EXPECT_EQ(service().read(), (Reminders { tea, read }));
    // Undo takes back the request that landed, not the ones that failed.
    EXPECT_EQ(manager->undoActionName(), newLabel);
    manager->undo();
    EXPECT_EQ(storedRows(), (Rows { { "A", { "Tea", false, false } } }));
}

TEST_F(PersistentRemindersServiceTest, TheLogNamesWhatEachSaveWroteAndNoSaveThatFailed)
{
    // A line of the log is the promise that the rows are in the file: a crash after it loses
    // none of them, so a failed save must leave no such line.
    LogCapture log;
    ASSERT_TRUE(log.isCapturing());
    const auto tea = localReminder("A", "Tea");
    service().create({ tea, localReminder("B", "Walk") });
    auto renamed = tea;
    renamed.title = "Green tea";
    service().update({ renamed }, {});
    service().delete_({ "B" });
    poisonTitle();
    EXPECT_THROW(service().create({ localReminder("P", "poison") }), PersistenceError);
    drainMainQueue();

    std::vector<std::string> saves;
    for (const auto& line : log.lines()) {
        if (line.find("Saved the reminder store") != std::string::npos)
            saves.push_back(line);
    }
    EXPECT_EQ(saves,
        (std::vector<std::string> {
            "Reminders: Saved the reminder store: inserted A, inserted B",
            "Reminders: Saved the reminder store: updated A",
            "Reminders: Saved the reminder store: deleted B",
        }));
}

TEST_F(PersistentRemindersServiceTest, KeepsRemindersAcrossReopeningButNotInMemory)
{
    const auto tea = localReminder("A", "Tea");
    const auto done = localReminder("D", "Done", 1'700'000'000, std::nullopt, at(1'700'000'001));
    service().create({ tea, done });
    open();
    EXPECT_EQ(service().read(), (Reminders { tea }));
    EXPECT_EQ(storedRows().size(), 2u);

    {
        PersistentRemindersService inMemory(PersistenceController(true, false, options()));
        inMemory.create({ tea });
        EXPECT_EQ(inMemory.read(), (Reminders { tea }));
    }
    PersistentRemindersService again(PersistenceController(true, false, options()));
    EXPECT_TRUE(again.read().empty());
    EXPECT_TRUE(m_fatalMessages.empty());
}

// A broken store file, or one that cannot be opened, is moved aside (never deleted) and the
// same run goes on with a fresh store; where the file went is printed and reported once. A
// store of a newer version stays where it is for that version and stops the program with
// the error and its details.
TEST(LocalStoreLoadingTest, GoesOnWithAFreshStoreBesideABrokenOneAndStopsOnANewerOne)
{
    struct Case {
        std::string name;
        std::function<void(const std::filesystem::path& file)> prepare;
        bool movedAside;
        std::string inMessage;
    };
    const std::vector<Case> cases {
        { "not a database",
            [](const auto& file) { std::ofstream(file) << "my reminders, in plain text\n"; }, true,
            "is not a usable database" },
        { "a folder in its place",
            [](const auto& file) {
                std::filesystem::create_directory(file);
                std::ofstream(file / "inside.txt") << "kept";
            },
            true, "is not a usable database" },
        { "another program's database",
            [](const auto& file) {
                SQLite::Database database(
                    file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
                database.exec("CREATE TABLE photos (id INTEGER)");
            },
            true, "database of another program" },
        { "written by a newer version",
            [](const auto& file) {
                SQLite::Database database(
                    file.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
                database.exec("PRAGMA user_version = 99");
            },
            false, "newer version" },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        const std::filesystem::path directory = folder.path().toStdString();
        const auto file = directory / "Tidemark.sqlite";
        testCase.prepare(file);

        std::vector<std::string> messages;
        std::vector<StoreMovedAside> reports;
        PersistenceControllerOptions options;
        options.directory = directory;
        options.fatalError = [&](const std::string& message) { messages.push_back(message); };
        options.storeMovedAside = [&](const StoreMovedAside& report) { reports.push_back(report); };
        testing::internal::CaptureStderr();
        PersistentRemindersService service(PersistenceController(false, false, options));
        const std::string printed = testing::internal::GetCapturedStderr();

        std::vector<std::filesystem::path> aside;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            if (entry.path().filename().string().starts_with("Tidemark.broken-"))
                aside.push_back(entry.path());
        }
        if (testCase.movedAside) {
            EXPECT_TRUE(messages.empty()) << messages.front();
            ASSERT_EQ(aside.size(), 1u);
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_EQ(reports[0].storeFile, file);
            EXPECT_EQ(reports[0].movedTo, aside[0]);
            EXPECT_NE(reports[0].reason.find(testCase.inMessage), std::string::npos)
                << reports[0].reason;
            EXPECT_NE(reports[0].message().find(aside[0].string()), std::string::npos);
            EXPECT_NE(printed.find(aside[0].string()), std::string::npos)
                << "says where the file went: " << printed;
            if (std::filesystem::is_regular_file(aside[0]) && testCase.name == "not a database") {
                std::ifstream in(aside[0]);
                std::string text;
                std::getline(in, text);
                EXPECT_EQ(text, "my reminders, in plain text");
            } else if (std::filesystem::is_directory(aside[0])) {
                EXPECT_TRUE(std::filesystem::exists(aside[0] / "inside.txt"));
            }
            // The same run goes on with a new store in the old one's place.
            ASSERT_TRUE(std::filesystem::is_regular_file(file));
            AnyReminder tea;
            tea.id = "tea";
            tea.title = "Tea";
            service.create({ tea });
            EXPECT_EQ(service.read().size(), 1u);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(
                messages[0].rfind("Unresolved error The reminder store \"" + file.string(), 0), 0u)
                << messages[0];
            EXPECT_NE(messages[0].find(testCase.inMessage), std::string::npos) << messages[0];
            const auto details = messages[0].find(", {");
            ASSERT_NE(details, std::string::npos)
                << "the details follow the error: " << messages[0];
            EXPECT_NE(messages[0].find("path = " + file.string(), details), std::string::npos)
                << messages[0];
            EXPECT_TRUE(reports.empty());
            EXPECT_TRUE(aside.empty());
            EXPECT_TRUE(std::filesystem::is_regular_file(file));
            // With the stop replaced, the store stays unloaded and every request fails.
            EXPECT_THROW(service.read(), PersistenceError);
        }
    }
}

} // namespace
} // namespace tidemark::test
