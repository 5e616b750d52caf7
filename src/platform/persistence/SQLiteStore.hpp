#pragma once

#include "platform/persistence/FetchRequest.hpp"
#include "platform/persistence/PersistenceError.hpp"

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Exception.h>
#include <SQLiteCpp/Statement.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tidemark {

// The SQLite side of the reminder store: one table, rows to objects and back. Used by the
// container (which opens and migrates it) and by the view context; throws SQLite's own
// exceptions, which its callers turn into PersistenceError.
class SQLiteStore {
public:
    static constexpr const char* tableName = "CDReminder";

    explicit SQLiteStore(std::unique_ptr<SQLite::Database> database);

    SQLite::Database& database() { return *m_database; }

    // Objects matching the predicate (all without one), in the order of the descriptors,
    // then of identity.
    std::vector<CDReminder> select(const std::optional<Predicate>& predicate,
        const std::vector<SortDescriptor>& sortDescriptors = {},
        std::optional<std::size_t> limit = std::nullopt);
    std::optional<CDReminder> selectObject(ManagedObjectID id);
    ManagedObjectID largestObjectID();

    void insert(const CDReminder& object);
    // Writes the attributes in which `object` differs from `stored` (the row as it was
    // read), so that another connection's change to another attribute stays. False when
    // no row has the object's identity.
    bool update(const CDReminder& object, const CDReminder& stored);
    void remove(ManagedObjectID id);
    // Deletes the matching rows and returns them as they were.
    std::vector<CDReminder> removeWhere(const std::optional<Predicate>& predicate);

private:
    SQLite::Statement& statement(std::optional<SQLite::Statement>& slot, const char* sql);

    std::unique_ptr<SQLite::Database> m_database;
    std::optional<SQLite::Statement> m_insert;
    std::optional<SQLite::Statement> m_remove;
    std::optional<SQLite::Statement> m_selectObject;
};

// An error of the given kind whose description is `summary` followed by SQLite's reason.
PersistenceError persistenceError(PersistenceError::Code code, const std::string& summary,
    const SQLite::Exception& cause, std::map<std::string, std::string> userInfo = {});

// Dates are stored as REAL seconds since 1970-01-01 00:00 UTC. A stored value that is not
// finite or lies outside the dates a `Date` holds reads as none.
double storedSeconds(Date date);
std::optional<Date> dateFromStoredSeconds(double seconds);

} // namespace tidemark
