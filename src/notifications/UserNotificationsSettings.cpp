#include "notifications/UserNotificationsSettings.hpp"

namespace tidemark {

using View = UserNotificationsSettingsConnectingView;

std::vector<View::Action> View::toggleActions(bool isOn)
{
    if (isOn)
        return { Action::IsEnabled { true }, Action::RequestAuthorization {} };
    return { Action::IsEnabled { false }, Action::ResetAuthorizationStatus {} };
}

std::vector<View::Action> View::askAgainActions()
{
    return { Action::ForgetAuthorization {}, Action::IsEnabled { true },
        Action::RequestAuthorization {} };
}

namespace {

NotificationSettingIndicator alertStyleIndicator(UNAlertStyle style)
{
    switch (style) {
    case UNAlertStyle::alert:
        return { true, "Notifications", "alert_style_alerts_label" };
    case UNAlertStyle::banner:
        return { true, "Notifications", "alert_style_banners_label" };
    case UNAlertStyle::none:
        return { false, "Notifications", "alert_style_none_label" };
    }
    return { false, "Localizable", "?" };
}

std::string_view alertStyleFooter(UNAlertStyle style)
{
    switch (style) {
    case UNAlertStyle::alert:
        return "alert_style_alert_footer_label";
    case UNAlertStyle::banner:
        return "alert_style_banner_footer_label";
    case UNAlertStyle::none:
        break;
    }
    return {};
}

} // namespace

UserNotificationsSettingsContent userNotificationsSettingsContent(const View::State& state)
{
    const bool denied = state.authorizationStatus == UNAuthorizationStatus::denied;
    const bool waiting = state.requestAuthorizationStatus == Status::loading;
    UserNotificationsSettingsContent content;
    content.toggleIsOn
        = state.isEnabled && state.authorizationStatus == UNAuthorizationStatus::authorized;
    content.toggleIsEnabled = !denied;
    content.showsWaiting = waiting;
    content.showsPreviewButton = content.toggleIsOn && !denied;
    content.showsDeniedSteps = denied;
    content.showsServerMissing = !state.isServerAvailable;
    // Without a server the style and the sound say nothing about what the user would see.
    content.showsChecklist = content.toggleIsOn && !denied && !waiting && state.isServerAvailable;
    content.alertStyle = alertStyleIndicator(state.alertStyle);
    content.alertStyleFooterKey = alertStyleFooter(state.alertStyle);
    content.showsRecommendation = state.alertStyle != UNAlertStyle::alert;
    content.sound
        = { state.soundSetting, "Settings", state.soundSetting ? "on_label" : "off_label" };
    return content;
}

} // namespace tidemark
