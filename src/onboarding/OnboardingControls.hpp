#pragma once

#include "core/Action.hpp"
#include "onboarding/OnboardingLeadingItems.hpp"

#include <variant>

namespace tidemark {

struct OnboardingTrailingItemsActionCases {
    struct Back {
        bool operator==(const Back&) const = default;
    };
    // Continue and Get Started: on to the next page.
    struct Next {
        bool operator==(const Next&) const = default;
    };
    // Close, on the last page: the onboarding ends.
    struct Close {
        bool operator==(const Close&) const = default;
    };
    using Variant = std::variant<Back, Next, Close>;
};

// The onboarding window's Back button and its primary button (Get Started, Continue, Close).
struct OnboardingTrailingItems {
    struct State {
        struct Back {
            bool isDisabled = false;
            bool isHidden = true; // on the first page
            bool operator==(const Back&) const = default;
        };
        struct Continue {
            // Until the page's task is done (a choice of list, permission, open at login).
            bool isDisabled = false;
            bool isFirst = true; // labelled Get Started
            bool isComplete = false; // labelled Close; wins over isFirst
            bool operator==(const Continue&) const = default;
        };
        Back back;
        Continue continue_;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<OnboardingTrailingItemsActionCases> {
        using ActionOf::ActionOf;
    };
};

struct OnboardingControlsActionCases {
    struct Trailing {
        OnboardingTrailingItems::Action action;
        bool operator==(const Trailing&) const = default;
    };
    struct Leading {
        OnboardingLeadingItems::Action action;
        bool operator==(const Leading&) const = default;
    };
    using Variant = std::variant<Trailing, Leading>;
};

// The row of buttons under the onboarding's pages.
struct OnboardingControls {
    struct State {
        OnboardingLeadingItems::State leading;
        OnboardingTrailingItems::State trailing;
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<OnboardingControlsActionCases> {
        using ActionOf::ActionOf;
    };
};

// The primary button's three faces.
enum class OnboardingPrimaryButton {
    getStarted,
    continue_,
    close,
};

// Which face the primary button shows: Close on the last page (also when it is the only
// one), else Get Started on the first, else Continue.
OnboardingPrimaryButton primaryButton(const OnboardingTrailingItems::State::Continue& state);

// Whether Return presses the primary button: on Get Started and Close only.
bool primaryButtonTakesReturn(OnboardingPrimaryButton button);

} // namespace tidemark
