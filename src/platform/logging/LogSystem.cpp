#include "platform/logging/LogSystem.hpp"

#include "platform/logging/LogCategories.hpp"
#include "platform/logging/LogStore.hpp"

#include <spdlog/logger.h>
#include <spdlog/sinks/rotating_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include <cstdlib>
#include <unistd.h>

namespace tidemark {

namespace {

spdlog::level::level_enum spdlogLevel(LogLevel level)
{
    switch (level) {
    case LogLevel::debug:
        return spdlog::level::debug;
    case LogLevel::info:
        return spdlog::level::info;
    case LogLevel::notice:
        return spdlog::level::info;
    case LogLevel::error:
        return spdlog::level::err;
    case LogLevel::fault:
        return spdlog::level::critical;
    }
    return spdlog::level::info;
}

// The terminal shows what a user may need to act on; debug entries go to the file only.
spdlog::sink_ptr standardErrorSink()
{
    auto sink = std::make_shared<spdlog::sinks::stderr_sink_mt>();
    sink->set_level(spdlog::level::info);
    return sink;
}

std::shared_ptr<spdlog::logger> makeLogger(std::vector<spdlog::sink_ptr> sinks)
{
    auto logger = std::make_shared<spdlog::logger>("tidemark", sinks.begin(), sinks.end());
    // The line is complete when it reaches the sinks.
    logger->set_pattern("%v");
    logger->set_level(spdlog::level::trace);
    // Every entry reaches the file at once: an export, or a crash, sees all of them.
    logger->flush_on(spdlog::level::trace);
    return logger;
}

} // namespace

LoggingConfiguration LoggingConfiguration::standard()
{
    LoggingConfiguration configuration;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && std::filesystem::path(state).is_absolute()) {
        configuration.stateDirectory = std::filesystem::path(state) / "tidemark";
    } else {
        const char* home = std::getenv("HOME");
        configuration.stateDirectory
            = std::filesystem::path(home ? home : "/") / ".local" / "state" / "tidemark";
    }
    return configuration;
}

Date loggingStartDate()
{
    static const Date start
        = std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
    return start;
}

LogSystem::LogSystem()
{
    loggingStartDate();
    m_logger = makeLogger({ standardErrorSink() });
}

LogSystem::~LogSystem() = default;

std::shared_ptr<LogSystem> LogSystem::shared()
{
    static const auto system = [] {
        auto made = std::make_shared<LogSystem>();
        // From here on the foundation layer's reports are entries of this log too.
        setDiagnosticsHandler(&logDiagnostic);
        return made;
    }();
    // Made after the system, so gone before it: later reports go to the standard error.
    static const struct Detach {
        ~Detach() { setDiagnosticsHandler(nullptr); }
    } detach;
    return system;
}

rx::Result<rx::Unit, LogError> LogSystem::configure(const LoggingConfiguration& configuration)
{
    using Outcome = rx::Result<rx::Unit, LogError>;
    std::vector<spdlog::sink_ptr> sinks;
    if (configuration.writesToStandardError)
        sinks.push_back(standardErrorSink());
    std::filesystem::path file;
    std::optional<LogError> failure;
    if (!configuration.stateDirectory.empty()) {
        file = configuration.stateDirectory / configuration.fileName;
        try {
            std::filesystem::create_directories(configuration.stateDirectory);
            sinks.push_back(std::make_shared<spdlog::sinks::rotating_file_sink_mt>(
                file.string(), configuration.maximumFileSize, configuration.maximumOlderFiles));
        } catch (const std::exception& error) {
            failure
                = LogError { "Could not open the log file " + file.string() + ": " + error.what() };
            file.clear();
            if (!configuration.writesToStandardError)
                sinks.push_back(standardErrorSink());
        }
    }
    {
        std::lock_guard lock(m_mutex);
        m_logger = makeLogger(std::move(sinks));
        m_configuration = configuration;
        m_logFilePath = file;
    }
    if (failure)
        return Outcome::failure(*failure);
    return Outcome::success({});
}

std::filesystem::path LogSystem::logFilePath() const
{
    std::lock_guard lock(m_mutex);
    return m_logFilePath;
}

void LogSystem::setRedaction(LogRedaction redaction)
{
    auto shared = redaction ? std::make_shared<const LogRedaction>(std::move(redaction)) : nullptr;
    std::lock_guard lock(m_mutex);
    m_redaction = std::move(shared);
}

std::string LogSystem::redacted(std::string_view message) const
{
    std::shared_ptr<const LogRedaction> redaction;
    {
        std::lock_guard lock(m_mutex);
        redaction = m_redaction;
    }
    return redaction ? (*redaction)(message) : std::string(message);
}

void LogSystem::write(
    LogLevel level, std::string_view subsystem, std::string_view category, std::string_view message)
{
    LogEntry entry { std::chrono::system_clock::now(), static_cast<int>(::getpid()), level,
        std::string(subsystem), std::string(category), redacted(message) };
    auto line = formatLogLine(entry);
    std::shared_ptr<spdlog::logger> logger;
    {
        std::lock_guard lock(m_mutex);
        logger = m_logger;
    }
    logger->log(spdlogLevel(level), spdlog::string_view_t(line.data(), line.size()));
}

LogStore LogSystem::store() const
{
    auto self = weak_from_this();
    return LogStore(logFilePath(), static_cast<int>(::getpid()), loggingStartDate(),
        [self](std::string_view message) {
            auto system = self.lock();
            return system ? system->redacted(message) : std::string(message);
        });
}

} // namespace tidemark
