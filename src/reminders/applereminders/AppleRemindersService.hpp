#pragma once

#include "core/Unsubscriber.hpp"
#include "reminders/applereminders/AppleReminders.hpp"
#include "reminders/applereminders/AppleRemindersServicable.hpp"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

// The user's calendar task lists (the data source stored as "appleReminders") over the
// event store. Every write is one batch with one commit. After a commit that changed
// something, create, update and delete register an undo step that runs the inverse
// operation, named from the table "Undo" unless the undo manager is undoing.
//
// Made, observed and destroyed on the main thread. The reminder operations may run on any
// thread; the store serialises its own access and the writes run one batch at a time.
// The undo manager is only touched on the main thread: a write on another thread posts
// its undo step to the main queue, while the inverse operation an undo runs (on the main
// thread) registers its redo step at once.
class AppleRemindersService final : public AppleRemindersServicable {
public:
    // `options.accessPrompt` asks the user for access the first time it is needed; without
    // it an undetermined access cannot be granted and the request fails saying so.
    explicit AppleRemindersService(
        EventStoreOptions options = {}, const std::shared_ptr<UndoManager>& undoManager = nullptr);
    ~AppleRemindersService() override;

    std::shared_ptr<UndoManager> undoManager() const override;
    void setUndoManager(const std::shared_ptr<UndoManager>& manager) override;

    rx::Publisher<rx::Unit> changes() override;
    void stopObserving() override;

    std::set<AnySource> sources() override;
    std::set<AnyReminder> create(
        const std::set<AnyReminder>& reminders, const Formatter& formatter) override;
    std::set<AnyReminder> fetchReminders(
        const std::vector<std::string>& listIDs, const Formatter& formatter) override;
    void update(const std::set<AnyReminder>& reminders, const ReadReminders& read,
        const Formatter& formatter) override;
    void delete_(const std::set<std::string>& identifiers, const Formatter& formatter) override;
    rx::Publisher<EquatableVoid, Error> requestAccess() override;

    // The incomplete reminders of the lists; with none or no lists, of the default list
    // for new reminders (nothing when there is none).
    std::set<AnyReminder> fetchIncompleteReminders(
        std::optional<std::vector<EventCalendar>> lists, const Formatter& formatter);
    // Marks the reminders completed now; registers no undo step.
    void complete(const std::set<AnyReminder>& reminders);
    // New lists in the source; a list that cannot be saved is left out.
    std::vector<AnyList> createLists(const std::vector<AnyList>& lists, const AnySource& source);
    void removeLists(const std::vector<std::string>& identifiers);

    bool hasFullAccess() const;
    AppleReminders& appleReminders() { return *m_appleReminders; }

private:
    // Where an undo step goes: posted to the main queue, or registered at once by an
    // inverse operation that an undo or redo runs on the main thread.
    enum class Registration { posted, immediate };
    using Inverse = std::function<void(AppleRemindersService&)>;

    std::set<AnyReminder> createReminders(const std::set<AnyReminder>& reminders,
        const Formatter& formatter, Registration registration);
    void updateReminders(const std::set<AnyReminder>& reminders, const ReadReminders& read,
        const Formatter& formatter, Registration registration);
    void deleteReminders(const std::set<std::string>& identifiers, const Formatter& formatter,
        Registration registration);
    void registerUndo(Registration registration, Inverse inverse, const char* actionNameKey);
    std::vector<Reminder> lookUp(const std::vector<std::string>& identifiers) const;

    mutable std::mutex m_mutex;
    std::weak_ptr<UndoManager> m_undoManager;
    std::unique_ptr<AppleReminders> m_appleReminders;
    Unsubscriber<rx::Unit> m_unsubscriber;
    // Lets undo steps and pending registrations find out that the service is gone.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace tidemark
