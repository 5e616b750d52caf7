#pragma once

#include "platform/logging/LogSystem.hpp"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace tidemark {

// Writes entries of one subsystem and category. Switched off, it writes nothing.
class Logger {
public:
    Logger(std::string subsystem, std::string category,
        std::shared_ptr<LogSystem> system = LogSystem::shared());
    Logger(const Logger& other);
    Logger& operator=(const Logger& other);

    const std::string& subsystem() const { return m_subsystem; }
    const std::string& category() const { return m_category; }

    bool isEnabled() const { return m_enabled.load(std::memory_order_relaxed); }
    void setEnabled(bool enabled) { m_enabled.store(enabled, std::memory_order_relaxed); }

    void log(LogLevel level, std::string_view message) const;
    // At the default level, notice.
    void log(std::string_view message) const { log(LogLevel::notice, message); }
    void debug(std::string_view message) const { log(LogLevel::debug, message); }
    void info(std::string_view message) const { log(LogLevel::info, message); }
    void notice(std::string_view message) const { log(LogLevel::notice, message); }
    void error(std::string_view message) const { log(LogLevel::error, message); }
    void fault(std::string_view message) const { log(LogLevel::fault, message); }

private:
    std::string m_subsystem;
    std::string m_category;
    std::shared_ptr<LogSystem> m_system;
    std::atomic<bool> m_enabled { true };
};

} // namespace tidemark
