#pragma once

#include "settings/SettingsService.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"

#include <functional>
#include <memory>
#include <string>

namespace tidemark {

// Tells the user a problem the settings could not resolve themselves.
using SettingsProblemReporter = std::function<void(const std::string& message)>;

// Applies open at login whenever it changes and when the stored settings arrive, and
// brings the settings window forward. When open at login cannot be turned on, the failure
// is reported and the setting is turned off again, so it never claims what the desktop
// will not do; the reason follows as `openAtLoginFailed`, for the pane to show.
AppMiddleware makeSettingsMiddleware(
    std::shared_ptr<SettingsServicable> service, SettingsProblemReporter report = {});

} // namespace tidemark
