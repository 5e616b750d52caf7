#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace tidemark {

// Facts about the application, fixed when it is built.
class AppInfo {
public:
    // The information dictionary of the program, under the keys "CFBundleName",
    // "CFBundleShortVersionString", "CFBundleVersion" and "CFBundleIdentifier".
    static const nlohmann::json& infoDictionary();

    // "Tidemark".
    static std::string name();
    // The version shown to users ("1.2.5"); none when the dictionary holds no text there.
    static std::optional<std::string> shortVersion();
    static std::optional<std::string> shortVersion(const nlohmann::json& infoDictionary);
    // The build number.
    static std::string buildVersion();
    static std::string bundleIdentifier();

    // Addresses the support functions use.
    static std::string supportWebsite();
    static std::string feedbackEmail();
    static std::string bugReportEmail();
    static std::string appcastUrl();
    static std::string reviewUrl();
};

} // namespace tidemark
