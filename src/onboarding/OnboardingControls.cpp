#include "onboarding/OnboardingControls.hpp"

namespace tidemark {

OnboardingPrimaryButton primaryButton(const OnboardingTrailingItems::State::Continue& state)
{
    if (state.isComplete)
        return OnboardingPrimaryButton::close;
    return state.isFirst ? OnboardingPrimaryButton::getStarted : OnboardingPrimaryButton::continue_;
}

bool primaryButtonTakesReturn(OnboardingPrimaryButton button)
{
    return button != OnboardingPrimaryButton::continue_;
}

} // namespace tidemark
