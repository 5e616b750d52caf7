#pragma once

#include "core/Unsubscriber.hpp"
#include "reminders/applereminders/AppleRemindersServicable.hpp"

#include <map>
#include <mutex>
#include <optional>

namespace tidemark {

// An in-memory twin of the calendar task lists for previews: two lists ("First List",
// "Second List") of one source ("Mock Source"), each with a fresh identifier, and the
// reminders of each list. It never asks for access, never fails and registers no undo
// step. Updates and deletions act on the first list only. The formatter is not used.
// Its operations may run on any thread, one at a time or together.
class MockAppleRemindersService final : public AppleRemindersServicable {
public:
    using Dictionary = std::map<std::string, std::set<AnyReminder>>;

    MockAppleRemindersService();

    std::shared_ptr<UndoManager> undoManager() const override;
    void setUndoManager(const std::shared_ptr<UndoManager>& manager) override;

    // A stream that finishes at once without a value.
    rx::Publisher<rx::Unit> changes() override;
    void stopObserving() override;

    std::set<AnySource> sources() override;
    std::set<AnyReminder> create(
        const std::set<AnyReminder>& reminders, const Formatter& formatter) override;
    // The reminders held for the lists named; nothing for a list it does not hold, and
    // nothing without identifiers. Completed reminders are included.
    std::set<AnyReminder> fetchReminders(
        const std::vector<std::string>& listIDs, const Formatter& formatter) override;
    void update(const std::set<AnyReminder>& reminders, const ReadReminders& read,
        const Formatter& formatter) override;
    void delete_(const std::set<std::string>& identifiers, const Formatter& formatter) override;
    rx::Publisher<EquatableVoid, Error> requestAccess() override;

    std::vector<AnyList> mockLists() const;
    void setMockLists(std::vector<AnyList> lists);
    std::set<AnySource> mockSources() const;
    void setMockSources(std::set<AnySource> sources);
    Dictionary mockDictionary() const;
    void setMockDictionary(Dictionary dictionary);
    rx::Publisher<rx::Unit> mockChangesPublisher() const;
    void setMockChangesPublisher(rx::Publisher<rx::Unit> publisher);

    // Helpers for previews.
    std::optional<AnyList> firstList() const;
    std::optional<AnyList> list(const std::string& identifier) const;
    std::set<AnyList> lists() const;
    // The reminders of the list, or of the first list when none is given.
    std::set<AnyReminder> reminders(const std::optional<AnyList>& list) const;

private:
    std::optional<std::string> firstListID() const;

    mutable std::mutex m_mutex;
    std::shared_ptr<UndoManager> m_undoManager;
    std::vector<AnyList> m_mockLists;
    std::set<AnySource> m_mockSources;
    Dictionary m_mockDictionary;
    rx::Publisher<rx::Unit> m_mockChangesPublisher;
    Unsubscriber<rx::Unit> m_unsubscriber;
};

} // namespace tidemark
