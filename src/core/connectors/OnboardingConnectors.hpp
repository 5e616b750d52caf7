#pragma once

#include "core/state/AppState.hpp"
#include "onboarding/OnboardingControls.hpp"
#include "onboarding/OnboardingView.hpp"

// The connectors of the onboarding window: its content, its controls and their two groups
// (the leading one stands with the settings connectors).

namespace tidemark::Connectors {

// Back and the primary button. Back hides on the first page; the primary button is Get
// Started there and Close on the last page. Continue waits for the page's task: the user's
// reminder lists on the sync page, notifications switched on and allowed on the notifications
// page, open at login on the general page.
struct OnboardingTrailingItemsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = OnboardingTrailingItems::State;
    using ViewAction = OnboardingTrailingItems::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// Whether Continue waits on `page`.
bool onboardingContinueIsDisabled(const AppState& state, OnboardingPage page);

struct OnboardingControlsConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = OnboardingControls::State;
    using ViewAction = OnboardingControls::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

// The whole onboarding view: the pages and what each page's pane shows, and the controls.
// The sync page's pane is the settings window's, through the same connector.
struct OnboardingConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = OnboardingView::State;
    using ViewAction = OnboardingView::Action;

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

} // namespace tidemark::Connectors
