#pragma once

#include "platform/eventstore/EventStoreTypes.hpp"
#include "platform/eventstore/Reminder.hpp"
#include "platform/reactive/Publisher.hpp"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QFileSystemWatcher;
class QTimer;

namespace tidemark {

// Which reminders a fetch returns. Made by the store's `predicateFor…` operations.
struct ReminderPredicate {
    bool incompleteOnly = false;
    std::optional<Date> dueStart; // with either bound, only reminders due within them
    std::optional<Date> dueEnd;
    std::optional<std::vector<std::string>> calendarIdentifiers; // none: every list
};

// Asks the user whether this program may use the calendar task lists and calls `answer`
// once with the reply. Called on the main queue.
using EventStoreAccessPrompt
    = std::function<void(EntityType type, std::function<void(bool granted)> answer)>;

struct EventStoreOptions {
    QString rootPath; // empty: $TIDEMARK_CALENDARS_DIR, else $XDG_DATA_HOME/calendars
    QString stateDirectory; // where the user's access answer is kept; empty: not kept
    EventStoreAccessPrompt accessPrompt;
    int coalesceMilliseconds = 150;
};

// The user's calendar task lists, kept as a vdir tree: each folder directly under the root
// is a source, each folder below a source that holds `.ics` files or a `displayname` file
// is a list, and each `.ics` file of a list holds one task (a VTODO).
//
// Safe to use from any thread: every operation takes the store's lock. The `changed`
// signal and the `changes()` publisher deliver on the thread that made the store (the
// main thread), a short while after the tree changed on disk, by this store or another
// program; a burst of changes gives one signal.
//
// Files are the user's: a write changes only the lines of the properties it changes and
// keeps the file's mode and owner; a new task file takes the mode of the list's other
// task files (0600 in a list without any, so that tasks stay private unless the list says
// otherwise). A write that would not read back as written is refused (`notWritable`).
// Only regular files are read, task files up to 1 MiB; larger ones are skipped with a log
// line and never rewritten. Names and texts that are not UTF-8 read as valid UTF-8 (U+FFFD
// for bad bytes); their files and folders keep their bytes on disk.
class EventStore final : public QObject {
    Q_OBJECT
public:
    using AccessPrompt = EventStoreAccessPrompt;
    using AccessCompletion
        = std::function<void(bool granted, std::optional<EventStoreError> error)>;
    using Options = EventStoreOptions;

    explicit EventStore(Options options = {}, QObject* parent = nullptr);
    ~EventStore() override;

    static QString defaultRootPath();
    QString rootPath() const;

    // Sources and lists. Without full access they are empty.
    std::vector<Source> sources() const;
    std::vector<EventCalendar> calendars(EntityType type) const;
    std::vector<EventCalendar> calendars(const Source& source, EntityType type) const;
    std::optional<EventCalendar> calendarWithIdentifier(const std::string& identifier) const;
    // The first list in identifier order; none when there is no list.
    std::optional<EventCalendar> defaultCalendarForNewReminders() const;

    // Reading reminders. A file that cannot be read is skipped with a log line.
    ReminderPredicate predicateForReminders(
        std::optional<std::vector<EventCalendar>> calendars) const;
    ReminderPredicate predicateForIncompleteReminders(std::optional<Date> dueStart,
        std::optional<Date> dueEnd, std::optional<std::vector<EventCalendar>> calendars) const;
    std::vector<Reminder> fetchReminders(const ReminderPredicate& predicate) const;
    // The same on the background queue; `completion` runs there. The result is none
    // without full access.
    void fetchReminders(const ReminderPredicate& predicate,
        std::function<void(std::optional<std::vector<Reminder>>)> completion) const;
    std::optional<Reminder> calendarItemWithIdentifier(const std::string& identifier) const;

    // Writing. With `commit` false a change is staged until `commit()`, which writes every
    // staged change (each file atomically: temporary file, fsync, rename) or, when one of
    // them cannot be prepared, none. A reminder without a list keeps its list, or a new one
    // goes to the default list; `reminder` then names that list.
    void saveReminder(Reminder& reminder, bool commit);
    void removeReminder(const Reminder& reminder, bool commit);
    // A new list (no identifier) gets one here: "<source>/<new folder>".
    void saveCalendar(EventCalendar& calendar, bool commit);
    void removeCalendar(const EventCalendar& calendar, bool commit);
    void commit();
    // Drops the staged changes.
    void reset();

    // Access: asked once, then the answer is kept.
    AuthorizationStatus authorizationStatus(EntityType type) const;
    void requestFullAccessToReminders(AccessCompletion completion);
    void requestAccessToEntityType(EntityType type, AccessCompletion completion);

    // The change signal as a publisher (values on the main thread).
    rx::Publisher<rx::Unit> changes() const;

Q_SIGNALS:
    void changed();

private:
    struct Private;
    void scheduleChange();
    void refreshWatches();
    void deliverChange();
    // After this store's own commit: on the next turn of the main loop, new folders are
    // watched and the change is announced.
    void watchAfterCommit();

    std::shared_ptr<Private> d;
    QFileSystemWatcher* m_watcher;
    QTimer* m_coalesce;
};

} // namespace tidemark
