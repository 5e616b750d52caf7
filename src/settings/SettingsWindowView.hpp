#pragma once

#include "core/Action.hpp"
#include "core/SharedValues.hpp"
#include "settings/SettingsSlice.hpp"

#include <string>
#include <variant>
#include <vector>

namespace tidemark {

struct SettingsContainerActionCases {
    // The user picked a tab.
    struct SelectedTab {
        SettingsTabs tab;
        bool operator==(const SelectedTab&) const = default;
    };
    // The window became key (true) or is about to close (false).
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    using Variant = std::variant<SelectedTab, IsPresented>;
};

// The settings window's frame around its panes: which tab shows. The selection lives in the
// settings slice, so it outlasts closing the window.
struct SettingsContainer {
    struct State {
        SettingsTabs selectedTab = SettingsTabs::general;
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<SettingsContainerActionCases> {
        using ActionOf::ActionOf;
    };

    // The tabs in the order they stand; the slice's other values name no tab.
    static const std::vector<SettingsTabs>& tabs();
    // The tab shown for a selection: a value that names no tab shows the first.
    static int tabIndex(SettingsTabs tab);
    // The tab `steps` on from `tab`, going round at either end.
    static SettingsTabs tabAfter(SettingsTabs tab, int steps);

    // The window title: the application's name, one blank and its version text ("Tidemark
    // 1.2.5 (125)"); the blank stays when the version is empty.
    static std::string title(const std::string& name, const std::string& versionText);

    // The window is never smaller than this; the height is the golden share of the width.
    static constexpr double minimumWidth = 500;
    static constexpr double minimumHeight = goldenMajor(500.0);
};

} // namespace tidemark
