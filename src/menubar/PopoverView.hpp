#pragma once

#include "core/Action.hpp"
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
    using Variant = std::variant<Notifications>;
};

// The banners at the top of the popover, such as the review prompt.
struct PopoverNotificationsView {
    struct State {
        std::set<PopoverNotification> notifications;
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<PopoverNotificationsViewActionCases> {
        using ActionOf::ActionOf;
    };
};

struct PopoverViewActionCases {
    struct Notifications {
        PopoverNotificationsView::Action action;
        bool operator==(const Notifications&) const = default;
    };
    using Variant = std::variant<Notifications>;
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

    struct Action : ActionOf<PopoverViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
