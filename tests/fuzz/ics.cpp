// A task file of the user's calendar folders, as another program may have written it:
// parsing never throws or crashes, and each task that is read can have its title changed
// and can be removed, the result reading back under the same UIDs with the new title (or
// without the task). The writer may refuse a change it cannot make safely, with a clear
// error and the file left as it was, but only for a file the reader found something wrong
// in. First in the file format alone, then through the event store over a folder tree
// holding the file.

#include "FuzzCheck.hpp"

#include "platform/eventstore/EventStore.hpp"
#include "platform/eventstore/IcsTodo.hpp"
#include "platform/logging/LogSystem.hpp"

#include <QCoreApplication>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace tidemark;

namespace {

const std::string newTitle = "Fuzzed title \xE2\x9C\x93, with; commas\\ and a line\nbreak";
// At most this many tasks of one file are changed.
constexpr std::size_t tasksToChange = 4;

std::string excerpt(std::string_view text)
{
    return std::string(text.substr(0, 2000));
}

// A refusal is allowed only where the reader found something wrong: a file it reads
// cleanly must be writable.
void checkRefusal(const ics::File& file, const std::string& what, const std::string& error)
{
    FUZZ_CHECK_THAT(!file.problems.empty(), what + " of a file read without a problem: " + error);
}

// The file format alone: the text with one task's title changed.
void checkTitleChange(std::string_view bytes, const ics::File& file, const ics::Todo& todo)
{
    const bool uidMissing = todo.uid.empty();
    ics::TodoChanges changes;
    // The event store names a task without a UID after its file, and writes that UID.
    changes.uid = uidMissing ? "task" : todo.uid;
    changes.title = newTitle;
    changes.now = dateFromTimeIntervalSince1970(1'700'000'000);
    std::optional<std::string> written;
    try {
        written = ics::write(bytes, changes, uidMissing);
    } catch (const ics::WriteError& error) {
        checkRefusal(file, "a change of title refused", error.what());
        return;
    }
    FUZZ_CHECK_THAT(written.has_value(), "UID \"" + todo.uid + "\" was read but cannot be written");
    const auto reread = ics::parse(*written);
    FUZZ_CHECK_THAT(reread.readable, excerpt(*written));
    const ics::Todo* found = nullptr;
    for (const auto& candidate : reread.todos) {
        if (candidate.uid == changes.uid)
            found = &candidate;
    }
    FUZZ_CHECK_THAT(found,
        "UID \"" + changes.uid + "\" is gone after a change of title:\n" + excerpt(*written));
    FUZZ_CHECK_THAT(found->title == newTitle, excerpt(*written));
    FUZZ_CHECK_THAT(
        found->due == todo.due && found->start == todo.start && found->completed == todo.completed,
        excerpt(*written));
}

// The file format alone: the text without one task; every other task stays as it was.
void checkRemoval(std::string_view bytes, const ics::File& file, const ics::Todo& todo)
{
    std::optional<std::string> rest;
    try {
        rest = ics::remove(bytes, todo.uid, todo.uid.empty());
    } catch (const ics::WriteError& error) {
        checkRefusal(file, "a removal refused", error.what());
        return;
    }
    FUZZ_CHECK_THAT(rest.has_value(), "UID \"" + todo.uid + "\" was read but cannot be removed");
    std::vector<ics::Todo> others;
    bool removed = false;
    for (const auto& candidate : file.todos) {
        if (!removed && candidate == todo)
            removed = true;
        else
            others.push_back(candidate);
    }
    const auto reread = ics::parse(*rest);
    FUZZ_CHECK_THAT(rest->empty() ? others.empty() : reread.todos == others,
        "after removing \"" + todo.uid + "\":\n" + excerpt(*rest));
}

std::string contentsOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The event store over a folder tree with the file as the one task file of a list.
void checkThroughTheStore(std::string_view bytes, const ics::File& file)
{
    const std::filesystem::path folder = fuzz::scratchFolder();
    const auto list = folder / "calendars" / "source" / "list";
    const auto taskFile = list / "task.ics";
    std::filesystem::create_directories(list);
    std::filesystem::create_directories(folder / "state");
    writeFile(taskFile, bytes);
    writeFile(folder / "state" / "eventstore-access", "reminders=fullAccess\n");
    {
        EventStoreOptions options;
        options.rootPath = QString::fromStdString((folder / "calendars").string());
        options.stateDirectory = QString::fromStdString((folder / "state").string());
        EventStore store(options);
        const auto predicate = store.predicateForReminders(std::nullopt);
        auto reminders = store.fetchReminders(predicate);
        if (reminders.size() > tasksToChange)
            reminders.resize(tasksToChange);
        for (auto& reminder : reminders) {
            const auto identifier = reminder.calendarItemIdentifier();
            const auto before = contentsOf(taskFile);
            const auto title = reminder.title();
            reminder.setTitle(newTitle);
            try {
                store.saveReminder(reminder, true);
            } catch (const EventStoreError& error) {
                checkRefusal(file, "saving \"" + identifier + "\" refused", error.what());
                FUZZ_CHECK_THAT(contentsOf(taskFile) == before,
                    "a refused save of \"" + identifier + "\" changed the file");
                const auto kept = store.calendarItemWithIdentifier(identifier);
                FUZZ_CHECK_THAT(kept && kept->title() == title,
                    "\"" + identifier + "\" is not as it was after a refused save");
                continue;
            }
            const auto reread = store.calendarItemWithIdentifier(identifier);
            FUZZ_CHECK_THAT(reread.has_value(), "\"" + identifier + "\" is gone after saving");
            FUZZ_CHECK_THAT(reread->title() == newTitle, "\"" + identifier + "\"");
        }
        // Then each goes.
        for (const auto& reminder : reminders) {
            const auto identifier = reminder.calendarItemIdentifier();
            const auto before = contentsOf(taskFile);
            try {
                store.removeReminder(reminder, true);
            } catch (const EventStoreError& error) {
                checkRefusal(file, "removing \"" + identifier + "\" refused", error.what());
                FUZZ_CHECK_THAT(contentsOf(taskFile) == before,
                    "a refused removal of \"" + identifier + "\" changed the file");
                continue;
            }
            FUZZ_CHECK_THAT(!store.calendarItemWithIdentifier(identifier).has_value(),
                "\"" + identifier + "\" is still there after its removal");
        }
    }
    fuzz::clearScratch();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    static int argc = 1;
    static char name[] = "fuzz_ics";
    static char* argv[] = { name, nullptr };
    new QCoreApplication(argc, argv);
    // What the store logs about the files it skips is expected here.
    LoggingConfiguration quiet;
    quiet.writesToStandardError = false;
    LogSystem::shared()->configure(quiet);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = fuzz::text(data, size);
    const auto file = ics::parse(bytes);
    FUZZ_CHECK(file.readable || !file.problems.empty());
    if (!file.readable || file.todos.empty())
        return 0;
    for (std::size_t i = 0; i < file.todos.size() && i < tasksToChange; ++i) {
        checkTitleChange(bytes, file, file.todos[i]);
        checkRemoval(bytes, file, file.todos[i]);
    }
    checkThroughTheStore(bytes, file);
    return 0;
}
