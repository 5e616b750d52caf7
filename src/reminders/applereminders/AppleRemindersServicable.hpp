#pragma once

#include "core/Error.hpp"
#include "core/Submittable.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/reactive/Publisher.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/ReminderMerge.hpp"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

// The calendar task lists as the storage middleware sees them. The reminder operations
// block and throw (std::exception) on failure: callers run them off the main thread, one
// at a time. `undoManager`, `changes` and `stopObserving` belong to the main thread.
//
// The formatter writes an untitled reminder's span as its stored title, and a title read
// back that equals that span reads as empty; none leaves titles as they are.
class AppleRemindersServicable {
public:
    using Formatter = std::shared_ptr<const DateComponentsFormatter>;

    virtual ~AppleRemindersServicable() = default;

    virtual std::shared_ptr<UndoManager> undoManager() const = 0;
    virtual void setUndoManager(const std::shared_ptr<UndoManager>& manager) = 0;
    // The target under which the undo steps of this service are registered.
    virtual UndoManager::Target undoTarget() const { return this; }

    // One value per change of the lists while access is granted; the newest stream only.
    virtual rx::Publisher<rx::Unit> changes() = 0;
    // Ends the stream of `changes` at its next value.
    virtual void stopObserving() = 0;

    virtual std::set<AnySource> sources() = 0;
    // The stored reminders, with the identifiers the store gave them.
    virtual std::set<AnyReminder> create(
        const std::set<AnyReminder>& reminders, const Formatter& formatter)
        = 0;
    // The incomplete reminders of the lists named; of the default list when none matches.
    virtual std::set<AnyReminder> fetchReminders(
        const std::vector<std::string>& listIDs, const Formatter& formatter)
        = 0;
    // Writes what the user changed in each reminder: the fields that differ from its
    // version in `read` (every field of one without a read version), onto the reminder as
    // it is stored now, so that a change another device synced meanwhile stays
    // (`mergedChange`).
    virtual void update(const std::set<AnyReminder>& reminders, const ReadReminders& read,
        const Formatter& formatter)
        = 0;
    virtual void delete_(const std::set<std::string>& identifiers, const Formatter& formatter) = 0;

    // Finishes with one value once access is granted; fails when the user refused it or it
    // could not be asked for. Never blocks: the question goes to the main thread.
    virtual rx::Publisher<EquatableVoid, Error> requestAccess() = 0;
};

} // namespace tidemark
