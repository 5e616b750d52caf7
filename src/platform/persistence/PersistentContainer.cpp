#include "platform/persistence/PersistentContainer.hpp"

#include "platform/persistence/SQLiteStore.hpp"

#include <SQLiteCpp/Transaction.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <set>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace tidemark {

namespace {

void createVersion1(SQLite::Database& database)
{
    database.exec("CREATE TABLE CDReminder ("
                  "pk INTEGER PRIMARY KEY, "
                  "completionDate REAL, "
                  "dueDate REAL, "
                  "identifier TEXT, "
                  "isCompleted INTEGER NOT NULL DEFAULT 0 CHECK (isCompleted IN (0, 1)), "
                  "startDate REAL, "
                  "title TEXT)");
    database.exec("CREATE INDEX CDReminder_identifier ON CDReminder (identifier)");
}

int userVersion(SQLite::Database& database)
{
    return database.execAndGet("PRAGMA user_version").getInt();
}

PersistenceError openError(const SQLite::Exception& error, const std::string& location)
{
    const int code = error.getErrorCode();
    std::map<std::string, std::string> info { { "path", location } };
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) {
        return persistenceError(PersistenceError::Code::notAStore,
            "The reminder store \"" + location + "\" is not a usable database", error, info);
    }
    return persistenceError(PersistenceError::Code::cannotOpenStore,
        "The reminder store \"" + location + "\" could not be opened", error, info);
}

// Checks that the table has every column the context reads, so that a database of some
// other program at the store's place is reported instead of failing at the first fetch.
std::optional<std::string> missingColumn(SQLite::Database& database)
{
    std::set<std::string> present;
    SQLite::Statement query(database, "PRAGMA table_info(CDReminder)");
    while (query.executeStep())
        present.insert(query.getColumn(1).getString());
    for (const char* column :
        { "pk", "completionDate", "dueDate", "identifier", "isCompleted", "startDate", "title" }) {
        if (!present.contains(column))
            return std::string(column);
    }
    return std::nullopt;
}

// Whether the file starts like an SQLite database. SQLite itself would open a file that
// does not and, finding no database in it, remove the `-wal` and `-shm` files beside it,
// which may be all that is left of the user's latest changes; so such a file is refused
// before SQLite sees it. Missing and empty files are new stores.
bool looksLikeDatabase(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error) || std::filesystem::file_size(file, error) == 0)
        return true;
    std::ifstream in(file, std::ios::binary);
    char header[16] = {};
    in.read(header, sizeof header);
    return in.gcount() == sizeof header && std::memcmp(header, "SQLite format 3", 16) == 0;
}

// Whether the file's header marks a database in WAL mode (read and write versions 2).
bool headerSaysWal(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char header[20] = {};
    in.read(header, sizeof header);
    return in.gcount() == sizeof header && header[18] == 2 && header[19] == 2;
}

std::string utcStamp()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts {};
    gmtime_r(&now, &parts);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%SZ", &parts);
    return buffer;
}

// Renames without replacing an existing file; false with errno EEXIST when the target exists.
bool renameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to)
{
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

PersistenceError newerStoreError(int version, int modelVersion, const std::string& location)
{
    return PersistenceError(PersistenceError::Code::newerStore,
        "The reminder store \"" + location
            + "\" was written by a newer version of Tidemark (schema version "
            + std::to_string(version) + "; this version knows up to " + std::to_string(modelVersion)
            + ")",
        { { "path", location }, { "storeVersion", std::to_string(version) },
            { "modelVersion", std::to_string(modelVersion) } });
}

// A database at version 0 that already holds tables was made by some other program; ours
// are never added to it.
std::optional<PersistenceError> foreignTablesError(
    SQLite::Database& database, const std::string& location)
{
    const int tables
        = database.execAndGet("SELECT COUNT(*) FROM sqlite_master WHERE name NOT LIKE 'sqlite_%'")
              .getInt();
    if (tables == 0)
        return std::nullopt;
    return PersistenceError(PersistenceError::Code::notAStore,
        "The reminder store \"" + location + "\" is a database of another program",
        { { "path", location } });
}

std::optional<PersistenceError> reminderTableError(
    SQLite::Database& database, const std::string& location)
{
    auto column = missingColumn(database);
    if (!column)
        return std::nullopt;
    return PersistenceError(PersistenceError::Code::notAStore,
        "The reminder store \"" + location
            + "\" holds no reminder table of this program (the column \"" + *column
            + "\" is missing)",
        { { "path", location }, { "missingColumn", *column } });
}

std::optional<PersistenceError> makeStoreFolder(const std::filesystem::path& directory)
{
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (!error)
        return std::nullopt;
    return PersistenceError(PersistenceError::Code::cannotOpenStore,
        "The folder \"" + directory.string() + "\" for the reminder store could not be made ("
            + error.message() + ")",
        { { "path", directory.string() }, { "reason", error.message() } });
}

// The file as an SQLite URI, so that parameters can be given with it.
std::string fileUri(const std::filesystem::path& file)
{
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const unsigned char c : std::filesystem::absolute(file).string()) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 0xf];
        }
    }
    return uri;
}

// What a read-only look at an existing store finds: nothing wrong, or the error.
std::optional<PersistenceError> probeStore(const std::string& name, int flags, int modelVersion,
    const std::string& location, int busyTimeoutMilliseconds)
{
    try {
        SQLite::Database probe(name, flags, busyTimeoutMilliseconds);
        // One read transaction: the version and the tables are read from the same state of
        // a file another process may be making at this moment.
        probe.exec("BEGIN");
        const int version = userVersion(probe);
        if (version > modelVersion)
            return newerStoreError(version, modelVersion, location);
        const auto check = probe.execAndGet("PRAGMA quick_check(1)").getString();
        if (check != "ok") {
            return PersistenceError(PersistenceError::Code::notAStore,
                "The reminder store \"" + location + "\" is damaged (" + check + ")",
                { { "path", location }, { "reason", check } }, SQLITE_CORRUPT);
        }
        if (version == 0)
            return foreignTablesError(probe, location);
        return reminderTableError(probe, location);
    } catch (const SQLite::Exception& error) {
        return openError(error, location);
    }
}

// Looks at an existing store file without changing it: is it an SQLite database, written
// by a version of this program that is not newer, holding our table, and sound? A read-only
// connection makes no files beside a database in rollback-journal mode, but beside one in
// WAL mode it makes a `-wal` and a `-shm` file when they are missing. So a WAL-mode file
// without its `-wal` (which then holds the whole database, written by nobody at the moment)
// is opened immutable instead. An immutable connection takes no locks, so what looks
// damaged through it is looked at once more through an ordinary read-only connection
// before it is refused. A missing or empty file is a new store.
std::optional<PersistenceError> checkExistingStore(
    const std::filesystem::path& file, int modelVersion, const StoreDescription& description)
{
    const std::string location = file.string();
    std::error_code ignored;
    if (!std::filesystem::exists(file, ignored) || std::filesystem::file_size(file, ignored) == 0)
        return std::nullopt;
    if (!looksLikeDatabase(file)) {
        return PersistenceError(PersistenceError::Code::notAStore,
            "The reminder store \"" + location
                + "\" is not a usable database (file is not a database)",
            { { "path", location }, { "reason", "file is not a database" } }, SQLITE_NOTADB);
    }
    const int timeout = description.busyTimeoutMilliseconds;
    if (headerSaysWal(file) && !std::filesystem::exists(location + "-wal", ignored)) {
        auto error = probeStore(fileUri(file) + "?immutable=1",
            SQLite::OPEN_READONLY | SQLite::OPEN_URI, modelVersion, location, timeout);
        const bool damaged = error && error->sqliteCode() != 0
            && error->code() != PersistenceError::Code::newerStore;
        if (!damaged)
            return error;
    }
    return probeStore(location, SQLite::OPEN_READONLY, modelVersion, location, timeout);
}

// Puts the store into WAL mode, trying again after a short pause while other connections
// are in the way, for up to `patience`.
void switchToWal(SQLite::Database& database, std::chrono::milliseconds patience)
{
    const auto giveUp = std::chrono::steady_clock::now() + patience;
    for (;;) {
        try {
            if (database.execAndGet("PRAGMA journal_mode = WAL").getString() == "wal")
                return;
        } catch (const SQLite::Exception& error) {
            const int code = error.getErrorCode() & 0xff;
            if ((code != SQLITE_BUSY && code != SQLITE_LOCKED)
                || std::chrono::steady_clock::now() >= giveUp)
                throw;
        }
        if (std::chrono::steady_clock::now() >= giveUp)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// Makes a missing store file readable and writable by its owner alone before SQLite
// creates it (SQLite gives its `-wal` and `-shm` files the same mode).
void createPrivateFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
}

std::optional<PersistenceError> openForWriting(const std::string& location,
    const StoreDescription& description, std::unique_ptr<SQLite::Database>& database)
{
    try {
        if (!description.inMemory)
            createPrivateFile(location);
        database = std::make_unique<SQLite::Database>(location,
            SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE, description.busyTimeoutMilliseconds);
        // The first statement reads the file's header: a file that is no database fails
        // here, before anything has been written to it.
        userVersion(*database);
        if (!description.inMemory) {
            // Two connections that switch a new file at once can find each other in the
            // way where SQLite does not wait (it would deadlock), or find the file in use
            // and leave its mode as it was; they try again for a while. A store that
            // stays in rollback-journal mode still works.
            switchToWal(*database, std::chrono::milliseconds(description.busyTimeoutMilliseconds));
        }
        // With WAL, NORMAL keeps the store consistent across crashes; only the last
        // transactions before a power loss can be lost.
        database->exec("PRAGMA synchronous = NORMAL");
    } catch (const SQLite::Exception& error) {
        return openError(error, location);
    }
    return std::nullopt;
}

PersistenceError migrationError(
    const MigrationStep& step, int version, const std::string& location, const std::string& reason)
{
    return PersistenceError(PersistenceError::Code::migrationFailed,
        "The reminder store \"" + location + "\" could not be brought to schema version "
            + std::to_string(step.version) + " (" + step.summary + ": " + reason + ")",
        { { "path", location }, { "storeVersion", std::to_string(version) },
            { "reason", reason } });
}

// Brings the store to the model's version. Each step runs in an immediate transaction that
// reads the version again once it holds the write lock, so a second process that opens the
// same store at the same moment waits for the first one's step and then finds it done.
std::optional<PersistenceError> migrateStore(SQLite::Database& database,
    const std::vector<MigrationStep>& migrations, int modelVersion, const std::string& location)
{
    int version = 0;
    try {
        version = userVersion(database);
    } catch (const SQLite::Exception& error) {
        return openError(error, location);
    }
    if (version > modelVersion)
        return newerStoreError(version, modelVersion, location);
    if (version == modelVersion)
        return std::nullopt;
    for (const auto& step : migrations) {
        if (step.version <= version)
            continue;
        try {
            SQLite::Transaction transaction(database, SQLite::TransactionBehavior::IMMEDIATE);
            version = userVersion(database);
            if (version > modelVersion)
                return newerStoreError(version, modelVersion, location);
            if (step.version <= version)
                continue; // another process made this step meanwhile
            if (version == 0) {
                if (auto error = foreignTablesError(database, location))
                    return error;
            }
            step.migrate(database);
            database.exec("PRAGMA user_version = " + std::to_string(step.version));
            transaction.commit();
            version = step.version;
        } catch (const SQLite::Exception& error) {
            return persistenceError(PersistenceError::Code::migrationFailed,
                "The reminder store \"" + location + "\" could not be brought to schema version "
                    + std::to_string(step.version) + " (" + step.summary + ")",
                error, { { "path", location }, { "storeVersion", std::to_string(version) } });
        } catch (const std::exception& error) {
            return migrationError(step, version, location, error.what());
        }
    }
    return std::nullopt;
}

} // namespace

std::vector<MigrationStep> reminderSchemaMigrations()
{
    return { MigrationStep { 1, "create the reminder table", createVersion1 } };
}

PersistentContainer::PersistentContainer(
    std::string name, StoreDescription description, std::vector<MigrationStep> migrations)
    : m_name(std::move(name))
    , m_description(std::move(description))
    , m_migrations(std::move(migrations))
{
    std::stable_sort(m_migrations.begin(), m_migrations.end(),
        [](const MigrationStep& a, const MigrationStep& b) { return a.version < b.version; });
}

PersistentContainer::~PersistentContainer() = default;

std::filesystem::path PersistentContainer::storeURL() const
{
    if (m_description.inMemory)
        return {};
    return m_description.directory / (m_name + ".sqlite");
}

int PersistentContainer::modelVersion() const
{
    return m_migrations.empty() ? 0 : m_migrations.back().version;
}

std::optional<PersistenceError> PersistentContainer::loadPersistentStores()
{
    if (isLoaded())
        return std::nullopt;
    const auto file = storeURL();
    const std::string location = m_description.inMemory ? std::string(":memory:") : file.string();

    if (!m_description.inMemory) {
        if (auto error = makeStoreFolder(m_description.directory))
            return error;
        // Nothing of a file that turns out not to be ours is changed: it is looked at
        // through a connection that cannot write before any connection that can.
        if (auto error = checkExistingStore(file, modelVersion(), m_description))
            return error;
    }
    std::unique_ptr<SQLite::Database> database;
    if (auto error = openForWriting(location, m_description, database))
        return error;
    if (auto error = migrateStore(*database, m_migrations, modelVersion(), location))
        return error;
    return attachStore(std::move(database), location);
}

std::optional<PersistenceError> PersistentContainer::attachStore(
    std::unique_ptr<SQLite::Database> database, const std::string& location)
{
    auto store = std::make_shared<SQLiteStore>(std::move(database));
    ManagedObjectID largest;
    try {
        if (auto error = reminderTableError(store->database(), location))
            return error;
        largest = store->largestObjectID();
    } catch (const SQLite::Exception& error) {
        return openError(error, location);
    }
    m_viewContext.attach(std::move(store), largest);
    return std::nullopt;
}

std::filesystem::path moveStoreAside(const std::filesystem::path& storeFile)
{
    const auto directory = storeFile.parent_path();
    const std::string stem = storeFile.stem().string();
    const std::string extension = storeFile.extension().string();
    const std::string stamp = utcStamp();
    const char* companions[] = { "-wal", "-shm" };

    auto fail = [&](const std::string& what, int error) {
        return PersistenceError(PersistenceError::Code::moveAsideFailed,
            what + " (" + std::strerror(error) + ")",
            { { "path", storeFile.string() }, { "reason", std::strerror(error) } });
    };

    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string suffix = attempt == 1 ? std::string() : "-" + std::to_string(attempt);
        const auto target = directory / (stem + ".broken-" + stamp + suffix + extension);
        // Pick a name none of the three files would clash with.
        bool taken = false;
        for (const char* companion : companions) {
            std::error_code ignored;
            taken = taken || std::filesystem::exists(target.string() + companion, ignored);
        }
        if (taken)
            continue;
        if (!renameNoReplace(storeFile, target)) {
            if (errno == EEXIST)
                continue;
            throw fail("The reminder store \"" + storeFile.string() + "\" could not be moved aside",
                errno);
        }
        for (const char* companion : companions) {
            const std::filesystem::path from = storeFile.string() + companion;
            const std::filesystem::path to = target.string() + companion;
            std::error_code error;
            if (!std::filesystem::exists(from, error))
                continue;
            if (!renameNoReplace(from, to)) {
                throw fail("The reminder store was moved to \"" + target.string() + "\", but \""
                        + from.string() + "\" could not follow it",
                    errno);
            }
        }
        return target;
    }
    throw fail("No free name was found to move the reminder store aside", EEXIST);
}

} // namespace tidemark
