#include "platform/eventstore/EventStorePrivate.hpp"

#include "platform/eventstore/ReminderRecord.hpp"

#include <QUuid>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tidemark {

using namespace eventstore;

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

// The file's text with a change written, or refused with the reason and the file named.
std::optional<std::string> writtenInto(std::string_view original, const ics::TodoChanges& changes,
    bool matchFirstWithoutUid, const fs::path& path)
{
    try {
        return ics::write(original, changes, matchFirstWithoutUid);
    } catch (const ics::WriteError& error) {
        throw EventStoreError(
            EventStoreError::Code::notWritable, validUtf8(path.string()) + ": " + error.what());
    }
}

std::optional<std::string> removedFrom(std::string_view original, const std::string& uid,
    bool matchFirstWithoutUid, const fs::path& path)
{
    try {
        return ics::remove(original, uid, matchFirstWithoutUid);
    } catch (const ics::WriteError& error) {
        throw EventStoreError(
            EventStoreError::Code::notWritable, validUtf8(path.string()) + ": " + error.what());
    }
}

Date nowInSeconds()
{
    return std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
}

} // namespace

bool EventStore::Private::calendarKnown(const std::string& identifier) const
{
    for (const Staged& s : staged) {
        if (s.kind == Staged::Kind::saveCalendar && s.calendar->calendarIdentifier == identifier)
            return true;
    }
    return listWithIdentifier(identifier).has_value();
}

// Every file of the commit is written beside its place first; when one cannot be, none
// takes its place. Then they are renamed into place, files and lists removed, and the
// folders synced.
void EventStore::Private::commitStaged()
{
    std::vector<Staged> batch = std::move(staged);
    staged.clear();
    const Date now = nowInSeconds();
    CommitPlan plan;

    // The last staged change of each reminder counts.
    std::map<std::string, std::size_t> lastOfReminder;
    for (std::size_t i = 0; i < batch.size(); ++i) {
        if (batch[i].reminder)
            lastOfReminder[batch[i].reminder->calendarItemIdentifier()] = i;
    }

    try {
        planCalendarSaves(batch, plan);
        planReminderChanges(batch, lastOfReminder, now, plan);
        planCalendarRemovals(batch, plan);
        writeTemporaries(plan);
    } catch (const EventStoreError&) {
        rollBack(plan);
        throw;
    } catch (const std::exception& error) {
        rollBack(plan);
        throw EventStoreError(EventStoreError::Code::writeFailed, error.what());
    }

    // Everything is prepared: put it in place.
    if (const auto failure = putInPlace(plan))
        throw *failure;
}

// A saved list: its folder (made now when new), its `displayname` and `color` files.
void EventStore::Private::planCalendarSaves(
    const std::vector<Staged>& batch, CommitPlan& plan) const
{
    for (const Staged& s : batch) {
        if (s.kind != Staged::Kind::saveCalendar)
            continue;
        const EventCalendar& c = *s.calendar;
        const fs::path dir = pathOf(c.calendarIdentifier);
        std::error_code error;
        if (!fs::exists(dir, error)) {
            if (!fs::exists(dir.parent_path(), error))
                throw EventStoreError(EventStoreError::Code::sourceNotFound,
                    "the source of " + c.calendarIdentifier + " is gone");
            if (::mkdir(dir.c_str(), 0755) != 0)
                failWrite("cannot create", dir, errno);
            plan.createdDirs.push_back(dir);
        }
        // Compared as read, so that a name file whose bytes are not text stays as it is
        // while its name does not change.
        if (readNameFile(dir / "displayname") != std::optional<std::string>(c.title))
            plan.contents.push_back(Content { dir / "displayname", c.title + "\n" });
        const auto color = readNameFile(dir / "color");
        if (c.color && color != c.color)
            plan.contents.push_back(Content { dir / "color", *c.color + "\n" });
        else if (!c.color && color)
            plan.unlinks.push_back(dir / "color");
    }
}

void EventStore::Private::planReminderChanges(const std::vector<Staged>& batch,
    const std::map<std::string, std::size_t>& lastOfReminder, Date now, CommitPlan& plan)
{
    for (std::size_t i = 0; i < batch.size(); ++i) {
        const Staged& s = batch[i];
        if (!s.reminder || lastOfReminder.at(s.reminder->calendarItemIdentifier()) != i)
            continue;
        planReminder(s, now, plan);
    }
}

// One reminder's save or removal, against the file it is in now.
void EventStore::Private::planReminder(const Staged& s, Date now, CommitPlan& plan)
{
    const Reminder& r = *s.reminder;
    const std::string& id = r.calendarItemIdentifier();
    // Where it is now, read afresh, so that other programs' changes to other fields stay.
    std::optional<Reminder> current = lookUp(id);
    const Location* location = current ? &index.at(id) : nullptr;
    std::string original;
    fs::path currentPath;
    if (location) {
        currentPath = pathOf(location->calendarIdentifier) / location->fileName;
        const ReadOutcome outcome = readWholeFile(currentPath, original);
        if (outcome == ReadOutcome::tooLarge)
            throw EventStoreError(EventStoreError::Code::notWritable,
                relative(currentPath) + " has grown too large to be changed here");
        if (outcome != ReadOutcome::ok)
            failWrite("cannot read", currentPath, errno);
    }

    if (s.kind == Staged::Kind::removeReminder) {
        if (location) // else gone already
            planRemoval(id, *location, original, currentPath, plan);
        return;
    }

    const std::string targetList = r.calendar()
        ? r.calendar()->calendarIdentifier
        : (location ? location->calendarIdentifier : std::string());
    if (!location) {
        // Gone, unless the file it was read from is still there and no longer reads: a
        // second file with its UID would not make it readable, only ambiguous.
        if (r.m_record) {
            const fs::path readFrom = pathOf(r.m_record->calendarIdentifier) / r.m_record->fileName;
            if (stampOf(readFrom))
                throw EventStoreError(EventStoreError::Code::notWritable,
                    relative(readFrom)
                        + " no longer holds the task as it was read; nothing was written");
        }
        planNewFile(r, targetList, now, plan);
        return;
    }
    planRewrite(r, *location, std::move(original), currentPath, targetList, now, plan);
}

void EventStore::Private::planRemoval(const std::string& id, const Location& location,
    const std::string& original, const fs::path& currentPath, CommitPlan& plan) const
{
    const auto rest = removedFrom(original, id, location.uidMissing, currentPath);
    if (!rest)
        return; // gone already
    if (rest->empty())
        plan.unlinks.push_back(currentPath);
    else
        plan.contents.push_back(Content { currentPath, *rest });
    plan.indexRemovals.push_back(id);
}

// New, or gone meanwhile: a file of its own, named after its UID.
void EventStore::Private::planNewFile(
    const Reminder& r, const std::string& targetList, Date now, CommitPlan& plan) const
{
    const std::string& id = r.calendarItemIdentifier();
    const fs::path targetDir = pathOf(targetList);
    const ics::TodoChanges changes = changesOf(r, nullptr, now);
    const std::string name = newFileName(targetDir, id, plan.claimed);
    plan.claimed.insert(targetDir / name);
    auto bytes = writtenInto("", changes, false, targetDir / name);
    plan.contents.push_back(Content { targetDir / name, *bytes });
    plan.indexUpdates.emplace_back(id, Location { targetList, name, false });
}

// A reminder that has a file: what the caller changed is written into it, in place or in
// the file's new place in another list.
void EventStore::Private::planRewrite(const Reminder& r, const Location& location,
    std::string original, const fs::path& currentPath, const std::string& targetList, Date now,
    CommitPlan& plan) const
{
    const std::string& id = r.calendarItemIdentifier();
    const fs::path targetDir = pathOf(targetList);
    // Compare with what the caller read, so that only what it changed is written.
    const ics::Todo* before = r.m_record ? &r.m_record->todo : nullptr;
    ics::TodoChanges changes = changesOf(r, before, now);
    const bool moves = targetList != location.calendarIdentifier;
    if (!moves && !changesAnything(changes))
        return; // nothing to write: the file stays as it is
    const ics::File file = ics::parse(original);
    if (moves && file.todos.size() > 1) {
        // Several tasks share the file: this one leaves, the others stay.
        const auto rest = removedFrom(original, id, location.uidMissing, currentPath);
        if (rest)
            plan.contents.push_back(Content { currentPath, *rest });
        original.clear();
        changes = changesOf(r, nullptr, now);
    }
    auto bytes
        = writtenInto(original, changes, location.uidMissing && !original.empty(), currentPath);
    if (!bytes)
        throw EventStoreError(EventStoreError::Code::writeFailed,
            relative(currentPath) + " changed while the task was being saved; nothing was written");
    if (!moves) {
        plan.contents.push_back(Content { currentPath, *bytes });
        plan.indexUpdates.emplace_back(id, location);
        return;
    }
    const std::string name = fs::exists(targetDir / location.fileName)
            || plan.claimed.count(targetDir / location.fileName)
        ? newFileName(targetDir, id, plan.claimed)
        : location.fileName;
    plan.claimed.insert(targetDir / name);
    // In its new list it keeps the mode and owner it had.
    plan.contents.push_back(Content { targetDir / name, *bytes, currentPath });
    if (file.todos.size() <= 1)
        plan.unlinks.push_back(currentPath);
    plan.indexUpdates.emplace_back(
        id, Location { targetList, name, location.uidMissing && !original.empty() });
}

void EventStore::Private::planCalendarRemovals(
    const std::vector<Staged>& batch, CommitPlan& plan) const
{
    for (const Staged& s : batch) {
        if (s.kind == Staged::Kind::removeCalendar)
            plan.removedDirs.push_back(pathOf(s.calendar->calendarIdentifier));
    }
}

void EventStore::Private::writeTemporaries(CommitPlan& plan)
{
    for (const Content& c : plan.contents)
        plan.writes.push_back(
            CommitPlan::Write { c.target, writeTemporary(c.target, c.bytes, c.modeFrom) });
}

void EventStore::Private::rollBack(const CommitPlan& plan)
{
    for (const CommitPlan::Write& w : plan.writes)
        ::unlink(w.temp.c_str());
    for (auto it = plan.createdDirs.rbegin(); it != plan.createdDirs.rend(); ++it) {
        std::error_code error;
        fs::remove_all(*it, error);
    }
}

// Puts every prepared change in place, going on past a failure; the first failure is
// the answer.
std::optional<EventStoreError> EventStore::Private::putInPlace(const CommitPlan& plan)
{
    std::set<fs::path> touchedDirs;
    std::optional<EventStoreError> failure;
    moveWritesIntoPlace(plan, touchedDirs, failure);
    removeFiles(plan, touchedDirs, failure);
    for (const fs::path& dir : touchedDirs)
        syncDirectory(dir);
    for (const std::string& id : plan.indexRemovals)
        index.erase(id);
    for (const auto& [id, location] : plan.indexUpdates)
        index[id] = location;
    removeDirectories(plan, failure);
    return failure;
}

void EventStore::Private::moveWritesIntoPlace(const CommitPlan& plan,
    std::set<fs::path>& touchedDirs, std::optional<EventStoreError>& failure)
{
    for (const CommitPlan::Write& w : plan.writes) {
        if (::rename(w.temp.c_str(), w.target.c_str()) != 0 && !failure) {
            failure = EventStoreError(EventStoreError::Code::writeFailed,
                "cannot rename to " + w.target.string() + ": " + std::strerror(errno));
            ::unlink(w.temp.c_str());
        }
        touchedDirs.insert(w.target.parent_path());
        files.erase(w.target.string());
    }
}

void EventStore::Private::removeFiles(const CommitPlan& plan, std::set<fs::path>& touchedDirs,
    std::optional<EventStoreError>& failure)
{
    for (const fs::path& path : plan.unlinks) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT && !failure)
            failure = EventStoreError(EventStoreError::Code::writeFailed,
                "cannot remove " + path.string() + ": " + std::strerror(errno));
        touchedDirs.insert(path.parent_path());
        files.erase(path.string());
    }
}

void EventStore::Private::removeDirectories(
    const CommitPlan& plan, std::optional<EventStoreError>& failure)
{
    for (const fs::path& dir : plan.removedDirs) {
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
}

} // namespace tidemark
