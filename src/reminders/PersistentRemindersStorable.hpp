#pragma once

#include "platform/foundation/UndoManager.hpp"
#include "platform/reactive/Publisher.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/ReminderMerge.hpp"

#include <memory>
#include <set>
#include <string>

namespace tidemark {

// The local data source as its middleware uses it. Every operation runs on the main thread
// and throws the store's error (a std::exception) unchanged. A request that throws has
// changed nothing: what it wrote is discarded, never saved later.
class PersistentRemindersStorable {
public:
    virtual ~PersistentRemindersStorable() = default;

    // Stores the reminders and returns them as stored (no list, dates as the store keeps
    // them).
    virtual std::set<AnyReminder> create(const std::set<AnyReminder>& reminders) = 0;
    // The reminders that are not completed.
    virtual std::set<AnyReminder> read() = 0;
    // Writes what the user changed in the given reminders over the stored ones with the
    // same `id`: the fields that differ from the version in `read` (every field of one
    // without a read version), so that another process's change to another field stays
    // (`mergedChange`). Reminders that are not stored are skipped.
    virtual void update(const std::set<AnyReminder>& reminders, const ReadReminders& read) = 0;
    virtual void delete_(const std::set<std::string>& identifiers) = 0;
    virtual void deleteAll() = 0;

    // The undo manager that records the store's changes; none records nothing.
    virtual std::shared_ptr<UndoManager> undoManager() const = 0;
    virtual void setUndoManager(std::shared_ptr<UndoManager> undoManager) = 0;
    // The target under which the store's undo actions are registered.
    virtual UndoManager::Target undoTarget() const = 0;

    // Emits once for every save and every change of the stored objects, until
    // `stopObserving` or a newer call of `changes`.
    virtual rx::Publisher<rx::Unit> changes() = 0;
    virtual void stopObserving() = 0;
};

} // namespace tidemark
