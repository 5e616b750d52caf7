#pragma once

#include "notifications/UserNotificationsSettings.hpp"
#include "toolkit/Previews.hpp"

namespace tidemark {

// The pane's states as the settings window shows them: nothing asked yet; waiting for the
// permission; allowed, with alerts and with banners; refused; and without a notification server.
UserNotificationsSettingsConnectingView::State notificationSettingsPreviewState(
    const std::string& name);

// The notification settings pane in each of those states, in the grouped form style, and
// once in the plain one.
void registerNotificationSettingsPreviews(PreviewRegistry& registry);

} // namespace tidemark
