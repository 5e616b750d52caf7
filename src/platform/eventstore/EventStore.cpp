#include "platform/eventstore/EventStorePrivate.hpp"

#include "platform/logging/LogCategories.hpp"
#include "platform/reactive/Executor.hpp"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QUuid>

namespace fs = std::filesystem;

namespace tidemark {

using namespace eventstore;

namespace {

const char* const accessFileName = "eventstore-access";

} // namespace

const Logger& eventstore::logger()
{
    static const Logger logger = appLogger(logcategory::eventStore);
    return logger;
}

EventStore::EventStore(Options options, QObject* parent)
    : QObject(parent)
    , d(std::make_shared<Private>())
    , m_watcher(new QFileSystemWatcher(this))
    , m_coalesce(new QTimer(this))
{
    d->options = std::move(options);
    const QString root = d->options.rootPath.isEmpty() ? defaultRootPath() : d->options.rootPath;
    d->root = fs::path(QDir::cleanPath(QDir(root).absolutePath()).toStdString());
    if (!d->options.stateDirectory.isEmpty()) {
        d->access->file
            = QDir(d->options.stateDirectory).filePath(QString::fromLatin1(accessFileName));
        d->access->load();
    }
    m_coalesce->setSingleShot(true);
    m_coalesce->setInterval(d->options.coalesceMilliseconds);
    connect(m_coalesce, &QTimer::timeout, this, &EventStore::deliverChange);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        refreshWatches();
        scheduleChange();
    });
    refreshWatches();
}

EventStore::~EventStore() = default;

QString EventStore::defaultRootPath()
{
    const QString named = qEnvironmentVariable("TIDEMARK_CALENDARS_DIR");
    if (!named.isEmpty())
        return named;
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return data + QStringLiteral("/calendars");
}

QString EventStore::rootPath() const
{
    return QString::fromStdString(d->root.string());
}

std::vector<Source> EventStore::sources() const
{
    std::lock_guard lock(d->mutex);
    if (!d->canRead())
        return {};
    return d->scanSources();
}

std::vector<EventCalendar> EventStore::calendars(EntityType type) const
{
    std::lock_guard lock(d->mutex);
    if (type != EntityType::reminder || !d->canRead())
        return {};
    return d->scanAllLists();
}

std::vector<EventCalendar> EventStore::calendars(const Source& source, EntityType type) const
{
    std::lock_guard lock(d->mutex);
    if (type != EntityType::reminder || !d->canRead() || isHidden(source.sourceIdentifier)
        || source.sourceIdentifier.find('/') != std::string::npos
        || source.sourceIdentifier.empty())
        return {};
    for (const Source& known : d->scanSources()) {
        if (known.sourceIdentifier == source.sourceIdentifier)
            return d->scanLists(known);
    }
    return {};
}

std::optional<EventCalendar> EventStore::calendarWithIdentifier(const std::string& identifier) const
{
    std::lock_guard lock(d->mutex);
    if (!d->canRead())
        return std::nullopt;
    return d->listWithIdentifier(identifier);
}

std::optional<EventCalendar> EventStore::defaultCalendarForNewReminders() const
{
    std::lock_guard lock(d->mutex);
    if (!d->canRead())
        return std::nullopt;
    auto lists = d->scanAllLists();
    if (lists.empty())
        return std::nullopt;
    return lists.front();
}

ReminderPredicate EventStore::predicateForReminders(
    std::optional<std::vector<EventCalendar>> calendars) const
{
    ReminderPredicate predicate;
    if (calendars) {
        predicate.calendarIdentifiers.emplace();
        for (const EventCalendar& c : *calendars)
            predicate.calendarIdentifiers->push_back(c.calendarIdentifier);
    }
    return predicate;
}

ReminderPredicate EventStore::predicateForIncompleteReminders(std::optional<Date> dueStart,
    std::optional<Date> dueEnd, std::optional<std::vector<EventCalendar>> calendars) const
{
    ReminderPredicate predicate = predicateForReminders(std::move(calendars));
    predicate.incompleteOnly = true;
    predicate.dueStart = dueStart;
    predicate.dueEnd = dueEnd;
    return predicate;
}

std::vector<Reminder> EventStore::fetchReminders(const ReminderPredicate& predicate) const
{
    std::lock_guard lock(d->mutex);
    if (!d->canRead())
        return {};
    return d->fetch(predicate);
}

void EventStore::fetchReminders(const ReminderPredicate& predicate,
    std::function<void(std::optional<std::vector<Reminder>>)> completion) const
{
    rx::backgroundQueue().post([d = d, predicate, completion = std::move(completion)] {
        std::unique_lock lock(d->mutex);
        if (!d->canRead()) {
            lock.unlock();
            completion(std::nullopt);
            return;
        }
        auto reminders = d->fetch(predicate);
        lock.unlock();
        completion(std::move(reminders));
    });
}

std::optional<Reminder> EventStore::calendarItemWithIdentifier(const std::string& identifier) const
{
    std::lock_guard lock(d->mutex);
    if (!d->canRead() || identifier.empty())
        return std::nullopt;
    return d->lookUp(identifier);
}

void EventStore::saveReminder(Reminder& reminder, bool commit)
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    if (reminder.m_calendar && !d->calendarKnown(reminder.m_calendar->calendarIdentifier)) {
        if (reminder.isNew() && !d->lookUp(reminder.calendarItemIdentifier()))
            throw EventStoreError(EventStoreError::Code::calendarNotFound,
                "the list " + reminder.m_calendar->calendarIdentifier + " does not exist");
        eventstore::logger().error("the list " + reminder.m_calendar->calendarIdentifier
            + " does not exist; the reminder stays in its list");
        reminder.m_calendar.reset();
    }
    if (!reminder.m_calendar) {
        if (auto current = d->lookUp(reminder.calendarItemIdentifier())) {
            reminder.m_calendar = current->m_calendar;
        } else {
            auto lists = d->scanAllLists();
            if (lists.empty())
                throw EventStoreError(EventStoreError::Code::noCalendar,
                    "there is no task list to put the reminder in");
            reminder.m_calendar = lists.front();
        }
    }
    d->staged.push_back(
        Private::Staged { Private::Staged::Kind::saveReminder, reminder, std::nullopt });
    if (commit) {
        d->commitStaged();
        watchAfterCommit();
    }
}

void EventStore::removeReminder(const Reminder& reminder, bool commit)
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    d->staged.push_back(
        Private::Staged { Private::Staged::Kind::removeReminder, reminder, std::nullopt });
    if (commit) {
        d->commitStaged();
        watchAfterCommit();
    }
}

void EventStore::saveCalendar(EventCalendar& calendar, bool commit)
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    if (calendar.allowedEntityType != EntityType::reminder)
        throw EventStoreError(
            EventStoreError::Code::invalidEntityType, "only task lists are kept here");
    if (calendar.calendarIdentifier.empty()) {
        std::optional<Source> source;
        if (calendar.source) {
            for (const Source& known : d->scanSources()) {
                if (known.sourceIdentifier == calendar.source->sourceIdentifier)
                    source = known;
            }
        }
        if (!source)
            throw EventStoreError(
                EventStoreError::Code::sourceNotFound, "the list names no existing source");
        calendar.source = source;
        calendar.calendarIdentifier = source->sourceIdentifier + "/"
            + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
    } else if (!d->calendarKnown(calendar.calendarIdentifier)) {
        throw EventStoreError(EventStoreError::Code::calendarNotFound,
            "the list " + calendar.calendarIdentifier + " does not exist");
    }
    d->staged.push_back(
        Private::Staged { Private::Staged::Kind::saveCalendar, std::nullopt, calendar });
    if (commit) {
        d->commitStaged();
        watchAfterCommit();
    }
}

void EventStore::removeCalendar(const EventCalendar& calendar, bool commit)
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    if (!d->listWithIdentifier(calendar.calendarIdentifier))
        throw EventStoreError(EventStoreError::Code::calendarNotFound,
            "the list " + calendar.calendarIdentifier + " does not exist");
    d->staged.push_back(
        Private::Staged { Private::Staged::Kind::removeCalendar, std::nullopt, calendar });
    if (commit) {
        d->commitStaged();
        watchAfterCommit();
    }
}

void EventStore::commit()
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    const bool any = !d->staged.empty();
    d->commitStaged();
    if (any)
        watchAfterCommit();
}

void EventStore::reset()
{
    std::lock_guard lock(d->mutex);
    d->staged.clear();
}

} // namespace tidemark
