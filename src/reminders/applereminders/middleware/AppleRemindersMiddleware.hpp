#pragma once

#include "core/Store.hpp"
#include "core/state/AppState.hpp"
#include "reminders/applereminders/AppleRemindersServicable.hpp"

#include <memory>

namespace tidemark {

// Carries the reminder and source requests to the calendar task lists while they are the
// data source in use, asks for access, observes the lists while they are in use and hands
// the service the undo manager of the reminders' window. Every service call runs off the
// main thread, one after another in the order the actions came, so that an older read
// never lands after a newer one; each answer comes back through the main queue.
// Answers every action with a publisher (an empty one when it has nothing to add).
//
// It keeps the reminders as the state last read them, so that an update writes only what
// the user changed onto the task as it is on disk by then (a title another device synced
// in just before a snooze stays).
Store<AppState, AppAction>::Middleware appleRemindersMiddleware(
    std::shared_ptr<AppleRemindersServicable> service);

// Asks for access, then asks for a read of the sources once access is granted (a failed
// read when it is not) and again after every change of the lists.
rx::Publisher<AppAction> observeAppleReminderChanges(
    std::shared_ptr<AppleRemindersServicable> service);

} // namespace tidemark
