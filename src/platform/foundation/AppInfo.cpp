#include "platform/foundation/AppInfo.hpp"

#include "platform/foundation/AppInfoConfig.hpp"

namespace tidemark {

const nlohmann::json& AppInfo::infoDictionary()
{
    static const nlohmann::json info = {
        { "CFBundleName", TIDEMARK_APP_NAME },
        { "CFBundleShortVersionString", TIDEMARK_SHORT_VERSION },
        { "CFBundleVersion", TIDEMARK_BUILD_NUMBER_TEXT },
        { "CFBundleIdentifier", TIDEMARK_BUNDLE_IDENTIFIER_TEXT },
    };
    return info;
}

std::string AppInfo::name()
{
    return TIDEMARK_APP_NAME;
}

std::optional<std::string> AppInfo::shortVersion()
{
    return shortVersion(infoDictionary());
}

std::optional<std::string> AppInfo::shortVersion(const nlohmann::json& info)
{
    if (!info.is_object())
        return std::nullopt;
    const auto it = info.find("CFBundleShortVersionString");
    if (it == info.end() || !it->is_string())
        return std::nullopt;
    return it->get<std::string>();
}

std::string AppInfo::buildVersion()
{
    return TIDEMARK_BUILD_NUMBER_TEXT;
}
std::string AppInfo::bundleIdentifier()
{
    return TIDEMARK_BUNDLE_IDENTIFIER_TEXT;
}
std::string AppInfo::supportWebsite()
{
    return TIDEMARK_SUPPORT_WEBSITE_TEXT;
}
std::string AppInfo::feedbackEmail()
{
    return TIDEMARK_FEEDBACK_EMAIL_TEXT;
}
std::string AppInfo::bugReportEmail()
{
    return TIDEMARK_BUG_REPORT_EMAIL_TEXT;
}
std::string AppInfo::appcastUrl()
{
    return TIDEMARK_APPCAST_URL_TEXT;
}
std::string AppInfo::reviewUrl()
{
    return TIDEMARK_REVIEW_URL_TEXT;
}

} // namespace tidemark
