#pragma once

#include "platform/persistence/ManagedObjectContext.hpp"
#include "platform/persistence/PersistenceError.hpp"

#include <SQLiteCpp/Database.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// Where and how the store is kept: the file `<container name>.sqlite` in `directory`
// (made when missing), or memory only, so nothing outlives the container.
struct StoreDescription {
    std::filesystem::path directory;
    bool inMemory = false;
    // How long a save waits for another connection that holds the write lock.
    int busyTimeoutMilliseconds = 5000;
};

// One step that brings a store to `version` from the version before it. Each step runs in
// its own transaction together with the update of `PRAGMA user_version`, so a step that
// fails leaves the store at the previous version.
struct MigrationStep {
    int version = 0;
    std::string summary;
    std::function<void(SQLite::Database&)> migrate;
};

// The steps of the reminder store's schema, in order. Version 1 makes the table.
std::vector<MigrationStep> reminderSchemaMigrations();

// The reminder store: an SQLite file in WAL mode with one table for the entity
// "CDReminder", its schema version in `PRAGMA user_version`, and the view context through
// which everything reads and writes it. Used on the main thread only.
class PersistentContainer {
public:
    explicit PersistentContainer(std::string name, StoreDescription description = {},
        std::vector<MigrationStep> migrations = reminderSchemaMigrations());
    ~PersistentContainer();
    PersistentContainer(const PersistentContainer&) = delete;
    PersistentContainer& operator=(const PersistentContainer&) = delete;

    const std::string& name() const { return m_name; }
    const StoreDescription& persistentStoreDescription() const { return m_description; }
    // The store file; empty for a store in memory.
    std::filesystem::path storeURL() const;
    // The version the migration steps lead to.
    int modelVersion() const;

    // Opens the store, making or migrating it as needed. An existing file is checked before
    // anything may write to it: a file that is no database, is damaged, belongs to another
    // program or to a newer version is refused unchanged (no byte of it, no `-wal` or
    // `-shm` beside it). On failure the store stays unloaded and the error says what is
    // wrong; after moving a broken file aside (`moveStoreAside`) loading can be tried
    // again. Two processes may load the same new store at once: one migrates, the other
    // waits for it (up to the busy timeout) and finds the schema made.
    std::optional<PersistenceError> loadPersistentStores();
    bool isLoaded() const { return m_viewContext.hasStore(); }

    ManagedObjectContext& viewContext() { return m_viewContext; }

private:
    std::optional<PersistenceError> attachStore(
        std::unique_ptr<SQLite::Database> database, const std::string& location);

    std::string m_name;
    StoreDescription m_description;
    std::vector<MigrationStep> m_migrations;
    ManagedObjectContext m_viewContext;
};

// Moves a store file and its `-wal` and `-shm` companions aside, next to it, under a name
// no file has yet (`<stem>.broken-<UTC time>[-n]<extension>`), and returns the file's new
// path. Nothing is deleted or overwritten. Throws `moveAsideFailed`.
std::filesystem::path moveStoreAside(const std::filesystem::path& storeFile);

} // namespace tidemark
