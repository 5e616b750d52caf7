#include "reminders/PersistenceController.hpp"

#include "platform/foundation/XdgPlaces.hpp"
#include "platform/logging/LogCategories.hpp"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace tidemark {

namespace {

// A broken file, or one that cannot be opened, is in the way of every later start; moving
// it aside keeps it for the user and lets the next start make a new store. A newer
// store, a failed migration or a lock held by another program is left where it is:
// another version, a retry or the other program's end can still use it.
bool shouldMoveAside(const PersistenceError& error, const std::filesystem::path& file)
{
    if (file.empty())
        return false;
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, ignored)))
        return false;
    if (error.storeFileIsUnusable())
        return true;
    if (error.code() != PersistenceError::Code::cannotOpenStore)
        return false;
    const int primary = error.sqliteCode() & 0xff;
    return primary != SQLITE_BUSY && primary != SQLITE_LOCKED;
}

} // namespace

void stopWithFatalError(const std::string& message)
{
    appLogger(logcategory::reminders).fault("Fatal error: " + message);
    // Also as a plain line, whatever becomes of the log.
    std::fprintf(stderr, "Fatal error: %s\n", message.c_str());
    std::fflush(stderr);
    std::abort();
}

std::filesystem::path defaultLocalStoreDirectory()
{
    return XdgPlaces().dataHome() / "tidemark";
}

PersistenceController::PersistenceController(
    bool inMemory, bool /*cloudKit*/, PersistenceControllerOptions options)
{
    StoreDescription description;
    description.directory = options.directory;
    description.inMemory = inMemory;
    description.busyTimeoutMilliseconds = options.busyTimeoutMilliseconds;
    container = std::make_shared<PersistentContainer>("Tidemark", description);

    auto error = container->loadPersistentStores();
    if (error && shouldMoveAside(*error, container->storeURL()))
        error = startAfreshBesideBrokenStore(*error, options);
    if (error) {
        options.fatalError(
            "Unresolved error " + error->description() + ", " + error->userInfoDescription());
    }
}

std::optional<PersistenceError> PersistenceController::startAfreshBesideBrokenStore(
    const PersistenceError& error, const PersistenceControllerOptions& options)
{
    const auto file = container->storeURL();
    std::filesystem::path movedTo;
    try {
        movedTo = moveStoreAside(file);
    } catch (const PersistenceError& moveError) {
        appLogger(logcategory::reminders).error(moveError.what());
        return error;
    }
    StoreMovedAside report { file, movedTo, error.description() };
    appLogger(logcategory::reminders).error(report.message());
    if (auto retried = container->loadPersistentStores())
        return retried;
    if (options.storeMovedAside)
        options.storeMovedAside(report);
    return std::nullopt;
}

std::string StoreMovedAside::message() const
{
    return "The reminder store " + storeFile.string() + " could not be used (" + reason
        + "). It was moved to " + movedTo.string()
        + ", where it is kept, and Tidemark continues with a new, empty store.";
}

void PersistenceController::saveIfNeeded() const
{
    auto& context = viewContext();
    if (!context.hasChanges())
        return;
    // What the save wrote, by identifier: once this line is in the log, the rows are in
    // the store's file, whatever happens to the process after it.
    std::string written;
    auto name = [&written](const char* what, const std::vector<CDReminder>& objects) {
        for (const auto& object : objects)
            written += std::string(written.empty() ? "" : ", ") + what + " "
                + object.identifierString();
    };
    name("inserted", context.insertedObjects());
    name("updated", context.updatedObjects());
    name("deleted", context.deletedObjects());
    context.save();
    appLogger(logcategory::reminders).debug("Saved the reminder store: " + written);
}

std::vector<CDReminder> PersistenceController::fetchIncompleteReminders() const
{
    FetchRequest request;
    // The flag is what the store queries; the date is checked too, so that a row whose
    // flag was left behind by an older version never reads back as open when completed.
    request.predicate = Predicate::allOf({ Predicate::notCompleted(),
        Predicate::equal(ReminderAttribute::completionDate, std::monostate {}) });
    return viewContext().fetch(request);
}

std::vector<CDReminder> PersistenceController::fetchReminders(
    const std::set<std::string>& identifiers) const
{
    if (identifiers.empty())
        return {};
    FetchRequest request;
    request.predicate = Predicate::identifierIn(identifiers);
    return viewContext().fetch(request);
}

void PersistenceController::deleteObjects(const std::vector<CDReminder>& objects) const
{
    auto& context = viewContext();
    for (const auto& object : objects)
        context.deleteObject(object);
    saveIfNeeded();
}

void PersistenceController::deleteAllReminders() const
{
    auto& context = viewContext();
    const auto result = context.execute(BatchDeleteRequest {});
    context.mergeChanges(result.changes());
}

PersistenceController makePersistenceController()
{
    return PersistenceController(false, false);
}

} // namespace tidemark
