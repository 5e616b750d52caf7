#pragma once

// The event store's inside, shared by the files that hold its parts: reading the tree
// (EventStoreScan.cpp), committing staged changes (EventStoreCommit.cpp), the access
// answer (EventStoreAccess.cpp) and watching the tree (EventStoreWatch.cpp).

#include "platform/eventstore/EventStore.hpp"
#include "platform/eventstore/EventStoreFiles.hpp"
#include "platform/eventstore/IcsTodo.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "platform/logging/Logger.hpp"

#include <QString>

#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tidemark {

namespace eventstore {

// The store's log: files skipped, answers not kept.
const Logger& logger();

} // namespace eventstore

// The user's answer to the access question, shared with pending prompts so that an answer
// that arrives after the store is gone harms nothing.
struct AccessState {
    std::mutex mutex;
    QString file;
    AuthorizationStatus reminders = AuthorizationStatus::notDetermined;
    bool asking = false;
    std::vector<EventStore::AccessCompletion> waiting;

    void load();
    void save();
};

struct EventStore::Private {
    struct CachedFile {
        eventstore::FileStamp stamp;
        ics::File content;
    };
    struct Location {
        std::string calendarIdentifier;
        std::string fileName;
        bool uidMissing = false;
    };
    struct Staged {
        enum class Kind { saveReminder, removeReminder, saveCalendar, removeCalendar } kind;
        std::optional<Reminder> reminder;
        std::optional<EventCalendar> calendar;
    };
    // One task found in a list.
    struct Found {
        const EventCalendar* calendar;
        const std::string* fileName;
        const ics::Todo* todo;
        std::string identifier;
        bool uidMissing;
    };
    // One `.ics` file of a list while the lists are read.
    struct PendingFile {
        std::size_t listIndex;
        std::string fileName; // as it is on disk
        std::string path;
        std::optional<eventstore::FileStamp> stamp;
        bool needsParse = false;
        eventstore::ReadOutcome outcome = eventstore::ReadOutcome::ok;
        ics::File parsed;
    };
    // A file the commit writes: its place, its bytes, and the file whose mode and owner
    // it takes (empty: the one it replaces).
    struct Content {
        std::filesystem::path target;
        std::string bytes;
        std::filesystem::path modeFrom = {};
    };
    // What a commit does, gathered before anything on disk changes.
    struct CommitPlan {
        struct Write {
            std::filesystem::path target;
            std::filesystem::path temp;
        };
        std::vector<Write> writes;
        std::vector<Content> contents;
        std::vector<std::filesystem::path> unlinks;
        std::vector<std::filesystem::path> createdDirs;
        std::vector<std::filesystem::path> removedDirs;
        std::set<std::filesystem::path> claimed;
        std::vector<std::pair<std::string, Location>> indexUpdates;
        std::vector<std::string> indexRemovals;
    };

    Options options;
    std::filesystem::path root;
    mutable std::mutex mutex;
    mutable std::unordered_map<std::string, CachedFile> files; // by absolute path
    mutable std::unordered_map<std::string, Location> index; // by identifier
    // The folder (relative to the root, as on disk) of each source and list identifier.
    // Identifiers are valid UTF-8; a folder name that is not keeps its bytes here.
    mutable std::unordered_map<std::string, std::string> folders;
    // Lists whose leftover temporary files were looked for.
    mutable std::set<std::string> sweptLists;
    // The problem last logged for a path, so that each is logged once, not at every read.
    mutable std::unordered_map<std::string, std::string> reported;
    std::vector<Staged> staged;
    std::shared_ptr<AccessState> access = std::make_shared<AccessState>();
    rx::PassthroughSubject<rx::Unit> subject;

    // Access (EventStoreAccess.cpp).
    bool canRead() const;
    void requireWrite() const;

    // Reading the tree (EventStoreScan.cpp).
    std::string relative(const std::filesystem::path& path) const
    {
        return validUtf8(path.lexically_relative(root).string());
    }
    // The folder of a source or list identifier, also of a list that is only staged.
    std::filesystem::path pathOf(const std::string& identifier) const;
    // Logs `problem` for `path` unless it was the last one logged for it; an empty problem
    // forgets, so that a problem that comes back is logged again.
    void reportOnce(const std::filesystem::path& path, const std::string& problem) const;
    // A `displayname` or `color` file as text: valid UTF-8, none when it cannot be used.
    std::optional<std::string> readNameFile(const std::filesystem::path& path) const;
    // The identifiers of the folders in `dir` that are not hidden, with their names on
    // disk, in name order; a name that reads as another one's identifier is left out.
    std::vector<std::pair<std::string, std::string>> subfolders(
        const std::filesystem::path& dir, const std::string& prefix) const;
    // A task file as read and parsed; a file too large to read is an unreadable one.
    ics::File readTaskFile(
        const std::filesystem::path& path, eventstore::ReadOutcome& outcome) const;
    void sweepTemporaries(const EventCalendar& list, const std::filesystem::path& dir) const;
    std::vector<Source> scanSources() const;
    static bool isList(const std::filesystem::path& dir);
    std::vector<EventCalendar> scanLists(const Source& source) const;
    std::vector<EventCalendar> scanAllLists() const;
    std::optional<EventCalendar> listWithIdentifier(const std::string& identifier) const;
    void logProblems(const std::filesystem::path& path, const ics::File& content) const;
    // Reads the files of the lists, parsing only those that changed since the last read.
    // Files that vanished are dropped. The result points into the cache and the lists.
    std::vector<Found> scanFiles(
        const std::vector<EventCalendar>& lists, std::vector<std::string>& fileNames) const;
    std::vector<PendingFile> listTaskFiles(const std::vector<EventCalendar>& lists) const;
    void readChangedFiles(std::vector<PendingFile>& pending) const;
    std::vector<Found> takeFound(const std::vector<EventCalendar>& lists,
        std::vector<PendingFile>& pending, const std::vector<std::string>& fileNames) const;
    static Reminder makeReminder(const Found& f);
    std::vector<Reminder> fetch(const ReminderPredicate& predicate) const;
    // The reminder as it stands on disk now, looked up by identifier: through the index
    // first, and when that is stale, after reading every list again.
    std::optional<Reminder> lookUp(const std::string& identifier) const;
    std::optional<Reminder> readOne(const EventCalendar& list, const std::string& fileName,
        const std::string& identifier) const;

    // Staging and committing changes (EventStoreCommit.cpp).
    bool calendarKnown(const std::string& identifier) const;
    void commitStaged();
    void planCalendarSaves(const std::vector<Staged>& batch, CommitPlan& plan) const;
    void planReminderChanges(const std::vector<Staged>& batch,
        const std::map<std::string, std::size_t>& lastOfReminder, Date now, CommitPlan& plan);
    void planReminder(const Staged& staged, Date now, CommitPlan& plan);
    void planRemoval(const std::string& id, const Location& location, const std::string& original,
        const std::filesystem::path& currentPath, CommitPlan& plan) const;
    void planNewFile(
        const Reminder& r, const std::string& targetList, Date now, CommitPlan& plan) const;
    void planRewrite(const Reminder& r, const Location& location, std::string original,
        const std::filesystem::path& currentPath, const std::string& targetList, Date now,
        CommitPlan& plan) const;
    void planCalendarRemovals(const std::vector<Staged>& batch, CommitPlan& plan) const;
    static void writeTemporaries(CommitPlan& plan);
    static void rollBack(const CommitPlan& plan);
    std::optional<EventStoreError> putInPlace(const CommitPlan& plan);
    void moveWritesIntoPlace(const CommitPlan& plan, std::set<std::filesystem::path>& touchedDirs,
        std::optional<EventStoreError>& failure);
    void removeFiles(const CommitPlan& plan, std::set<std::filesystem::path>& touchedDirs,
        std::optional<EventStoreError>& failure);
    void removeDirectories(const CommitPlan& plan, std::optional<EventStoreError>& failure);
};

} // namespace tidemark
