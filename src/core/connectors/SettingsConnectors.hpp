#pragma once

#include "core/state/AppState.hpp"
#include "onboarding/OnboardingLeadingItems.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "reminders/AutomaticRemoval.hpp"
#include "settings/AppleRemindersConnectingView.hpp"
#include "settings/CheckForUpdatesButton.hpp"
#include "settings/DebugSettingsView.hpp"
#include "settings/GeneralSettingsConnectingView.hpp"
#include "settings/LoggingView.hpp"
#include "settings/MenuBarSettingsConnectingView.hpp"
#include "settings/SettingsWindowView.hpp"

#include <memory>

// The connectors of the settings panes, the automatic removal and the onboarding window.

namespace tidemark::Connectors {

// The menu-bar section of the general pane: the countdown and its progress bar.
struct MenuBarSettingsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = MenuBarSettingsConnectingView::State;
    using ViewAction = MenuBarSettingsConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The general pane. The drag-sensitivity slider shows the points per interval mirrored
// (maximum - points + minimum) and sends them back the same way, so a round trip keeps
// the stored value.
struct GeneralSettingsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = GeneralSettingsConnectingView::State;
    using ViewAction = GeneralSettingsConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The automatic removal, as the menu-bar icon applies it when it opens the popover.
struct AutomaticRemindersRemovalConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = AutomaticRemindersRemovalState;
    using ViewAction = AutomaticRemindersRemovalAction;

    // When the removal runs, and the day boundaries its time of day falls on.
    std::shared_ptr<const Clock> clock = Clock::system();
    Calendar calendar = Calendar::autoupdatingCurrent();

    ViewState mapState(const AppState& state) const;
    // `remove` completes, at the clock's now, every reminder of its items whose removal
    // time has come round since it was due, in one update request. With nothing due it
    // becomes the countdown's `readDueDate`, which changes nothing: an empty update would
    // still clear the selection and leave an empty undo step behind. (The icon sends
    // `remove` only when something is due.)
    AppAction mapAction(const ViewAction& action) const;

    // Whether the removal time's hour and minute have come round since `dueDate`.
    bool isDue(Date dueDate, Date removalTime) const;
};

// The sync pane and the onboarding's sync page: the data source and the list.
struct AppleRemindersConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = AppleRemindersConnectingView::State;
    using ViewAction = AppleRemindersConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The settings window: the selected tab, and whether the window is shown.
struct SettingsContainerConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = SettingsContainer::State;
    using ViewAction = SettingsContainer::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The support section of the other pane. A bug report's failure shows once it is answered;
// a report under way shows none (its earlier error is dropped when it starts).
struct LoggingConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = LoggingView::State;
    using ViewAction = LoggingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The about section's check for updates.
struct CheckForUpdatesConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = CheckForUpdatesButton::State;
    using ViewAction = CheckForUpdatesButton::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The debug pane's button that opens the onboarding window.
struct DebugSettingsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = DebugSettingsView::State;
    using ViewAction = DebugSettingsView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The onboarding's "set up later" button: hidden on the first and the last page; it moves
// to the next page.
struct OnboardingLeadingItemsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = OnboardingLeadingItems::State;
    using ViewAction = OnboardingLeadingItems::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

} // namespace tidemark::Connectors
