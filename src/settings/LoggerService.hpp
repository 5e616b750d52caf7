#pragma once

#include "core/Error.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/logging/Logger.hpp"
#include "platform/reactive/Result.hpp"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tidemark {

// The application's one logger, under its bundle identifier as subsystem, and the export
// of this process's own lines of that subsystem into the user's documents folder.
class LoggerService {
public:
    // How far back an export reaches.
    static constexpr TimeInterval exportedInterval = 24 * 60 * 60;

    explicit LoggerService(std::string category,
        std::shared_ptr<LogSystem> system = LogSystem::shared(),
        std::filesystem::path documentsDirectory = {},
        std::shared_ptr<const Clock> clock = Clock::system());

    const Logger& logger() const { return m_logger; }
    const std::string& subsystem() const { return m_subsystem; }
    const std::filesystem::path& documentsDirectory() const { return m_documentsDirectory; }

    // This process's entries of the subsystem from the last day, each as
    // "[<date>] [<category>] <message>", oldest first.
    rx::Result<std::vector<std::string>, Error> logEntries() const;
    // The entries joined with line feeds, none after the last.
    rx::Result<std::string, Error> logText() const;
    // Writes the text as UTF-8 to the file of that name in the documents folder (replacing
    // one that is there) and gives its path. The name must be one plain file name.
    rx::Result<std::filesystem::path, Error> exportLogs(
        const std::string& text, const std::string& fileName) const;

    // While on, reminder titles are replaced in every line written and exported, also in
    // lines written before it was turned on.
    void setHidesReminderTitles(bool hides);
    bool hidesReminderTitles() const { return m_hidesReminderTitles; }

private:
    std::shared_ptr<LogSystem> m_system;
    std::string m_subsystem;
    Logger m_logger;
    std::filesystem::path m_documentsDirectory;
    std::shared_ptr<const Clock> m_clock;
    bool m_hidesReminderTitles = false;
};

// The export line of one entry: "[" date "] [" category "] " message; the date in the
// user's locale, numeric date and short time.
std::string exportLine(const LogEntry& entry);

} // namespace tidemark
