#include "platform/logging/LogCategories.hpp"

#include "platform/foundation/AppInfo.hpp"

namespace tidemark {

Logger appLogger(std::string_view category)
{
    return Logger(AppInfo::bundleIdentifier(), std::string(category));
}

void logDiagnostic(DiagnosticSource source, std::string_view message)
{
    switch (source) {
    case DiagnosticSource::userDefaults:
        appLogger(logcategory::settings).error(message);
        return;
    case DiagnosticSource::stringTables:
        appLogger(logcategory::application).error(message);
        return;
    }
}

} // namespace tidemark
