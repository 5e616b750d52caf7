#pragma once

#include "core/Unsubscriber.hpp"
#include "platform/foundation/Calendar.hpp"
#include "reminders/PersistenceController.hpp"
#include "reminders/PersistentRemindersStorable.hpp"

#include <cstdint>
#include <unordered_map>

namespace tidemark {

// A stored reminder as everything else sees it: identifier ("" without one), start and
// due as the reminders' date components, title ("" without one), no list, completion date.
AnyReminder anyReminder(const CDReminder& object);

// Writes a reminder into a stored one: identifier, start and due dates (none when the
// components form no date), title (none when empty), then the completion date together
// with its flag. The list is not stored.
void updateFrom(CDReminder& object, const AnyReminder& reminder);

// The local data source over the reminder store's view context. Undo is the context's
// own: the service only names the steps its requests registered, "New Reminder",
// "Update Reminder" or "Delete Reminder", and not while a step is being undone or redone.
// A request with nothing to store (an empty set, an update equal to what is stored, a
// delete of identifiers not stored) saves nothing and names nothing.
class PersistentRemindersService final : public PersistentRemindersStorable {
public:
    explicit PersistentRemindersService(PersistenceController persistenceController);

    const PersistenceController& persistenceController() const { return m_persistenceController; }

    std::set<AnyReminder> create(const std::set<AnyReminder>& reminders) override;
    std::set<AnyReminder> read() override;
    void update(const std::set<AnyReminder>& reminders, const ReadReminders& read) override;
    void delete_(const std::set<std::string>& identifiers) override;
    void deleteAll() override;

    std::shared_ptr<UndoManager> undoManager() const override;
    void setUndoManager(std::shared_ptr<UndoManager> undoManager) override;
    UndoManager::Target undoTarget() const override;

    // The saves and the object changes of the view context (saves first), shared; a newer
    // call replaces the share, and the older publishers end at their next change.
    rx::Publisher<rx::Unit> changes() override;
    void stopObserving() override;

private:
    void nameUndoStep(const char* key) const;
    AnyReminder convert(const CDReminder& object);
    const DateComponents& componentsOf(Date date);

    // The components of stored dates, by whole second. Every change brings a read of all
    // open reminders, mostly of the same dates, and a conversion costs a calendar
    // computation; the reminders' calendar is fixed for the process, so an entry never
    // goes stale.
    std::unordered_map<std::int64_t, DateComponents> m_components;

    PersistenceController m_persistenceController;
    Unsubscriber<rx::Unit> m_unsubscriber;
};

} // namespace tidemark
