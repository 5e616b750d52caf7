#pragma once

#include "core/Action.hpp"
#include <variant>
#include <vector>

namespace tidemark {

// The onboarding's pages; the order in which they are shown is `OnboardingState::pages`.
enum class OnboardingPage {
    root,
    sync,
    notifications,
    general,
    completion,
};

struct OnboardingState {
    bool isPresented = false;
    std::vector<OnboardingPage> pages { OnboardingPage::root, OnboardingPage::notifications,
        OnboardingPage::sync, OnboardingPage::general, OnboardingPage::completion };
    OnboardingPage selection = OnboardingPage::root;

    bool operator==(const OnboardingState&) const = default;
};

struct OnboardingActionCases {
    struct IsPresented {
        bool value;
        bool operator==(const IsPresented&) const = default;
    };
    struct Selection {
        OnboardingPage page;
        bool operator==(const Selection&) const = default;
    };
    struct Back {
        bool operator==(const Back&) const = default;
    };
    struct Next {
        bool operator==(const Next&) const = default;
    };
    using Variant = std::variant<IsPresented, Selection, Back, Next>;
};

struct OnboardingAction : ActionOf<OnboardingActionCases> {
    using ActionOf::ActionOf;
};

// Showing or closing starts again at the root page; back and next move along `pages`
// without wrapping, relative to the first occurrence of the selection.
void onboardingReducer(OnboardingState& state, const OnboardingAction& action);

} // namespace tidemark
