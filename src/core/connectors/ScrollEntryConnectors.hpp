#pragma once

#include "core/state/AppState.hpp"
#include "entry/ScrollEntry.hpp"
#include "platform/foundation/Clock.hpp"

#include <memory>

namespace tidemark::Connectors {

// The scroll entry's card in its window: the latest delta (and how many came), the
// presentation flags, the reminder being entered with the selected list as its list, its
// start (now while none) and interval, where the scroll item stands in the window.
struct YoyoScrollFrontConnector {
    using State = AppState;
    using Action = AppAction;
    using ViewState = YoyoScrollFrontView::State;
    using ViewAction = YoyoScrollFrontView::Action;

    // The start shown while no entry is under way.
    std::shared_ptr<const Clock> clock = Clock::system();

    ViewState mapState(const AppState& state) const;
    AppAction mapAction(const ViewAction& action) const;
};

} // namespace tidemark::Connectors
