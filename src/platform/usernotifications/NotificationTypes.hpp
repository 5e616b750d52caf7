#pragma once

#include "platform/foundation/Date.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

// Value types of the notification centre: what a request holds, what the centre reports
// back, and the option sets and statuses it takes and gives. Plain values with the
// standard library only, so state slices can hold them without Qt.

namespace tidemark {

// Option sets are enums of bit flags; these operators combine and test them.
template <class E> struct IsOptionSet : std::false_type {
};

template <class E>
concept OptionSet = IsOptionSet<E>::value;

template <OptionSet E> constexpr E operator|(E a, E b)
{
    using U = std::underlying_type_t<E>;
    return static_cast<E>(static_cast<U>(a) | static_cast<U>(b));
}

template <OptionSet E> constexpr E operator&(E a, E b)
{
    using U = std::underlying_type_t<E>;
    return static_cast<E>(static_cast<U>(a) & static_cast<U>(b));
}

template <OptionSet E> constexpr E& operator|=(E& a, E b)
{
    return a = a | b;
}

// True when every flag of `flags` is set in `options`.
template <OptionSet E> constexpr bool contains(E options, E flags)
{
    return (options & flags) == flags;
}

template <OptionSet E> constexpr bool intersects(E options, E flags)
{
    return static_cast<std::underlying_type_t<E>>(options & flags) != 0;
}

template <OptionSet E> constexpr std::underlying_type_t<E> rawValue(E options)
{
    return static_cast<std::underlying_type_t<E>>(options);
}

enum class UNAuthorizationOptions : unsigned {
    none = 0,
    badge = 1,
    sound = 2,
    alert = 4,
    carPlay = 8,
    criticalAlert = 16,
    providesAppNotificationSettings = 32,
    provisional = 64,
};
template <> struct IsOptionSet<UNAuthorizationOptions> : std::true_type {
};

// How a notification that arrives while the application runs is shown.
enum class UNNotificationPresentationOptions : unsigned {
    none = 0,
    badge = 1,
    sound = 2,
    alert = 4,
    list = 8,
    banner = 16,
};
template <> struct IsOptionSet<UNNotificationPresentationOptions> : std::true_type {
};

enum class UNNotificationCategoryOptions : unsigned {
    none = 0,
    // Closing a notification by hand reaches the delegate as a response.
    customDismissAction = 1,
    allowInCarPlay = 2,
    hiddenPreviewsShowTitle = 4,
    hiddenPreviewsShowSubtitle = 8,
};
template <> struct IsOptionSet<UNNotificationCategoryOptions> : std::true_type {
};

enum class UNNotificationActionOptions : unsigned {
    none = 0,
    authenticationRequired = 1,
    destructive = 2,
    foreground = 4,
};
template <> struct IsOptionSet<UNNotificationActionOptions> : std::true_type {
};

enum class UNAuthorizationStatus : int {
    notDetermined = 0,
    denied = 1,
    authorized = 2,
    provisional = 3,
    ephemeral = 4,
};

enum class UNAlertStyle : int {
    none = 0,
    banner = 1,
    alert = 2,
};

enum class UNNotificationSetting : int {
    notSupported = 0,
    disabled = 1,
    enabled = 2,
};

enum class UNNotificationInterruptionLevel : int {
    passive = 0,
    active = 1,
    timeSensitive = 2,
    critical = 3,
};

// One button of a notification.
struct UNNotificationAction {
    std::string identifier;
    std::string title;
    UNNotificationActionOptions options = UNNotificationActionOptions::none;

    bool operator==(const UNNotificationAction&) const = default;
};

// A kind of notification and the buttons it shows, in order.
struct UNNotificationCategory {
    std::string identifier;
    std::vector<UNNotificationAction> actions;
    std::vector<std::string> intentIdentifiers;
    std::string hiddenPreviewsBodyPlaceholder;
    std::string categorySummaryFormat;
    UNNotificationCategoryOptions options = UNNotificationCategoryOptions::none;

    bool operator==(const UNNotificationCategory&) const = default;
};

// The sound played with a notification: the desktop's default, a named sound of the
// sound theme, or none (an absent sound in the content).
struct UNNotificationSound {
    std::string name;

    static UNNotificationSound defaultSound() { return { "message-new-instant" }; }
    static UNNotificationSound soundNamed(std::string name) { return { std::move(name) }; }

    bool operator==(const UNNotificationSound&) const = default;
};

struct UNNotificationContent {
    std::string title;
    std::string subtitle;
    std::string body;
    std::optional<UNNotificationSound> sound;
    UNNotificationInterruptionLevel interruptionLevel = UNNotificationInterruptionLevel::active;
    std::string categoryIdentifier;
    std::string threadIdentifier;

    bool operator==(const UNNotificationContent&) const = default;
};

// Fires `timeInterval` seconds after the request was added; a repeating trigger fires
// again every `timeInterval` seconds (at least 60).
struct UNTimeIntervalNotificationTrigger {
    TimeInterval timeInterval = 0;
    bool repeats = false;

    bool operator==(const UNTimeIntervalNotificationTrigger&) const = default;
};

// A notification to show. A request without a trigger is shown at once. Adding a request
// whose identifier is pending replaces the pending one.
struct UNNotificationRequest {
    std::string identifier;
    UNNotificationContent content;
    std::optional<UNTimeIntervalNotificationTrigger> trigger;

    bool operator==(const UNNotificationRequest&) const = default;
};

// A request that has been shown.
struct UNNotification {
    Date date;
    UNNotificationRequest request;

    bool operator==(const UNNotification&) const = default;
};

// The user's answer to a shown notification.
struct UNNotificationResponse {
    // The user clicked the notification itself.
    static constexpr std::string_view defaultActionIdentifier = "tidemark.notification.default";
    // The user closed the notification (only for categories with customDismissAction).
    static constexpr std::string_view dismissActionIdentifier = "tidemark.notification.dismiss";

    std::string actionIdentifier;
    UNNotification notification;

    bool operator==(const UNNotificationResponse&) const = default;
};

// What the centre allows and can do: the user's answer to the authorization request and
// what the desktop's notification server supports.
struct UNNotificationSettings {
    UNAuthorizationStatus authorizationStatus = UNAuthorizationStatus::notDetermined;
    UNNotificationSetting soundSetting = UNNotificationSetting::notSupported;
    UNNotificationSetting badgeSetting = UNNotificationSetting::notSupported;
    UNNotificationSetting alertSetting = UNNotificationSetting::notSupported;
    UNNotificationSetting notificationCenterSetting = UNNotificationSetting::notSupported;
    UNNotificationSetting lockScreenSetting = UNNotificationSetting::notSupported;
    UNAlertStyle alertStyle = UNAlertStyle::none;
    UNNotificationSetting timeSensitiveSetting = UNNotificationSetting::notSupported;
    // Whether a notification server answers on the session bus, and what it can do.
    bool isServerAvailable = false;
    std::vector<std::string> serverCapabilities;

    bool operator==(const UNNotificationSettings&) const = default;
};

struct UNError {
    enum class Code {
        notificationsNotAllowed,
        invalidTrigger,
        invalidRequest,
        storageFailed,
    };
    Code code = Code::invalidRequest;
    std::string message;

    bool operator==(const UNError&) const = default;
};

} // namespace tidemark
