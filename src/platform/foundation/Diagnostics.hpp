#pragma once

#include <string_view>

namespace tidemark {

// What the foundation layer could not do, for the log. The foundation stands below the
// logging layer, which plugs itself in here when the process's log system is made; until
// then, and in programs without it, the reports go to the standard error.
enum class DiagnosticSource {
    userDefaults, // a settings file that could not be read or written
    stringTables, // a missing or broken localised string
};

using DiagnosticsHandler = void (*)(DiagnosticSource source, std::string_view message);

void setDiagnosticsHandler(DiagnosticsHandler handler);
void reportDiagnostic(DiagnosticSource source, std::string_view message);

} // namespace tidemark
