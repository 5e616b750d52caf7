#include "settings/middleware/UsageStatisticsMiddleware.hpp"

#include "platform/foundation/AppInfo.hpp"

namespace tidemark {

AppMiddleware usageStatisticsMiddleware(std::shared_ptr<UsageStatisticsService> statistics,
    std::shared_ptr<UserSettingsServicable> settings, std::shared_ptr<const Clock> clock,
    Calendar calendar)
{
    return
        [=](const AppState&, const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
            auto items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
            auto create = items ? items->action.asCreate() : nullptr;
            // Counted when the creation succeeded: a request that failed created nothing.
            if (!create || !create->successValue())
                return rx::Empty<AppAction>();

            auto counted = recordingCreation(statistics->data(), clock->now(), calendar);
            (void)statistics->save(counted);

            auto stored = settings->data();
            if (!shouldPromptForReview(statistics->data(), stored.review.lastVersionPrompted))
                return rx::Empty<AppAction>();
            // Without a version the banner would come back at every creation.
            stored.review.lastVersionPrompted
                = AppInfo::shortVersion().value_or(AppInfo::buildVersion());
            (void)settings->save(stored);
            return rx::Just<AppAction>(
                actions::viewAction(ViewAction::Popover { PopoverAction::PresentedNotification {
                    PresentedNotificationAction::Insert { PopoverNotification::review } } }));
        };
}

} // namespace tidemark
