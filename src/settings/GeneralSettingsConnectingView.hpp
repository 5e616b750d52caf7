#pragma once

#include "core/Action.hpp"
#include "entry/DragTimeInterval.hpp"
#include "reminders/AutomaticRemoval.hpp"
#include "settings/MenuBarSettingsConnectingView.hpp"

#include <optional>
#include <string>
#include <variant>

namespace tidemark {

struct GeneralSettingsConnectingViewActionCases {
    struct DataEntryIsEnabled {
        bool isEnabled;
        bool operator==(const DataEntryIsEnabled&) const = default;
    };
    // The slider's value, DragSensitivity::minimum…maximum.
    struct DragSensitivity {
        double sensitivity;
        bool operator==(const DragSensitivity&) const = default;
    };
    struct OpenAtLogin {
        bool openAtLogin;
        bool operator==(const OpenAtLogin&) const = default;
    };
    struct RemindersAutomaticRemoval {
        AutomaticRemovalAction action;
        bool operator==(const RemindersAutomaticRemoval&) const = default;
    };
    struct MenuBarSettings {
        MenuBarSettingsConnectingView::Action action;
        bool operator==(const MenuBarSettings&) const = default;
    };
    using Variant = std::variant<DataEntryIsEnabled, DragSensitivity, OpenAtLogin,
        RemindersAutomaticRemoval, MenuBarSettings>;
};

// The general settings pane.
struct GeneralSettingsConnectingView {
    struct State {
        bool dataEntryIsEnabled = true;
        // The slider mirrors the points per interval: maximum - points + minimum.
        double dragSensitivity = tidemark::DragSensitivity::maximum - defaultPointPerInterval
            + tidemark::DragSensitivity::minimum;
        bool openAtLogin = false;
        // Why the desktop refused the last change of open at login, shown under the switch.
        std::optional<std::string> openAtLoginFailure;
        AutomaticRemovalState remindersAutomaticRemoval;
        MenuBarSettingsConnectingView::State menuBarSettings;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<GeneralSettingsConnectingViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
