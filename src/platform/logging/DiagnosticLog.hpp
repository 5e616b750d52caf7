#pragma once

#include <memory>
#include <string_view>

namespace tidemark {

// Developer diagnostics of one category, written through Qt's message log (standard error
// unless the program installs a handler), apart from the application's own log. Rules such
// as QT_LOGGING_RULES="tidemark.notifications.debug=true" switch levels on and off.
class DiagnosticLog {
public:
    enum class Level {
        debug,
        info,
        warning,
    };

    // `category` must outlive the log (a string literal). Levels below `enabledFrom` are
    // off until a rule switches them on.
    explicit DiagnosticLog(const char* category, Level enabledFrom = Level::debug);
    ~DiagnosticLog();
    DiagnosticLog(const DiagnosticLog&) = delete;
    DiagnosticLog& operator=(const DiagnosticLog&) = delete;

    bool isEnabled(Level level) const;
    void debug(std::string_view message) const;
    void warning(std::string_view message) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tidemark
