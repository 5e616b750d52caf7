#include "platform/logging/DiagnosticLog.hpp"

#include <QLoggingCategory>

namespace tidemark {

namespace {

QtMsgType messageType(DiagnosticLog::Level level)
{
    switch (level) {
    case DiagnosticLog::Level::debug:
        return QtDebugMsg;
    case DiagnosticLog::Level::info:
        return QtInfoMsg;
    case DiagnosticLog::Level::warning:
        return QtWarningMsg;
    }
    return QtDebugMsg;
}

} // namespace

struct DiagnosticLog::Impl {
    QLoggingCategory category;

    Impl(const char* name, Level enabledFrom)
        : category(name, messageType(enabledFrom))
    {
    }
};

DiagnosticLog::DiagnosticLog(const char* category, Level enabledFrom)
    : m_impl(std::make_unique<Impl>(category, enabledFrom))
{
}

DiagnosticLog::~DiagnosticLog() = default;

bool DiagnosticLog::isEnabled(Level level) const
{
    return m_impl->category.isEnabled(messageType(level));
}

void DiagnosticLog::debug(std::string_view message) const
{
    QMessageLogger().debug(
        m_impl->category, "%.*s", static_cast<int>(message.size()), message.data());
}

void DiagnosticLog::warning(std::string_view message) const
{
    QMessageLogger().warning(
        m_impl->category, "%.*s", static_cast<int>(message.size()), message.data());
}

} // namespace tidemark
