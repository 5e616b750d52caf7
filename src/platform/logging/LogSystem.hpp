#pragma once

#include "platform/logging/LogEntry.hpp"
#include "platform/reactive/Publisher.hpp" // rx::Unit
#include "platform/reactive/Result.hpp"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace spdlog {
class logger;
}

namespace tidemark {

class LogStore;

struct LogError {
    std::string message;

    const std::string& localizedDescription() const { return message; }
    bool operator==(const LogError&) const = default;
};

struct LoggingConfiguration {
    // The folder of the log file; empty writes no file.
    std::filesystem::path stateDirectory;
    std::string fileName = "Tidemark.log";
    // Entries go to the standard error too, all but the debug ones (the file has those).
    bool writesToStandardError = true;
    // The file is renamed aside when it grows beyond this; that many older files stay.
    std::size_t maximumFileSize = 5 * 1024 * 1024;
    std::size_t maximumOlderFiles = 2;

    // $XDG_STATE_HOME/tidemark (~/.local/state/tidemark), to standard error too.
    static LoggingConfiguration standard();
};

// Applied to every message before it is written, and again when it is exported (so lines
// written before it was set are covered too): it must leave redacted text as it is.
using LogRedaction = std::function<std::string(std::string_view message)>;

// Where the entries of every logger of this process go: standard error and the per-user
// log file, one line per entry. Safe to use from any thread. Until it is configured it
// writes to standard error only, so what is logged before the log file is opened is
// still seen.
class LogSystem : public std::enable_shared_from_this<LogSystem> {
public:
    LogSystem();
    ~LogSystem();
    LogSystem(const LogSystem&) = delete;
    LogSystem& operator=(const LogSystem&) = delete;

    // The system the application's loggers write to unless given another one. Until it
    // is configured it writes to standard error only. From its making on, the reports of
    // the foundation layer are written to it too.
    static std::shared_ptr<LogSystem> shared();

    // Opens the log file (creating its folder). When that fails, entries still go to
    // standard error and the error tells why the file could not be opened.
    rx::Result<rx::Unit, LogError> configure(const LoggingConfiguration& configuration);
    // The file entries are written to, or empty when there is none.
    std::filesystem::path logFilePath() const;

    void setRedaction(LogRedaction redaction);
    std::string redacted(std::string_view message) const;

    void write(LogLevel level, std::string_view subsystem, std::string_view category,
        std::string_view message);

    // This process's entries in the log file.
    LogStore store() const;

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<spdlog::logger> m_logger;
    LoggingConfiguration m_configuration;
    std::filesystem::path m_logFilePath;
    std::shared_ptr<const LogRedaction> m_redaction;
};

// The moment this process's logging began: no entry of this process is older.
Date loggingStartDate();

} // namespace tidemark
