#pragma once

#include "platform/eventstore/EventStore.hpp"

#include <mutex>
#include <optional>
#include <vector>

namespace tidemark {

// The one event store of the service, with the batches the service writes in. A batch
// stages every change and commits them together; when one change cannot be staged,
// nothing of the batch is written. Batches run one at a time, so that two threads never
// commit each other's staged changes.
class AppleReminders {
public:
    explicit AppleReminders(EventStoreOptions options = {});
    ~AppleReminders();
    AppleReminders(const AppleReminders&) = delete;
    AppleReminders& operator=(const AppleReminders&) = delete;

    EventStore& eventStore() const { return *m_eventStore; }

    // Blocking reads on the caller's thread.
    std::vector<Reminder> fetchReminders(const ReminderPredicate& predicate) const;
    // The incomplete reminders of the lists; none means every list.
    std::vector<Reminder> incompleteReminders(
        std::optional<std::vector<EventCalendar>> calendars) const;

    // Puts each reminder in its own list or, without one, the default list, in the
    // system's time zone, and saves them all. Returns them as saved (with their lists).
    std::vector<Reminder> saveNewReminders(std::vector<Reminder> reminders);
    void save(std::vector<Reminder>& reminders);
    void remove(const std::vector<Reminder>& reminders);
    // Marks each reminder completed now, then saves them.
    void complete(std::vector<Reminder>& reminders);

    // A batch of anything: `stage` stages with commit false. Nothing is committed when
    // `stage` staged nothing.
    template <class Stage> void batch(Stage stage)
    {
        std::lock_guard lock(m_batchMutex);
        try {
            if (!stage())
                return;
            m_eventStore->commit();
        } catch (...) {
            m_eventStore->reset();
            throw;
        }
    }

private:
    EventStore* m_eventStore;
    std::mutex m_batchMutex;
};

} // namespace tidemark
