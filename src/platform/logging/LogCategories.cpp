#include "platform/logging/LogCategories.hpp"

#include "platform/foundation/AppInfo.hpp"

namespace tidemark {

Logger appLogger(std::string_view category)
{
    return Logger(AppInfo::bundleIdentifier(), std::string(category));
}

} // namespace tidemark
