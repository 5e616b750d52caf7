#include "NotificationFixture.hpp"

#include "core/Store.hpp"
#include "core/state/AppReducer.hpp"
#include "notifications/middleware/UserNotificationsMiddleware.hpp"

#include <gmock/gmock.h>

namespace tidemark {
namespace {

using test::NotificationFixture;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
using UA = UserNotificationsAction;
using AppStore = Store<AppState, AppAction>;

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
// notifications middleware over the real service.
class MiddlewareTest : public NotificationFixture {
protected:
    void makeStore()
    {
        auto clock = std::make_shared<test::WallClockTime>(m_clock);
        ReducerEnvironment environment { clock };
        auto log = m_log;
        m_store = AppStore::make(AppState::initial(now(), Calendar("Europe/Berlin")),
            [environment](AppState& state, const AppAction& action) {
                appReducer(state, action, environment);
            },
            {
                [log](const AppState&,
                    const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                    log->push_back(action);
                    return rx::Empty<AppAction>();
                },
                userNotificationsMiddleware(m_service, { clock, Uuid::sequentialGenerator() }),
            });
    }

    void send(const AppAction& action)
    {
        m_store->dispatch(action);
        pump();
    }

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

    // Shows every reminder of `items` (all due within a minute) and waits for the server.
    void deliver(std::size_t expected)
    {
        advance(60);
        ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == expected; }));
    }

    std::shared_ptr<std::vector<AppAction>> m_log = std::make_shared<std::vector<AppAction>>();
    std::shared_ptr<AppStore> m_store;
};

TEST_F(MiddlewareTest, EachReadOfTheRemindersSyncsOnlyWhileNotificationsAreOn)
{
    startServer();
    makeService();
    makeStore();
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(pendingIdentifiers(), IsEmpty()) << "notifications are off";

    send(notifications(UA::IsEnabled { true }));
    send(
        itemsRead({ reminder("a", 600, "A"), reminder("b", 900, "B"), reminder("past", -5, "P") }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a", "b"));
    send(itemsRead({ reminder("b", 900, "B") }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("b"));
}

TEST_F(MiddlewareTest, SwitchingOnSyncsTheRemindersAlreadyRead)
{
    startServer();
    makeService();
    makeStore();
    send(itemsRead({ reminder("a", 600, "A") }));
    send(notifications(UA::IsEnabled { true }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a"));

    // At launch the stored settings switch them on and also name the data source, which
    // empties the reminders until they are read again: that must not withdraw anything.
    send(itemsRead({ reminder("a", 600, "A"), reminder("b", 600, "B") }));
    send(settingsReadWithNotifications(true));
    EXPECT_TRUE(m_store->state().notifications.user.isEnabled);
    EXPECT_THAT(m_store->state().remindersStore.items.value, IsEmpty());
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a", "b"));
    send(itemsRead({ reminder("b", 600, "B") }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("b"));
}

TEST_F(MiddlewareTest, SwitchingOffWithdrawsPendingRequests)
{
    startServer();
    makeService();
    makeStore();
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 30, "A"), reminder("b", 600, "B") }));
    advance(30);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));

    send(notifications(UA::IsEnabled { false }));
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
    advance(600);
    EXPECT_EQ(m_server->notifyCalls().size(), 1u) << "nothing more is shown";
}

TEST_F(MiddlewareTest, GrantingPermissionSchedulesWhatWaitedForIt)
{
    startServer();
    m_promptAnswer = false;
    makeService(); // the user said no
    makeStore();
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());

    // The user changes their mind in the settings pane.
    m_center->resetAuthorization();
    m_promptAnswer = true;
    send(notifications(UA::RequestAuthorization { NotificationAuthorizationRequestAction::submit(
        UNAuthorizationOptions::alert | UNAuthorizationOptions::sound) }));
    EXPECT_EQ(count(notifications(UA::RequestAuthorization {
                  NotificationAuthorizationRequestAction::success(EquatableVoid {}) })),
        1u);
    EXPECT_EQ(m_store->state().notifications.user.requestAuthorization.status, Status::completed);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a"));
}

TEST_F(MiddlewareTest, SettingsReadAnswersWithTheCentresSettings)
{
    startServer();
    makeService();
    makeStore();
    send(notifications(UA::Settings {
        NotificationSettingsAction { NotificationSettingsReadAction::submit({}) } }));
    const auto& read = m_store->state().notifications.user.settings;
    EXPECT_EQ(read.submit.status, Status::completed);
    ASSERT_TRUE(read.settings.has_value());
    EXPECT_EQ(read.settings->authorizationStatus, UNAuthorizationStatus::authorized);
    EXPECT_TRUE(read.settings->isServerAvailable);
}

TEST_F(MiddlewareTest, TheFirstSyncAsksForQuietPermissionAndATimeEntryUpgradesIt)
{
    startServer();
    makeService(false);
    makeStore();
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_EQ(authorizationStatus(), UNAuthorizationStatus::provisional);
    EXPECT_THAT(m_prompts, IsEmpty()) << "quiet permission needs no question";
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a"));

    send(actions::viewAction(ViewAction::Yoyo {
        YoyoAction::Drag { YoyoDragAction { YoyoDragActionCases::IsPresented { false } } } }));
    EXPECT_THAT(
        m_prompts, ElementsAre(UNAuthorizationOptions::alert | UNAuthorizationOptions::sound));
    EXPECT_EQ(authorizationStatus(), UNAuthorizationStatus::authorized);
    // Once decided, nothing is asked again.
    send(actions::viewAction(ViewAction::Yoyo { YoyoAction::Scroll {
        YoyoScrollAction { YoyoScrollActionCases::IsPresented { false } } } }));
    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_EQ(m_prompts.size(), 1u);
}

TEST_F(MiddlewareTest, EachSnoozeMovesTheDueDateByItsLengthPlusOneSecond)
{
    startServer();
    makeService();
    makeStore();
    send(notifications(UA::IsEnabled { true }));
    RemindersStore::Items items;
    const auto& identifiers = allReminderActionIdentifiers();
    for (const auto identifier : identifiers)
        items.insert(reminder(
            std::string(rawValue(identifier)), 60, "Take " + std::string(rawValue(identifier))));
    send(itemsRead(items));
    deliver(identifiers.size());

    advance(7); // the user answers a little later
    for (const auto identifier : identifiers) {
        const auto raw = std::string(rawValue(identifier));
        m_server->invokeAction(*serverId("Take " + raw), QString::fromStdString(raw));
    }
    ASSERT_TRUE(pumpUntil([&] { return updates().size() == identifiers.size(); }));

    const auto found = updates();
    for (std::size_t i = 0; i < identifiers.size(); ++i) {
        const auto raw = std::string(rawValue(identifiers[i]));
        SCOPED_TRACE(raw);
        ASSERT_EQ(found[i].size(), 1u);
        const auto& snoozed = *found[i].begin();
        const auto& original
            = *std::find_if(items.begin(), items.end(), [&](const auto& r) { return r.id == raw; });
        EXPECT_EQ(snoozed.id, raw);
        EXPECT_EQ(dueDate(snoozed), dateByAdding(now(), timeInterval(identifiers[i]) + 1));
        EXPECT_EQ(snoozed.startDateComponents, original.startDateComponents);
        EXPECT_EQ(snoozed.title, original.title);
    }
}

TEST_F(MiddlewareTest, AClickOpensThePopoverAndADismissalDoesNothing)
{
    startServer();
    makeService();
    makeStore();
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 60, "A"), reminder("b", 60, "B") }));
    deliver(2);
    m_server->invokeAction(*serverId("A"), QStringLiteral("default"));
    ASSERT_TRUE(pumpUntil([&] { return m_store->state().view.popover.isPresented; }));
    EXPECT_EQ(count(actions::popoverIsPresented(true)), 1u);
    // Also for a reminder deleted meanwhile.
    send(notifications(UA::NotificationAction {
        std::string(UNNotificationResponse::defaultActionIdentifier), "deleted" }));
    EXPECT_EQ(count(actions::popoverIsPresented(true)), 2u);

    const auto before = m_log->size();
    m_server->close(*serverId("B"), 2);
    ASSERT_TRUE(pumpUntil([&] { return m_log->size() > before; }));
    EXPECT_THAT(std::vector<AppAction>(m_log->begin() + before, m_log->end()),
        ElementsAre(notifications(UA::NotificationAction {
            std::string(UNNotificationResponse::dismissActionIdentifier), "b" })));
    EXPECT_THAT(updates(), IsEmpty());
}

TEST_F(MiddlewareTest, SwitchingOnTwiceKeepsOneSubscriptionSoASnoozeAppliesOnce)
{
    startServer();
    makeService();
    makeStore();
    send(settingsReadWithNotifications(true));
    send(notifications(UA::IsEnabled { true }));
    send(notifications(UA::IsEnabled { true }));
    send(itemsRead({ reminder("a", 60, "A") }));
    deliver(1);
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);

    m_server->invokeAction(*serverId("A"), QStringLiteral("snooze15Min"));
    ASSERT_TRUE(pumpUntil([&] { return !updates().empty(); }));
    EXPECT_EQ(updates().size(), 1u);
    EXPECT_EQ(count(notifications(UA::NotificationAction { "snooze15Min", "a" })), 1u);

    // Off and on again: still one.
    send(notifications(UA::IsEnabled { false }));
    EXPECT_EQ(m_store->liveSubscriptions(), 0u);
    send(notifications(UA::IsEnabled { true }));
    EXPECT_EQ(m_store->liveSubscriptions(), 1u);
}

TEST_F(MiddlewareTest, ResponsesWhileOffAndUnknownRequestsAreIgnored)
{
    startServer();
    makeService();
    makeStore();
    send(itemsRead({ reminder("a", 600, "A") }));
    // Off: a response reaching the store is not acted on.
    send(notifications(UA::NotificationAction { "snooze5Min", "a" }));
    send(notifications(UA::IsEnabled { true }));
    // On: a snooze of a request that is no reminder (the preview) and an unknown action.
    send(notifications(
        UA::NotificationAction { "snooze5Min", "00000000-0000-4000-8000-000000000001" }));
    send(notifications(UA::NotificationAction { "snooze3Min", "a" }));
    EXPECT_THAT(updates(), IsEmpty());
    send(notifications(UA::NotificationAction { "snooze5Min", "a" }));
    EXPECT_EQ(updates().size(), 1u);
}

TEST_F(MiddlewareTest, ThePreviewIsPostedOnlyWhileOnAndPrunedByTheNextSync)
{
    startServer();
    makeService();
    makeStore();
    send(notifications(UA::CreateNotification { "Preview", 0.4 }));
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());

    send(notifications(UA::IsEnabled { true }));
    send(notifications(UA::CreateNotification { "Preview", 0.4 }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("00000000-0000-4000-8000-000000000001"));
    advance(0.5);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));
    EXPECT_EQ(m_server->notifyCalls().front().body, "Preview");

    send(itemsRead({ reminder("a", 600, "A") }));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a"));
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
}

} // namespace
} // namespace tidemark
