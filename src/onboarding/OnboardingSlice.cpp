#include "onboarding/OnboardingSlice.hpp"

#include "core/Overloaded.hpp"

#include <algorithm>

namespace tidemark {

void onboardingReducer(OnboardingState& state, const OnboardingAction& action)
{
    std::visit(
        overloaded {
            [&](const OnboardingAction::IsPresented& a) -> void {
                state.isPresented = a.value;
                state.selection = OnboardingPage::root;
            },
            [&](const OnboardingAction::Selection& a) -> void { state.selection = a.page; },
            [&](const OnboardingAction::Back&) -> void {
                if (state.pages.empty() || state.pages.front() == state.selection)
                    return;
                auto found = std::find(state.pages.begin() + 1, state.pages.end(), state.selection);
                if (found != state.pages.end())
                    state.selection = *(found - 1);
            },
            [&](const OnboardingAction::Next&) -> void {
                auto found = std::find(state.pages.begin(), state.pages.end(), state.selection);
                if (found != state.pages.end() && found + 1 != state.pages.end())
                    state.selection = *(found + 1);
            },
        },
        action);
}

} // namespace tidemark
