#include "onboarding/views/OnboardingPreviews.hpp"

#include "core/state/AppState.hpp"
#include "onboarding/views/DragDemonstrationView.hpp"
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

// The demonstration resting at the end of one step, at the size the last page gives it.
QWidget* demonstrationAt(DragDemonstrationStep step)
{
    auto* view = new DragInteractionDemoView(false);
    view->setInView(false);
    view->setFixedSize(324, 200);
    view->showStep(step);
    return view;
}

} // namespace

void registerOnboardingPreviews(PreviewRegistry& registry)
{
    registry.add({ "Onboarding",
        {
            { "Welcome", [] { return onboardingOn(OnboardingPage::root); } },
            { "Notifications, not asked yet",
                [] { return onboardingOn(OnboardingPage::notifications); } },
            { "Notifications, allowed",
                [] {
                    return onboardingOn(OnboardingPage::notifications, [](AppState& s) {
                        s.notifications.user.isEnabled = true;
                        UNNotificationSettings settings;
                        settings.authorizationStatus = UNAuthorizationStatus::authorized;
                        s.notifications.user.settings.settings = settings;
                    });
                } },
            { "Sync, local", [] { return onboardingOn(OnboardingPage::sync); } },
            { "Sync, task lists",
                [] {
                    return onboardingOn(OnboardingPage::sync, [](AppState& s) {
                        s.reminders.services.dataSource = RemindersDataSource::appleReminders;
                    });
                } },
            { "General, open at login off", [] { return onboardingOn(OnboardingPage::general); } },
            { "General, open at login on",
                [] {
                    return onboardingOn(OnboardingPage::general,
                        [](AppState& s) { s.settings.general.openAtLogin = true; });
                } },
            { "Set up complete", [] { return onboardingOn(OnboardingPage::completion); } },
        } });
    registry.add({ "Drag demonstration",
        {
            { "1 Pointer on the icon",
                [] { return demonstrationAt(DragDemonstrationStep::moveCursorToIcon); } },
            { "2 Hovering", [] { return demonstrationAt(DragDemonstrationStep::hover); } },
            { "3 Pulled down", [] { return demonstrationAt(DragDemonstrationStep::drag); } },
            { "4 Let go", [] { return demonstrationAt(DragDemonstrationStep::dragBackUp); } },
            { "5 Blob gone", [] { return demonstrationAt(DragDemonstrationStep::hideBlob); } },
            { "6 Resting", [] { return demonstrationAt(DragDemonstrationStep::rest); } },
        } });
    registry.add({ "What's New",
        {
            { "Title page", [] { return whatsNewOn(0); } },
            { "Redesign", [] { return whatsNewOn(1); } },
            { "Reminder lists", [] { return whatsNewOn(2); } },
        } });
}

} // namespace tidemark
