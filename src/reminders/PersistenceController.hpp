#pragma once

#include "platform/persistence/PersistentContainer.hpp"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

// Ends the program because the reminder store cannot be used. The application's handler
// never returns; tests pass one that records the message and returns, leaving the store
// unloaded (every operation on it then fails with `storeNotLoaded`).
using FatalErrorHandler = std::function<void(const std::string& message)>;

// Writes "Fatal error: <message>" to the standard error and aborts.
[[noreturn]] void stopWithFatalError(const std::string& message);

// The folder of the local reminder store: $XDG_DATA_HOME/tidemark.
std::filesystem::path defaultLocalStoreDirectory();

// A store file that could not be used was moved aside and a new store took its place.
struct StoreMovedAside {
    std::filesystem::path storeFile;
    std::filesystem::path movedTo;
    // Why the file could not be used.
    std::string reason;

    // One sentence for the user and the log: what happened and where the old file is.
    std::string message() const;
    bool operator==(const StoreMovedAside&) const = default;
};

struct PersistenceControllerOptions {
    std::filesystem::path directory = defaultLocalStoreDirectory();
    // How long a save waits for another connection that holds the write lock.
    int busyTimeoutMilliseconds = 5000;
    FatalErrorHandler fatalError = stopWithFatalError;
    // Told, once the new store is loaded, where a store file that could not be used went
    // (the line on the standard error is written in any case); the application shows it.
    std::function<void(const StoreMovedAside&)> storeMovedAside;
};

// The local reminder store: the container "Tidemark" and the few operations the local
// service runs on its view context. Copies share the one container. Main thread only.
struct PersistenceController {
    std::shared_ptr<PersistentContainer> container;

    // Loads the store, in memory when asked (nothing outlives the process then). There is
    // no cloud mirroring on this system: a controller asked to mirror keeps the same local
    // store. A store file that is broken or cannot be opened is moved aside (never
    // deleted) and the controller goes on with a new, empty store in the same run; where
    // the old file went is written to the standard error and told to `storeMovedAside`.
    // A store that cannot be loaded even so (a newer version's store, a failed migration,
    // a lock held elsewhere, a folder that cannot be written) stops the program with
    // "Unresolved error ", the error, ", " and its details.
    explicit PersistenceController(
        bool inMemory = false, bool cloudKit = false, PersistenceControllerOptions options = {});

    ManagedObjectContext& viewContext() const { return container->viewContext(); }

    // Saves the view context when it has changes. A failed save throws, and the layer has
    // discarded the pending changes, so they never go out with a later save.
    void saveIfNeeded() const;
    // The same, handing `value` back, so new objects can be passed through the save.
    template <class T> T saveIfNeeded(T value) const
    {
        saveIfNeeded();
        return value;
    }

    // The reminders that are not completed (flag and date both say so).
    std::vector<CDReminder> fetchIncompleteReminders() const;
    // The reminders with one of the identifiers; none for an empty set.
    std::vector<CDReminder> fetchReminders(const std::set<std::string>& identifiers) const;
    // Deletes the objects, then saves when anything changed.
    void deleteObjects(const std::vector<CDReminder>& objects) const;
    // Deletes every reminder in the store in one statement, past undo, and lets the view
    // context forget them.
    void deleteAllReminders() const;

private:
    // Moves the broken store file aside and loads a new store in its place; the error that
    // remains when either cannot be done.
    std::optional<PersistenceError> startAfreshBesideBrokenStore(
        const PersistenceError& error, const PersistenceControllerOptions& options);
};

// The application's controller: on disk, not mirrored.
PersistenceController makePersistenceController();

} // namespace tidemark
