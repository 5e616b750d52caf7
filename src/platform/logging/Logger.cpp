#include "platform/logging/Logger.hpp"

namespace tidemark {

Logger::Logger(std::string subsystem, std::string category, std::shared_ptr<LogSystem> system)
    : m_subsystem(std::move(subsystem))
    , m_category(std::move(category))
    , m_system(system ? std::move(system) : LogSystem::shared())
{
}

Logger::Logger(const Logger& other)
    : m_subsystem(other.m_subsystem)
    , m_category(other.m_category)
    , m_system(other.m_system)
    , m_enabled(other.isEnabled())
{
}

Logger& Logger::operator=(const Logger& other)
{
    m_subsystem = other.m_subsystem;
    m_category = other.m_category;
    m_system = other.m_system;
    setEnabled(other.isEnabled());
    return *this;
}

void Logger::log(LogLevel level, std::string_view message) const
{
    if (isEnabled())
        m_system->write(level, m_subsystem, m_category, message);
}

} // namespace tidemark
