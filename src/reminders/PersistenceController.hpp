#pragma once

#include "platform/persistence/PersistentContainer.hpp"

#include <filesystem>
#include <functional>
#include <memory>
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

struct PersistenceControllerOptions {
    std::filesystem::path directory = defaultLocalStoreDirectory();
    // How long a save waits for another connection that holds the write lock.
    int busyTimeoutMilliseconds = 5000;
    FatalErrorHandler fatalError = stopWithFatalError;
};

// The local reminder store: the container "Tidemark" and the few operations the local
// service runs on its view context. Copies share the one container. Main thread only.
struct PersistenceController {
    std::shared_ptr<PersistentContainer> container;

    // Loads the store, in memory when asked (nothing outlives the process then). There is
    // no cloud mirroring on this system: a controller asked to mirror keeps the same local
    // store. A store that cannot be loaded stops the program with "Unresolved error ",
    // the error, ", " and its details; a store file that is broken or cannot be opened is
    // first moved aside (never deleted), and where it went is written to the standard
    // error, so the next start begins with an empty store and the old one is kept.
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
};

// The application's controller: on disk, not mirrored.
PersistenceController makePersistenceController();

} // namespace tidemark
