#include "platform/persistence/ManagedObjectContext.hpp"

#include "platform/persistence/SQLiteStore.hpp"

#include <SQLiteCpp/Transaction.h>

#include <algorithm>

namespace tidemark {

namespace {

std::vector<CDReminder> valuesOf(const std::map<ManagedObjectID, CDReminder>& objects)
{
    std::vector<CDReminder> values;
    values.reserve(objects.size());
    for (const auto& entry : objects)
        values.push_back(entry.second);
    return values;
}

CDReminder normalized(CDReminder object)
{
    auto truncate = [](std::optional<Date>& date) {
        if (date)
            date = truncatedToMicroseconds(*date);
    };
    truncate(object.completionDate);
    truncate(object.dueDate);
    truncate(object.startDate);
    return object;
}

PersistenceError notFound(ManagedObjectID id, const char* reason)
{
    return PersistenceError(PersistenceError::Code::objectNotFound,
        "The reminder " + std::to_string(id.value) + " " + reason + ".",
        { { "objectID", std::to_string(id.value) } });
}

// Orders objects by the sort descriptors, then by identity; values without a value come
// first in ascending order, as in SQLite.
bool ordered(
    const CDReminder& a, const CDReminder& b, const std::vector<SortDescriptor>& descriptors)
{
    for (const auto& descriptor : descriptors) {
        const auto left = attributeValue(a, descriptor.key);
        const auto right = attributeValue(b, descriptor.key);
        if (left == right)
            continue;
        return descriptor.ascending ? left < right : right < left;
    }
    return a.objectID < b.objectID;
}

} // namespace

ManagedObjectContext::ManagedObjectContext() = default;

ManagedObjectContext::~ManagedObjectContext()
{
    m_undoManagerChanges.cancel();
    if (m_undoManager)
        m_undoManager->removeAllActions(undoTarget());
}

void ManagedObjectContext::attach(
    std::shared_ptr<SQLiteStore> store, ManagedObjectID largestObjectID)
{
    m_store = std::move(store);
    m_nextObjectID = std::max(m_nextObjectID, largestObjectID.value + 1);
}

void ManagedObjectContext::detach()
{
    discardPendingChanges();
    m_store.reset();
}

SQLiteStore& ManagedObjectContext::store()
{
    if (!m_store) {
        throw PersistenceError(
            PersistenceError::Code::storeNotLoaded, "The reminder store has not been loaded.");
    }
    return *m_store;
}

void ManagedObjectContext::setUndoManager(std::shared_ptr<UndoManager> undoManager)
{
    m_undoManagerChanges.cancel();
    m_undoManager = std::move(undoManager);
    if (!m_undoManager)
        return;
    // The manager reports a change once a whole step has been undone or redone.
    m_undoManagerChanges = m_undoManager->changes().sink([this](const rx::Unit&) {
        if (m_saveAfterUndo && m_undoManager && !m_undoManager->isUndoing()
            && !m_undoManager->isRedoing())
            saveAfterUndo();
    });
}

// ----- changes -------------------------------------------------------------------------

CDReminder ManagedObjectContext::insert(CDReminder object)
{
    store();
    object = normalized(std::move(object));
    object.objectID = ManagedObjectID { m_nextObjectID++ };
    m_inserted[object.objectID] = object;
    noteInserted(object);
    registerUndo([this, id = object.objectID] { deleteObject(id); });
    return object;
}

void ManagedObjectContext::reinsert(const CDReminder& object)
{
    const auto id = object.objectID;
    if (auto deleted = m_deleted.find(id); deleted != m_deleted.end()) {
        // The deletion was not saved yet: take it back.
        const CDReminder stored = deleted->second;
        m_deleted.erase(deleted);
        if (object == stored)
            m_committed.erase(id);
        else
            m_updated[id] = object;
    } else {
        m_inserted[id] = object;
    }
    noteInserted(object);
    registerUndo([this, id] { deleteObject(id); });
}

void ManagedObjectContext::update(const CDReminder& given)
{
    const CDReminder object = normalized(given);
    const auto id = object.objectID;
    if (auto inserted = m_inserted.find(id); inserted != m_inserted.end()) {
        if (inserted->second == object)
            return;
        const CDReminder previous = std::exchange(inserted->second, object);
        noteUpdated(object);
        registerUndo([this, previous] { update(previous); });
        return;
    }
    if (m_deleted.contains(id))
        throw notFound(id, "was deleted");
    const CDReminder stored = committedObject(id);
    auto updated = m_updated.find(id);
    const CDReminder previous = updated != m_updated.end() ? updated->second : stored;
    if (previous == object)
        return;
    if (object == stored) {
        m_updated.erase(id);
        m_committed.erase(id);
    } else {
        m_updated[id] = object;
        m_committed[id] = stored;
    }
    noteUpdated(object);
    registerUndo([this, previous] { update(previous); });
}

void ManagedObjectContext::deleteObject(ManagedObjectID id)
{
    if (auto inserted = m_inserted.find(id); inserted != m_inserted.end()) {
        const CDReminder previous = inserted->second;
        m_inserted.erase(inserted);
        noteDeleted(previous);
        registerUndo([this, previous] { reinsert(previous); });
        return;
    }
    if (m_deleted.contains(id))
        return;
    const CDReminder stored = committedObject(id);
    auto updated = m_updated.find(id);
    const CDReminder previous = updated != m_updated.end() ? updated->second : stored;
    if (updated != m_updated.end())
        m_updated.erase(updated);
    m_deleted[id] = stored;
    m_committed[id] = stored;
    noteDeleted(previous);
    registerUndo([this, previous] { reinsert(previous); });
}

CDReminder ManagedObjectContext::committedObject(ManagedObjectID id)
{
    if (auto known = m_committed.find(id); known != m_committed.end())
        return known->second;
    std::optional<CDReminder> stored;
    try {
        stored = store().selectObject(id);
    } catch (const SQLite::Exception& error) {
        throw persistenceError(PersistenceError::Code::fetchFailed,
            "The reminder " + std::to_string(id.value) + " could not be read.", error);
    }
    if (!stored)
        throw notFound(id, "is not in the store");
    return *stored;
}

bool ManagedObjectContext::hasChanges() const
{
    return !m_inserted.empty() || !m_updated.empty() || !m_deleted.empty();
}

std::vector<CDReminder> ManagedObjectContext::insertedObjects() const
{
    return valuesOf(m_inserted);
}

std::vector<CDReminder> ManagedObjectContext::updatedObjects() const
{
    return valuesOf(m_updated);
}

std::vector<CDReminder> ManagedObjectContext::deletedObjects() const
{
    return valuesOf(m_deleted);
}

std::optional<CDReminder> ManagedObjectContext::existingObject(ManagedObjectID id)
{
    if (auto inserted = m_inserted.find(id); inserted != m_inserted.end())
        return inserted->second;
    if (m_deleted.contains(id))
        return std::nullopt;
    if (auto updated = m_updated.find(id); updated != m_updated.end())
        return updated->second;
    try {
        return committedObject(id);
    } catch (const PersistenceError& error) {
        if (error.code() == PersistenceError::Code::objectNotFound)
            return std::nullopt;
        throw;
    }
}

// ----- fetching ------------------------------------------------------------------------

std::vector<CDReminder> ManagedObjectContext::fetch(const FetchRequest& request)
{
    if (request.entityName != CDReminder::entityName) {
        throw PersistenceError(PersistenceError::Code::unknownEntity,
            "The reminder store has no entity named \"" + request.entityName + "\".",
            { { "entityName", request.entityName } });
    }
    const bool overlay = request.includesPendingChanges && hasChanges();
    std::vector<CDReminder> objects;
    try {
        objects = store().select(request.predicate, request.sortDescriptors,
            overlay ? std::nullopt : request.fetchLimit);
    } catch (const SQLite::Exception& error) {
        throw persistenceError(PersistenceError::Code::fetchFailed,
            "The reminders could not be read.", error,
            { { "predicate",
                request.predicate ? request.predicate->description() : "TRUEPREDICATE" } });
    }
    if (!overlay)
        return objects;

    // Show the unsaved changes: drop deleted objects, replace changed ones with their new
    // values (which may or may not match), add new ones.
    auto matches = [&](const CDReminder& object) {
        return !request.predicate || request.predicate->evaluate(object);
    };
    std::vector<CDReminder> result;
    result.reserve(objects.size() + m_inserted.size());
    for (auto& object : objects) {
        if (m_deleted.contains(object.objectID) || m_updated.contains(object.objectID))
            continue;
        result.push_back(std::move(object));
    }
    for (const auto& [id, object] : m_updated) {
        if (matches(object))
            result.push_back(object);
    }
    for (const auto& [id, object] : m_inserted) {
        if (matches(object))
            result.push_back(object);
    }
    std::sort(result.begin(), result.end(), [&](const CDReminder& a, const CDReminder& b) {
        return ordered(a, b, request.sortDescriptors);
    });
    if (request.fetchLimit && result.size() > *request.fetchLimit)
        result.resize(*request.fetchLimit);
    return result;
}

BatchDeleteResult ManagedObjectContext::execute(const BatchDeleteRequest& request)
{
    const auto& fetchRequest = request.fetchRequest;
    if (fetchRequest.entityName != CDReminder::entityName) {
        throw PersistenceError(PersistenceError::Code::unknownEntity,
            "The reminder store has no entity named \"" + fetchRequest.entityName + "\".",
            { { "entityName", fetchRequest.entityName } });
    }
    auto& sqlite = store();
    try {
        SQLite::Transaction transaction(sqlite.database(), SQLite::TransactionBehavior::IMMEDIATE);
        BatchDeleteResult result { sqlite.removeWhere(fetchRequest.predicate) };
        transaction.commit();
        return result;
    } catch (const SQLite::Exception& error) {
        throw persistenceError(PersistenceError::Code::batchDeleteFailed,
            "The reminders could not be deleted.", error);
    }
}

void ManagedObjectContext::mergeChanges(const ChangeSet& remoteChanges)
{
    for (const auto& object : remoteChanges.deleted) {
        const auto id = object.objectID;
        m_updated.erase(id);
        m_deleted.erase(id);
        m_committed.erase(id);
        noteDeleted(object);
    }
    for (const auto& object : remoteChanges.inserted)
        noteInserted(object);
    for (const auto& object : remoteChanges.updated) {
        if (!m_updated.contains(object.objectID) && !m_deleted.contains(object.objectID))
            noteUpdated(object);
    }
}

// ----- saving --------------------------------------------------------------------------

void ManagedObjectContext::save()
{
    auto& sqlite = store();
    if (!hasChanges())
        return;
    try {
        SQLite::Transaction transaction(sqlite.database(), SQLite::TransactionBehavior::IMMEDIATE);
        for (const auto& entry : m_deleted)
            sqlite.remove(entry.first);
        for (const auto& [id, object] : m_updated) {
            // Only what changed since the object was read is written over the row.
            if (!sqlite.update(object, m_committed.at(id))) {
                throw PersistenceError(PersistenceError::Code::saveFailed,
                    "The reminders could not be saved (the reminder " + std::to_string(id.value)
                        + " is no longer in the store).",
                    { { "objectID", std::to_string(id.value) } });
            }
        }
        for (const auto& entry : m_inserted)
            sqlite.insert(entry.second);
        transaction.commit();
    } catch (const SQLite::Exception& error) {
        const auto failure = persistenceError(
            PersistenceError::Code::saveFailed, "The reminders could not be saved.", error);
        rollback();
        throw failure;
    } catch (const PersistenceError&) {
        rollback();
        throw;
    }
    ChangeSet saved { valuesOf(m_inserted), valuesOf(m_updated), valuesOf(m_deleted) };
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    m_committed.clear();
    rx::mainQueue().post([subject = m_didSave, saved = std::move(saved)] { subject.send(saved); });
}

void ManagedObjectContext::rollback()
{
    discardPendingChanges();
    if (m_undoManager)
        m_undoManager->removeAllActions(undoTarget());
}

void ManagedObjectContext::discardPendingChanges()
{
    if (!hasChanges())
        return;
    // Announce the way back to the stored state: new objects go, changed and deleted ones
    // return to their stored values.
    const auto inserted = std::exchange(m_inserted, {});
    const auto updated = std::exchange(m_updated, {});
    const auto deleted = std::exchange(m_deleted, {});
    for (const auto& [id, object] : inserted)
        noteDeleted(object);
    for (const auto& [id, object] : updated)
        noteUpdated(m_committed.at(id));
    for (const auto& [id, object] : deleted)
        noteInserted(object);
    m_committed.clear();
}

// ----- undo ----------------------------------------------------------------------------

void ManagedObjectContext::registerUndo(std::function<void()> inverse)
{
    if (!m_undoManager)
        return;
    m_undoManager->registerUndo(
        undoTarget(), [this, alive = std::weak_ptr<int>(m_lifetime), inverse = std::move(inverse)] {
            if (!alive.lock())
                return;
            try {
                inverse();
            } catch (const PersistenceError& error) {
                rx::mainQueue().post(
                    [subject = m_undoSaveFailures, error] { subject.send(error); });
            }
            if (!std::exchange(m_saveAfterUndo, true)) {
                // In case the step ends without the manager saying so.
                rx::mainQueue().post([this, alive = std::weak_ptr<int>(m_lifetime)] {
                    if (alive.lock() && m_saveAfterUndo)
                        saveAfterUndo();
                });
            }
        });
}

void ManagedObjectContext::saveAfterUndo()
{
    m_saveAfterUndo = false;
    try {
        save();
    } catch (const PersistenceError& error) {
        rx::mainQueue().post([subject = m_undoSaveFailures, error] { subject.send(error); });
    }
}

// ----- notifications -------------------------------------------------------------------

void ManagedObjectContext::noteInserted(const CDReminder& object)
{
    const auto id = object.objectID;
    if (m_unannouncedDeleted.erase(id) > 0)
        m_unannouncedUpdated[id] = object;
    else
        m_unannouncedInserted[id] = object;
    scheduleChangeNotification();
}

void ManagedObjectContext::noteUpdated(const CDReminder& object)
{
    const auto id = object.objectID;
    if (auto inserted = m_unannouncedInserted.find(id); inserted != m_unannouncedInserted.end())
        inserted->second = object;
    else
        m_unannouncedUpdated[id] = object;
    scheduleChangeNotification();
}

void ManagedObjectContext::noteDeleted(const CDReminder& object)
{
    const auto id = object.objectID;
    // An object made and removed again within one turn was never announced.
    if (m_unannouncedInserted.erase(id) == 0) {
        m_unannouncedUpdated.erase(id);
        m_unannouncedDeleted[id] = object;
    }
    scheduleChangeNotification();
}

void ManagedObjectContext::scheduleChangeNotification()
{
    if (m_announcementPosted)
        return;
    m_announcementPosted = true;
    rx::mainQueue().post([this, alive = std::weak_ptr<int>(m_lifetime)] {
        if (!alive.lock())
            return;
        m_announcementPosted = false;
        ChangeSet changes { valuesOf(std::exchange(m_unannouncedInserted, {})),
            valuesOf(std::exchange(m_unannouncedUpdated, {})),
            valuesOf(std::exchange(m_unannouncedDeleted, {})) };
        if (!changes.empty())
            m_objectsDidChange.send(changes);
    });
}

} // namespace tidemark
