#pragma once

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
    bool operator==(const MenuBarSettingsConnectingViewActionCases&) const = default;
};

// The general pane's menu-bar section: the countdown and the progress bar behind it.
struct MenuBarSettingsConnectingView {
    struct State {
        CountdownProgressBarState progressBar;
        bool menuBarCountdownIsEnabled = true;

        bool operator==(const State&) const = default;
    };

    struct Action : MenuBarSettingsConnectingViewActionCases,
                    std::variant<MenuBarSettingsConnectingViewActionCases::ProgressBar,
                        MenuBarSettingsConnectingViewActionCases::MenuBarCountdownIsEnabled> {
        using variant::variant;
        bool operator==(const Action&) const = default;
    };
};

} // namespace tidemark
