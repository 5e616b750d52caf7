#include "PersistenceFixture.hpp"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>

using namespace tidemark;
using namespace tidemark::test;

namespace {

class PersistentContainerTest : public PersistenceTest {
protected:
    void writeFile(const std::filesystem::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::string readFile(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    std::optional<PersistenceError> load(
        std::vector<MigrationStep> migrations = reminderSchemaMigrations())
    {
        m_container.reset();
        m_container = std::make_unique<PersistentContainer>(
            "Tidemark", StoreDescription { folder(), false, 5000 }, std::move(migrations));
        return m_container->loadPersistentStores();
    }
    int storedUserVersion()
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
        return database.execAndGet("PRAGMA user_version").getInt();
    }
};

} // namespace

TEST_F(PersistentContainerTest, MakesTheStoreFileInWalModeAtSchemaVersionOne)
{
    EXPECT_EQ(m_container->name(), "Tidemark");
    EXPECT_EQ(m_container->storeURL(), storeFile());
    EXPECT_TRUE(std::filesystem::exists(storeFile()));
    SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
    EXPECT_EQ(database.execAndGet("PRAGMA journal_mode").getString(), "wal");
    EXPECT_EQ(database.execAndGet("PRAGMA user_version").getInt(), 1);
    EXPECT_EQ(m_container->modelVersion(), 1);
}

TEST_F(PersistentContainerTest, MakesAMissingFolderAndReportsOneThatCannotBeMade)
{
    m_container.reset();
    PersistentContainer nested("Tidemark", StoreDescription { folder() / "data" / "tidemark" });
    ASSERT_FALSE(nested.loadPersistentStores());
    EXPECT_TRUE(std::filesystem::exists(folder() / "data" / "tidemark" / "Tidemark.sqlite"));

    writeFile(folder() / "plain-file", "x");
    PersistentContainer blocked(
        "Tidemark", StoreDescription { folder() / "plain-file" / "tidemark" });
    auto error = blocked.loadPersistentStores();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), PersistenceError::Code::cannotOpenStore);
    EXPECT_NE(error->description().find("plain-file"), std::string::npos) << error->what();
    EXPECT_FALSE(blocked.isLoaded());
    EXPECT_THROW(blocked.viewContext().fetch({}), PersistenceError);
    EXPECT_THROW(blocked.viewContext().insert(reminder("A", "a")), PersistenceError);
}

TEST_F(PersistentContainerTest, KeepsSavedDataAcrossReopeningButNotInMemory)
{
    auto completed = reminder("B", "done", at(1'700'000'100));
    completed.dueDate = at(1'700'000'060.123456);
    context().insert(reminder("A", "open"));
    const auto saved = context().insert(completed);
    context().save();

    open();
    auto objects = fetchAll();
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[1], saved);
    EXPECT_EQ(objects[0].identifierString(), "A");
    // New objects after reopening get identities of their own.
    const auto next = context().insert(reminder("C", "c"));
    EXPECT_GT(next.objectID, saved.objectID);

    PersistentContainer memory("Tidemark", StoreDescription { {}, true });
    ASSERT_FALSE(memory.loadPersistentStores());
    EXPECT_TRUE(memory.storeURL().empty());
    memory.viewContext().insert(reminder("M", "m"));
    memory.viewContext().save();
    EXPECT_EQ(memory.viewContext().fetch({}).size(), 1u);
    PersistentContainer memoryAgain("Tidemark", StoreDescription { {}, true });
    ASSERT_FALSE(memoryAgain.loadPersistentStores());
    EXPECT_TRUE(memoryAgain.viewContext().fetch({}).empty());
}

TEST_F(PersistentContainerTest, RunsLaterMigrationStepsOnceAndKeepsTheData)
{
    context().insert(reminder("A", "kept"));
    context().save();

    int runs = 0;
    auto migrations = reminderSchemaMigrations();
    migrations.push_back({ 2, "add notes", [&](SQLite::Database& database) {
                              ++runs;
                              database.exec("ALTER TABLE CDReminder ADD COLUMN note TEXT");
                          } });
    ASSERT_FALSE(load(migrations));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(storedUserVersion(), 2);
    EXPECT_EQ(identifiers(fetchAll()), std::set<std::string> { "A" });
    context().insert(reminder("B", "after migration"));
    context().save();

    ASSERT_FALSE(load(migrations));
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(storedTitles().size(), 2u);
}

TEST_F(PersistentContainerTest, AFailedMigrationLeavesTheStoreAtItsVersion)
{
    context().insert(reminder("A", "kept"));
    context().save();

    auto migrations = reminderSchemaMigrations();
    migrations.push_back({ 2, "half a change", [](SQLite::Database& database) {
                              database.exec("ALTER TABLE CDReminder ADD COLUMN note TEXT");
                              database.exec("THIS IS NOT SQL");
                          } });
    auto error = load(migrations);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), PersistenceError::Code::migrationFailed);
    EXPECT_NE(error->description().find("half a change"), std::string::npos);
    EXPECT_EQ(storedUserVersion(), 1);
    // The first statement of the step was taken back with the rest.
    ASSERT_FALSE(load());
    SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
    SQLite::Statement columns(
        database, "SELECT COUNT(*) FROM pragma_table_info('CDReminder') WHERE name = 'note'");
    ASSERT_TRUE(columns.executeStep());
    EXPECT_EQ(columns.getColumn(0).getInt(), 0);
    EXPECT_EQ(storedTitles(), (std::map<std::string, std::string> { { "A", "kept" } }));
}

TEST_F(PersistentContainerTest, RefusesAStoreOfANewerVersionWithoutTouchingIt)
{
    m_container.reset();
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READWRITE);
        database.exec("PRAGMA user_version = 7");
    }
    auto error = load();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), PersistenceError::Code::newerStore);
    EXPECT_EQ(error->userInfo().at("storeVersion"), "7");
    EXPECT_FALSE(error->storeFileIsUnusable());
    EXPECT_EQ(storedUserVersion(), 7);
}

TEST_F(PersistentContainerTest, RefusesADatabaseOfAnotherProgram)
{
    m_container.reset();
    std::filesystem::remove(storeFile());
    {
        SQLite::Database database(
            storeFile().string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
        database.exec("CREATE TABLE photos (id INTEGER PRIMARY KEY)");
    }
    auto error = load();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), PersistenceError::Code::notAStore);
    SQLite::Database database(storeFile().string(), SQLite::OPEN_READONLY);
    EXPECT_FALSE(database.tableExists("CDReminder"));
}

TEST_F(PersistentContainerTest, ReportsABrokenFileWithoutTouchingItOrItsLog)
{
    const std::vector<std::pair<const char*, std::string>> cases {
        { "garbage", std::string(4096, '\x5a') },
        { "header, then garbage",
            std::string("SQLite format 3") + '\0' + std::string(4080, '\x5a') },
        { "too short", "SQLite" },
    };
    m_container.reset();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        writeFile(storeFile(), bytes);
        writeFile(storeFile().string() + "-wal", "wal bytes");
        auto error = load();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), PersistenceError::Code::notAStore);
        EXPECT_TRUE(error->storeFileIsUnusable());
        EXPECT_NE(error->description().find(storeFile().string()), std::string::npos)
            << error->what();
        EXPECT_NE(error->description().find("not a database"), std::string::npos) << error->what();
        EXPECT_EQ(error->userInfo().at("path"), storeFile().string());
        EXPECT_FALSE(m_container->isLoaded());
        EXPECT_EQ(readFile(storeFile()), bytes);
        EXPECT_EQ(readFile(storeFile().string() + "-wal"), "wal bytes");
    }
}

TEST_F(PersistentContainerTest, MovesABrokenFileAsideWithItsCompanionsUnderAFreeName)
{
    m_container.reset();
    for (const char* suffix : { "", "-wal", "-shm" })
        std::filesystem::remove(storeFile().string() + suffix);
    const std::string garbage(4096, '\x5a');
    writeFile(storeFile(), garbage);
    writeFile(storeFile().string() + "-wal", "wal bytes");
    writeFile(storeFile().string() + "-shm", "shm bytes");
    ASSERT_TRUE(load());

    const auto moved = moveStoreAside(storeFile());
    EXPECT_EQ(moved.parent_path(), folder());
    EXPECT_EQ(moved.extension(), ".sqlite");
    EXPECT_EQ(moved.filename().string().rfind("Tidemark.broken-", 0), 0u) << moved;
    EXPECT_FALSE(std::filesystem::exists(storeFile()));
    EXPECT_FALSE(std::filesystem::exists(storeFile().string() + "-wal"));
    EXPECT_FALSE(std::filesystem::exists(storeFile().string() + "-shm"));
    EXPECT_EQ(readFile(moved), garbage);
    EXPECT_EQ(readFile(moved.string() + "-wal"), "wal bytes");
    EXPECT_EQ(readFile(moved.string() + "-shm"), "shm bytes");

    // A second broken file in the same second goes to another name; nothing is replaced.
    writeFile(storeFile(), "second");
    const auto movedAgain = moveStoreAside(storeFile());
    EXPECT_NE(movedAgain, moved);
    EXPECT_EQ(readFile(moved), garbage);
    EXPECT_EQ(readFile(movedAgain), "second");

    // Loading again starts a new, empty store.
    ASSERT_FALSE(m_container->loadPersistentStores());
    EXPECT_TRUE(context().fetch({}).empty());

    try {
        moveStoreAside(folder() / "missing.sqlite");
        FAIL() << "moving a missing file must fail";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.code(), PersistenceError::Code::moveAsideFailed);
    }
}

TEST_F(PersistentContainerTest, ErrorsDescribeThemselvesOnOneLine)
{
    PersistenceError error(
        PersistenceError::Code::saveFailed, "Could not save", { { "path", "/x" } }, 19);
    EXPECT_EQ(error.description(), "Could not save");
    EXPECT_EQ(error.sqliteCode(), 19);
    EXPECT_EQ(error.userInfoDescription(), "{path = /x; sqliteCode = 19}");
}

TEST_F(PersistentContainerTest, ReportsADamagedStoreBeforeWritingToIt)
{
    for (int i = 0; i < 200; ++i)
        context().insert(reminder("R" + std::to_string(i), std::string(100, 'x')));
    context().save();
    m_container.reset(); // the last connection folds the log into the file
    ASSERT_FALSE(std::filesystem::exists(storeFile().string() + "-wal"));
    std::string bytes = readFile(storeFile());
    ASSERT_GT(bytes.size(), 3u * 4096);
    std::fill(bytes.begin() + 4096, bytes.begin() + 2 * 4096, '\x5a');
    writeFile(storeFile(), bytes);

    auto error = load();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->code(), PersistenceError::Code::notAStore) << error->what();
    EXPECT_EQ(readFile(storeFile()), bytes);
}

namespace {

// Every file in the folder with its bytes.
std::map<std::string, std::string> folderContents(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        contents[entry.path().filename().string()]
            = { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    return contents;
}

} // namespace

TEST_F(PersistentContainerTest, RefusedDatabasesKeepEveryByteAndGetNoCompanionFiles)
{
    const struct {
        const char* name;
        const char* journalMode;
        std::vector<std::string> statements;
        PersistenceError::Code code;
    } cases[] {
        { "another program's database", "DELETE", { "CREATE TABLE photos (id INTEGER)" },
            PersistenceError::Code::notAStore },
        { "another program's database in WAL mode", "WAL", { "CREATE TABLE photos (id INTEGER)" },
            PersistenceError::Code::notAStore },
        { "a table of our name without our columns", "DELETE",
            { "CREATE TABLE CDReminder (pk INTEGER PRIMARY KEY)", "PRAGMA user_version = 1" },
            PersistenceError::Code::notAStore },
        { "a newer version's store", "DELETE",
            { "CREATE TABLE CDReminder (pk INTEGER PRIMARY KEY, future BLOB)",
                "PRAGMA user_version = 7" },
            PersistenceError::Code::newerStore },
        { "a newer version's store in WAL mode", "WAL",
            { "CREATE TABLE CDReminder (pk INTEGER PRIMARY KEY, future BLOB)",
                "PRAGMA user_version = 7" },
            PersistenceError::Code::newerStore },
    };
    m_container.reset();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            std::filesystem::remove(entry.path());
        {
            SQLite::Database database(
                storeFile().string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
            database.exec(std::string("PRAGMA journal_mode = ") + c.journalMode);
            for (const auto& statement : c.statements)
                database.exec(statement);
        }
        const auto before = folderContents(folder());
        ASSERT_EQ(before.size(), 1u);

        auto error = load();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->code(), c.code) << error->what();
        EXPECT_FALSE(m_container->isLoaded());
        m_container.reset();
        EXPECT_EQ(folderContents(folder()), before);
    }
}

TEST_F(PersistentContainerTest, ANewStoreIsPrivateToItsOwner)
{
    m_container.reset();
    std::filesystem::remove(storeFile());
    ASSERT_FALSE(load());
    const auto permissions = std::filesystem::status(storeFile()).permissions();
    EXPECT_EQ(permissions & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

// Processes that open one new store at the same moment: each waits for the others at a
// gate, then loads; every one must load, and the store must come out whole.
TEST_F(PersistentContainerTest, ProcessesLoadingOneNewStoreAtOnceAllSucceed)
{
    m_container.reset();
    constexpr int rounds = 8;
    constexpr int processes = 4;
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto directory = folder() / ("round" + std::to_string(round));
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < processes; ++i) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(gate[1]);
                char byte;
                [[maybe_unused]] auto ignored = ::read(gate[0], &byte, 1); // ends at the close
                PersistentContainer container("Tidemark", StoreDescription { directory });
                auto error = container.loadPersistentStores();
                if (error)
                    std::fprintf(stderr, "process %d: %s\n", i, error->what());
                std::fflush(stderr);
                ::_exit(error ? 1 : 0);
            }
            children.push_back(child);
        }
        ::close(gate[0]);
        ::close(gate[1]); // opens the gate for every process at once
        for (const pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        }
        SQLite::Database database((directory / "Tidemark.sqlite").string(), SQLite::OPEN_READONLY);
        EXPECT_EQ(database.execAndGet("PRAGMA integrity_check").getString(), "ok");
        EXPECT_EQ(database.execAndGet("PRAGMA user_version").getInt(), 1);
        EXPECT_TRUE(database.tableExists("CDReminder"));
    }
}
