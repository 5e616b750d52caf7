#pragma once

#include "menubar/PopoverState.hpp"

#include <set>
#include <variant>

namespace tidemark {

struct PopoverNotificationsViewActionCases {
    // The banners to show from now on.
    struct Notifications {
        std::set<PopoverNotification> notifications;
        bool operator==(const Notifications&) const = default;
    };
    bool operator==(const PopoverNotificationsViewActionCases&) const = default;
};

// The banners at the top of the popover, such as the review prompt.
struct PopoverNotificationsView {
    struct State {
        std::set<PopoverNotification> notifications;
        bool operator==(const State&) const = default;
    };

    struct Action : PopoverNotificationsViewActionCases,
                    std::variant<PopoverNotificationsViewActionCases::Notifications> {
        using variant::variant;
        bool operator==(const Action&) const = default;
    };
};

struct PopoverViewActionCases {
    struct Notifications {
        PopoverNotificationsView::Action action;
        bool operator==(const Notifications&) const = default;
    };
    bool operator==(const PopoverViewActionCases&) const = default;
};

// The popover's content: the list, or the empty view with its drag demonstration, under
// the banners.
struct PopoverView {
    struct State {
        bool isEmpty = true; // no current and no past reminder to list
        bool emptyStateIsPlaying = false; // the demonstration plays while the popover is open
        PopoverNotificationsView::State notifications;

        bool operator==(const State&) const = default;
    };

    struct Action : PopoverViewActionCases, std::variant<PopoverViewActionCases::Notifications> {
        using variant::variant;
        bool operator==(const Action&) const = default;
    };
};

} // namespace tidemark
