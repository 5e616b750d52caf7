#pragma once

#include "core/state/AppState.hpp"
#include "notifications/UserNotificationsSettings.hpp"

// The connector of the notification settings pane.

namespace tidemark::Connectors {

// The pane's state from the notifications slice: what the last settings read reported (the
// defaults before one), the user's switch and the permission request's progress. Each pane
// action becomes one notifications action.
struct UserNotificationsSettingsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = UserNotificationsSettingsConnectingView::State;
    using ViewAction = UserNotificationsSettingsConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The options the pane asks for: alerts and sound, neither badges nor a quiet permission.
inline constexpr UNAuthorizationOptions settingsPaneAuthorizationOptions
    = UNAuthorizationOptions::alert | UNAuthorizationOptions::sound;
// The preview notification's delay, in seconds.
inline constexpr double previewNotificationDelay = 0.4;

} // namespace tidemark::Connectors
