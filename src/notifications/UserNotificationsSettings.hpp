#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"

#include <string_view>
#include <variant>
#include <vector>

namespace tidemark {

struct UserNotificationsSettingsActionCases {
    // The user's own switch inside the application.
    struct IsEnabled {
        bool isEnabled;
        bool operator==(const IsEnabled&) const = default;
    };
    struct PreviewNotification {
        bool operator==(const PreviewNotification&) const = default;
    };
    struct ReadNotificationSettings {
        bool operator==(const ReadNotificationSettings&) const = default;
    };
    struct RequestAuthorization {
        bool operator==(const RequestAuthorization&) const = default;
    };
    struct ResetAuthorizationStatus {
        bool operator==(const ResetAuthorizationStatus&) const = default;
    };
    // The refusal is the application's own answer, kept by its notification layer: no desktop
    // setting can lift it. Forgetting it lets the next request ask the user again.
    struct ForgetAuthorization {
        bool operator==(const ForgetAuthorization&) const = default;
    };
    using Variant = std::variant<IsEnabled, PreviewNotification, ReadNotificationSettings,
        RequestAuthorization, ResetAuthorizationStatus, ForgetAuthorization>;
};

// The notification settings pane (in the settings window and on the onboarding's
// notifications page): the switch, the permission and what the notification server does with
// the application's notifications.
struct UserNotificationsSettingsConnectingView {
    struct State {
        // None while no settings have been read.
        UNAlertStyle alertStyle = UNAlertStyle::none;
        // Not determined while no settings have been read.
        UNAuthorizationStatus authorizationStatus = UNAuthorizationStatus::notDetermined;
        bool isEnabled = false;
        // The last authorization request's progress.
        Status requestAuthorizationStatus = Status::idle;
        // The server plays the notification sound for the application.
        bool soundSetting = false;
        // Handed down; nothing shows it.
        UNNotificationSetting timeSensitiveSetting = UNNotificationSetting::notSupported;
        // A notification server answers on the session bus. Taken as true until a read says
        // otherwise.
        bool isServerAvailable = true;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<UserNotificationsSettingsActionCases> {
        using ActionOf::ActionOf;
    };

    // What the switch sends when the user sets it, in order: the switch itself, then the
    // permission request (on) or the reset of the request's state (off).
    static std::vector<Action> toggleActions(bool isOn);
    // What "Ask Again" sends, in order: forget the refusal, switch on, ask.
    static std::vector<Action> askAgainActions();
};

// One of the checklist's two indicators: a green or red dot and a text of a string table.
struct NotificationSettingIndicator {
    bool isGood = false;
    std::string_view table;
    std::string_view key;

    bool operator==(const NotificationSettingIndicator&) const = default;
};

// What the pane shows for a state. The switch reads on only when the user's switch is on
// and the application is authorized; a refusal disables it and shows the steps instead; the
// checklist shows only while the switch reads on, nothing was refused and no request is
// under way, and a server answers to say what it does.
struct UserNotificationsSettingsContent {
    bool toggleIsOn = false;
    bool toggleIsEnabled = true;
    bool showsWaiting = false;
    bool showsPreviewButton = false;
    // The steps to the desktop's settings and the offer to ask again.
    bool showsDeniedSteps = false;
    // No server answers: the pane says so and what to install.
    bool showsServerMissing = false;

    bool showsChecklist = false;
    NotificationSettingIndicator alertStyle;
    // The footer under the style; empty for none.
    std::string_view alertStyleFooterKey;
    // Alerts are recommended whenever the style is another.
    bool showsRecommendation = false;
    NotificationSettingIndicator sound;

    bool operator==(const UserNotificationsSettingsContent&) const = default;
};

UserNotificationsSettingsContent userNotificationsSettingsContent(
    const UserNotificationsSettingsConnectingView::State& state);

} // namespace tidemark
