#include "support/TestMainQueue.hpp"

#include "core/Store.hpp"
#include "core/state/AppReducer.hpp"
#include "notifications/UserNotificationReminderActionIdentifier.hpp"
#include "notifications/UserNotificationsServicable.hpp"
#include "notifications/middleware/UserNotificationsMiddleware.hpp"

#include <gmock/gmock.h>

#include <sstream>

namespace tidemark {
namespace {

using test::drainMainQueue;
using testing::ElementsAre;
using testing::IsEmpty;
using UA = UserNotificationsAction;
using AppStore = Store<AppState, AppAction>;
using Options = UNAuthorizationOptions;

std::string describe(UNAuthorizationOptions options)
{
    // The options the middleware asks for first, in the order people say them.
    const std::pair<Options, const char*> names[]
        = { { Options::alert, "alert" }, { Options::sound, "sound" }, { Options::badge, "badge" },
              { Options::provisional, "provisional" }, { Options::carPlay, "carPlay" },
              { Options::criticalAlert, "criticalAlert" },
              { Options::providesAppNotificationSettings, "providesAppNotificationSettings" } };
    std::string text;
    for (const auto& [flag, name] : names) {
        if (contains(options, flag))
            text += (text.empty() ? "" : "|") + std::string(name);
    }
    return text.empty() ? "none" : text;
}

UNNotificationSettings authorized()
{
    UNNotificationSettings settings;
    settings.authorizationStatus = UNAuthorizationStatus::authorized;
    return settings;
}

// The notification service in memory. It writes every call to a log, in the order made;
// the test takes the log with `takeCalls()` and states it whole, and the fixture fails a
// test that leaves calls unread. Answers come at once, on the caller's thread, unless the
// test holds the settings reads back.
class FakeUserNotificationsService final : public UserNotificationsServicable {
public:
    // What settings reads answer; a granted request updates the status, a refused one
    // makes it denied.
    UNNotificationSettings settings = authorized();
    // The answer to permission requests: the user's yes or no, or a failure.
    bool grants = true;
    std::optional<UNError> authorizationError;
    // Keep settings reads unanswered until `answerHeldSettingsReads()`.
    bool holdSettingsReads = false;
    // The formatter of the last sync.
    std::shared_ptr<const DateComponentsFormatter> lastTitleFormatter;

    void getNotificationSettings(SettingsCompletion completion) override
    {
        m_calls.push_back("settings");
        if (holdSettingsReads)
            m_heldSettingsReads.push_back(std::move(completion));
        else
            completion(settings);
    }

    void requestAuthorization(Options options, AuthorizationCompletion completion) override
    {
        m_calls.push_back("authorize " + describe(options));
        if (!authorizationError) {
            settings.authorizationStatus = !grants        ? UNAuthorizationStatus::denied
                : contains(options, Options::provisional) ? UNAuthorizationStatus::provisional
                                                          : UNAuthorizationStatus::authorized;
        }
        completion(grants && !authorizationError, authorizationError);
    }

    // The user's answer is forgotten: the next request asks again.
    void resetAuthorization() override
    {
        m_calls.push_back("resetAuthorization");
        settings.authorizationStatus = UNAuthorizationStatus::notDetermined;
    }

    rx::Publisher<UserNotificationResponse> receiveResponsePublisher() override
    {
        m_calls.push_back("responses");
        if (!m_responses)
            m_responses.emplace();
        return m_responses->publisher();
    }

    void finishResponsePublisher() override
    {
        m_calls.push_back("finish");
        if (auto finished = std::exchange(m_responses, std::nullopt))
            finished->send(rx::Completion<rx::Never>::finished());
    }

    void syncNotifications(std::set<AnyReminder> reminders,
        std::shared_ptr<const DateComponentsFormatter> titleFormatter,
        SyncCompletion completion) override
    {
        std::string call = "sync";
        for (const auto& reminder : reminders)
            call += " " + reminder.id;
        m_calls.push_back(call);
        lastTitleFormatter = std::move(titleFormatter);
        if (completion)
            completion(NotificationSyncReport {});
    }

    void addNotification(const std::string& identifier, const std::string& body,
        TimeInterval timeInterval, const UNNotificationSound& sound,
        AddCompletion completion) override
    {
        std::ostringstream call;
        call << "add " << identifier << " \"" << body << "\" in " << timeInterval << " s, sound "
             << sound.name;
        m_calls.push_back(call.str());
        if (completion)
            completion(std::nullopt);
    }

    void removePendingNotifications() override { m_calls.push_back("removePending"); }

    // The user answers a notification; with nobody subscribed the answer is lost.
    void respond(const std::string& actionIdentifier, const std::string& requestIdentifier)
    {
        if (m_responses)
            m_responses->send(UserNotificationResponse { actionIdentifier, requestIdentifier });
    }

    void answerHeldSettingsReads()
    {
        for (auto& completion : std::exchange(m_heldSettingsReads, {}))
            completion(settings);
    }

    std::vector<std::string> takeCalls() { return std::exchange(m_calls, {}); }

private:
    std::vector<std::string> m_calls;
    std::optional<rx::PassthroughSubject<UserNotificationResponse>> m_responses;
    std::vector<SettingsCompletion> m_heldSettingsReads;
};

AppAction notifications(UserNotificationsAction action)
{
    return AppAction::Notifications { NotificationsAction { std::move(action) } };
}

AppAction itemsRead(RemindersStore::Items items)
{
    return actions::itemsAction(
        RemindersItemsAction::read(RemindersItemsAction::ReadAction::success(std::move(items))));
}

AppAction settingsReadWithNotifications(bool isEnabled)
{
    UserSettings settings;
    settings.notifications.isEnabled = isEnabled;
    return actions::settingsRead(SettingsReadAction::success(settings));
}

AppAction requestAuthorization(Options options)
{
    return notifications(
        UA::RequestAuthorization { NotificationAuthorizationRequestAction::submit(options) });
}

AppAction readNotificationSettings()
{
    return notifications(
        UA::Settings { NotificationSettingsAction { NotificationSettingsReadAction::submit({}) } });
}

const AppAction dragWindowClosed = actions::viewAction(ViewAction::Yoyo {
    YoyoAction::Drag { YoyoDragAction { YoyoDragActionCases::IsPresented { false } } } });
const AppAction scrollWindowClosed = actions::viewAction(ViewAction::Yoyo {
    YoyoAction::Scroll { YoyoScrollAction { YoyoScrollActionCases::IsPresented { false } } } });

const std::string defaultAction(UNNotificationResponse::defaultActionIdentifier);
const std::string dismissAction(UNNotificationResponse::dismissActionIdentifier);

// The reminders of an update the store was asked to submit, if `action` is one.
std::optional<RemindersStore::Items> submittedUpdate(const AppAction& action)
{
    const auto* items = caseAt<AppAction::RemindersStore, RemindersStoreAction::Items>(action);
    const auto* update = items ? items->action.asUpdate() : nullptr;
    if (!update || !update->asSubmit())
        return std::nullopt;
    return update->asSubmit()->input;
}

// A main store with the root reducer, a recorder of every dispatched action, and the
// notifications middleware over the fake service, on a manual clock.
class UserNotificationsMiddlewareTest : public testing::Test {
protected:
    static inline const Date start = dateFromTimeIntervalSince1970(1'750'000'000);

    void TearDown() override
    {
        drainMainQueue();
        EXPECT_THAT(m_service->takeCalls(), IsEmpty()) << "calls the test did not expect";
    }

    std::shared_ptr<AppStore> makeStore()
    {
        ReducerEnvironment environment { m_clock };
        auto log = m_log;
        return AppStore::make(AppState::initial(start, Calendar("Europe/Berlin")),
            [environment](AppState& state, const AppAction& action) {
                appReducer(state, action, environment);
            },
            {
                [log](const AppState&,
                    const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                    log->push_back(action);
                    return rx::Empty<AppAction>();
                },
                userNotificationsMiddleware(m_service, { m_clock, Uuid::sequentialGenerator() }),
            });
    }

    void send(const AppAction& action)
    {
        m_store->dispatch(action);
        drainMainQueue();
    }

    void respond(const std::string& actionIdentifier, const std::string& requestIdentifier)
    {
        m_service->respond(actionIdentifier, requestIdentifier);
        drainMainQueue();
    }

    std::vector<std::string> calls() { return m_service->takeCalls(); }
    const AppState& state() const { return m_store->state(); }

    // Dispatched updates, each as the set of reminders it submits.
    std::vector<RemindersStore::Items> updates() const
    {
        std::vector<RemindersStore::Items> found;
        for (const auto& action : *m_log) {
            if (auto items = submittedUpdate(action))
                found.push_back(*items);
        }
        return found;
    }

    std::size_t count(const AppAction& wanted) const
    {
        return std::count(m_log->begin(), m_log->end(), wanted);
    }

    // A reminder due `dueIn` seconds from now, started an hour and a half before it.
    AnyReminder reminder(std::string id, TimeInterval dueIn, std::string title = {}) const
    {
        AnyReminder r { std::move(id), std::nullopt, std::nullopt, std::move(title), std::nullopt,
            std::nullopt };
        const auto due = dateByAdding(m_clock->now(), dueIn);
        setStartDate(r, dateByAdding(due, -5400));
        setDueDate(r, due);
        return r;
    }

    std::shared_ptr<ManualClock> m_clock = std::make_shared<ManualClock>(start);
    std::shared_ptr<FakeUserNotificationsService> m_service
        = std::make_shared<FakeUserNotificationsService>();
    std::shared_ptr<std::vector<AppAction>> m_log = std::make_shared<std::vector<AppAction>>();
    std::shared_ptr<AppStore> m_store = makeStore();
};

TEST_F(UserNotificationsMiddlewareTest, EachReadOfTheRemindersSyncsOnlyWhileNotificationsAreOn)
{
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), IsEmpty()) << "notifications are off";

    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a"));
    // The whole set goes to the service, also what is already due: it decides what to
    // schedule, and keeps nothing of reminders outside the set.
    send(
        itemsRead({ reminder("a", 600, "A"), reminder("b", 900, "B"), reminder("past", -5, "P") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync a b past"));
    ASSERT_NE(m_service->lastTitleFormatter, nullptr);
    EXPECT_EQ(m_service->lastTitleFormatter, state().notifications.defaultTitleFormatter);
    send(itemsRead({ reminder("b", 900, "B") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync b"));
}

TEST_F(UserNotificationsMiddlewareTest, SwitchingOnSyncsTheRemindersAlreadyRead)
{
    send(itemsRead({ reminder("a", 600, "A") }));
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a"));

    // At launch the stored settings switch them on and also name the data source, which
    // empties the reminders until they are read again: that must not withdraw anything.
    send(itemsRead({ reminder("a", 600, "A"), reminder("b", 600, "B") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync a b"));
    send(settingsReadWithNotifications(true));
    EXPECT_TRUE(state().notifications.user.isEnabled);
    EXPECT_THAT(state().remindersStore.items.value, IsEmpty());
    EXPECT_THAT(calls(), ElementsAre("finish", "responses")) << "no sync of the emptied set";
    send(itemsRead({ reminder("b", 600, "B") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync b"));
}

TEST_F(UserNotificationsMiddlewareTest, SwitchingOffWithdrawsPendingRequests)
{
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 30, "A"), reminder("b", 600, "B") }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a b"));
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);

    send(notifications(UA::IsEnabled { false }));
    EXPECT_THAT(calls(), ElementsAre("finish", "removePending"));
    EXPECT_EQ(m_store->liveSubscriptions(), 0u);
    // Nothing is scheduled again while off.
    send(itemsRead({ reminder("a", 30, "A"), reminder("b", 600, "B") }));
    EXPECT_THAT(calls(), IsEmpty());
}

TEST_F(UserNotificationsMiddlewareTest, GrantingPermissionSchedulesWhatWaitedForIt)
{
    m_service->settings.authorizationStatus = UNAuthorizationStatus::denied; // the user said no
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a"))
        << "the centre refuses requests without permission; asking again is the pane's";

    // The user changes their mind in the settings pane; the first request fails.
    m_service->authorizationError = UNError { UNError::Code::notificationsNotAllowed, "refused" };
    send(requestAuthorization(Options::alert | Options::sound));
    EXPECT_THAT(calls(), ElementsAre("authorize alert|sound"));
    EXPECT_EQ(count(notifications(UA::RequestAuthorization {
                  NotificationAuthorizationRequestAction::failure(Error("refused")) })),
        1u);
    EXPECT_EQ(state().notifications.user.requestAuthorization.status, Status::completed);
    EXPECT_EQ(state().notifications.user.requestAuthorization.error, Error("refused"));

    m_service->authorizationError.reset();
    send(requestAuthorization(Options::alert | Options::sound));
    EXPECT_THAT(calls(), ElementsAre("authorize alert|sound", "settings", "sync a"));
    EXPECT_EQ(count(notifications(UA::RequestAuthorization {
                  NotificationAuthorizationRequestAction::success(EquatableVoid {}) })),
        1u);
    EXPECT_EQ(state().notifications.user.requestAuthorization.status, Status::completed);
}

// A refusal is the application's own kept answer: the pane's "Ask Again" forgets it, switches
// on and asks, in that order, whether notifications were on or not.
TEST_F(UserNotificationsMiddlewareTest, AskingAgainForgetsTheRefusalBeforeTheRequest)
{
    m_service->settings.authorizationStatus = UNAuthorizationStatus::denied;
    send(readNotificationSettings());
    EXPECT_THAT(calls(), ElementsAre("settings"));
    EXPECT_FALSE(state().notifications.user.isEnabled);

    const AppState before = state();
    const std::size_t logged = m_log->size();
    send(notifications(UA::ForgetAuthorization {}));
    EXPECT_THAT(calls(), ElementsAre("resetAuthorization")) << "while notifications are off";
    EXPECT_EQ(state(), before) << "the state waits for the next read";
    EXPECT_EQ(m_log->size(), logged + 1) << "no answer of its own";

    send(notifications(UA::IsEnabled { true }));
    send(requestAuthorization(Options::alert | Options::sound));
    send(readNotificationSettings());
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "authorize alert|sound", "settings"));
    EXPECT_EQ(state().notifications.user.settings.settings->authorizationStatus,
        UNAuthorizationStatus::authorized);
    EXPECT_TRUE(state().notifications.user.isEnabled);
}

TEST_F(UserNotificationsMiddlewareTest, SettingsReadAnswersWithTheCentresSettings)
{
    m_service->settings.alertSetting = UNNotificationSetting::enabled;
    m_service->settings.isServerAvailable = true;
    m_service->settings.serverCapabilities = { "actions", "body" };
    send(readNotificationSettings());
    EXPECT_THAT(calls(), ElementsAre("settings")) << "also while notifications are off";
    const auto& read = state().notifications.user.settings;
    EXPECT_EQ(read.submit.status, Status::completed);
    EXPECT_EQ(read.submit.error, std::nullopt);
    EXPECT_EQ(read.settings, m_service->settings);

    // A read that finds the permission withdrawn switches notifications off in the state
    // only: the stored setting and the response subscription stay.
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses"));
    m_service->settings.authorizationStatus = UNAuthorizationStatus::denied;
    send(readNotificationSettings());
    EXPECT_THAT(calls(), ElementsAre("settings"));
    EXPECT_FALSE(state().notifications.user.isEnabled);
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);
}

TEST_F(UserNotificationsMiddlewareTest, TheFirstSyncAsksForQuietPermissionAndATimeEntryUpgradesIt)
{
    m_service->settings.authorizationStatus = UNAuthorizationStatus::notDetermined;
    send(dragWindowClosed);
    EXPECT_THAT(calls(), IsEmpty()) << "notifications are off";
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses"));

    // A quiet request that fails ends the sync.
    m_service->authorizationError = UNError { UNError::Code::storageFailed, "disk full" };
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "authorize alert|sound|provisional"));
    m_service->authorizationError.reset();
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "authorize alert|sound|provisional", "sync a"));
    EXPECT_EQ(m_service->settings.authorizationStatus, UNAuthorizationStatus::provisional);

    send(dragWindowClosed);
    EXPECT_THAT(calls(), ElementsAre("settings", "authorize alert|sound"));
    EXPECT_EQ(m_service->settings.authorizationStatus, UNAuthorizationStatus::authorized);
    // Once decided, nothing is asked again.
    send(scrollWindowClosed);
    EXPECT_THAT(calls(), ElementsAre("settings"));
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync a"));
}

TEST_F(UserNotificationsMiddlewareTest, ASyncThatWaitedLongerNeverAppliesAnOlderSetLast)
{
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses"));
    m_service->holdSettingsReads = true;
    send(itemsRead({ reminder("a", 600, "A") }));
    send(itemsRead({ reminder("b", 600, "B") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "settings"));
    m_service->answerHeldSettingsReads();
    EXPECT_THAT(calls(), ElementsAre("sync b"));
}

TEST_F(UserNotificationsMiddlewareTest, EachSnoozeMovesTheDueDateByItsLengthPlusOneSecond)
{
    send(notifications(UA::IsEnabled { true }));
    RemindersStore::Items items;
    const auto& identifiers = allReminderActionIdentifiers();
    for (const auto identifier : identifiers)
        items.insert(reminder(
            std::string(rawValue(identifier)), 60, "Take " + std::string(rawValue(identifier))));
    send(itemsRead(items));
    EXPECT_THAT(calls(),
        ElementsAre("finish", "responses", "settings",
            "sync snooze12Hour snooze15Min snooze1Hour snooze1Min snooze2Hour snooze30Min "
            "snooze4Hour snooze5Min"));

    m_clock->advance(67); // the user answers a little after the notification showed
    for (const auto identifier : identifiers) {
        const auto raw = std::string(rawValue(identifier));
        respond(raw, raw);
    }

    const auto found = updates();
    ASSERT_EQ(found.size(), identifiers.size());
    for (std::size_t i = 0; i < identifiers.size(); ++i) {
        const auto raw = std::string(rawValue(identifiers[i]));
        SCOPED_TRACE(raw);
        EXPECT_EQ(count(notifications(UA::NotificationAction { raw, raw })), 1u);
        ASSERT_EQ(found[i].size(), 1u);
        const auto& snoozed = *found[i].begin();
        const auto& original
            = *std::find_if(items.begin(), items.end(), [&](const auto& r) { return r.id == raw; });
        EXPECT_EQ(snoozed.id, raw);
        EXPECT_EQ(dueDate(snoozed), dateByAdding(m_clock->now(), timeInterval(identifiers[i]) + 1));
        EXPECT_EQ(snoozed.startDateComponents, original.startDateComponents);
        EXPECT_EQ(snoozed.title, original.title);
        EXPECT_EQ(snoozed.listID, original.listID);
        EXPECT_EQ(snoozed.completionDate, original.completionDate);
    }
    EXPECT_THAT(calls(), IsEmpty()) << "a snooze reaches the service only through the storage";
}

TEST_F(UserNotificationsMiddlewareTest, AClickOpensThePopoverAndADismissalDoesNothing)
{
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 60, "A"), reminder("b", 60, "B") }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a b"));

    respond(defaultAction, "a");
    EXPECT_TRUE(state().view.popover.isPresented);
    EXPECT_EQ(count(actions::popoverIsPresented(true)), 1u);
    // Also for a reminder deleted meanwhile.
    send(notifications(UA::NotificationAction { defaultAction, "deleted" }));
    EXPECT_EQ(count(actions::popoverIsPresented(true)), 2u);

    const auto before = m_log->size();
    respond(dismissAction, "b");
    EXPECT_THAT(std::vector<AppAction>(m_log->begin() + before, m_log->end()),
        ElementsAre(notifications(UA::NotificationAction { dismissAction, "b" })));
    EXPECT_THAT(updates(), IsEmpty());
}

TEST_F(UserNotificationsMiddlewareTest, SwitchingOnTwiceKeepsOneSubscriptionSoASnoozeAppliesOnce)
{
    send(settingsReadWithNotifications(true));
    send(notifications(UA::IsEnabled { true }));
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(
        calls(), ElementsAre("finish", "responses", "finish", "responses", "finish", "responses"));
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);
    send(itemsRead({ reminder("a", 60, "A") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync a"));

    respond("snooze15Min", "a");
    EXPECT_EQ(updates().size(), 1u);
    EXPECT_EQ(count(notifications(UA::NotificationAction { "snooze15Min", "a" })), 1u);

    // Off and on again: still one.
    send(notifications(UA::IsEnabled { false }));
    EXPECT_THAT(calls(), ElementsAre("finish", "removePending"));
    EXPECT_EQ(m_store->liveSubscriptions(), 0u);
    respond("snooze15Min", "a");
    EXPECT_EQ(updates().size(), 1u) << "nobody listens while off";
    // The snoozed reminder's update is still under way (nothing stores it here), so the
    // reminders are not synced before they are read again.
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses"));
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);
}

TEST_F(UserNotificationsMiddlewareTest, ResponsesWhileOffAndUnknownRequestsAreIgnored)
{
    send(itemsRead({ reminder("a", 600, "A") }));
    // Off: a response reaching the store is not acted on.
    send(notifications(UA::NotificationAction { "snooze5Min", "a" }));
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(calls(), ElementsAre("finish", "responses", "settings", "sync a"));
    // On: a snooze of a request that is no reminder (the preview) and an unknown action.
    send(notifications(
        UA::NotificationAction { "snooze5Min", "00000000-0000-4000-8000-000000000001" }));
    send(notifications(UA::NotificationAction { "snooze3Min", "a" }));
    send(notifications(UA::NotificationAction { "Snooze5Min", "a" }));
    EXPECT_THAT(updates(), IsEmpty());
    send(notifications(UA::NotificationAction { "snooze5Min", "a" }));
    EXPECT_EQ(updates().size(), 1u);
}

// Removing the preview with the next sync is the service's (its own tests show it): here
// the next sync hands over the reminders alone.
TEST_F(UserNotificationsMiddlewareTest, ThePreviewIsPostedOnlyWhileOnEachUnderAFreshIdentifier)
{
    send(notifications(UA::CreateNotification { "Preview", 0.4 }));
    EXPECT_THAT(calls(), IsEmpty());

    send(notifications(UA::IsEnabled { true }));
    send(notifications(UA::CreateNotification { "Preview", 0.4 }));
    send(notifications(UA::CreateNotification { "Again", 5 }));
    EXPECT_THAT(calls(),
        ElementsAre("finish", "responses",
            "add 00000000-0000-4000-8000-000000000001 \"Preview\" in 0.4 s, sound "
            "message-new-instant",
            "add 00000000-0000-4000-8000-000000000002 \"Again\" in 5 s, sound "
            "message-new-instant"));
    EXPECT_EQ(m_log->size(), 4u) << "the preview answers with nothing";

    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(calls(), ElementsAre("settings", "sync a"));
}

} // namespace
} // namespace tidemark
