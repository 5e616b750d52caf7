#pragma once

#include "core/Action.hpp"
#include <variant>

namespace tidemark {

struct OnboardingLeadingItemsActionCases {
    // "Set up later": on to the next page.
    struct Skip {
        bool operator==(const Skip&) const = default;
    };
    using Variant = std::variant<Skip>;
};

// The onboarding window's leading button.
struct OnboardingLeadingItems {
    struct State {
        bool isHidden = true; // on the first and the last page
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<OnboardingLeadingItemsActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
