#pragma once

#include "platform/logging/LogSystem.hpp"

#include <filesystem>
#include <vector>

namespace tidemark {

// Reads one process's entries back from a log file and the older files rotated aside
// beside it, oldest first. Lines of other processes, of an earlier process that had the
// same identifier, and lines that are not entries are skipped.
class LogStore {
public:
    LogStore(std::filesystem::path logFile, int processIdentifier, Date processStart,
        LogRedaction redaction = {});

    // Entries dated `since` or later, messages redacted. A missing file holds no entries;
    // a file that cannot be read is an error.
    rx::Result<std::vector<LogEntry>, LogError> entries(Date since) const;

    const std::filesystem::path& logFile() const { return m_logFile; }

private:
    std::filesystem::path m_logFile;
    int m_processIdentifier;
    Date m_processStart;
    LogRedaction m_redaction;
};

// The log file and the files rotated aside from it, oldest first; only those that exist.
std::vector<std::filesystem::path> logFileGenerations(const std::filesystem::path& logFile);

} // namespace tidemark
