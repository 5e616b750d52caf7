#pragma once

#include "platform/foundation/Diagnostics.hpp"
#include "platform/logging/Logger.hpp"

#include <string_view>

namespace tidemark {

// The categories of the application's own log entries, one per subsystem. Every entry is
// written under the application's bundle identifier as its subsystem, which is what an
// export of the log reads, so each of them reaches a bug report.
namespace logcategory {

// The logger middleware: every action, and the state for a bug report.
inline constexpr std::string_view appState = "AppState";
// Start-up, the composition root, the store's listeners and the application's commands.
inline constexpr std::string_view application = "Application";
// The reminder stores: the local store and the service over the calendar task lists.
inline constexpr std::string_view reminders = "Reminders";
// The calendar task lists on disk (the vdir tree): files skipped, answers not kept.
inline constexpr std::string_view eventStore = "EventStore";
// The reminders' notifications: what is scheduled, and what is not.
inline constexpr std::string_view notifications = "Notifications";
// The desktop's notification centre: its server, its clock and the state it keeps.
inline constexpr std::string_view userNotifications = "UserNotifications";
// The user's settings, the usage statistics and opening at login.
inline constexpr std::string_view settings = "Settings";

} // namespace logcategory

// A logger of the application's subsystem in one of the categories above, writing to the
// shared log system (the log file and the standard error). Every message passes the log
// system's redaction, so a reminder title written as `title: "…"` is hidden while the user
// has asked for that.
Logger appLogger(std::string_view category);

// A report of the foundation layer, as an error in its subsystem's category. The shared log
// system takes the foundation's reports through this from the moment it is made.
void logDiagnostic(DiagnosticSource source, std::string_view message);

} // namespace tidemark
