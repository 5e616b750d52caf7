#include "platform/logging/LogStore.hpp"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace tidemark {

std::vector<std::filesystem::path> logFileGenerations(const std::filesystem::path& logFile)
{
    // Rotation renames "Tidemark.log" to "Tidemark.1.log", that to "Tidemark.2.log" …
    std::vector<std::filesystem::path> older;
    auto stem = logFile.stem().string();
    auto extension = logFile.extension().string();
    std::error_code error;
    for (int index = 1;; ++index) {
        auto path = logFile.parent_path() / (stem + "." + std::to_string(index) + extension);
        if (!std::filesystem::exists(path, error))
            break;
        older.push_back(path);
    }
    std::vector<std::filesystem::path> generations(older.rbegin(), older.rend());
    if (std::filesystem::exists(logFile, error))
        generations.push_back(logFile);
    return generations;
}

LogStore::LogStore(
    std::filesystem::path logFile, int processIdentifier, Date processStart, LogRedaction redaction)
    : m_logFile(std::move(logFile))
    , m_processIdentifier(processIdentifier)
    , m_processStart(std::chrono::floor<std::chrono::milliseconds>(processStart))
    , m_redaction(std::move(redaction))
{
}

rx::Result<std::vector<LogEntry>, LogError> LogStore::entries(Date since) const
{
    using Outcome = rx::Result<std::vector<LogEntry>, LogError>;
    std::vector<LogEntry> entries;
    if (m_logFile.empty())
        return Outcome::success(std::move(entries));
    auto from = std::max(since, m_processStart);
    // Identifiers are reused: an entry with this process's identifier written before
    // this process began logging belongs to another process.
    for (const auto& path : logFileGenerations(m_logFile)) {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            return Outcome::failure(
                { "Could not read the log file " + path.string() + ": " + std::strerror(errno) });
        }
        std::string line;
        while (std::getline(file, line)) {
            auto entry = parseLogLine(line);
            if (!entry || entry->processIdentifier != m_processIdentifier || entry->date < from)
                continue;
            if (m_redaction)
                entry->message = m_redaction(entry->message);
            entries.push_back(std::move(*entry));
        }
        if (file.bad()) {
            return Outcome::failure({ "Could not read the log file " + path.string() + "." });
        }
    }
    return Outcome::success(std::move(entries));
}

} // namespace tidemark
