#include "platform/eventstore/EventStorePrivate.hpp"

#include "platform/eventstore/ComponentsDate.hpp"
#include "platform/eventstore/ReminderRecord.hpp"

#include <algorithm>
#include <thread>
#include <unordered_set>

namespace fs = std::filesystem;

namespace tidemark {

using namespace eventstore;

fs::path EventStore::Private::pathOf(const std::string& identifier) const
{
    if (auto known = folders.find(identifier); known != folders.end())
        return root / known->second;
    // A list only staged so far: its source is known, its own name is new.
    const auto slash = identifier.find('/');
    if (slash != std::string::npos) {
        if (auto source = folders.find(identifier.substr(0, slash)); source != folders.end())
            return root / source->second / identifier.substr(slash + 1);
    }
    return root / identifier;
}

void EventStore::Private::reportOnce(const fs::path& path, const std::string& problem) const
{
    const std::string key = path.string();
    if (problem.empty()) {
        reported.erase(key);
        return;
    }
    auto [entry, fresh] = reported.try_emplace(key, problem);
    if (!fresh && entry->second == problem)
        return;
    entry->second = problem;
    eventstore::logger().error(relative(path) + ": " + problem);
}

std::optional<std::string> EventStore::Private::readNameFile(const fs::path& path) const
{
    std::string problem;
    auto text = readSmallFile(path, &problem);
    reportOnce(path, problem);
    if (!text)
        return std::nullopt;
    return validUtf8(*text);
}

std::vector<std::pair<std::string, std::string>> EventStore::Private::subfolders(
    const fs::path& dir, const std::string& prefix) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        std::error_code typeError;
        if (!isHidden(name) && entry.is_directory(typeError))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    std::vector<std::pair<std::string, std::string>> result;
    std::set<std::string> taken;
    std::string parentFolder;
    if (!prefix.empty()) {
        const auto parent = folders.find(prefix);
        parentFolder = (parent != folders.end() ? parent->second : prefix) + "/";
    }
    for (std::string& name : names) {
        // A name that is not text reads with U+FFFD in place of its bad bytes; the folder
        // keeps its own name on disk.
        std::string identifier = (prefix.empty() ? "" : prefix + "/") + validUtf8(name);
        if (!taken.insert(identifier).second) {
            reportOnce(dir / name,
                "its name reads as that of another folder (\"" + identifier + "\"); skipped");
            continue;
        }
        folders[identifier] = parentFolder + name;
        result.emplace_back(std::move(identifier), std::move(name));
    }
    return result;
}

std::vector<Source> EventStore::Private::scanSources() const
{
    std::vector<Source> result;
    for (auto& [identifier, name] : subfolders(root, std::string())) {
        const auto title = readNameFile(root / name / "displayname");
        result.push_back(Source { identifier, title && !title->empty() ? *title : identifier });
    }
    return result;
}

bool EventStore::Private::isList(const fs::path& dir)
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

std::vector<EventCalendar> EventStore::Private::scanLists(const Source& source) const
{
    std::vector<EventCalendar> result;
    const fs::path sourceDir = pathOf(source.sourceIdentifier);
    for (auto& [identifier, name] : subfolders(sourceDir, source.sourceIdentifier)) {
        const fs::path dir = sourceDir / name;
        if (!isList(dir))
            continue;
        EventCalendar calendar = EventCalendar::forEntityType(EntityType::reminder);
        calendar.calendarIdentifier = identifier;
        const auto title = readNameFile(dir / "displayname");
        calendar.title = title && !title->empty() ? *title : validUtf8(name);
        const auto color = readNameFile(dir / "color");
        if (color && !color->empty())
            calendar.color = *color;
        calendar.source = source;
        result.push_back(std::move(calendar));
    }
    return result;
}

std::vector<EventCalendar> EventStore::Private::scanAllLists() const
{
    std::vector<EventCalendar> result;
    for (const Source& source : scanSources()) {
        auto lists = scanLists(source);
        result.insert(result.end(), std::make_move_iterator(lists.begin()),
            std::make_move_iterator(lists.end()));
    }
    return result;
}

std::optional<EventCalendar> EventStore::Private::listWithIdentifier(
    const std::string& identifier) const
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

void EventStore::Private::logProblems(const fs::path& path, const ics::File& content) const
{
    const std::string name = relative(path);
    for (const std::string& problem : content.problems) {
        if (content.readable)
            eventstore::logger().error(name + ": " + problem);
        else
            eventstore::logger().error(name + ": skipped, " + problem);
    }
    if (content.readable && content.todos.empty()) {
        if (content.holdsOtherComponents)
            eventstore::logger().info(name + ": holds no task (an event?); skipped");
        else
            eventstore::logger().error(name + ": holds no task; skipped");
    }
}

std::vector<EventStore::Private::Found> EventStore::Private::scanFiles(
    const std::vector<EventCalendar>& lists, std::vector<std::string>& fileNames) const
{
    std::vector<PendingFile> pending = listTaskFiles(lists);
    readChangedFiles(pending);
    fileNames.clear();
    fileNames.reserve(pending.size());
    for (PendingFile& p : pending)
        fileNames.push_back(p.fileName);
    return takeFound(lists, pending, fileNames);
}

// This program's temporary files that a killed write left behind go when a list is first
// read; one younger than a minute may belong to a write going on now.
void EventStore::Private::sweepTemporaries(const EventCalendar& list, const fs::path& dir) const
{
    if (!sweptLists.insert(list.calendarIdentifier).second)
        return;
    const auto olderThan = std::chrono::system_clock::now() - std::chrono::minutes(1);
    for (const std::string& name : removeStaleTemporaries(dir, olderThan))
        eventstore::logger().info(relative(dir / name) + ": removed, left by an interrupted write");
}

// The `.ics` files of the lists, each list's in name order.
std::vector<EventStore::Private::PendingFile> EventStore::Private::listTaskFiles(
    const std::vector<EventCalendar>& lists) const
{
    std::vector<PendingFile> pending;
    for (std::size_t i = 0; i < lists.size(); ++i) {
        const fs::path dir = pathOf(lists[i].calendarIdentifier);
        sweepTemporaries(lists[i], dir);
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(dir, error)) {
            std::string name = entry.path().filename().string();
            if (!isHidden(name) && endsWith(name, ".ics"))
                names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end());
        for (std::string& name : names) {
            PendingFile p { i, std::move(name), {}, {}, false, ReadOutcome::ok, {} };
            p.path = (dir / p.fileName).string();
            pending.push_back(std::move(p));
        }
    }
    return pending;
}

ics::File EventStore::Private::readTaskFile(const fs::path& path, ReadOutcome& outcome) const
{
    std::string bytes;
    outcome = readWholeFile(path, bytes);
    if (outcome == ReadOutcome::ok)
        return ics::parse(bytes);
    ics::File file;
    if (outcome == ReadOutcome::tooLarge) {
        // Parsing is slow and hungry on huge files; one this large is no task of a list.
        outcome = ReadOutcome::ok;
        file.problems.push_back(
            "larger than " + std::to_string(largestTaskFile / 1024 / 1024) + " MiB; left as it is");
    } else if (outcome == ReadOutcome::notRegular) {
        outcome = ReadOutcome::vanished;
    }
    return file;
}

// Stamps every file and reads and parses those the cache does not hold as they are now,
// on several threads when there are many.
void EventStore::Private::readChangedFiles(std::vector<PendingFile>& pending) const
{
    auto work = [&pending, this](std::size_t from, std::size_t to) {
        for (std::size_t k = from; k < to; ++k) {
            PendingFile& p = pending[k];
            p.stamp = stampOf(p.path);
            if (!p.stamp) {
                p.outcome = ReadOutcome::vanished;
                continue;
            }
            auto cached = files.find(p.path);
            if (cached != files.end() && cached->second.stamp == *p.stamp)
                continue;
            p.needsParse = true;
            p.parsed = readTaskFile(p.path, p.outcome);
        }
    };
    // The cache is only read while the workers run; they write into their own slots.
    const std::size_t threads = std::clamp<std::size_t>(
        pending.size() / 256, 1, std::min(8u, std::max(1u, std::thread::hardware_concurrency())));
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
}

// Brings the cache and the index up to date with what was read and gives the tasks found,
// the first of each identifier; `fileNames` holds the names of `pending`, in its order.
std::vector<EventStore::Private::Found> EventStore::Private::takeFound(
    const std::vector<EventCalendar>& lists, std::vector<PendingFile>& pending,
    const std::vector<std::string>& fileNames) const
{
    std::vector<Found> found;
    std::unordered_set<std::string> seen;
    for (std::size_t k = 0; k < pending.size(); ++k) {
        PendingFile& p = pending[k];
        if (p.outcome == ReadOutcome::vanished) {
            files.erase(p.path);
            eventstore::logger().info(relative(p.path) + ": vanished while reading");
            continue;
        }
        if (p.outcome == ReadOutcome::failed) {
            files.erase(p.path);
            eventstore::logger().error(relative(p.path) + ": skipped, cannot be read");
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
                = uidMissing ? validUtf8(p.fileName.substr(0, p.fileName.size() - 4)) : todo.uid;
            if (!seen.insert(identifier).second) {
                if (p.needsParse)
                    eventstore::logger().error(
                        relative(p.path) + ": a second task with UID " + identifier + "; ignored");
                continue;
            }
            index[identifier] = Location { list.calendarIdentifier, p.fileName, uidMissing };
            found.push_back(
                Found { &list, &fileNames[k], &todo, std::move(identifier), uidMissing });
        }
    }
    return found;
}

Reminder EventStore::Private::makeReminder(const Found& f)
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

std::vector<Reminder> EventStore::Private::fetch(const ReminderPredicate& predicate) const
{
    std::vector<EventCalendar> lists = scanAllLists();
    if (predicate.calendarIdentifiers) {
        const auto& wanted = *predicate.calendarIdentifiers;
        std::erase_if(lists, [&wanted](const EventCalendar& c) {
            return std::find(wanted.begin(), wanted.end(), c.calendarIdentifier) == wanted.end();
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

std::optional<Reminder> EventStore::Private::lookUp(const std::string& identifier) const
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

std::optional<Reminder> EventStore::Private::readOne(
    const EventCalendar& list, const std::string& fileName, const std::string& identifier) const
{
    const fs::path path = pathOf(list.calendarIdentifier) / fileName;
    const auto stamp = stampOf(path);
    if (!stamp)
        return std::nullopt;
    auto cached = files.find(path.string());
    if (cached == files.end() || !(cached->second.stamp == *stamp)) {
        ReadOutcome outcome = ReadOutcome::ok;
        ics::File content = readTaskFile(path, outcome);
        if (outcome != ReadOutcome::ok)
            return std::nullopt;
        logProblems(path, content);
        cached = files.insert_or_assign(path.string(), CachedFile { *stamp, std::move(content) })
                     .first;
    }
    for (const ics::Todo& todo : cached->second.content.todos) {
        const bool uidMissing = todo.uid.empty();
        const std::string id
            = uidMissing ? validUtf8(fileName.substr(0, fileName.size() - 4)) : todo.uid;
        if (id == identifier)
            return makeReminder(Found { &list, &fileName, &todo, id, uidMissing });
    }
    return std::nullopt;
}

} // namespace tidemark
