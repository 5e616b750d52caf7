#pragma once

#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "reminders/PersistentRemindersStorable.hpp"

#include <memory>
#include <string>

namespace tidemark {

// Carries the reminder requests to the local store while the local data source is in use
// and answers each with its result; starts observing the store when the local data source
// comes into use (chosen, or named by the settings read at start), stops when another is
// chosen, and hands the store the undo manager of the reminders' window. Requests run at
// once, inside the dispatch; their answers come through the main queue. A failed request
// writes "Unresolved error …" to the standard output and is answered with its failure.
// Always answers with a publisher (an empty one when it has nothing to add). An update is
// handed the reminders' versions as the state last read them, so that only what the user
// changed is written.
Store<AppState, AppAction>::Middleware persistentRemindersMiddleware(
    std::shared_ptr<PersistentRemindersStorable> service);

// A read request at once, then one for every change of the local store, until the
// service's change publisher ends.
rx::Publisher<AppAction> observeLocalReminderChanges(
    const std::shared_ptr<PersistentRemindersStorable>& service);

// The text as a quoted, escaped literal, as a debug description shows it.
std::string debugDescription(const std::string& text);

} // namespace tidemark
