#pragma once

#include "core/Action.hpp"
#include <optional>
#include <set>
#include <string>
#include <variant>

namespace tidemark {

// The banners the popover can show.
enum class PopoverNotification {
    review,
};

std::string rawValue(PopoverNotification notification);
std::optional<PopoverNotification> popoverNotificationFromRaw(const std::string& raw);

struct PopoverState {
    bool hideItemsWithNoDueDate = true;
    bool isPresented = false;
    std::set<PopoverNotification> presentedNotification;
    std::optional<bool> launchedAsLoginItem;
    bool wasPresentedSinceAppLaunch = false;

    bool operator==(const PopoverState&) const = default;
};

struct PresentedNotificationActionCases {
    struct Update {
        std::set<PopoverNotification> notifications;
        bool operator==(const Update&) const = default;
    };
    struct Insert {
        PopoverNotification notification;
        bool operator==(const Insert&) const = default;
    };
    struct Remove {
        PopoverNotification notification;
        bool operator==(const Remove&) const = default;
    };
    using Variant = std::variant<Update, Insert, Remove>;
};

struct PresentedNotificationAction : ActionOf<PresentedNotificationActionCases> {
    using ActionOf::ActionOf;
};

struct PopoverActionCases {
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    struct PresentedNotification {
        PresentedNotificationAction action;
        bool operator==(const PresentedNotification&) const = default;
    };
    struct LaunchedAsLoginItem {
        bool value;
        bool operator==(const LaunchedAsLoginItem&) const = default;
    };
    struct WasPresentedSinceAppLaunch {
        bool value;
        bool operator==(const WasPresentedSinceAppLaunch&) const = default;
    };
    using Variant = std::variant<IsPresented, PresentedNotification, LaunchedAsLoginItem,
        WasPresentedSinceAppLaunch>;
};

struct PopoverAction : ActionOf<PopoverActionCases> {
    using ActionOf::ActionOf;
};

// Presenting also marks the popover as presented since launch; nothing writes
// `hideItemsWithNoDueDate`.
void popoverReducer(PopoverState& state, const PopoverAction& action);

} // namespace tidemark
