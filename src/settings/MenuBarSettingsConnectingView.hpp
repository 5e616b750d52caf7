#pragma once

#include "core/Action.hpp"
#include "menubar/CountdownState.hpp"

#include <variant>

namespace tidemark {

struct MenuBarSettingsConnectingViewActionCases {
    struct ProgressBar {
        CountdownProgressBarAction action;
        bool operator==(const ProgressBar&) const = default;
    };
    struct MenuBarCountdownIsEnabled {
        bool isEnabled;
        bool operator==(const MenuBarCountdownIsEnabled&) const = default;
    };
    using Variant = std::variant<ProgressBar, MenuBarCountdownIsEnabled>;
};

// The general pane's menu-bar section: the countdown and the progress bar behind it.
struct MenuBarSettingsConnectingView {
    struct State {
        CountdownProgressBarState progressBar;
        bool menuBarCountdownIsEnabled = true;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<MenuBarSettingsConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
