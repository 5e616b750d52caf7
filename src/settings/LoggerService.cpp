#include "settings/LoggerService.hpp"

#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/LocaleDateText.hpp"
#include "platform/foundation/UserDefaults.hpp"
#include "platform/foundation/XdgPlaces.hpp"
#include "platform/logging/LogStore.hpp"
#include "settings/Description.hpp"

namespace tidemark {

LoggerService::LoggerService(std::string category, std::shared_ptr<LogSystem> system,
    std::filesystem::path documentsDirectory, std::shared_ptr<const Clock> clock)
    : m_system(std::move(system))
    , m_subsystem(AppInfo::bundleIdentifier())
    , m_logger(m_subsystem, std::move(category), m_system)
    , m_documentsDirectory(
          documentsDirectory.empty() ? XdgPlaces().documentsDir() : std::move(documentsDirectory))
    , m_clock(std::move(clock))
{
}

std::string exportLine(const LogEntry& entry)
{
    return "[" + shortLocaleDateTimeText(entry.date) + "] [" + entry.category + "] "
        + entry.message;
}

rx::Result<std::vector<std::string>, Error> LoggerService::logEntries() const
{
    using Outcome = rx::Result<std::vector<std::string>, Error>;
    const auto since = dateByAdding(m_clock->now(), -exportedInterval);
    auto entries = m_system->store().entries(since);
    if (!entries.isSuccess())
        return Outcome::failure(Error(entries.error().message));
    std::vector<std::string> lines;
    for (const auto& entry : entries.value()) {
        if (entry.subsystem == m_subsystem)
            lines.push_back(exportLine(entry));
    }
    return Outcome::success(std::move(lines));
}

rx::Result<std::string, Error> LoggerService::logText() const
{
    using Outcome = rx::Result<std::string, Error>;
    auto entries = logEntries();
    if (!entries.isSuccess())
        return Outcome::failure(entries.error());
    std::string text;
    const auto& lines = entries.value();
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n" : "") + lines[i];
    return Outcome::success(std::move(text));
}

rx::Result<std::filesystem::path, Error> LoggerService::exportLogs(
    const std::string& text, const std::string& fileName) const
{
    using Outcome = rx::Result<std::filesystem::path, Error>;
    const std::filesystem::path name(fileName);
    if (fileName.empty() || name.has_parent_path() || fileName == "." || fileName == "..")
        return Outcome::failure(
            Error("Unable to export logs: \"" + fileName + "\" is not a file name."));
    if (m_documentsDirectory.empty())
        return Outcome::failure(Error("Unable to export logs: there is no documents folder."));
    const auto path = m_documentsDirectory / name;
    if (auto problem = writeFileAtomically(path, text))
        return Outcome::failure(Error("Unable to export logs: " + *problem));
    return Outcome::success(path);
}

void LoggerService::setHidesReminderTitles(bool hides)
{
    if (hides == m_hidesReminderTitles)
        return;
    m_hidesReminderTitles = hides;
    if (hides)
        m_system->setRedaction(
            [](std::string_view message) { return redactReminderTitles(message); });
    else
        m_system->setRedaction(nullptr);
}

} // namespace tidemark
