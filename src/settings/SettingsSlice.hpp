#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "settings/UserSettings.hpp"

#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace tidemark {

class DateComponentsFormatter;

struct AppearanceSettingsState {
    bool showDockIcon = true;
    bool operator==(const AppearanceSettingsState&) const = default;
};

struct GeneralSettingsState {
    bool openAtLogin = false;
    // Why the desktop refused the last change of open at login; none once it is changed
    // again. Shown under the switch, which the refusal turned back.
    std::optional<std::string> openAtLoginFailure;
    // The one formatter of every relative time shown in the time entry and the list;
    // shared, compared by identity, never replaced.
    std::shared_ptr<DateComponentsFormatter> relativeTimeFormatter;

    GeneralSettingsState();
    bool operator==(const GeneralSettingsState&) const = default;
};

enum class SettingsTabs {
    appearance,
    general,
    notifications,
    sync,
    other,
    debug,
};

struct SettingsState {
    bool isPresented = false;
    SubmittableState submit;
    AppearanceSettingsState appearance;
    GeneralSettingsState general;
    SettingsTabs selectedTab = SettingsTabs::general;

    bool operator==(const SettingsState&) const = default;
};

struct AppearanceSettingsAction {
    bool showDockIcon;
    bool operator==(const AppearanceSettingsAction&) const = default;
};

struct GeneralSettingsAction {
    bool openAtLogin;
    bool operator==(const GeneralSettingsAction&) const = default;
};

using SettingsReadAction = SubmittableAction<EquatableVoid, UserSettings>;

struct SettingsActionCases {
    struct Appearance {
        AppearanceSettingsAction action;
        bool operator==(const Appearance&) const = default;
    };
    struct General {
        GeneralSettingsAction action;
        bool operator==(const General&) const = default;
    };
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    struct Read {
        SettingsReadAction action;
        bool operator==(const Read&) const = default;
    };
    struct SelectedTab {
        SettingsTabs tab;
        bool operator==(const SelectedTab&) const = default;
    };
    // Open at login could not be applied, for this reason.
    struct OpenAtLoginFailed {
        std::string reason;
        bool operator==(const OpenAtLoginFailed&) const = default;
    };
    using Variant
        = std::variant<Appearance, General, IsPresented, Read, SelectedTab, OpenAtLoginFailed>;
};

struct SettingsAction : ActionOf<SettingsActionCases> {
    using ActionOf::ActionOf;
};

void settingsReducer(SettingsState& state, const SettingsAction& action);

} // namespace tidemark
