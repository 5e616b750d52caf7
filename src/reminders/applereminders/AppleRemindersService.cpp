#include "reminders/applereminders/AppleRemindersService.hpp"

#include "platform/foundation/StringTables.hpp"
#include "platform/logging/LogCategories.hpp"
#include "reminders/applereminders/AppleRemindersError.hpp"
#include "reminders/applereminders/EventStoreAdapters.hpp"

#include <atomic>
#include <map>

namespace tidemark {

namespace {

// The title an untitled reminder is stored with; none when its span gives no text.
std::optional<std::string> storedDefaultTitle(
    const AnyReminder& reminder, const DateComponentsFormatter& formatter)
{
    std::string title = defaultTitle(reminder, formatter);
    if (title.empty())
        return std::nullopt;
    return title;
}

} // namespace

AppleRemindersService::AppleRemindersService(
    EventStoreOptions options, const std::shared_ptr<UndoManager>& undoManager)
    : m_undoManager(undoManager)
    , m_appleReminders(std::make_unique<AppleReminders>(std::move(options)))
{
}

AppleRemindersService::~AppleRemindersService() = default;

std::shared_ptr<UndoManager> AppleRemindersService::undoManager() const
{
    std::lock_guard lock(m_mutex);
    return m_undoManager.lock();
}

void AppleRemindersService::setUndoManager(const std::shared_ptr<UndoManager>& manager)
{
    std::lock_guard lock(m_mutex);
    m_undoManager = manager;
}

bool AppleRemindersService::hasFullAccess() const
{
    return m_appleReminders->eventStore().authorizationStatus(EntityType::reminder)
        == AuthorizationStatus::fullAccess;
}

rx::Publisher<rx::Unit> AppleRemindersService::changes()
{
    EventStore* store = &m_appleReminders->eventStore();
    std::weak_ptr<int> alive = m_lifetime;
    // The access is read when the change arrives: it may have been refused since.
    auto changes = store->changes().filter([store, alive](const rx::Unit&) {
        return alive.lock()
            && store->authorizationStatus(EntityType::reminder) == AuthorizationStatus::fullAccess;
    });
    return m_unsubscriber.share(changes);
}

void AppleRemindersService::stopObserving()
{
    m_unsubscriber.unsubscribe();
}

std::set<AnySource> AppleRemindersService::sources()
{
    const EventStore& store = m_appleReminders->eventStore();
    std::set<AnySource> result;
    for (const Source& source : store.sources())
        result.insert(anySource(store, source));
    return result;
}

std::set<AnyReminder> AppleRemindersService::create(
    const std::set<AnyReminder>& reminders, const Formatter& formatter)
{
    return createReminders(reminders, formatter, Registration::posted);
}

void AppleRemindersService::update(
    const std::set<AnyReminder>& reminders, const ReadReminders& read, const Formatter& formatter)
{
    updateReminders(reminders, read, formatter, Registration::posted);
}

void AppleRemindersService::delete_(
    const std::set<std::string>& identifiers, const Formatter& formatter)
{
    deleteReminders(identifiers, formatter, Registration::posted);
}

std::set<AnyReminder> AppleRemindersService::createReminders(
    const std::set<AnyReminder>& reminders, const Formatter& formatter, Registration registration)
{
    if (reminders.empty())
        return {};
    const EventStore& store = m_appleReminders->eventStore();
    std::vector<Reminder> fresh;
    fresh.reserve(reminders.size());
    for (const AnyReminder& reminder : reminders) {
        Reminder created = Reminder::create();
        updateReminder(created, reminder, store);
        if (reminder.title.empty() && formatter)
            created.setTitle(storedDefaultTitle(reminder, *formatter));
        fresh.push_back(std::move(created));
    }
    const std::vector<Reminder> saved = m_appleReminders->saveNewReminders(std::move(fresh));

    // The store gave the identifiers; those the caller made up are not kept.
    std::set<AnyReminder> result;
    std::set<std::string> identifiers;
    for (const Reminder& reminder : saved) {
        AnyReminder converted = anyReminder(reminder);
        identifiers.insert(converted.id);
        result.insert(std::move(converted));
    }
    registerUndo(
        registration,
        [identifiers, formatter](AppleRemindersService& service) {
            service.deleteReminders(identifiers, formatter, Registration::immediate);
        },
        "new_reminder_label");
    return result;
}

void AppleRemindersService::updateReminders(const std::set<AnyReminder>& reminders,
    const ReadReminders& read, const Formatter& formatter, Registration registration)
{
    const EventStore& store = m_appleReminders->eventStore();
    std::set<AnyReminder> before;
    ReadReminders written;
    std::vector<Reminder> changed;
    for (const AnyReminder& reminder : reminders) {
        auto current = store.calendarItemWithIdentifier(reminder.id);
        if (!current)
            continue;
        // The task as it is on disk now, its stored span title read as none, as the
        // application reads it; the user's changes go onto that.
        const AnyReminder stored = anyReminder(*current, formatter.get());
        auto version = read.find(reminder.id);
        const AnyReminder target
            = mergedChange(stored, reminder, version == read.end() ? nullptr : &version->second);
        Reminder next = *current;
        updateReminder(next, target, store);
        if (target.title.empty() && formatter)
            next.setTitle(storedDefaultTitle(target, *formatter));
        // Writing what is stored already would only wake every reader of the lists.
        if (anyReminder(next) == anyReminder(*current))
            continue;
        before.insert(stored);
        written.insert_or_assign(target.id, target);
        changed.push_back(std::move(next));
    }
    if (changed.empty())
        return;
    m_appleReminders->save(changed);
    // Undo takes back what this update changed, and only that.
    registerUndo(
        registration,
        [before, written, formatter](AppleRemindersService& service) {
            service.updateReminders(before, written, formatter, Registration::immediate);
        },
        "update_reminder_label");
}

void AppleRemindersService::deleteReminders(
    const std::set<std::string>& identifiers, const Formatter& formatter, Registration registration)
{
    const std::vector<Reminder> found = lookUp({ identifiers.begin(), identifiers.end() });
    if (found.empty())
        return;
    m_appleReminders->remove(found);
    std::set<AnyReminder> removed;
    for (const Reminder& reminder : found)
        removed.insert(anyReminder(reminder));
    // Undo makes them anew, under new identifiers.
    registerUndo(
        registration,
        [removed, formatter](AppleRemindersService& service) {
            service.createReminders(removed, formatter, Registration::immediate);
        },
        "delete_reminder_label");
}

void AppleRemindersService::registerUndo(
    Registration registration, Inverse inverse, const char* actionNameKey)
{
    std::weak_ptr<int> alive = m_lifetime;
    auto step = [this, alive, inverse = std::move(inverse), actionNameKey] {
        if (!alive.lock())
            return;
        auto manager = undoManager();
        if (!manager)
            return;
        manager->registerUndo(this, [this, alive, inverse] {
            if (!alive.lock())
                return;
            try {
                inverse(*this);
            } catch (const std::exception& error) {
                appLogger(logcategory::reminders)
                    .error(std::string("undoing a change of the calendar task lists failed: ")
                        + error.what());
            }
        });
        if (!manager->isUndoing())
            manager->setActionName(localized("Undo", actionNameKey));
    };
    if (registration == Registration::immediate)
        step();
    else
        rx::mainQueue().post(std::move(step));
}

std::vector<Reminder> AppleRemindersService::lookUp(
    const std::vector<std::string>& identifiers) const
{
    const EventStore& store = m_appleReminders->eventStore();
    std::vector<Reminder> found;
    for (const std::string& identifier : identifiers) {
        if (auto reminder = store.calendarItemWithIdentifier(identifier))
            found.push_back(std::move(*reminder));
    }
    return found;
}

std::set<AnyReminder> AppleRemindersService::fetchReminders(
    const std::vector<std::string>& listIDs, const Formatter& formatter)
{
    const EventStore& store = m_appleReminders->eventStore();
    std::vector<EventCalendar> calendars;
    for (const std::string& identifier : listIDs) {
        if (auto calendar = store.calendarWithIdentifier(identifier))
            calendars.push_back(std::move(*calendar));
    }
    return fetchIncompleteReminders(std::move(calendars), formatter);
}

std::set<AnyReminder> AppleRemindersService::fetchIncompleteReminders(
    std::optional<std::vector<EventCalendar>> lists, const Formatter& formatter)
{
    std::vector<EventCalendar> calendars;
    if (!lists || lists->empty()) {
        if (auto fallback = m_appleReminders->eventStore().defaultCalendarForNewReminders())
            calendars.push_back(std::move(*fallback));
    } else {
        calendars = std::move(*lists);
    }
    std::set<AnyReminder> result;
    // Writing a span costs far more than reading a task, and many tasks share theirs.
    std::map<std::pair<std::optional<DateComponents>, std::optional<DateComponents>>, std::string>
        spans;
    for (const Reminder& reminder : m_appleReminders->incompleteReminders(std::move(calendars))) {
        AnyReminder converted = anyReminder(reminder);
        if (formatter && !converted.title.empty()) {
            auto key = std::make_pair(converted.startDateComponents, converted.dueDateComponents);
            auto span = spans.find(key);
            if (span == spans.end())
                span = spans.emplace(std::move(key), defaultTitle(converted, *formatter)).first;
            if (converted.title == span->second)
                converted.title.clear();
        }
        result.insert(std::move(converted));
    }
    return result;
}

void AppleRemindersService::complete(const std::set<AnyReminder>& reminders)
{
    std::vector<std::string> identifiers;
    for (const AnyReminder& reminder : reminders)
        identifiers.push_back(reminder.id);
    std::vector<Reminder> found = lookUp(identifiers);
    m_appleReminders->complete(found);
}

std::vector<AnyList> AppleRemindersService::createLists(
    const std::vector<AnyList>& lists, const AnySource& source)
{
    EventStore& store = m_appleReminders->eventStore();
    std::optional<Source> target;
    for (const Source& known : store.sources()) {
        if (known.sourceIdentifier == source.id) {
            target = known;
            break;
        }
    }
    std::vector<AnyList> created;
    m_appleReminders->batch([&] {
        for (const AnyList& list : lists) {
            EventCalendar calendar = EventCalendar::forEntityType(EntityType::reminder);
            calendar.title = list.title;
            calendar.source = target;
            try {
                store.saveCalendar(calendar, false);
                created.push_back(anyList(calendar));
            } catch (const EventStoreError& error) {
                appLogger(logcategory::reminders)
                    .error("cannot make the list \"" + list.title + "\": " + error.what());
            }
        }
        return !created.empty();
    });
    return created;
}

void AppleRemindersService::removeLists(const std::vector<std::string>& identifiers)
{
    EventStore& store = m_appleReminders->eventStore();
    m_appleReminders->batch([&] {
        bool any = false;
        for (const std::string& identifier : identifiers) {
            if (auto calendar = store.calendarWithIdentifier(identifier)) {
                store.removeCalendar(*calendar, false);
                any = true;
            }
        }
        return any;
    });
}

rx::Publisher<EquatableVoid, Error> AppleRemindersService::requestAccess()
{
    EventStore* store = &m_appleReminders->eventStore();
    std::weak_ptr<int> alive = m_lifetime;
    return rx::Publisher<EquatableVoid, Error>(
        [store, alive](rx::Subscriber<EquatableVoid, Error> subscriber) {
            auto shared
                = std::make_shared<rx::Subscriber<EquatableVoid, Error>>(std::move(subscriber));
            if (!alive.lock()) {
                shared->complete(
                    rx::Completion<Error>::failed(Error("the calendar task lists are closed")));
                return rx::Cancellable();
            }
            auto cancelled = std::make_shared<std::atomic<bool>>(false);
            // Answers at once when the user answered before; else after the prompt, on the
            // main thread. A refusal is a failed request, not a completed one.
            store->requestFullAccessToReminders(
                [shared, cancelled](bool granted, std::optional<EventStoreError> error) {
                    if (cancelled->load())
                        return;
                    if (error) {
                        shared->complete(rx::Completion<Error>::failed(Error(error->what())));
                    } else if (!granted) {
                        shared->complete(rx::Completion<Error>::failed(
                            toError(AppleRemindersError::requestFailedInsufficientPermission)));
                    } else {
                        shared->receive(EquatableVoid {});
                        shared->complete(rx::Completion<Error>::finished());
                    }
                });
            return rx::Cancellable([cancelled] { cancelled->store(true); });
        });
}

} // namespace tidemark
