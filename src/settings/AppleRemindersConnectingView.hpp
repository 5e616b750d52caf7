#pragma once

#include "core/Action.hpp"
#include "reminders/Reminder.hpp"

#include <optional>
#include <variant>
#include <vector>

namespace tidemark {

struct AppleRemindersConnectingViewActionCases {
    // Use the user's reminder lists (true) or the local store (false).
    struct IsEnabled {
        bool isEnabled;
        bool operator==(const IsEnabled&) const = default;
    };
    struct SelectedList {
        std::optional<AnyList> list;
        bool operator==(const SelectedList&) const = default;
    };
    using Variant = std::variant<IsEnabled, SelectedList>;
};

// The sync pane (and the onboarding's sync page): the data source and the list in use.
struct AppleRemindersConnectingView {
    struct State {
        bool isEnabled = false; // the user's reminder lists are the data source
        std::optional<AnyList> selectedList;
        std::vector<AnySource> sources; // empty until the sources were read

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<AppleRemindersConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
