#include "platform/eventstore/EventStore.hpp"

#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/eventstore/IcsTodo.hpp"
#include "platform/eventstore/ReminderRecord.hpp"
#include "platform/reactive/Executor.hpp"
#include "platform/reactive/Scheduler.hpp"

#include <QDir>
#include <QFileSystemWatcher>
#include <QLoggingCategory>
#include <QStandardPaths>
#include <QTimer>
#include <QUuid>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcEventStore, "tidemark.eventstore")

namespace fs = std::filesystem;

namespace tidemark {

namespace {

const char* const accessFileName = "eventstore-access";

bool isHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

bool endsWith(const std::string& text, std::string_view suffix)
{
    return text.size() >= suffix.size()
        && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The first line of a small text file (`displayname`, `color`), trimmed; none when absent.
std::optional<std::string> readSmallFile(const fs::path& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    char buffer[4096];
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    ::close(fd);
    if (n < 0)
        return std::nullopt;
    std::string text(buffer, static_cast<std::size_t>(n));
    if (text.size() >= 3 && text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    const std::size_t end = text.find_first_of("\r\n");
    if (end != std::string::npos)
        text.resize(end);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

enum class ReadOutcome { ok, vanished, failed };

ReadOutcome readWholeFile(const fs::path& path, std::string& out)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? ReadOutcome::vanished : ReadOutcome::failed;
    struct stat st { };
    if (::fstat(fd, &st) == 0 && st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return ReadOutcome::failed;
        }
        if (n == 0)
            break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadOutcome::ok;
}

void syncDirectory(const fs::path& dir)
{
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

[[noreturn]] void failWrite(const std::string& what, const fs::path& path, int error)
{
    throw EventStoreError(EventStoreError::Code::writeFailed,
        what + " " + path.string() + ": " + std::strerror(error));
}

// Writes `content` to a new temporary file beside `target`, flushed to disk; returns its path.
fs::path writeTemporary(const fs::path& target, const std::string& content)
{
    const fs::path temp = target.parent_path()
        / (target.filename().string() + "."
            + QUuid::createUuid().toString(QUuid::Id128).left(12).toStdString() + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        failWrite("cannot create", temp, errno);
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            failWrite("cannot write", temp, error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        failWrite("cannot flush", temp, error);
    }
    return temp;
}

// A file name for a new task: its UID when that is a safe name, else a fresh one; never
// one that is taken.
std::string newFileName(
    const fs::path& dir, const std::string& uid, const std::set<fs::path>& claimed)
{
    const bool safe = !uid.empty() && uid.size() <= 200 && !isHidden(uid)
        && std::all_of(uid.begin(), uid.end(), [](unsigned char c) {
               return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '@' || c == '+';
           });
    std::string stem
        = safe ? uid : QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper().toStdString();
    std::string name = stem + ".ics";
    for (int n = 2; fs::exists(dir / name) || claimed.count(dir / name); ++n)
        name = stem + "-" + std::to_string(n) + ".ics";
    return name;
}

struct FileStamp {
    qint64 mtimeNs = 0;
    qint64 size = 0;
    quint64 inode = 0;
    bool operator==(const FileStamp&) const = default;
};

std::optional<FileStamp> stampOf(const fs::path& path)
{
    struct stat st { };
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp { qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
        qint64(st.st_size), quint64(st.st_ino) };
}

const char* statusName(AuthorizationStatus status)
{
    switch (status) {
    case AuthorizationStatus::notDetermined:
        return "notDetermined";
    case AuthorizationStatus::restricted:
        return "restricted";
    case AuthorizationStatus::denied:
        return "denied";
    case AuthorizationStatus::fullAccess:
        return "fullAccess";
    case AuthorizationStatus::writeOnly:
        return "writeOnly";
    }
    return "notDetermined";
}

} // namespace

// The user's answer to the access question, shared with pending prompts so that an answer
// that arrives after the store is gone harms nothing.
struct AccessState {
    std::mutex mutex;
    QString file;
    AuthorizationStatus reminders = AuthorizationStatus::notDetermined;
    bool asking = false;
    std::vector<EventStore::AccessCompletion> waiting;

    void load()
    {
        if (file.isEmpty())
            return;
        const auto text = readSmallFile(file.toStdString());
        if (!text)
            return;
        for (auto status : { AuthorizationStatus::denied, AuthorizationStatus::fullAccess,
                 AuthorizationStatus::writeOnly, AuthorizationStatus::restricted }) {
            if (*text == std::string("reminders=") + statusName(status)) {
                reminders = status;
                return;
            }
        }
        qCWarning(lcEventStore) << "unreadable access answer in" << file << "; asking again";
    }

    void save()
    {
        if (file.isEmpty())
            return;
        const fs::path path = file.toStdString();
        try {
            fs::create_directories(path.parent_path());
            const fs::path temp
                = writeTemporary(path, std::string("reminders=") + statusName(reminders) + "\n");
            if (::rename(temp.c_str(), path.c_str()) != 0) {
                ::unlink(temp.c_str());
                failWrite("cannot rename to", path, errno);
            }
        } catch (const std::exception& error) {
            qCWarning(lcEventStore) << "cannot keep the access answer:" << error.what();
        }
    }
};

struct EventStore::Private {
    struct CachedFile {
        FileStamp stamp;
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

    Options options;
    fs::path root;
    mutable std::mutex mutex;
    mutable std::unordered_map<std::string, CachedFile> files; // by absolute path
    mutable std::unordered_map<std::string, Location> index; // by identifier
    std::vector<Staged> staged;
    std::shared_ptr<AccessState> access = std::make_shared<AccessState>();
    rx::PassthroughSubject<rx::Unit> subject;

    bool canRead() const
    {
        std::lock_guard lock(access->mutex);
        return access->reminders == AuthorizationStatus::fullAccess;
    }

    void requireWrite() const
    {
        std::lock_guard lock(access->mutex);
        if (access->reminders != AuthorizationStatus::fullAccess
            && access->reminders != AuthorizationStatus::writeOnly)
            throw EventStoreError(EventStoreError::Code::accessDenied,
                "Tidemark may not change the calendar task lists: access was not granted");
    }

    std::string relative(const fs::path& path) const
    {
        return path.lexically_relative(root).string();
    }

    std::vector<Source> scanSources() const
    {
        std::vector<Source> result;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root, error)) {
            const std::string name = entry.path().filename().string();
            std::error_code typeError;
            if (isHidden(name) || !entry.is_directory(typeError))
                continue;
            const auto title = readSmallFile(entry.path() / "displayname");
            result.push_back(Source { name, title && !title->empty() ? *title : name });
        }
        std::sort(result.begin(), result.end(), [](const Source& a, const Source& b) {
            return a.sourceIdentifier < b.sourceIdentifier;
        });
        return result;
    }

    static bool isList(const fs::path& dir)
    {
        std::error_code error;
        if (fs::exists(dir / "displayname", error))
            return true;
        for (const auto& entry : fs::directory_iterator(dir, error)) {
            const std::string name = entry.path().filename().string();
            if (!isHidden(name) && endsWith(name, ".ics"))
                return true;
        }
        return false;
    }

    std::vector<EventCalendar> scanLists(const Source& source) const
    {
        std::vector<EventCalendar> result;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(root / source.sourceIdentifier, error)) {
            const std::string name = entry.path().filename().string();
            std::error_code typeError;
            if (isHidden(name) || !entry.is_directory(typeError) || !isList(entry.path()))
                continue;
            EventCalendar calendar = EventCalendar::forEntityType(EntityType::reminder);
            calendar.calendarIdentifier = source.sourceIdentifier + "/" + name;
            const auto title = readSmallFile(entry.path() / "displayname");
            calendar.title = title && !title->empty() ? *title : name;
            const auto color = readSmallFile(entry.path() / "color");
            if (color && !color->empty())
                calendar.color = *color;
            calendar.source = source;
            result.push_back(std::move(calendar));
        }
        std::sort(result.begin(), result.end(), [](const EventCalendar& a, const EventCalendar& b) {
            return a.calendarIdentifier < b.calendarIdentifier;
        });
        return result;
    }

    std::vector<EventCalendar> scanAllLists() const
    {
        std::vector<EventCalendar> result;
        for (const Source& source : scanSources()) {
            auto lists = scanLists(source);
            result.insert(result.end(), std::make_move_iterator(lists.begin()),
                std::make_move_iterator(lists.end()));
        }
        return result;
    }

    std::optional<EventCalendar> listWithIdentifier(const std::string& identifier) const
    {
        const auto slash = identifier.find('/');
        if (slash == std::string::npos || identifier.find('/', slash + 1) != std::string::npos)
            return std::nullopt;
        const std::string sourceName = identifier.substr(0, slash);
        if (isHidden(sourceName) || isHidden(identifier.substr(slash + 1))
            || identifier.substr(slash + 1) == "..")
            return std::nullopt;
        for (const Source& source : scanSources()) {
            if (source.sourceIdentifier != sourceName)
                continue;
            for (EventCalendar& calendar : scanLists(source)) {
                if (calendar.calendarIdentifier == identifier)
                    return std::move(calendar);
            }
        }
        return std::nullopt;
    }

    void logProblems(const fs::path& path, const ics::File& content) const
    {
        const std::string name = relative(path);
        for (const std::string& problem : content.problems) {
            if (content.readable)
                qCWarning(lcEventStore).noquote()
                    << QString::fromStdString(name) << ":" << QString::fromStdString(problem);
            else
                qCWarning(lcEventStore).noquote() << QString::fromStdString(name) << ": skipped,"
                                                  << QString::fromStdString(problem);
        }
        if (content.readable && content.todos.empty()) {
            if (content.holdsOtherComponents)
                qCInfo(lcEventStore).noquote()
                    << QString::fromStdString(name) << ": holds no task (an event?); skipped";
            else
                qCWarning(lcEventStore).noquote()
                    << QString::fromStdString(name) << ": holds no task; skipped";
        }
    }

    // Reads the files of the lists, parsing only those that changed since the last read.
    // Files that vanished are dropped. The result points into the cache and the lists.
    std::vector<Found> scanFiles(
        const std::vector<EventCalendar>& lists, std::vector<std::string>& fileNames) const
    {
        struct Pending {
            std::size_t listIndex;
            std::string fileName;
            std::string path;
            std::optional<FileStamp> stamp;
            bool needsParse = false;
            ReadOutcome outcome = ReadOutcome::ok;
            ics::File parsed;
        };
        std::vector<Pending> pending;
        for (std::size_t i = 0; i < lists.size(); ++i) {
            const fs::path dir = root / lists[i].calendarIdentifier;
            std::vector<std::string> names;
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(dir, error)) {
                std::string name = entry.path().filename().string();
                if (!isHidden(name) && endsWith(name, ".ics"))
                    names.push_back(std::move(name));
            }
            std::sort(names.begin(), names.end());
            for (std::string& name : names) {
                Pending p { i, std::move(name), {}, {}, false, ReadOutcome::ok, {} };
                p.path = (dir / p.fileName).string();
                pending.push_back(std::move(p));
            }
        }

        auto work = [&pending, this](std::size_t from, std::size_t to) {
            for (std::size_t k = from; k < to; ++k) {
                Pending& p = pending[k];
                p.stamp = stampOf(p.path);
                if (!p.stamp) {
                    p.outcome = ReadOutcome::vanished;
                    continue;
                }
                auto cached = files.find(p.path);
                if (cached != files.end() && cached->second.stamp == *p.stamp)
                    continue;
                p.needsParse = true;
                std::string bytes;
                p.outcome = readWholeFile(p.path, bytes);
                if (p.outcome == ReadOutcome::ok)
                    p.parsed = ics::parse(bytes);
            }
        };
        // The cache is only read while the workers run; they write into their own slots.
        const std::size_t threads = std::clamp<std::size_t>(pending.size() / 256, 1,
            std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
        if (threads == 1) {
            work(0, pending.size());
        } else {
            std::vector<std::jthread> workers;
            const std::size_t chunk = (pending.size() + threads - 1) / threads;
            for (std::size_t t = 0; t < threads; ++t) {
                const std::size_t from = t * chunk;
                const std::size_t to = std::min(pending.size(), from + chunk);
                if (from < to)
                    workers.emplace_back(work, from, to);
            }
        }

        std::vector<Found> found;
        fileNames.clear();
        fileNames.reserve(pending.size());
        for (Pending& p : pending)
            fileNames.push_back(p.fileName);
        std::unordered_set<std::string> seen;
        for (std::size_t k = 0; k < pending.size(); ++k) {
            Pending& p = pending[k];
            if (p.outcome == ReadOutcome::vanished) {
                files.erase(p.path);
                qCInfo(lcEventStore).noquote()
                    << QString::fromStdString(relative(p.path)) << ": vanished while reading";
                continue;
            }
            if (p.outcome == ReadOutcome::failed) {
                files.erase(p.path);
                qCWarning(lcEventStore).noquote()
                    << QString::fromStdString(relative(p.path)) << ": skipped, cannot be read";
                continue;
            }
            if (p.needsParse) {
                logProblems(p.path, p.parsed);
                files[p.path] = CachedFile { *p.stamp, std::move(p.parsed) };
            }
            const ics::File& content = files[p.path].content;
            const EventCalendar& list = lists[p.listIndex];
            for (const ics::Todo& todo : content.todos) {
                const bool uidMissing = todo.uid.empty();
                std::string identifier
                    = uidMissing ? p.fileName.substr(0, p.fileName.size() - 4) : todo.uid;
                if (!seen.insert(identifier).second) {
                    if (p.needsParse)
                        qCWarning(lcEventStore).noquote()
                            << QString::fromStdString(relative(p.path))
                            << ": a second task with UID" << QString::fromStdString(identifier)
                            << "; ignored";
                    continue;
                }
                index[identifier] = Location { list.calendarIdentifier, p.fileName, uidMissing };
                found.push_back(
                    Found { &list, &fileNames[k], &todo, std::move(identifier), uidMissing });
            }
        }
        return found;
    }

    static Reminder makeReminder(const Found& f)
    {
        Reminder r;
        r.m_identifier = f.identifier;
        r.m_title = f.todo->title;
        r.m_start = f.todo->start;
        r.m_due = f.todo->due;
        r.m_completed = f.todo->completed;
        r.m_completionDate = f.todo->completionDate;
        r.m_calendar = *f.calendar;
        r.m_alarms = f.todo->alarms;
        r.m_record = std::make_shared<const detail::ReminderRecord>(detail::ReminderRecord {
            *f.todo, f.calendar->calendarIdentifier, *f.fileName, f.uidMissing });
        return r;
    }

    std::vector<Reminder> fetch(const ReminderPredicate& predicate) const
    {
        std::vector<EventCalendar> lists = scanAllLists();
        if (predicate.calendarIdentifiers) {
            const auto& wanted = *predicate.calendarIdentifiers;
            std::erase_if(lists, [&wanted](const EventCalendar& c) {
                return std::find(wanted.begin(), wanted.end(), c.calendarIdentifier)
                    == wanted.end();
            });
        }
        std::vector<std::string> fileNames;
        const std::vector<Found> found = scanFiles(lists, fileNames);
        std::vector<Reminder> result;
        result.reserve(found.size());
        const bool bounded = predicate.dueStart || predicate.dueEnd;
        for (const Found& f : found) {
            if (predicate.incompleteOnly && (f.todo->completed || f.todo->cancelled))
                continue;
            if (bounded) {
                const auto due
                    = f.todo->due ? eventstore::dateFromComponents(*f.todo->due) : std::nullopt;
                if (!due || (predicate.dueStart && *due < *predicate.dueStart)
                    || (predicate.dueEnd && *due >= *predicate.dueEnd))
                    continue;
            }
            result.push_back(makeReminder(f));
        }
        return result;
    }

    // The reminder as it stands on disk now, looked up by identifier: through the index
    // first, and when that is stale, after reading every list again.
    std::optional<Reminder> lookUp(const std::string& identifier) const
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            auto it = index.find(identifier);
            if (it != index.end()) {
                if (const auto list = listWithIdentifier(it->second.calendarIdentifier)) {
                    if (auto one = readOne(*list, it->second.fileName, identifier))
                        return one;
                }
                index.erase(identifier);
            }
            if (attempt == 0) {
                std::vector<std::string> fileNames;
                scanFiles(scanAllLists(), fileNames);
            }
        }
        return std::nullopt;
    }

    std::optional<Reminder> readOne(
        const EventCalendar& list, const std::string& fileName, const std::string& identifier) const
    {
        const fs::path path = root / list.calendarIdentifier / fileName;
        const auto stamp = stampOf(path);
        if (!stamp)
            return std::nullopt;
        auto cached = files.find(path.string());
        if (cached == files.end() || !(cached->second.stamp == *stamp)) {
            std::string bytes;
            if (readWholeFile(path, bytes) != ReadOutcome::ok)
                return std::nullopt;
            ics::File content = ics::parse(bytes);
            logProblems(path, content);
            cached
                = files.insert_or_assign(path.string(), CachedFile { *stamp, std::move(content) })
                      .first;
        }
        for (const ics::Todo& todo : cached->second.content.todos) {
            const bool uidMissing = todo.uid.empty();
            const std::string id = uidMissing ? fileName.substr(0, fileName.size() - 4) : todo.uid;
            if (id == identifier)
                return makeReminder(Found { &list, &fileName, &todo, id, uidMissing });
        }
        return std::nullopt;
    }

    bool calendarKnown(const std::string& identifier) const
    {
        for (const Staged& s : staged) {
            if (s.kind == Staged::Kind::saveCalendar
                && s.calendar->calendarIdentifier == identifier)
                return true;
        }
        return listWithIdentifier(identifier).has_value();
    }

    void commitStaged();
};

namespace {

ics::TodoChanges changesOf(const Reminder& r, const ics::Todo* before, Date now)
{
    ics::TodoChanges changes;
    changes.uid = r.calendarItemIdentifier();
    changes.now = now;
    changes.timeZone = r.timeZone();
    if (!before || before->title != r.title())
        changes.title = r.title();
    if (!before || before->start != r.startDateComponents())
        changes.start = r.startDateComponents();
    if (!before || before->due != r.dueDateComponents())
        changes.due = r.dueDateComponents();
    if (!before || before->completed != r.isCompleted()
        || before->completionDate != r.completionDate())
        changes.completion = std::make_pair(r.isCompleted(), r.completionDate());
    return changes;
}

bool changesAnything(const ics::TodoChanges& c)
{
    return c.title || c.start || c.due || c.completion;
}

Date nowInSeconds()
{
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

} // namespace

void EventStore::Private::commitStaged()
{
    std::vector<Staged> batch = std::move(staged);
    staged.clear();
    const Date now = nowInSeconds();

    struct Write {
        fs::path target;
        fs::path temp;
    };
    std::vector<Write> writes;
    std::vector<std::pair<fs::path, std::string>> contents; // target, bytes
    std::vector<fs::path> unlinks;
    std::vector<fs::path> createdDirs;
    std::vector<fs::path> removedDirs;
    std::set<fs::path> claimed;
    std::vector<std::pair<std::string, Location>> indexUpdates;
    std::vector<std::string> indexRemovals;

    // The last staged change of each reminder counts.
    std::map<std::string, std::size_t> lastOfReminder;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (batch[i].reminder)
            lastOfReminder[batch[i].reminder->calendarItemIdentifier()] = i;
    }

    auto rollBack = [&] {
        for (const Write& w : writes)
            ::unlink(w.temp.c_str());
        for (auto it = createdDirs.rbegin(); it != createdDirs.rend(); ++it) {
            std::error_code error;
            fs::remove_all(*it, error);
        }
    };

    try {
        for (const Staged& s : batch) {
            if (s.kind != Staged::Kind::saveCalendar)
                continue;
            const EventCalendar& c = *s.calendar;
            const fs::path dir = root / c.calendarIdentifier;
            std::error_code error;
            if (!fs::exists(dir, error)) {
                if (!fs::exists(dir.parent_path(), error))
                    throw EventStoreError(EventStoreError::Code::sourceNotFound,
                        "the source of " + c.calendarIdentifier + " is gone");
                if (::mkdir(dir.c_str(), 0755) != 0)
                    failWrite("cannot create", dir, errno);
                createdDirs.push_back(dir);
            }
            if (readSmallFile(dir / "displayname") != std::optional<std::string>(c.title))
                contents.emplace_back(dir / "displayname", c.title + "\n");
            const auto color = readSmallFile(dir / "color");
            if (c.color && color != c.color)
                contents.emplace_back(dir / "color", *c.color + "\n");
            else if (!c.color && color)
                unlinks.push_back(dir / "color");
        }

        for (std::size_t i = 0; i < batch.size(); ++i) {
            const Staged& s = batch[i];
            if (!s.reminder || lastOfReminder[s.reminder->calendarItemIdentifier()] != i)
                continue;
            const Reminder& r = *s.reminder;
            const std::string& id = r.calendarItemIdentifier();
            // Where it is now, read afresh, so that other programs' changes to other fields stay.
            std::optional<Reminder> current = lookUp(id);
            const Location* location = current ? &index.at(id) : nullptr;
            std::string original;
            fs::path currentPath;
            if (location) {
                currentPath = root / location->calendarIdentifier / location->fileName;
                if (readWholeFile(currentPath, original) != ReadOutcome::ok)
                    failWrite("cannot read", currentPath, errno);
            }

            if (s.kind == Staged::Kind::removeReminder) {
                if (!location)
                    continue; // gone already
                const auto rest = ics::remove(original, id, location->uidMissing);
                if (!rest)
                    continue;
                if (rest->empty())
                    unlinks.push_back(currentPath);
                else
                    contents.emplace_back(currentPath, *rest);
                indexRemovals.push_back(id);
                continue;
            }

            const std::string targetList = r.calendar()
                ? r.calendar()->calendarIdentifier
                : (location ? location->calendarIdentifier : std::string());
            const fs::path targetDir = root / targetList;
            // Compare with what the caller read, so that only what it changed is written.
            const ics::Todo* before = r.m_record ? &r.m_record->todo : nullptr;
            ics::TodoChanges changes = changesOf(r, before, now);
            if (!location) {
                // New, or gone meanwhile: a file of its own, named after its UID.
                changes = changesOf(r, nullptr, now);
                const std::string name = newFileName(targetDir, id, claimed);
                claimed.insert(targetDir / name);
                auto bytes = ics::write("", changes);
                contents.emplace_back(targetDir / name, *bytes);
                indexUpdates.emplace_back(id, Location { targetList, name, false });
                continue;
            }
            const bool moves = targetList != location->calendarIdentifier;
            if (!moves && !changesAnything(changes))
                continue; // nothing to write: the file stays as it is
            const ics::File file = ics::parse(original);
            if (moves && file.todos.size() > 1) {
                // Several tasks share the file: this one leaves, the others stay.
                const auto rest = ics::remove(original, id, location->uidMissing);
                if (rest)
                    contents.emplace_back(currentPath, *rest);
                original.clear();
                changes = changesOf(r, nullptr, now);
            }
            auto bytes = ics::write(original, changes, location->uidMissing && !original.empty());
            if (!bytes)
                continue;
            if (!moves) {
                contents.emplace_back(currentPath, *bytes);
                indexUpdates.emplace_back(id, *location);
            } else {
                const std::string name = fs::exists(targetDir / location->fileName)
                        || claimed.count(targetDir / location->fileName)
                    ? newFileName(targetDir, id, claimed)
                    : location->fileName;
                claimed.insert(targetDir / name);
                contents.emplace_back(targetDir / name, *bytes);
                if (file.todos.size() <= 1)
                    unlinks.push_back(currentPath);
                indexUpdates.emplace_back(
                    id, Location { targetList, name, location->uidMissing && !original.empty() });
            }
        }

        for (const Staged& s : batch) {
            if (s.kind == Staged::Kind::removeCalendar)
                removedDirs.push_back(root / s.calendar->calendarIdentifier);
        }

        for (const auto& [target, bytes] : contents)
            writes.push_back(Write { target, writeTemporary(target, bytes) });
    } catch (const EventStoreError&) {
        rollBack();
        throw;
    } catch (const std::exception& error) {
        rollBack();
        throw EventStoreError(EventStoreError::Code::writeFailed, error.what());
    }

    // Everything is prepared: put it in place.
    std::set<fs::path> touchedDirs;
    std::optional<EventStoreError> failure;
    for (const Write& w : writes) {
        if (::rename(w.temp.c_str(), w.target.c_str()) != 0 && !failure) {
            failure = EventStoreError(EventStoreError::Code::writeFailed,
                "cannot rename to " + w.target.string() + ": " + std::strerror(errno));
            ::unlink(w.temp.c_str());
        }
        touchedDirs.insert(w.target.parent_path());
        files.erase(w.target.string());
    }
    for (const fs::path& path : unlinks) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT && !failure)
            failure = EventStoreError(EventStoreError::Code::writeFailed,
                "cannot remove " + path.string() + ": " + std::strerror(errno));
        touchedDirs.insert(path.parent_path());
        files.erase(path.string());
    }
    for (const fs::path& dir : touchedDirs)
        syncDirectory(dir);
    for (const std::string& id : indexRemovals)
        index.erase(id);
    for (auto& [id, location] : indexUpdates)
        index[id] = location;
    for (const fs::path& dir : removedDirs) {
        // Out of sight at once, then gone.
        const fs::path aside = dir.parent_path()
            / ("." + dir.filename().string() + "."
                + QUuid::createUuid().toString(QUuid::Id128).left(8).toStdString() + ".removed");
        if (::rename(dir.c_str(), aside.c_str()) != 0) {
            if (errno != ENOENT && !failure)
                failure = EventStoreError(EventStoreError::Code::writeFailed,
                    "cannot remove " + dir.string() + ": " + std::strerror(errno));
            continue;
        }
        syncDirectory(dir.parent_path());
        std::error_code error;
        fs::remove_all(aside, error);
        const std::string prefix = dir.string() + "/";
        std::erase_if(
            files, [&prefix](const auto& entry) { return entry.first.rfind(prefix, 0) == 0; });
    }
    if (failure)
        throw *failure;
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
        qCWarning(lcEventStore).noquote()
            << "the list" << QString::fromStdString(reminder.m_calendar->calendarIdentifier)
            << "does not exist; the reminder stays in its list";
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
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshWatches();
                scheduleChange();
            },
            Qt::QueuedConnection);
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
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshWatches();
                scheduleChange();
            },
            Qt::QueuedConnection);
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
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshWatches();
                scheduleChange();
            },
            Qt::QueuedConnection);
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
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshWatches();
                scheduleChange();
            },
            Qt::QueuedConnection);
    }
}

void EventStore::commit()
{
    std::lock_guard lock(d->mutex);
    d->requireWrite();
    const bool any = !d->staged.empty();
    d->commitStaged();
    if (any)
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshWatches();
                scheduleChange();
            },
            Qt::QueuedConnection);
}

void EventStore::reset()
{
    std::lock_guard lock(d->mutex);
    d->staged.clear();
}

AuthorizationStatus EventStore::authorizationStatus(EntityType type) const
{
    if (type != EntityType::reminder)
        return AuthorizationStatus::restricted;
    std::lock_guard lock(d->access->mutex);
    return d->access->reminders;
}

void EventStore::requestFullAccessToReminders(AccessCompletion completion)
{
    requestAccessToEntityType(EntityType::reminder, std::move(completion));
}

void EventStore::requestAccessToEntityType(EntityType type, AccessCompletion completion)
{
    if (type != EntityType::reminder) {
        completion(false,
            EventStoreError(
                EventStoreError::Code::invalidEntityType, "only task lists are kept here"));
        return;
    }
    std::shared_ptr<AccessState> access = d->access;
    std::unique_lock lock(access->mutex);
    if (access->reminders != AuthorizationStatus::notDetermined) {
        const bool granted = access->reminders == AuthorizationStatus::fullAccess;
        lock.unlock();
        completion(granted, std::nullopt);
        return;
    }
    if (!d->options.accessPrompt) {
        lock.unlock();
        completion(false,
            EventStoreError(EventStoreError::Code::noAccessPrompt,
                "access to the calendar task lists cannot be asked for here"));
        return;
    }
    access->waiting.push_back(std::move(completion));
    if (access->asking)
        return; // one question at a time; everyone waiting gets its answer
    access->asking = true;
    lock.unlock();
    rx::mainQueue().post([access, prompt = d->options.accessPrompt] {
        auto answered = std::make_shared<std::once_flag>();
        prompt(EntityType::reminder, [access, answered](bool granted) {
            std::call_once(*answered, [&] {
                std::vector<AccessCompletion> waiting;
                {
                    std::lock_guard lock(access->mutex);
                    access->reminders
                        = granted ? AuthorizationStatus::fullAccess : AuthorizationStatus::denied;
                    access->asking = false;
                    access->save();
                    waiting.swap(access->waiting);
                }
                for (auto& done : waiting)
                    done(granted, std::nullopt);
            });
        });
    });
}

rx::Publisher<rx::Unit> EventStore::changes() const
{
    return d->subject.publisher();
}

void EventStore::scheduleChange()
{
    if (!m_coalesce->isActive())
        m_coalesce->start();
}

void EventStore::deliverChange()
{
    Q_EMIT changed();
    d->subject.send(rx::Unit {});
}

void EventStore::refreshWatches()
{
    QStringList wanted;
    fs::path watchRoot = d->root;
    std::error_code error;
    while (!fs::is_directory(watchRoot, error) && watchRoot.has_parent_path()
        && watchRoot != watchRoot.parent_path())
        watchRoot = watchRoot.parent_path();
    wanted << QString::fromStdString(watchRoot.string());
    if (watchRoot == d->root) {
        for (const auto& source : fs::directory_iterator(d->root, error)) {
            std::error_code typeError;
            if (isHidden(source.path().filename().string()) || !source.is_directory(typeError))
                continue;
            wanted << QString::fromStdString(source.path().string());
            std::error_code listError;
            for (const auto& list : fs::directory_iterator(source.path(), listError)) {
                if (!isHidden(list.path().filename().string()) && list.is_directory(typeError))
                    wanted << QString::fromStdString(list.path().string());
            }
        }
    }
    const QStringList watched = m_watcher->directories();
    QStringList added;
    for (const QString& path : wanted) {
        if (!watched.contains(path))
            added << path;
    }
    QStringList removed;
    for (const QString& path : watched) {
        if (!wanted.contains(path))
            removed << path;
    }
    if (!removed.isEmpty())
        m_watcher->removePaths(removed);
    if (!added.isEmpty())
        m_watcher->addPaths(added);
}

} // namespace tidemark
