#pragma once

#include "core/connectors/SettingsConnectors.hpp"
#include "core/state/AppState.hpp"
#include "menubar/CountdownView.hpp"
#include "menubar/PopoverListContainerView.hpp"
#include "menubar/PopoverToolbar.hpp"
#include "menubar/PopoverView.hpp"
#include "menubar/RemoveSelectedCommandView.hpp"
#include "menubar/StatusItemConnectingView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"

#include <memory>
#include <optional>

// The connectors of the menu-bar icon, its countdown, the popover with its list, banners
// and toolbar, and the Edit menu's remove command.

namespace tidemark::Connectors {

// The countdown beside the icon.
struct CountdownConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = CountdownView::State;
    using ViewAction = CountdownView::Action;

    // Which reminders still lie ahead.
    std::shared_ptr<const Clock> clock = Clock::system();

    // The reminder the countdown follows: the pinned one while the store holds it, else the
    // one due soonest after `now`; none when nothing is due in the future.
    static std::optional<AnyReminder> nextReminder(const AppState& state, Date now);

    // Presented when the countdown is wanted, the status item makes room for it and the
    // reminder it follows has a due date.
    ViewState mapState(const AppState& state) const;
    [[noreturn]] AppAction mapAction(const ViewAction& action) const;
};

// The menu-bar icon.
struct StatusItemConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = StatusItemConnectingView::State;
    using ViewAction = StatusItemConnectingView::Action;

    std::shared_ptr<const Clock> clock = Clock::system();
    Calendar calendar = Calendar::autoupdatingCurrent();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The popover's reminder list.
struct PopoverListConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = PopoverListContainerView::State;
    using ViewAction = PopoverListContainerView::Action;

    // What counts as current and as past.
    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    // Either list after an edit becomes the edited set (the root reducer keeps only the
    // reminders that differ from their stored version).
    AppAction mapAction(const ViewAction& action) const;
};

// The popover's banners.
struct PopoverNotificationsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = PopoverNotificationsView::State;
    using ViewAction = PopoverNotificationsView::Action;

    ViewState mapState(const AppState& state) const;
    // Replaces the banners shown.
    AppAction mapAction(const ViewAction& action) const;
};

// The popover's content: empty or not, and its banners.
struct PopoverViewConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = PopoverView::State;
    using ViewAction = PopoverView::Action;

    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The Edit menu's remove command.
struct RemoveSelectedCommandConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = RemoveSelectedCommandView::State;
    using ViewAction = RemoveSelectedCommandView::Action;

    // The completion date of archived reminders.
    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The popover's toolbar, its menus and its title.
struct PopoverToolbarConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = PopoverToolbar::State;
    using ViewAction = PopoverToolbar::Action;

    // The completion date of archived reminders.
    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

} // namespace tidemark::Connectors
