#pragma once

#include "platform/foundation/Date.hpp"

#include <optional>
#include <string>
#include <string_view>

namespace tidemark {

enum class LogLevel {
    debug,
    info,
    // The default level: worth keeping, not a problem.
    notice,
    error,
    // A fault of the program itself.
    fault,
};

std::string_view logLevelName(LogLevel level);
std::optional<LogLevel> logLevelNamed(std::string_view name);

struct LogEntry {
    Date date;
    int processIdentifier = 0;
    LogLevel level = LogLevel::notice;
    std::string subsystem;
    std::string category;
    std::string message;

    bool operator==(const LogEntry&) const = default;
};

// One entry as one line of the log file, without the line feed:
//   2024-05-01T12:34:56.789+02:00 [4242] [notice] [com.tidemark.Tidemark] [AppState] text
// The time is local with its offset, to the millisecond. Line breaks and backslashes of
// the message are escaped, so a message of many lines stays one entry; brackets and line
// breaks in subsystem and category become '_'.
std::string formatLogLine(const LogEntry& entry);
// The entry of a line written by formatLogLine, or nothing for any other line.
std::optional<LogEntry> parseLogLine(std::string_view line);

// ISO 8601 local time with milliseconds and offset, and its inverse (any offset or 'Z'; none
// for a moment outside the dates a `Date` holds, 1678 to 2261).
std::string iso8601String(Date date);
std::optional<Date> dateFromIso8601(std::string_view text);

} // namespace tidemark
