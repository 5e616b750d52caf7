#include "NotificationFixture.hpp"

#include "notifications/NotificationsSlice.hpp"
#include "notifications/UserNotificationReminderActionIdentifier.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <gmock/gmock.h>

#include <thread>

namespace tidemark {
namespace {

using test::NotificationFixture;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
using Id = UserNotificationReminderActionIdentifier;

const std::vector<std::pair<std::string, std::string>> expectedSnoozeActions {
    { "snooze1Min", "Snooze 1 Minute" },
    { "snooze5Min", "Snooze 5 Minutes" },
    { "snooze15Min", "Snooze 15 Minutes" },
    { "snooze30Min", "Snooze 30 Minutes" },
    { "snooze1Hour", "Snooze 1 Hour" },
    { "snooze2Hour", "Snooze 2 Hours" },
    { "snooze4Hour", "Snooze 4 Hours" },
    { "snooze12Hour", "Snooze 12 Hours" },
};

TEST(ReminderActionIdentifier, CasesInOrderWithTheirLengthsAndRawValues)
{
    const std::vector<TimeInterval> lengths { 60, 300, 900, 1800, 3600, 7200, 14400, 43200 };
    ASSERT_EQ(allReminderActionIdentifiers().size(), 8u);
    for (std::size_t i = 0; i < 8; ++i) {
        const auto identifier = allReminderActionIdentifiers()[i];
        SCOPED_TRACE(std::string(rawValue(identifier)));
        EXPECT_EQ(rawValue(identifier), expectedSnoozeActions[i].first);
        EXPECT_EQ(timeInterval(identifier), lengths[i]);
        EXPECT_EQ(titleKey(identifier),
            i < 4 ? "snooze_minute_button_label %lld" : "snooze_hour_button_label %lld");
        EXPECT_EQ(reminderActionIdentifierFromRaw(rawValue(identifier)), identifier);
    }
    for (const std::string_view other :
        std::vector<std::string_view> { "", "snooze1min", "Snooze1Min", "snooze1Min ",
            "snooze10Min", UNNotificationResponse::defaultActionIdentifier,
            UNNotificationResponse::dismissActionIdentifier }) {
        EXPECT_EQ(reminderActionIdentifierFromRaw(other), std::nullopt) << other;
    }
}

class ServiceTest : public NotificationFixture {
protected:
    std::shared_ptr<const DateComponentsFormatter> formatter
        = NotificationsState().defaultTitleFormatter;

    NotificationSyncReport sync(std::set<AnyReminder> reminders)
    {
        std::optional<NotificationSyncReport> report;
        m_service->syncNotifications(
            std::move(reminders), formatter, [&](NotificationSyncReport r) { report = r; });
        EXPECT_TRUE(pumpUntil([&] { return report.has_value(); }));
        return report.value_or(NotificationSyncReport {});
    }
};

TEST_F(ServiceTest, RegistersTheRemindersCategoryWithEightSnoozeActionsInOrder)
{
    makeService();
    std::vector<UNNotificationCategory> categories;
    m_center->getNotificationCategories([&](auto found) { categories = found; });
    ASSERT_EQ(categories.size(), 1u);
    const auto& category = categories.front();
    EXPECT_EQ(category.identifier, "reminders");
    EXPECT_EQ(rawValue(category.options), 13u);
    std::vector<std::pair<std::string, std::string>> actions;
    for (const auto& action : category.actions) {
        actions.emplace_back(action.identifier, action.title);
        EXPECT_EQ(action.options, UNNotificationActionOptions::none);
    }
    EXPECT_EQ(actions, expectedSnoozeActions);
}

TEST_F(ServiceTest, SchedulesOneRequestPerReminderDueInTheFuture)
{
    makeService();
    const auto report = sync({
        reminder("titled", 3600, "Water the plants"),
        reminder("untitled", 600),
        [&] {
            auto r = reminder("no-start", 120);
            r.startDateComponents.reset();
            return r;
        }(),
        reminder("in-one-second", 1, "Soon"),
        reminder("due-now", 0, "Now"),
        reminder("past", -60, "Late"),
        reminder("no-due-date", std::nullopt, "Someday"),
    });
    EXPECT_EQ(report, (NotificationSyncReport { .scheduled = 4, .refused = 0, .skipped = 3 }));

    std::map<std::string, UNNotificationRequest> byId;
    for (const auto& request : pending())
        byId[request.identifier] = request;
    ASSERT_THAT(pendingIdentifiers(),
        UnorderedElementsAre("titled", "untitled", "no-start", "in-one-second"));

    const auto& titled = byId["titled"];
    EXPECT_EQ(titled.content.title, "Reminder");
    EXPECT_EQ(titled.content.body, "Water the plants");
    EXPECT_EQ(titled.content.categoryIdentifier, "reminders");
    EXPECT_EQ(titled.content.interruptionLevel, UNNotificationInterruptionLevel::timeSensitive);
    EXPECT_EQ(titled.content.sound, UNNotificationSound::defaultSound());
    EXPECT_EQ(titled.trigger, (UNTimeIntervalNotificationTrigger { 3600, false }));
    EXPECT_EQ(byId["in-one-second"].trigger->timeInterval, 1);

    // Untitled: the span from start to due (an hour and a half) in the formatter's words.
    EXPECT_EQ(byId["untitled"].content.body, formatter->string(5400.0).value());
    EXPECT_FALSE(byId["untitled"].content.body.empty());
    EXPECT_EQ(byId["no-start"].content.body, "");
}

TEST_F(ServiceTest, SyncRemovesStalePendingAndDeliveredNotifications)
{
    startServer();
    makeService();
    sync(
        { reminder("old", 7200, "Old"), reminder("gone", 30, "Gone"), reminder("now", 30, "Now") });
    m_service->addNotification("3F2504E0-4F89-41D3-9A0C-0305E82C3301", "Preview", 0.4,
        UNNotificationSound::defaultSound());
    advance(31);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 3; }));
    ASSERT_THAT(deliveredIdentifiers(),
        UnorderedElementsAre("gone", "now", "3F2504E0-4F89-41D3-9A0C-0305E82C3301"));

    // "now" is due in the past: not scheduled again, but its notification stays.
    auto due = reminder("now", -1, "Now");
    const auto report = sync({ reminder("keep", 600, "Keep"), due });
    EXPECT_EQ(report.scheduled, 1u);
    EXPECT_EQ(report.removed, 3u);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("keep"));
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("now"));
    EXPECT_THAT(
        m_server->closeCalls(), UnorderedElementsAre(*serverId("Gone"), *serverId("Preview")));

    // An empty set leaves nothing of the application's.
    EXPECT_EQ(sync({}).removed, 2u);
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
}

TEST_F(ServiceTest, OverlappingSyncsRunOneAfterAnotherAndTheNewestSetWins)
{
    makeService();
    std::vector<std::pair<std::string, NotificationSyncReport>> reports;
    const auto record = [&](std::string name) {
        return
            [&reports, name](NotificationSyncReport report) { reports.emplace_back(name, report); };
    };
    // Started off the centre's thread, the first sync's requests are still on their way
    // when the next two are asked for.
    std::thread([&] {
        m_service->syncNotifications(
            { reminder("a1", 600), reminder("a2", 600) }, formatter, record("a"));
    }).join();
    m_service->syncNotifications({ reminder("b", 600) }, formatter, record("b"));
    m_service->syncNotifications({ reminder("c", 600) }, formatter, record("c"));
    ASSERT_TRUE(pumpUntil([&] { return reports.size() == 3; }));

    EXPECT_THAT(pendingIdentifiers(), ElementsAre("c"));
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].first, "b");
    EXPECT_TRUE(reports[0].second.superseded);
    EXPECT_EQ(
        reports[1], (std::pair<std::string, NotificationSyncReport> { "a", { .scheduled = 2 } }));
    EXPECT_EQ(reports[2],
        (std::pair<std::string, NotificationSyncReport> { "c", { .scheduled = 1, .removed = 2 } }));
}

// What the middleware asks through the service's interface reaches the centre: the
// settings, the quiet and the full permission, and the withdrawal of pending requests.
TEST_F(ServiceTest, PermissionSettingsAndWithdrawalReachTheCentre)
{
    startServer();
    makeService(false);
    UserNotificationsServicable& service = *m_service;
    const auto settings = [&] {
        std::optional<UNNotificationSettings> read;
        service.getNotificationSettings([&](UNNotificationSettings s) { read = std::move(s); });
        EXPECT_TRUE(pumpUntil([&] { return read.has_value(); }));
        return read.value_or(UNNotificationSettings {});
    };
    const auto request = [&](UNAuthorizationOptions options) {
        std::optional<std::pair<bool, std::optional<UNError>>> answer;
        service.requestAuthorization(options,
            [&](bool granted, std::optional<UNError> error) { answer.emplace(granted, error); });
        EXPECT_TRUE(pumpUntil([&] { return answer.has_value(); }));
        return answer.value_or(std::pair { false, std::optional<UNError>() });
    };
    EXPECT_EQ(settings().authorizationStatus, UNAuthorizationStatus::notDetermined);
    EXPECT_TRUE(settings().isServerAvailable);

    const auto quiet = UNAuthorizationOptions::alert | UNAuthorizationOptions::sound
        | UNAuthorizationOptions::provisional;
    EXPECT_EQ(request(quiet), (std::pair { true, std::optional<UNError>() }));
    EXPECT_THAT(m_prompts, IsEmpty()) << "quiet permission needs no question";
    EXPECT_EQ(settings().authorizationStatus, UNAuthorizationStatus::provisional);
    const auto full = UNAuthorizationOptions::alert | UNAuthorizationOptions::sound;
    EXPECT_EQ(request(full), (std::pair { true, std::optional<UNError>() }));
    EXPECT_THAT(m_prompts, ElementsAre(full));
    EXPECT_EQ(settings().authorizationStatus, UNAuthorizationStatus::authorized);

    sync({ reminder("a", 30, "A"), reminder("b", 600, "B") });
    advance(30);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));
    service.removePendingNotifications();
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("a")) << "what is on screen stays";
    advance(600);
    EXPECT_EQ(m_server->notifyCalls().size(), 1u) << "nothing more is shown";

    // Without its centre the service allows nothing and says why a request fails.
    m_center.reset();
    EXPECT_EQ(settings(), UNNotificationSettings {});
    const auto [granted, error] = request(full);
    EXPECT_FALSE(granted);
    EXPECT_TRUE(error.has_value());
}

TEST_F(ServiceTest, ADueRequestIsShownWithTheEightSnoozeActionsInOrder)
{
    startServer();
    makeService();
    sync({ reminder("stretch", 60, "Stretch") });
    advance(59);
    EXPECT_THAT(m_server->notifyCalls(), IsEmpty());
    advance(1);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));

    const auto& call = m_server->notifyCalls().front();
    EXPECT_EQ(call.summary, "Reminder");
    EXPECT_EQ(call.body, "Stretch");
    QStringList expected;
    for (const auto& [identifier, title] : expectedSnoozeActions)
        expected << QString::fromStdString(identifier) << QString::fromStdString(title);
    expected << QStringLiteral("default") << QStringLiteral("Open");
    EXPECT_EQ(call.actions, expected);
    // Shown fully (banner, list and sound) and kept on screen as time-sensitive.
    EXPECT_EQ(call.hints.value(QStringLiteral("urgency")).toInt(), 2);
    EXPECT_EQ(call.hints.value(QStringLiteral("sound-name")).toString(), "message-new-instant");
    EXPECT_EQ(call.expireTimeout, 0);
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("stretch"));
}

TEST_F(ServiceTest, AServerWithoutActionsStillShowsTheNotification)
{
    startServer({ QStringLiteral("body") });
    makeService();
    sync({ reminder("stretch", 60, "Stretch") });
    advance(60);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));
    EXPECT_EQ(m_server->notifyCalls().front().body, "Stretch");
    EXPECT_THAT(m_server->notifyCalls().front().actions, IsEmpty());
}

TEST_F(ServiceTest, WithoutAServerRequestsWaitQuietlyUntilOneAppears)
{
    makeService();
    EXPECT_EQ(sync({ reminder("stretch", 60, "Stretch") }).scheduled, 1u);
    advance(120);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("stretch"));
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());

    startServer();
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));
    EXPECT_EQ(m_server->notifyCalls().front().body, "Stretch");
}

TEST_F(ServiceTest, ARequestDueDuringASuspendFiresAtOnceOnResume)
{
    startServer();
    makeService();
    sync({ reminder("meeting", 600, "Meeting") });
    advance(30);
    EXPECT_THAT(m_server->notifyCalls(), IsEmpty());
    // The machine sleeps for three hours: the wall clock jumps past the due time at once.
    advance(3 * 3600);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 1; }));
    EXPECT_EQ(m_server->notifyCalls().front().body, "Meeting");
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
}

TEST_F(ServiceTest, ResponsesReachSubscribersUntilThePublisherIsFinished)
{
    startServer();
    makeService();
    sync({ reminder("a", 60, "A"), reminder("b", 60, "B"), reminder("c", 60, "C"),
        reminder("d", 60, "D") });
    advance(60);
    ASSERT_TRUE(pumpUntil([&] { return m_server->notifyCalls().size() == 4; }));

    std::vector<UserNotificationResponse> received;
    std::vector<UserNotificationResponse> late;
    bool finished = false;
    auto first = m_service->receiveResponsePublisher().sink(
        [&](const UserNotificationResponse& r) { received.push_back(r); },
        [&](const auto&) { finished = true; });
    m_server->invokeAction(*serverId("A"), QStringLiteral("snooze5Min"));
    m_server->invokeAction(*serverId("B"), QStringLiteral("default"));
    m_server->close(*serverId("C"), 2); // closed by the user
    ASSERT_TRUE(pumpUntil([&] { return received.size() == 3; }));
    EXPECT_THAT(received,
        ElementsAre(UserNotificationResponse { "snooze5Min", "a" },
            UserNotificationResponse {
                std::string(UNNotificationResponse::defaultActionIdentifier), "b" },
            UserNotificationResponse {
                std::string(UNNotificationResponse::dismissActionIdentifier), "c" }));

    m_service->finishResponsePublisher();
    EXPECT_TRUE(finished);
    // A response while nobody listens is lost, also for a later subscriber.
    m_server->invokeAction(*serverId("D"), QStringLiteral("snooze1Min"));
    pump();
    auto second = m_service->receiveResponsePublisher().sink(
        [&](const UserNotificationResponse& r) { late.push_back(r); });
    pump();
    EXPECT_EQ(received.size(), 3u);
    EXPECT_THAT(late, IsEmpty());
}

} // namespace
} // namespace tidemark
