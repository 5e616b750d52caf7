#include "core/connectors/NotificationConnectors.hpp"

#include "core/Overloaded.hpp"
#include "platform/foundation/StringTables.hpp"

namespace tidemark::Connectors {

namespace {

using UA = UserNotificationsAction;

AppAction notifications(UserNotificationsAction action)
{
    return AppAction::Notifications { NotificationsAction { std::move(action) } };
}

} // namespace

UserNotificationsSettingsConnectingView::State UserNotificationsSettingsConnector::mapState(
    const AppState& state) const
{
    const UserNotificationsState& user = state.notifications.user;
    ViewState view;
    if (const auto& settings = user.settings.settings) {
        view.alertStyle = settings->alertStyle;
        view.authorizationStatus = settings->authorizationStatus;
        view.soundSetting = settings->soundSetting == UNNotificationSetting::enabled;
        view.timeSensitiveSetting = settings->timeSensitiveSetting;
        view.isServerAvailable = settings->isServerAvailable;
    }
    view.isEnabled = user.isEnabled;
    view.requestAuthorizationStatus = user.requestAuthorization.status;
    return view;
}

// g++ 12 takes the request states built here for uninitialised (a false positive of
// -Wmaybe-uninitialized on nested variants).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
AppAction UserNotificationsSettingsConnector::mapAction(const ViewAction& action) const
{
    using A = UserNotificationsSettingsConnectingView::Action;
    return std::visit(
        overloaded {
            [](const A::IsEnabled& a) -> AppAction {
                return notifications(UA::IsEnabled { a.isEnabled });
            },
            [](const A::PreviewNotification&) -> AppAction {
                return notifications(UA::CreateNotification {
                    localized("Notifications", "preview_notification_description"),
                    previewNotificationDelay });
            },
            [](const A::ReadNotificationSettings&) -> AppAction {
                return notifications(UA::Settings {
                    NotificationSettingsAction { NotificationSettingsReadAction::submit({}) } });
            },
            [](const A::RequestAuthorization&) -> AppAction {
                return notifications(
                    UA::RequestAuthorization { NotificationAuthorizationRequestAction::submit(
                        settingsPaneAuthorizationOptions) });
            },
            [](const A::ResetAuthorizationStatus&) -> AppAction {
                return notifications(
                    UA::RequestAuthorization { NotificationAuthorizationRequestAction::reset() });
            },
            [](const A::ForgetAuthorization&) -> AppAction {
                return notifications(UA::ForgetAuthorization {});
            },
        },
        asVariant(action));
}
#pragma GCC diagnostic pop

} // namespace tidemark::Connectors
