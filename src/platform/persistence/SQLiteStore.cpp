#include "platform/persistence/SQLiteStore.hpp"

#include <SQLiteCpp/Column.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sqlite3.h>
#include <string>

namespace tidemark {

namespace {

constexpr const char* columns
    = "pk, completionDate, dueDate, identifier, isCompleted, startDate, title";

// The largest number of values one statement may bind; a condition that needs more is
// evaluated on the rows instead.
constexpr std::size_t maximumBindings = 30000;

std::optional<Date> readDate(const SQLite::Column& column)
{
    if (column.isNull())
        return std::nullopt;
    return dateFromStoredSeconds(column.getDouble());
}

std::optional<std::string> readText(const SQLite::Column& column)
{
    if (column.isNull())
        return std::nullopt;
    return column.getString();
}

CDReminder readObject(SQLite::Statement& statement)
{
    CDReminder object;
    object.objectID = ManagedObjectID { statement.getColumn(0).getInt64() };
    object.completionDate = readDate(statement.getColumn(1));
    object.dueDate = readDate(statement.getColumn(2));
    object.identifier = readText(statement.getColumn(3));
    object.isCompleted = statement.getColumn(4).getInt() != 0;
    object.startDate = readDate(statement.getColumn(5));
    object.title = readText(statement.getColumn(6));
    return object;
}

void bindDate(SQLite::Statement& statement, int index, const std::optional<Date>& date)
{
    if (date)
        statement.bind(index, storedSeconds(*date));
    else
        statement.bind(index);
}

void bindText(SQLite::Statement& statement, int index, const std::optional<std::string>& text)
{
    if (text)
        statement.bind(index, *text);
    else
        statement.bind(index);
}

// Binds the six attributes to the parameters 1 to 6, in the order of `columns` after pk.
void bindAttributes(SQLite::Statement& statement, const CDReminder& object)
{
    bindDate(statement, 1, object.completionDate);
    bindDate(statement, 2, object.dueDate);
    bindText(statement, 3, object.identifier);
    statement.bind(4, object.isCompleted ? 1 : 0);
    bindDate(statement, 5, object.startDate);
    bindText(statement, 6, object.title);
}

void bindValue(SQLite::Statement& statement, int index, const AttributeValue& value)
{
    struct Bind {
        SQLite::Statement& statement;
        int index;
        void operator()(std::monostate) const { statement.bind(index); }
        void operator()(const std::string& text) const { statement.bind(index, text); }
        void operator()(Date date) const { statement.bind(index, storedSeconds(date)); }
        void operator()(bool flag) const { statement.bind(index, flag ? 1 : 0); }
    };
    std::visit(Bind { statement, index }, value);
}

// A WHERE clause for the predicate, or none when it binds too many values for SQLite.
std::optional<std::string> whereClause(
    const std::optional<Predicate>& predicate, std::vector<AttributeValue>& bindings)
{
    if (!predicate)
        return std::string();
    if (predicate->bindingCount() > maximumBindings)
        return std::nullopt;
    return " WHERE " + predicate->sql(bindings);
}

std::string orderClause(const std::vector<SortDescriptor>& sortDescriptors)
{
    std::string text = " ORDER BY ";
    for (const auto& descriptor : sortDescriptors) {
        text += std::string(attributeName(descriptor.key));
        text += descriptor.ascending ? " ASC, " : " DESC, ";
    }
    return text + "pk ASC";
}

} // namespace

PersistenceError persistenceError(PersistenceError::Code code, const std::string& summary,
    const SQLite::Exception& cause, std::map<std::string, std::string> userInfo)
{
    userInfo.emplace("reason", cause.what());
    return PersistenceError(code, summary + " (" + cause.what() + ")", std::move(userInfo),
        cause.getExtendedErrorCode() > 0 ? cause.getExtendedErrorCode() : cause.getErrorCode());
}

double storedSeconds(Date date)
{
    const auto micro
        = std::chrono::floor<std::chrono::microseconds>(date.time_since_epoch()).count();
    return static_cast<double>(micro) / 1e6;
}

std::optional<Date> dateFromStoredSeconds(double seconds)
{
    // A value another program (or a damaged row) left outside what a date can hold reads
    // as no date rather than overflowing.
    if (!checkedDateFromTimeIntervalSince1970(seconds))
        return std::nullopt;
    // A double holds today's dates to about a quarter of a microsecond, so rounding to the
    // microsecond gives back exactly what was stored.
    return Date(std::chrono::microseconds(std::llround(seconds * 1e6)));
}

SQLiteStore::SQLiteStore(std::unique_ptr<SQLite::Database> database)
    : m_database(std::move(database))
{
}

SQLite::Statement& SQLiteStore::statement(std::optional<SQLite::Statement>& slot, const char* sql)
{
    if (!slot)
        slot.emplace(*m_database, sql);
    // A statement whose last run failed reports that failure again on reset; it is
    // reported already, so it is not thrown a second time.
    slot->tryReset();
    slot->clearBindings();
    return *slot;
}

std::vector<CDReminder> SQLiteStore::select(const std::optional<Predicate>& predicate,
    const std::vector<SortDescriptor>& sortDescriptors, std::optional<std::size_t> limit)
{
    std::vector<AttributeValue> bindings;
    const auto where = whereClause(predicate, bindings);
    std::string sql = std::string("SELECT ") + columns + " FROM " + tableName + where.value_or("")
        + orderClause(sortDescriptors);
    if (limit && where)
        sql += " LIMIT " + std::to_string(*limit);
    SQLite::Statement query(*m_database, sql);
    for (std::size_t i = 0; i < bindings.size(); ++i)
        bindValue(query, static_cast<int>(i + 1), bindings[i]);
    std::vector<CDReminder> objects;
    while (query.executeStep()) {
        auto object = readObject(query);
        if (where || predicate->evaluate(object))
            objects.push_back(std::move(object));
        if (limit && objects.size() >= *limit)
            break;
    }
    return objects;
}

std::optional<CDReminder> SQLiteStore::selectObject(ManagedObjectID id)
{
    auto& query = statement(m_selectObject,
        "SELECT pk, completionDate, dueDate, identifier, isCompleted, startDate, title "
        "FROM CDReminder WHERE pk = ?");
    query.bind(1, id.value);
    std::optional<CDReminder> object;
    if (query.executeStep())
        object = readObject(query);
    query.reset();
    return object;
}

ManagedObjectID SQLiteStore::largestObjectID()
{
    SQLite::Statement query(*m_database, "SELECT IFNULL(MAX(pk), 0) FROM CDReminder");
    query.executeStep();
    return ManagedObjectID { query.getColumn(0).getInt64() };
}

void SQLiteStore::insert(const CDReminder& object)
{
    auto& query = statement(m_insert,
        "INSERT INTO CDReminder (completionDate, dueDate, identifier, isCompleted, startDate, "
        "title, pk) VALUES (?, ?, ?, ?, ?, ?, ?)");
    bindAttributes(query, object);
    query.bind(7, object.objectID.value);
    query.exec();
}

bool SQLiteStore::update(const CDReminder& object, const CDReminder& stored)
{
    std::string assignments;
    std::vector<std::function<void(SQLite::Statement&, int)>> binds;
    auto column = [&](const char* name, bool changed, auto bind) {
        if (!changed)
            return;
        assignments += std::string(assignments.empty() ? "" : ", ") + name + " = ?";
        binds.push_back(bind);
    };
    column("completionDate", object.completionDate != stored.completionDate,
        [&](SQLite::Statement& q, int i) { bindDate(q, i, object.completionDate); });
    column("dueDate", object.dueDate != stored.dueDate,
        [&](SQLite::Statement& q, int i) { bindDate(q, i, object.dueDate); });
    column("identifier", object.identifier != stored.identifier,
        [&](SQLite::Statement& q, int i) { bindText(q, i, object.identifier); });
    column("isCompleted", object.isCompleted != stored.isCompleted,
        [&](SQLite::Statement& q, int i) { q.bind(i, object.isCompleted ? 1 : 0); });
    column("startDate", object.startDate != stored.startDate,
        [&](SQLite::Statement& q, int i) { bindDate(q, i, object.startDate); });
    column("title", object.title != stored.title,
        [&](SQLite::Statement& q, int i) { bindText(q, i, object.title); });
    if (assignments.empty()) {
        SQLite::Statement exists(*m_database, "SELECT 1 FROM CDReminder WHERE pk = ?");
        exists.bind(1, object.objectID.value);
        return exists.executeStep();
    }
    SQLite::Statement query(*m_database, "UPDATE CDReminder SET " + assignments + " WHERE pk = ?");
    int index = 1;
    for (const auto& bind : binds)
        bind(query, index++);
    query.bind(index, object.objectID.value);
    return query.exec() == 1;
}

void SQLiteStore::remove(ManagedObjectID id)
{
    auto& query = statement(m_remove, "DELETE FROM CDReminder WHERE pk = ?");
    query.bind(1, id.value);
    query.exec();
}

std::vector<CDReminder> SQLiteStore::removeWhere(const std::optional<Predicate>& predicate)
{
    std::vector<AttributeValue> bindings;
    const auto where = whereClause(predicate, bindings);
    if (!where) {
        // Too many values to bind: find the rows first, then delete them one by one.
        auto objects = select(predicate);
        for (const auto& object : objects)
            remove(object.objectID);
        return objects;
    }
    SQLite::Statement query(
        *m_database, std::string("DELETE FROM ") + tableName + *where + " RETURNING " + columns);
    for (std::size_t i = 0; i < bindings.size(); ++i)
        bindValue(query, static_cast<int>(i + 1), bindings[i]);
    std::vector<CDReminder> objects;
    while (query.executeStep())
        objects.push_back(readObject(query));
    std::sort(objects.begin(), objects.end(),
        [](const CDReminder& a, const CDReminder& b) { return a.objectID < b.objectID; });
    return objects;
}

} // namespace tidemark
