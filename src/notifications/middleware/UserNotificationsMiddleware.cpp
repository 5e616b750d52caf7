#include "notifications/middleware/UserNotificationsMiddleware.hpp"

#include "notifications/UserNotificationReminderActionIdentifier.hpp"
#include "notifications/UserNotificationsServicable.hpp"

#include <atomic>

namespace tidemark {

namespace {

using UA = UserNotificationsAction;

AppAction notificationsAction(UserNotificationsAction action)
{
    return AppAction::Notifications { NotificationsAction { std::move(action) } };
}

// A successful read of the stored user settings with notifications switched on.
bool isSettingsReadEnablingNotifications(const AppAction& action)
{
    const auto* read = caseAt<AppAction::Settings, SettingsAction::Read>(action);
    const auto* userSettings = read ? read->action.successValue() : nullptr;
    return userSettings && userSettings->notifications.isEnabled;
}

const RemindersStore::Items* readItems(const AppAction& action)
{
    const auto* items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
    const auto* read = items ? items->action.asRead() : nullptr;
    return read ? read->successValue() : nullptr;
}

// The time-entry blob's drag window or scroll window has closed.
bool isTimeEntryClosed(const AppAction& action)
{
    if (const auto* presented
        = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag, YoyoDragAction::IsPresented>(
            action))
        return !presented->isPresented;
    if (const auto* presented = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Scroll,
            YoyoScrollAction::IsPresented>(action))
        return !presented->isPresented;
    return false;
}

// The reminders as last read, when a read has succeeded and nothing is under way: a sync
// with anything less would withdraw the requests of reminders it does not hold.
std::optional<RemindersStore::Items> settledItems(const AppState& state)
{
    const auto& items = state.remindersStore.items;
    if (items.status != Status::completed || items.error)
        return std::nullopt;
    return items.value;
}

// One answer of the service, as a publisher: `start(deliver)` runs when subscribed and
// `deliver` publishes its one action (from whichever thread the service answers on) and
// finishes; after a cancellation the answer is dropped.
template <class Start> rx::Publisher<AppAction> answerOnce(Start start)
{
    return rx::Publisher<AppAction>([start](rx::Subscriber<AppAction> subscriber) {
        auto shared = std::make_shared<rx::Subscriber<AppAction>>(std::move(subscriber));
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        start([shared, cancelled](AppAction action) {
            if (cancelled->load())
                return;
            shared->receive(action);
            shared->complete(rx::Completion<rx::Never>::finished());
        });
        return rx::Cancellable([cancelled] { cancelled->store(true); });
    });
}

class Effects {
public:
    Effects(std::shared_ptr<UserNotificationsServicable> service,
        UserNotificationsMiddlewareEnvironment environment)
        : m_service(std::move(service))
        , m_environment(std::move(environment))
        , m_latestSync(std::make_shared<std::atomic<std::uint64_t>>(0))
    {
    }

    // The one response subscription: any earlier one ends first, so a response is never
    // dispatched twice.
    rx::Publisher<AppAction> subscribeToResponses() const
    {
        m_service->finishResponsePublisher();
        return m_service->receiveResponsePublisher().map(
            [](const UserNotificationResponse& response) -> AppAction {
                return notificationsAction(UA::NotificationAction {
                    response.actionIdentifier, response.requestIdentifier });
            });
    }

    rx::Publisher<AppAction> requestAuthorization(UNAuthorizationOptions options) const
    {
        auto service = m_service;
        return answerOnce([service, options](auto deliver) {
            service->requestAuthorization(options, [deliver](bool, std::optional<UNError> error) {
                // The slice records that the request completed, granted or not.
                auto answer = error
                    ? NotificationAuthorizationRequestAction::failure(Error(error->message))
                    : NotificationAuthorizationRequestAction::success(EquatableVoid {});
                deliver(notificationsAction(UA::RequestAuthorization { std::move(answer) }));
            });
        });
    }

    rx::Publisher<AppAction> readSettings() const
    {
        auto service = m_service;
        return answerOnce([service](auto deliver) {
            service->getNotificationSettings([deliver](UNNotificationSettings settings) {
                deliver(notificationsAction(UA::Settings { NotificationSettingsAction {
                    NotificationSettingsReadAction::success(std::move(settings)) } }));
            });
        });
    }

    // Reads the permission, asks for a quiet (provisional) one when the user has never
    // been asked, then syncs. Only the newest sync asked for goes on to the service, so a
    // sync that waited for the permission longer cannot apply an older set last.
    void sync(RemindersStore::Items items, const NotificationsState& notifications) const
    {
        const auto ticket = ++*m_latestSync;
        auto service = m_service;
        auto latest = m_latestSync;
        std::shared_ptr<const DateComponentsFormatter> formatter
            = notifications.defaultTitleFormatter;
        auto go = [service, latest, ticket, items = std::move(items), formatter] {
            if (latest->load() != ticket)
                return; // a newer set is on its way
            service->syncNotifications(items, formatter);
        };
        service->getNotificationSettings([service, go](const UNNotificationSettings& settings) {
            if (settings.authorizationStatus != UNAuthorizationStatus::notDetermined) {
                go();
                return;
            }
            service->requestAuthorization(UNAuthorizationOptions::alert
                    | UNAuthorizationOptions::sound | UNAuthorizationOptions::provisional,
                [go](bool, std::optional<UNError> error) {
                    if (!error)
                        go();
                });
        });
    }

    void syncIfSettled(const AppState& state) const
    {
        if (auto items = settledItems(state))
            sync(std::move(*items), state.notifications);
    }

    void preview(const std::string& body, double delay) const
    {
        m_service->addNotification(
            m_environment.makeIdentifier(), body, delay, UNNotificationSound::defaultSound());
    }

    // After a time entry, a quiet permission is worth turning into a full one.
    void upgradeProvisionalAuthorization() const
    {
        auto service = m_service;
        service->getNotificationSettings([service](const UNNotificationSettings& settings) {
            if (settings.authorizationStatus != UNAuthorizationStatus::provisional)
                return;
            service->requestAuthorization(
                UNAuthorizationOptions::alert | UNAuthorizationOptions::sound,
                [](bool, std::optional<UNError>) {});
        });
    }

    void forgetAuthorization() const { m_service->resetAuthorization(); }

    void switchOff() const
    {
        m_service->finishResponsePublisher();
        // Requests of reminders the user no longer wants to hear about are withdrawn; those
        // on screen stay until closed.
        m_service->removePendingNotifications();
    }

    Date now() const { return m_environment.clock->now(); }

private:
    std::shared_ptr<UserNotificationsServicable> m_service;
    UserNotificationsMiddlewareEnvironment m_environment;
    std::shared_ptr<std::atomic<std::uint64_t>> m_latestSync;
};

} // namespace

std::optional<AppAction> notificationResponseAction(const std::string& actionIdentifier,
    const std::string& requestIdentifier, const RemindersStore::Items& items, Date now)
{
    if (actionIdentifier == UNNotificationResponse::defaultActionIdentifier)
        return actions::popoverIsPresented(true);
    const auto found = std::find_if(items.begin(), items.end(),
        [&](const AnyReminder& reminder) { return reminder.id == requestIdentifier; });
    if (found == items.end())
        return std::nullopt;
    const auto snooze = reminderActionIdentifierFromRaw(actionIdentifier);
    if (!snooze)
        return std::nullopt;
    AnyReminder reminder = *found;
    setDueDate(reminder, dateByAdding(now, timeInterval(*snooze) + 1.0));
    return actions::itemsAction(
        RemindersItemsAction::update(RemindersItemsAction::UpdateAction::submit({ reminder })));
}

AppMiddleware userNotificationsMiddleware(std::shared_ptr<UserNotificationsServicable> service,
    UserNotificationsMiddlewareEnvironment environment)
{
    if (!environment.clock)
        environment.clock = Clock::system();
    if (!environment.makeIdentifier)
        environment.makeIdentifier = Uuid::systemGenerator();
    auto effects = std::make_shared<const Effects>(std::move(service), std::move(environment));

    return [effects](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        // Effects that do not depend on notifications being on.
        if (const auto* enabled
            = caseAt<AppAction::Notifications, NotificationsAction, UA::IsEnabled>(action)) {
            if (enabled->value) {
                auto responses = effects->subscribeToResponses();
                effects->syncIfSettled(state);
                return responses;
            }
            effects->switchOff();
        } else if (const auto* request = caseAt<AppAction::Notifications, NotificationsAction,
                       UA::RequestAuthorization>(action);
                   request && request->action.asSubmit()) {
            return effects->requestAuthorization(request->action.asSubmit()->input);
        } else if (const auto* settings = caseAt<AppAction::Notifications, NotificationsAction,
                       UA::Settings, NotificationSettingsAction>(action);
                   settings && settings->action.asSubmit()) {
            return effects->readSettings();
        } else if (caseAt<AppAction::Notifications, NotificationsAction, UA::ForgetAuthorization>(
                       action)) {
            // Forgotten at once, so that a request dispatched next asks the user.
            effects->forgetAuthorization();
            return rx::Empty<AppAction>();
        } else if (isSettingsReadEnablingNotifications(action)) {
            // No sync here: the same read names the data source, which empties the
            // reminders until the storage reads them again, and that read syncs.
            return effects->subscribeToResponses();
        }

        if (!state.notifications.user.isEnabled)
            return rx::Empty<AppAction>();

        if (const auto* items = readItems(action)) {
            effects->sync(*items, state.notifications);
        } else if (const auto* create
            = caseAt<AppAction::Notifications, NotificationsAction, UA::CreateNotification>(
                action)) {
            effects->preview(create->body, create->delay);
        } else if (const auto* response
            = caseAt<AppAction::Notifications, NotificationsAction, UA::NotificationAction>(
                action)) {
            const auto answer = notificationResponseAction(response->actionIdentifier,
                response->requestIdentifier, state.remindersStore.items.value, effects->now());
            if (answer)
                return rx::Just(*answer);
        } else if (const auto* request = caseAt<AppAction::Notifications, NotificationsAction,
                       UA::RequestAuthorization>(action);
                   request && request->action.successValue()) {
            // Permission has just been given: schedule what waited for it.
            effects->syncIfSettled(state);
        } else if (isTimeEntryClosed(action)) {
            effects->upgradeProvisionalAuthorization();
        }
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
