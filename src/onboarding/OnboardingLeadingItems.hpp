#pragma once

#include <variant>

namespace tidemark {

struct OnboardingLeadingItemsActionCases {
    // "Set up later": on to the next page.
    struct Skip {
        bool operator==(const Skip&) const = default;
    };
    bool operator==(const OnboardingLeadingItemsActionCases&) const = default;
};

// The onboarding window's leading button.
struct OnboardingLeadingItems {
    struct State {
        bool isHidden = true; // on the first and the last page
        bool operator==(const State&) const = default;
    };

    struct Action : OnboardingLeadingItemsActionCases,
                    std::variant<OnboardingLeadingItemsActionCases::Skip> {
        using variant::variant;
        bool operator==(const Action&) const = default;
    };
};

} // namespace tidemark
