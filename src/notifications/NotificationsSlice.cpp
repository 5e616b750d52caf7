#include "notifications/NotificationsSlice.hpp"

#include "core/Overloaded.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

namespace tidemark {

namespace {

// Made once for the process, so that every state holds the same formatter.
std::shared_ptr<DateComponentsFormatter> makeDefaultTitleFormatter()
{
    static const std::shared_ptr<DateComponentsFormatter> shared = [] {
        using F = DateComponentsFormatter;
        auto formatter = std::make_shared<F>();
        formatter->setAllowedUnits({ F::Unit::hour, F::Unit::minute, F::Unit::second });
        formatter->setAllowsFractionalUnits(false);
        formatter->setCalendar(Calendar::autoupdatingCurrent());
        formatter->setCollapsesLargestUnit(false);
        formatter->setFormattingContext(F::FormattingContext::standalone);
        formatter->setIncludesApproximationPhrase(false);
        formatter->setIncludesTimeRemainingPhrase(false);
        formatter->setMaximumUnitCount(2);
        formatter->setUnitsStyle(F::UnitsStyle::short_);
        formatter->setZeroFormattingBehavior(F::ZeroFormattingBehavior::dropAll);
        return formatter;
    }();
    return shared;
}

} // namespace

NotificationsState::NotificationsState(UserNotificationsState userState)
    : user(std::move(userState))
    , defaultTitleFormatter(makeDefaultTitleFormatter())
{
}

void userNotificationsReducer(UserNotificationsState& state, const UserNotificationsAction& action)
{
    std::visit(
        overloaded {
            [&](const UserNotificationsAction::CreateNotification&) -> void {},
            [&](const UserNotificationsAction::IsEnabled& a) -> void { state.isEnabled = a.value; },
            [&](const UserNotificationsAction::RequestAuthorization& a) -> void {
                reduce(state.requestAuthorization, a.action);
            },
            [&](const UserNotificationsAction::Settings& a) -> void {
                reduce(state.settings.submit, a.action.action);
                if (auto settings = a.action.action.successValue()) {
                    state.settings.settings = *settings;
                    if (settings->authorizationStatus == UNAuthorizationStatus::denied)
                        state.isEnabled = false;
                }
            },
            [&](const UserNotificationsAction::NotificationAction&) -> void {},
            [&](const UserNotificationsAction::ForgetAuthorization&) -> void {},
        },
        action);
}

void notificationsReducer(NotificationsState& state, const NotificationsAction& action)
{
    userNotificationsReducer(state.user, action.action);
}

} // namespace tidemark
