#include "core/connectors/OnboardingConnectors.hpp"

#include "core/Overloaded.hpp"
#include "core/connectors/NotificationConnectors.hpp"
#include "core/connectors/RootActions.hpp"
#include "core/connectors/SettingsConnectors.hpp"

namespace tidemark::Connectors {

bool onboardingContinueIsDisabled(const AppState& state, OnboardingPage page)
{
    switch (page) {
    case OnboardingPage::root:
    case OnboardingPage::completion:
        return false;
    case OnboardingPage::sync:
        return state.reminders.services.dataSource != RemindersDataSource::appleReminders;
    case OnboardingPage::notifications: {
        const UserNotificationsState& user = state.notifications.user;
        const auto& settings = user.settings.settings;
        const bool authorized
            = settings && settings->authorizationStatus == UNAuthorizationStatus::authorized;
        return !(user.isEnabled && authorized);
    }
    case OnboardingPage::general:
        return !state.settings.general.openAtLogin;
    }
    return false;
}

OnboardingTrailingItems::State OnboardingTrailingItemsConnector::mapState(
    const AppState& state) const
{
    const OnboardingState& onboarding = state.view.onboarding;
    const bool isFirst
        = !onboarding.pages.empty() && onboarding.selection == onboarding.pages.front();
    const bool isLast
        = !onboarding.pages.empty() && onboarding.selection == onboarding.pages.back();
    return {
        .back = { .isDisabled = false, .isHidden = isFirst },
        .continue_ = {
            .isDisabled = onboardingContinueIsDisabled(state, onboarding.selection),
            .isFirst = isFirst,
            .isComplete = isLast,
        },
    };
}

AppAction OnboardingTrailingItemsConnector::mapAction(const ViewAction& action) const
{
    using A = OnboardingTrailingItems::Action;
    return std::visit(
        overloaded {
            [](const A::Back&) -> AppAction { return root::onboarding(OnboardingAction::Back {}); },
            [](const A::Next&) -> AppAction { return root::onboarding(OnboardingAction::Next {}); },
            [](const A::Close&) -> AppAction {
                return root::onboarding(OnboardingAction::IsPresented { false });
            },
        },
        asVariant(action));
}

OnboardingControls::State OnboardingControlsConnector::mapState(const AppState& state) const
{
    return {
        .leading = OnboardingLeadingItemsConnector {}.mapState(state),
        .trailing = OnboardingTrailingItemsConnector {}.mapState(state),
    };
}

AppAction OnboardingControlsConnector::mapAction(const ViewAction& action) const
{
    using A = OnboardingControls::Action;
    return std::visit(overloaded {
                          [](const A::Trailing& a) -> AppAction {
                              return OnboardingTrailingItemsConnector {}.mapAction(a.action);
                          },
                          [](const A::Leading& a) -> AppAction {
                              return OnboardingLeadingItemsConnector {}.mapAction(a.action);
                          },
                      },
        asVariant(action));
}

OnboardingView::State OnboardingConnector::mapState(const AppState& state) const
{
    return {
        .pages = state.view.onboarding.pages,
        .selection = state.view.onboarding.selection,
        .appleReminders = AppleRemindersConnector {}.mapState(state),
        .general = { .openAtLogin = state.settings.general.openAtLogin },
        .userNotifications = UserNotificationsSettingsConnector {}.mapState(state),
        .controls = OnboardingControlsConnector {}.mapState(state),
    };
}

// g++ 12 takes the notification request states copied here for uninitialised (a false
// positive of -Wmaybe-uninitialized on nested variants).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
AppAction OnboardingConnector::mapAction(const ViewAction& action) const
{
    using A = OnboardingView::Action;
    return std::visit(overloaded {
                          [](const A::Selection& a) -> AppAction {
                              return root::onboarding(OnboardingAction::Selection { a.page });
                          },
                          [](const A::AppleReminders& a) -> AppAction {
                              return AppleRemindersConnector {}.mapAction(a.action);
                          },
                          [](const A::General& a) -> AppAction {
                              const auto& openAtLogin
                                  = std::get<OnboardingGeneralView::Action::OpenAtLogin>(
                                      asVariant(a.action));
                              return AppAction::Settings { SettingsAction::General {
                                  GeneralSettingsAction { openAtLogin.value } } };
                          },
                          [](const A::UserNotifications& a) -> AppAction {
                              return UserNotificationsSettingsConnector {}.mapAction(a.action);
                          },
                          [](const A::Controls& a) -> AppAction {
                              return OnboardingControlsConnector {}.mapAction(a.action);
                          },
                          [](const A::Close&) -> AppAction {
                              return root::onboarding(OnboardingAction::IsPresented { false });
                          },
                      },
        asVariant(action));
}

#pragma GCC diagnostic pop

} // namespace tidemark::Connectors
