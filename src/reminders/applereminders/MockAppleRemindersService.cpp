#include "reminders/applereminders/MockAppleRemindersService.hpp"

#include "platform/foundation/Uuid.hpp"

namespace tidemark {

MockAppleRemindersService::MockAppleRemindersService()
    : m_undoManager(std::make_shared<UndoManager>())
    , m_mockLists { AnyList { Uuid::make(), "First List" },
        AnyList { Uuid::make(), "Second List" } }
    , m_mockChangesPublisher(rx::Empty<rx::Unit>())
{
    m_mockSources.insert(
        AnySource { Uuid::make(), "Mock Source", { m_mockLists.begin(), m_mockLists.end() } });
    for (const AnyList& list : m_mockLists)
        m_mockDictionary[list.id] = {};
}

std::shared_ptr<UndoManager> MockAppleRemindersService::undoManager() const
{
    std::lock_guard lock(m_mutex);
    return m_undoManager;
}

void MockAppleRemindersService::setUndoManager(const std::shared_ptr<UndoManager>& manager)
{
    std::lock_guard lock(m_mutex);
    m_undoManager = manager;
}

rx::Publisher<rx::Unit> MockAppleRemindersService::changes()
{
    return m_unsubscriber.share(mockChangesPublisher());
}

void MockAppleRemindersService::stopObserving()
{
    m_unsubscriber.unsubscribe();
}

std::set<AnySource> MockAppleRemindersService::sources()
{
    return mockSources();
}

std::optional<std::string> MockAppleRemindersService::firstListID() const
{
    if (m_mockLists.empty())
        return std::nullopt;
    return m_mockLists.front().id;
}

std::set<AnyReminder> MockAppleRemindersService::create(
    const std::set<AnyReminder>& reminders, const Formatter&)
{
    std::lock_guard lock(m_mutex);
    std::set<AnyReminder> result;
    for (const AnyReminder& given : reminders) {
        AnyReminder made
            = CreateReminder(startDate(given), duration(given), given.title, given.listID)
                  .toAnyReminder();
        const auto listID = given.listID ? given.listID : firstListID();
        if (listID) {
            made.listID = listID;
            if (auto entry = m_mockDictionary.find(*listID); entry != m_mockDictionary.end())
                entry->second.insert(made);
        }
        result.insert(std::move(made));
    }
    return result;
}

std::set<AnyReminder> MockAppleRemindersService::fetchReminders(
    const std::vector<std::string>& listIDs, const Formatter&)
{
    std::lock_guard lock(m_mutex);
    std::set<AnyReminder> result;
    for (const std::string& identifier : listIDs) {
        if (auto entry = m_mockDictionary.find(identifier); entry != m_mockDictionary.end())
            result.insert(entry->second.begin(), entry->second.end());
    }
    return result;
}

void MockAppleRemindersService::update(
    const std::set<AnyReminder>& reminders, const ReadReminders& read, const Formatter&)
{
    std::lock_guard lock(m_mutex);
    const auto first = firstListID();
    if (!first)
        return;
    std::set<AnyReminder> updated;
    for (const AnyReminder& member : m_mockDictionary[*first]) {
        auto replacement = std::find_if(reminders.begin(), reminders.end(),
            [&member](const AnyReminder& given) { return given.id == member.id; });
        if (replacement == reminders.end()) {
            updated.insert(member);
            continue;
        }
        auto version = read.find(member.id);
        updated.insert(
            mergedChange(member, *replacement, version == read.end() ? nullptr : &version->second));
    }
    m_mockDictionary[*first] = std::move(updated);
}

void MockAppleRemindersService::delete_(const std::set<std::string>& identifiers, const Formatter&)
{
    std::lock_guard lock(m_mutex);
    const auto first = firstListID();
    if (!first)
        return;
    std::erase_if(m_mockDictionary[*first],
        [&identifiers](const AnyReminder& member) { return identifiers.contains(member.id); });
}

rx::Publisher<EquatableVoid, Error> MockAppleRemindersService::requestAccess()
{
    return rx::Just<EquatableVoid, Error>(EquatableVoid {});
}

std::vector<AnyList> MockAppleRemindersService::mockLists() const
{
    std::lock_guard lock(m_mutex);
    return m_mockLists;
}

void MockAppleRemindersService::setMockLists(std::vector<AnyList> lists)
{
    std::lock_guard lock(m_mutex);
    m_mockLists = std::move(lists);
}

std::set<AnySource> MockAppleRemindersService::mockSources() const
{
    std::lock_guard lock(m_mutex);
    return m_mockSources;
}

void MockAppleRemindersService::setMockSources(std::set<AnySource> sources)
{
    std::lock_guard lock(m_mutex);
    m_mockSources = std::move(sources);
}

MockAppleRemindersService::Dictionary MockAppleRemindersService::mockDictionary() const
{
    std::lock_guard lock(m_mutex);
    return m_mockDictionary;
}

void MockAppleRemindersService::setMockDictionary(Dictionary dictionary)
{
    std::lock_guard lock(m_mutex);
    m_mockDictionary = std::move(dictionary);
}

rx::Publisher<rx::Unit> MockAppleRemindersService::mockChangesPublisher() const
{
    std::lock_guard lock(m_mutex);
    return m_mockChangesPublisher;
}

void MockAppleRemindersService::setMockChangesPublisher(rx::Publisher<rx::Unit> publisher)
{
    std::lock_guard lock(m_mutex);
    m_mockChangesPublisher = std::move(publisher);
}

std::optional<AnyList> MockAppleRemindersService::firstList() const
{
    std::lock_guard lock(m_mutex);
    if (m_mockLists.empty())
        return std::nullopt;
    return m_mockLists.front();
}

std::optional<AnyList> MockAppleRemindersService::list(const std::string& identifier) const
{
    std::lock_guard lock(m_mutex);
    for (const AnyList& list : m_mockLists) {
        if (list.id == identifier)
            return list;
    }
    return std::nullopt;
}

std::set<AnyList> MockAppleRemindersService::lists() const
{
    std::lock_guard lock(m_mutex);
    return { m_mockLists.begin(), m_mockLists.end() };
}

std::set<AnyReminder> MockAppleRemindersService::reminders(const std::optional<AnyList>& list) const
{
    std::lock_guard lock(m_mutex);
    std::optional<std::string> identifier = list ? std::optional(list->id) : firstListID();
    if (!identifier)
        return {};
    auto entry = m_mockDictionary.find(*identifier);
    return entry == m_mockDictionary.end() ? std::set<AnyReminder> {} : entry->second;
}

} // namespace tidemark
