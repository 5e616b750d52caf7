#include "reminders/PersistentRemindersService.hpp"

#include "platform/foundation/StringTables.hpp"

#include <map>
#include <utility>

namespace tidemark {

namespace {

template <class ToComponents>
AnyReminder makeReminder(const CDReminder& object, ToComponents toComponents)
{
    AnyReminder reminder;
    reminder.id = object.identifierString();
    if (object.startDate)
        reminder.startDateComponents = toComponents(*object.startDate);
    if (object.dueDate)
        reminder.dueDateComponents = toComponents(*object.dueDate);
    reminder.title = object.title.value_or(std::string());
    reminder.listID = std::nullopt; // the store keeps no list
    reminder.completionDate = object.completionDate;
    return reminder;
}

// Writes the fields in which `target` differs from `stored` (the object as read).
void writeChangedFields(CDReminder& object, const AnyReminder& stored, const AnyReminder& target)
{
    if (target.id != stored.id)
        object.identifier = target.id;
    if (target.startDateComponents != stored.startDateComponents)
        object.startDate = reminderDate(target.startDateComponents);
    if (target.dueDateComponents != stored.dueDateComponents)
        object.dueDate = reminderDate(target.dueDateComponents);
    if (target.title != stored.title)
        object.title = target.optionalTitle();
    if (target.completionDate != stored.completionDate)
        setCompletionDate(object, target.completionDate);
}

// Enough for the dates of tens of thousands of reminders; past it the cache starts anew.
constexpr std::size_t componentCacheLimit = 1 << 17;

} // namespace

AnyReminder anyReminder(const CDReminder& object)
{
    return makeReminder(object, [](Date date) { return reminderComponents(date); });
}

void updateFrom(CDReminder& object, const AnyReminder& reminder)
{
    object.identifier = reminder.id;
    object.startDate = reminderDate(reminder.startDateComponents);
    object.dueDate = reminderDate(reminder.dueDateComponents);
    object.title = reminder.optionalTitle();
    // The flag is what reads filter on, so it always moves with the date.
    setCompletionDate(object, reminder.completionDate);
}

PersistentRemindersService::PersistentRemindersService(PersistenceController persistenceController)
    : m_persistenceController(std::move(persistenceController))
{
}

std::set<AnyReminder> PersistentRemindersService::create(const std::set<AnyReminder>& reminders)
{
    if (reminders.empty())
        return {};
    auto& context = m_persistenceController.viewContext();
    std::vector<CDReminder> inserted;
    inserted.reserve(reminders.size());
    for (const auto& reminder : reminders) {
        CDReminder object;
        updateFrom(object, reminder);
        inserted.push_back(context.insert(std::move(object)));
    }
    // A failed save has discarded the new objects and their undo actions.
    m_persistenceController.saveIfNeeded();

    std::set<AnyReminder> stored;
    for (const auto& object : inserted)
        stored.insert(convert(object));
    nameUndoStep("new_reminder_label");
    return stored;
}

std::set<AnyReminder> PersistentRemindersService::read()
{
    std::set<AnyReminder> reminders;
    for (const auto& object : m_persistenceController.fetchIncompleteReminders())
        reminders.insert(convert(object));
    return reminders;
}

void PersistentRemindersService::update(
    const std::set<AnyReminder>& reminders, const ReadReminders& read)
{
    if (reminders.empty())
        return;
    std::set<std::string> identifiers;
    for (const auto& reminder : reminders)
        identifiers.insert(reminder.id);
    const auto objects = m_persistenceController.fetchReminders(identifiers);

    std::set<AnyReminder> stored;
    for (const auto& object : objects)
        stored.insert(convert(object));
    if (stored == reminders)
        return;

    // The first given reminder of each identifier is the one written.
    std::map<std::string, const AnyReminder*> byIdentifier;
    for (const auto& reminder : reminders)
        byIdentifier.emplace(reminder.id, &reminder);

    auto& context = m_persistenceController.viewContext();
    bool changed = false;
    for (const auto& object : objects) {
        auto given = byIdentifier.find(object.identifierString());
        if (given == byIdentifier.end())
            continue;
        // The row as it is now, which another process may have changed since it was read:
        // only the fields that change are written, the others keep their stored values.
        auto version = read.find(given->first);
        const AnyReminder stored = convert(object);
        const AnyReminder target = mergedChange(
            stored, *given->second, version == read.end() ? nullptr : &version->second);
        CDReminder written = object;
        writeChangedFields(written, stored, target);
        if (written == object)
            continue;
        context.update(written);
        changed = true;
    }
    m_persistenceController.saveIfNeeded();
    if (changed)
        nameUndoStep("update_reminder_label");
}

void PersistentRemindersService::delete_(const std::set<std::string>& identifiers)
{
    const auto objects = m_persistenceController.fetchReminders(identifiers);
    if (objects.empty())
        return;
    m_persistenceController.deleteObjects(objects);
    nameUndoStep("delete_reminder_label");
}

AnyReminder PersistentRemindersService::convert(const CDReminder& object)
{
    return makeReminder(object, [this](Date date) { return componentsOf(date); });
}

const DateComponents& PersistentRemindersService::componentsOf(Date date)
{
    const auto second = std::chrono::floor<std::chrono::seconds>(date.time_since_epoch()).count();
    if (auto known = m_components.find(second); known != m_components.end())
        return known->second;
    if (m_components.size() >= componentCacheLimit)
        m_components.clear();
    return m_components.emplace(second, reminderComponents(date)).first->second;
}

void PersistentRemindersService::deleteAll()
{
    m_persistenceController.deleteAllReminders();
}

std::shared_ptr<UndoManager> PersistentRemindersService::undoManager() const
{
    return m_persistenceController.viewContext().undoManager();
}

void PersistentRemindersService::setUndoManager(std::shared_ptr<UndoManager> undoManager)
{
    m_persistenceController.viewContext().setUndoManager(std::move(undoManager));
}

UndoManager::Target PersistentRemindersService::undoTarget() const
{
    return m_persistenceController.viewContext().undoTarget();
}

rx::Publisher<rx::Unit> PersistentRemindersService::changes()
{
    const auto& context = m_persistenceController.viewContext();
    auto toUnit = [](const ChangeSet&) { return rx::Unit {}; };
    return m_unsubscriber.share(
        rx::merge(context.didSave().map(toUnit), context.objectsDidChange().map(toUnit)));
}

void PersistentRemindersService::stopObserving()
{
    m_unsubscriber.unsubscribe();
}

// Called after a request's changes were saved, so a request that failed names nothing.
// The changes registered their undo actions in the step that is open now (or as the last
// step), which is the one named.
void PersistentRemindersService::nameUndoStep(const char* key) const
{
    auto manager = undoManager();
    if (!manager || manager->isUndoing() || manager->isRedoing())
        return;
    manager->setActionName(localized("Undo", key));
}

} // namespace tidemark
