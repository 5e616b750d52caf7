#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "platform/usernotifications/NotificationTypes.hpp"

#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace tidemark {

class DateComponentsFormatter;

using NotificationSettingsReadAction = SubmittableAction<EquatableVoid, UNNotificationSettings>;
using NotificationAuthorizationRequestAction
    = SubmittableAction<UNAuthorizationOptions, EquatableVoid>;

struct NotificationSettingsState {
    SubmittableState submit;
    std::optional<UNNotificationSettings> settings;
    bool operator==(const NotificationSettingsState&) const = default;
};

struct NotificationSettingsAction {
    NotificationSettingsReadAction action;
    bool operator==(const NotificationSettingsAction&) const = default;
};

struct UserNotificationsState {
    bool isEnabled = false;
    SubmittableState requestAuthorization;
    NotificationSettingsState settings;
    bool operator==(const UserNotificationsState&) const = default;
};

struct UserNotificationsActionCases {
    // A one-off notification (the preview): its body and its delay in seconds.
    struct CreateNotification {
        std::string body;
        double delay;
        bool operator==(const CreateNotification&) const = default;
    };
    struct IsEnabled {
        bool value;
        bool operator==(const IsEnabled&) const = default;
    };
    struct RequestAuthorization {
        NotificationAuthorizationRequestAction action;
        bool operator==(const RequestAuthorization&) const = default;
    };
    struct Settings {
        NotificationSettingsAction action;
        bool operator==(const Settings&) const = default;
    };
    // The user's response to a notification: the action and the request identifiers.
    struct NotificationAction {
        std::string actionIdentifier;
        std::string requestIdentifier;
        bool operator==(const NotificationAction&) const = default;
    };
    // Forget the user's answer to the permission request, so that the next request asks
    // again. A refusal is kept by the application's own notification layer, where no desktop
    // setting reaches it.
    struct ForgetAuthorization {
        bool operator==(const ForgetAuthorization&) const = default;
    };
    using Variant = std::variant<CreateNotification, IsEnabled, RequestAuthorization, Settings,
        NotificationAction, ForgetAuthorization>;
};

struct UserNotificationsAction : ActionOf<UserNotificationsActionCases> {
    using ActionOf::ActionOf;
};

struct NotificationsState {
    UserNotificationsState user;
    // Writes a reminder's span for an untitled notification; made once, never replaced.
    std::shared_ptr<DateComponentsFormatter> defaultTitleFormatter;

    explicit NotificationsState(UserNotificationsState user = {});
    bool operator==(const NotificationsState&) const = default;
};

struct NotificationsAction {
    UserNotificationsAction action;
    bool operator==(const NotificationsAction&) const = default;
};

// A successful settings read that reports a denied authorization switches notifications
// off in the state (only there: the stored setting keeps its value).
void userNotificationsReducer(UserNotificationsState& state, const UserNotificationsAction& action);
void notificationsReducer(NotificationsState& state, const NotificationsAction& action);

} // namespace tidemark
