#pragma once

#include <variant>

namespace tidemark {

struct DebugSettingsViewActionCases {
    // The pane's button that opens the onboarding window.
    struct OnboardingIsPresented {
        bool isPresented;
        bool operator==(const OnboardingIsPresented&) const = default;
    };
    bool operator==(const DebugSettingsViewActionCases&) const = default;
};

// The debug pane. It shows nothing of the state.
struct DebugSettingsView {
    struct State {
        bool operator==(const State&) const = default;
    };

    struct Action : DebugSettingsViewActionCases,
                    std::variant<DebugSettingsViewActionCases::OnboardingIsPresented> {
        using variant::variant;
        bool operator==(const Action&) const = default;
    };
};

} // namespace tidemark
