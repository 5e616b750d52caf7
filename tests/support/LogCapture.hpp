#pragma once

// Include only from test programs that link the logging layer (through the library under
// test); the support library itself does not.

#include "platform/logging/LogStore.hpp"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tidemark::test {

// What this process writes to the shared log while a capture lives: meanwhile the log goes
// to a file in a folder of its own (not to the standard error), read back as
// "<category>: <message>" lines; afterwards to the standard error alone, as before.
class LogCapture {
public:
    LogCapture()
    {
        LoggingConfiguration configuration;
        std::string pattern
            = (std::filesystem::temp_directory_path() / "tidemark-log-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_dir = pattern;
        configuration.stateDirectory = m_dir;
        configuration.writesToStandardError = false;
        m_configured = !m_dir.empty() && LogSystem::shared()->configure(configuration).isSuccess();
    }
    ~LogCapture()
    {
        LogSystem::shared()->configure(LoggingConfiguration {});
        std::error_code ignored;
        if (!m_dir.empty())
            std::filesystem::remove_all(m_dir, ignored);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    bool isCapturing() const { return m_configured; }

    std::vector<std::string> lines() const
    {
        std::vector<std::string> lines;
        auto entries = LogSystem::shared()->store().entries(Date());
        if (!entries.isSuccess())
            return { "(the log could not be read: " + entries.error().message + ")" };
        for (const LogEntry& entry : entries.value())
            lines.push_back(entry.category + ": " + entry.message);
        return lines;
    }

    std::size_t count(std::string_view fragment) const
    {
        const auto all = lines();
        return static_cast<std::size_t>(std::count_if(all.begin(), all.end(),
            [&](const std::string& line) { return line.find(fragment) != std::string::npos; }));
    }

    bool mentions(std::string_view fragment) const { return count(fragment) > 0; }

private:
    std::string m_dir;
    bool m_configured = false;
};

} // namespace tidemark::test
