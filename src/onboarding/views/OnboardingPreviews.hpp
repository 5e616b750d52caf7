#pragma once

namespace tidemark {

class PreviewRegistry;

// Every onboarding page with its controls, and the what's-new pages at their smallest size.
void registerOnboardingPreviews(PreviewRegistry& registry);

} // namespace tidemark
