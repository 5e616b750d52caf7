#pragma once

#include "core/state/AppState.hpp"
#include "entry/YoyoViewStates.hpp"
#include "menubar/ScrollMenuBarExtraConnectingView.hpp"
#include "platform/foundation/Clock.hpp"

#include <memory>

// The connectors of the time entry: the blob that follows a pull, its live time label, the
// data-entry card and the scroll entry. Each maps the root state to its view's state and
// each of its view's actions to exactly one root action.

namespace tidemark::Connectors {

// The blob's two ends: a 16-point square centred on the icon's drag frame, and where the
// pull has taken the other end.
struct YoyoBlobConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoBlobView::State;
    using ViewAction = YoyoBlobView::Action;

    ViewState mapState(const AppState& state) const;
    [[noreturn]] AppAction mapAction(const ViewAction& action) const;
};

// The data-entry card shown after a pull.
struct DragDataEntryConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = DragDataEntryConnectingView::State;
    using ViewAction = DragDataEntryConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The live time label beside the blob: shown while a pull longer than the minimum
// distance goes on, with the interval the pull stands for.
struct YoyoTimeViewConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoTimeView::State;
    using ViewAction = YoyoTimeView::Action;

    // The start shown before any pull began.
    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    [[noreturn]] AppAction mapAction(const ViewAction& action) const;
};

// The blob's spring-back and fade after release.
struct YoyoAnimationConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoAnimation::State;
    using ViewAction = YoyoAnimation::Action;

    ViewState mapState(const AppState& state) const;
    // The spring-back rests the blob one point from its start in the pull's direction; a
    // pull of no length has no direction and rests it at the start.
    AppAction mapAction(const ViewAction& action) const;
};

// The front overlay window: the blob and the card.
struct YoyoFrontConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoFrontView::State;
    using ViewAction = YoyoFrontView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The back overlay window: the blob, the card and the time label.
struct YoyoBackConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoBackView::State;
    using ViewAction = YoyoBackView::Action;

    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The scroll entry on the second menu-bar item; it only sends.
struct ScrollMenuBarExtraConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = ScrollMenuBarExtraConnectingView::State;
    using ViewAction = ScrollMenuBarExtraConnectingView::Action;

    ViewState mapState(const AppState& state) const;
    // The extra's frame becomes the status item's scroll bounds (not its scroll frame,
    // which the item reports itself).
    AppAction mapAction(const ViewAction& action) const;
};

} // namespace tidemark::Connectors
