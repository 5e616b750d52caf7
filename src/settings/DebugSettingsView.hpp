#pragma once

#include "core/Action.hpp"
#include <variant>

namespace tidemark {

struct DebugSettingsViewActionCases {
    // The pane's button that opens the onboarding window.
    struct OnboardingIsPresented {
        bool isPresented;
        bool operator==(const OnboardingIsPresented&) const = default;
    };
    using Variant = std::variant<OnboardingIsPresented>;
};

// The debug pane. It shows nothing of the state.
struct DebugSettingsView {
    struct State {
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<DebugSettingsViewActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
