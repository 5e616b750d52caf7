#include "onboarding/views/OnboardingPreviews.hpp"

#include "core/state/AppState.hpp"
#include "onboarding/views/OnboardingWindow.hpp"
#include "onboarding/views/WhatsNewWindow.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "toolkit/PageView.hpp"
#include "toolkit/Previews.hpp"

#include <cmath>
#include <functional>

namespace tidemark {

namespace {

// The onboarding window's content over a main store that holds `state` and never changes.
QWidget* onboardingOn(OnboardingPage page, std::function<void(AppState&)> change = {})
{
    AppState state = AppState::initial(Clock::system()->now(), Calendar("UTC"));
    state.view.onboarding.isPresented = true;
    state.view.onboarding.selection = page;
    if (change)
        change(state);
    return new OnboardingContainerView(AppStore::constant(std::move(state)));
}

QWidget* whatsNewOn(int index)
{
    auto* container = new WhatsNewContainerView;
    WhatsNewView* view = container->view();
    view->setSelectedIndex(index);
    // Not on screen yet: the pager stands on the page at once.
    view->pager()->animateToIndex(index);
    const Size smallest = whatsNewMinimumSize(WhatsNewLayout::height, std::nullopt);
    container->setFixedSize(int(std::lround(smallest.width)), int(std::lround(smallest.height)));
    return container;
}

} // namespace

void registerOnboardingPreviews(PreviewRegistry& registry)
{
    registry.add({ "Onboarding",
        {
            { "Welcome", [] { return onboardingOn(OnboardingPage::root); } },
            { "Notifications", [] { return onboardingOn(OnboardingPage::notifications); } },
            { "Sync", [] { return onboardingOn(OnboardingPage::sync); } },
            { "General, open at login off", [] { return onboardingOn(OnboardingPage::general); } },
            { "General, open at login on",
                [] {
                    return onboardingOn(OnboardingPage::general,
                        [](AppState& s) { s.settings.general.openAtLogin = true; });
                } },
            { "Set up complete", [] { return onboardingOn(OnboardingPage::completion); } },
        } });
    registry.add({ "What's New",
        {
            { "Title page", [] { return whatsNewOn(0); } },
            { "Redesign", [] { return whatsNewOn(1); } },
            { "Reminder lists", [] { return whatsNewOn(2); } },
        } });
}

} // namespace tidemark
