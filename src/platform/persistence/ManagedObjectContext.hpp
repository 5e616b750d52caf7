#pragma once

#include "platform/foundation/UndoManager.hpp"
#include "platform/persistence/FetchRequest.hpp"
#include "platform/persistence/PersistenceError.hpp"
#include "platform/reactive/Publisher.hpp"

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace tidemark {

class SQLiteStore;

// The view context of the reminder store: it holds the inserts, updates and deletes made
// since the last save and writes them in one transaction. Used on the main thread only.
//
// Saving: `save` writes every pending change in one SQLite transaction. When the
// transaction fails, nothing of it reaches the file and the pending changes are discarded
// as by `rollback`, so a change reported as failed never goes out with a later save.
//
// Undo: with an undo manager set, every insert, update and delete registers its inverse
// under `undoTarget()`. Undoing or redoing a step applies its inverses to the context and
// then saves once, before `undo()`/`redo()` return, so the store always holds what the user
// sees; a save that fails there is discarded like any failed save and reported through
// `undoSaveFailures()`. `rollback`
// (and so a failed save) removes this context's actions from the undo manager, because
// they would take back changes that never reached the store. Batch deletes bypass undo.
//
// Notifications are delivered through the main queue: `objectsDidChange` once per turn in
// which objects changed (coalesced), `didSave` after each save that wrote something.
class ManagedObjectContext {
public:
    ManagedObjectContext();
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext&) = delete;
    ManagedObjectContext& operator=(const ManagedObjectContext&) = delete;

    // Inserts a new object with the given attribute values and returns it with its new
    // identity (any identity it carried is ignored).
    CDReminder insert(CDReminder object);
    // Writes the object's attribute values to the object of its identity. Writing the
    // values it has already changes nothing. Throws `objectNotFound` for an object that is
    // not in the store or was deleted.
    void update(const CDReminder& object);
    // Deletes the object of the identity. Deleting a deleted object changes nothing; one
    // that is not in the store throws `objectNotFound`.
    void deleteObject(ManagedObjectID id);
    void deleteObject(const CDReminder& object) { deleteObject(object.objectID); }

    bool hasChanges() const;
    std::vector<CDReminder> insertedObjects() const;
    std::vector<CDReminder> updatedObjects() const;
    std::vector<CDReminder> deletedObjects() const;
    // The object as the context sees it (pending changes included), none when it is not in
    // the store or is deleted.
    std::optional<CDReminder> existingObject(ManagedObjectID id);

    std::vector<CDReminder> fetch(const FetchRequest& request);
    // Runs the batch delete in the store; the context is not changed until the result's
    // changes are merged.
    BatchDeleteResult execute(const BatchDeleteRequest& request);
    // Takes in changes made to the store behind the context's back: deleted objects are
    // forgotten (their pending changes dropped) and announced as deleted.
    void mergeChanges(const ChangeSet& remoteChanges);

    // Throws `saveFailed` (with the pending changes discarded) or `storeNotLoaded`. Saving
    // a context without changes does nothing.
    void save();
    // Discards every pending change and this context's undo actions.
    void rollback();

    std::shared_ptr<UndoManager> undoManager() const { return m_undoManager; }
    void setUndoManager(std::shared_ptr<UndoManager> undoManager);
    UndoManager::Target undoTarget() const { return this; }

    rx::Publisher<ChangeSet> didSave() const { return m_didSave.publisher(); }
    rx::Publisher<ChangeSet> objectsDidChange() const { return m_objectsDidChange.publisher(); }
    rx::Publisher<PersistenceError> undoSaveFailures() const
    {
        return m_undoSaveFailures.publisher();
    }

    bool hasStore() const { return static_cast<bool>(m_store); }

private:
    friend class PersistentContainer;
    void attach(std::shared_ptr<SQLiteStore> store, ManagedObjectID largestObjectID);
    void detach();

    SQLiteStore& store();
    CDReminder committedObject(ManagedObjectID id);
    void reinsert(const CDReminder& object);
    void registerUndo(std::function<void()> inverse);
    void saveAfterUndo();
    void discardPendingChanges();

    void noteInserted(const CDReminder& object);
    void noteUpdated(const CDReminder& object);
    void noteDeleted(const CDReminder& object);
    void scheduleChangeNotification();

    std::shared_ptr<SQLiteStore> m_store;
    std::int64_t m_nextObjectID = 1;
    // Pending changes: new objects, changed objects (current values), deleted objects
    // (values in the store), and the stored values of changed objects.
    std::map<ManagedObjectID, CDReminder> m_inserted;
    std::map<ManagedObjectID, CDReminder> m_updated;
    std::map<ManagedObjectID, CDReminder> m_deleted;
    std::map<ManagedObjectID, CDReminder> m_committed;
    // Changes not announced yet through objectsDidChange.
    std::map<ManagedObjectID, CDReminder> m_unannouncedInserted;
    std::map<ManagedObjectID, CDReminder> m_unannouncedUpdated;
    std::map<ManagedObjectID, CDReminder> m_unannouncedDeleted;
    bool m_announcementPosted = false;

    std::shared_ptr<UndoManager> m_undoManager;
    // Set while an undo or redo step is changing the context; the step is saved when the
    // undo manager reports that it has finished.
    bool m_saveAfterUndo = false;
    rx::Cancellable m_undoManagerChanges;
    rx::PassthroughSubject<ChangeSet> m_didSave;
    rx::PassthroughSubject<ChangeSet> m_objectsDidChange;
    rx::PassthroughSubject<PersistenceError> m_undoSaveFailures;
    // Lets undo actions and posted work find out that the context is gone.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace tidemark
