#include "FakeNotificationServer.hpp"

#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"
#include "support/LogCapture.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cmath>
#include <limits>

namespace tidemark {
namespace {

using test::FakeNotificationServer;
using test::LogCapture;
using testing::ElementsAre;
using testing::IsEmpty;

const QStringList fullCapabilities { QStringLiteral("actions"), QStringLiteral("body"),
    QStringLiteral("body-markup"), QStringLiteral("persistence"), QStringLiteral("sound") };

const Date start = dateFromTimeIntervalSince1970(1'700'000'000);

UNNotificationCategory remindersCategory(
    UNNotificationCategoryOptions options = UNNotificationCategoryOptions::customDismissAction)
{
    return { "reminders",
        { { "snooze1Min", "1 minute" }, { "snooze5Min", "5 minutes" },
            { "snooze1Hour", "1 hour" } },
        {}, "", "", options };
}

UNNotificationRequest reminderRequest(
    std::string identifier, std::string body, TimeInterval interval)
{
    UNNotificationRequest request;
    request.identifier = std::move(identifier);
    request.content.title = "Reminder";
    request.content.body = std::move(body);
    request.content.sound = UNNotificationSound::defaultSound();
    request.content.interruptionLevel = UNNotificationInterruptionLevel::timeSensitive;
    request.content.categoryIdentifier = "reminders";
    request.trigger = UNTimeIntervalNotificationTrigger { interval, false };
    return request;
}

struct RecordingDelegate final : UNUserNotificationCenterDelegate {
    std::vector<std::pair<std::string, std::string>> responses; // (action, request)
    int presented = 0;

    void willPresentNotification(UNUserNotificationCenter&, const UNNotification&,
        std::function<void(UNNotificationPresentationOptions)> completionHandler) override
    {
        ++presented;
        completionHandler(UNNotificationPresentationOptions::banner
            | UNNotificationPresentationOptions::list | UNNotificationPresentationOptions::sound);
    }
    void didReceiveNotificationResponse(UNUserNotificationCenter&,
        const UNNotificationResponse& response, std::function<void()> completionHandler) override
    {
        responses.emplace_back(response.actionIdentifier, response.notification.request.identifier);
        completionHandler();
    }
};

class UserNotificationCenterTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_stateDir.isValid()); }

    void TearDown() override
    {
        m_center.reset();
        m_server.reset();
    }

    FakeNotificationServer& startServer(QStringList capabilities = fullCapabilities)
    {
        m_server = std::make_unique<FakeNotificationServer>(std::move(capabilities));
        EXPECT_TRUE(m_server->start());
        return *m_server;
    }

    UNUserNotificationCenter& makeCenter(bool authorize = true)
    {
        UNUserNotificationCenter::Configuration configuration;
        configuration.stateDirectory = m_stateDir.path();
        configuration.clock = m_clock;
        configuration.applicationName = QStringLiteral("Tidemark");
        configuration.callTimeoutMs = m_callTimeoutMs;
        configuration.authorizationPrompt
            = [this](UNAuthorizationOptions, std::function<void(bool)> answer) {
                  ++m_prompts;
                  answer(m_promptAnswer);
              };
        m_center = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
        m_center->setNotificationCategories({ remindersCategory() });
        m_center->setDelegate(m_delegate);
        if (authorize) {
            m_center->requestAuthorization(
                UNAuthorizationOptions::alert | UNAuthorizationOptions::sound, [](bool, auto) {});
        }
        return *m_center;
    }

    // Waits until the centre has asked the bus whether a server is there.
    void waitForServer(bool available)
    {
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return m_center->isServerAvailable() == available; }, 5000));
        QCoreApplication::processEvents();
    }

    std::optional<UNError> add(UNNotificationRequest request)
    {
        std::optional<UNError> result { UNError { UNError::Code::invalidRequest, "no answer" } };
        m_center->addNotificationRequest(
            std::move(request), [&](std::optional<UNError> error) { result = error; });
        return result;
    }

    std::vector<std::string> pendingIdentifiers()
    {
        std::vector<std::string> identifiers;
        m_center->getPendingNotificationRequests([&](std::vector<UNNotificationRequest> requests) {
            for (const auto& request : requests)
                identifiers.push_back(request.identifier);
        });
        return identifiers;
    }

    std::vector<std::string> deliveredIdentifiers()
    {
        std::vector<std::string> identifiers;
        m_center->getDeliveredNotifications([&](std::vector<UNNotification> notifications) {
            for (const auto& notification : notifications)
                identifiers.push_back(notification.request.identifier);
        });
        return identifiers;
    }

    void advance(TimeInterval seconds)
    {
        m_clock->advance(seconds);
        QCoreApplication::processEvents();
    }

    bool waitForNotifyCalls(std::size_t count)
    {
        return QTest::qWaitFor([&] { return m_server->notifyCalls().size() >= count; }, 5000);
    }

    // Waits until the centre knows the server's id for every delivered notification, so
    // the server's signals can be matched.
    void settle()
    {
        for (int i = 0; i < 5; ++i) {
            QTest::qWait(20);
            QCoreApplication::processEvents();
        }
    }

    QTemporaryDir m_stateDir;
    std::shared_ptr<ManualWallClock> m_clock = std::make_shared<ManualWallClock>(start);
    std::shared_ptr<RecordingDelegate> m_delegate = std::make_shared<RecordingDelegate>();
    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<UNUserNotificationCenter> m_center;
    LogCapture m_logs;
    bool m_promptAnswer = true;
    int m_prompts = 0;
    int m_callTimeoutMs = 5000;
};

TEST_F(UserNotificationCenterTest, showsADueRequestWithItsCategoryActionsInOrderAndTheDefault)
{
    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    ASSERT_EQ(add(reminderRequest("r1", "Water the plants", 60)), std::nullopt);

    advance(59);
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1"));

    advance(1);
    ASSERT_TRUE(waitForNotifyCalls(1));
    const auto& call = server.notifyCalls().front();
    EXPECT_EQ(call.appName, "Tidemark");
    EXPECT_EQ(call.summary, "Reminder");
    EXPECT_EQ(call.body, "Water the plants");
    EXPECT_EQ(call.actions,
        QStringList({ "snooze1Min", "1 minute", "snooze5Min", "5 minutes", "snooze1Hour", "1 hour",
            "default", "Open" }));
    EXPECT_EQ(call.hints.value("urgency").toUInt(), 2u);
    EXPECT_EQ(call.hints.value("sound-name").toString(), "message-new-instant");
    EXPECT_EQ(call.expireTimeout, 0);
    EXPECT_EQ(m_delegate->presented, 1);
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("r1"));
}

TEST_F(UserNotificationCenterTest, addingAPendingIdentifierReplacesTheRequest)
{
    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    ASSERT_EQ(add(reminderRequest("r1", "Old title", 60)), std::nullopt);
    ASSERT_EQ(add(reminderRequest("r2", "Other", 300)), std::nullopt);
    ASSERT_EQ(add(reminderRequest("r1", "New title", 120)), std::nullopt);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1", "r2"));

    advance(60);
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty()); // the old due time is gone

    advance(60);
    ASSERT_TRUE(waitForNotifyCalls(1));
    settle();
    ASSERT_EQ(server.notifyCalls().size(), 1u);
    EXPECT_EQ(server.notifyCalls().front().body, "New title");
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r2"));
}

TEST_F(UserNotificationCenterTest, removesPendingAndDeliveredRequests)
{
    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    for (const auto* id : { "a", "b", "c" })
        ASSERT_EQ(add(reminderRequest(id, id, 60)), std::nullopt);
    m_center->removePendingNotificationRequests({ "b", "unknown" });
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("a", "c"));

    advance(60);
    ASSERT_TRUE(waitForNotifyCalls(2));
    settle();
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("a", "c"));

    const auto idOfA = server.notifyCalls().at(0).id;
    m_center->removeDeliveredNotifications({ "a" });
    EXPECT_THAT(deliveredIdentifiers(), ElementsAre("c"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.closeCalls().empty(); }, 5000));
    settle();
    EXPECT_THAT(server.closeCalls(), ElementsAre(idOfA));
    // The server's word that it closed the notification is not the user dismissing it.
    EXPECT_THAT(m_delegate->responses, IsEmpty());

    m_center->removeAllDeliveredNotifications();
    m_center->removeAllPendingNotificationRequests();
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
}

TEST_F(UserNotificationCenterTest, mapsTheUsersAnswersToResponses)
{
    struct Case {
        const char* name;
        UNNotificationCategoryOptions categoryOptions;
        std::function<void(FakeNotificationServer&, uint id)> user;
        std::vector<std::string> expectedActions;
        bool stillDelivered;
    };
    const std::string defaultAction(UNNotificationResponse::defaultActionIdentifier);
    const std::string dismissAction(UNNotificationResponse::dismissActionIdentifier);
    const auto custom = UNNotificationCategoryOptions::customDismissAction;
    const auto none = UNNotificationCategoryOptions::none;
    const std::vector<Case> cases {
        // Servers close a notification after an action: that close is no dismissal.
        { "snooze action", custom, [](auto& s, uint id) { s.invokeAction(id, "snooze5Min"); },
            { "snooze5Min" }, false },
        { "click", custom, [](auto& s, uint id) { s.invokeAction(id, "default"); },
            { defaultAction }, false },
        { "closed by the user", custom, [](auto& s, uint id) { s.close(id, 2); }, { dismissAction },
            false },
        { "closed by the user, no custom dismissal", none, [](auto& s, uint id) { s.close(id, 2); },
            {}, false },
        { "expired", custom, [](auto& s, uint id) { s.close(id, 1); }, {}, false },
        { "another program's notification", custom,
            [](auto& s, uint id) { s.invokeAction(id + 1000, "snooze5Min"); }, {}, true },
    };

    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        m_center->setNotificationCategories({ remindersCategory(c.categoryOptions) });
        m_delegate->responses.clear();
        m_center->removeAllDeliveredNotifications();
        const auto identifier = "r" + std::to_string(i);
        ASSERT_EQ(add(reminderRequest(identifier, "Call Anna", 10)), std::nullopt);
        advance(10);
        ASSERT_TRUE(waitForNotifyCalls(i + 1));
        settle();

        c.user(server, server.notifyCalls().back().id);
        settle();
        std::vector<std::pair<std::string, std::string>> expected;
        for (const auto& action : c.expectedActions)
            expected.emplace_back(action, identifier);
        EXPECT_EQ(m_delegate->responses, expected);
        EXPECT_EQ(
            deliveredIdentifiers() == std::vector<std::string> { identifier }, c.stillDelivered);
    }
}

TEST_F(UserNotificationCenterTest, withoutAServerRequestsStayPendingAndTheLogSaysSoOnce)
{
    makeCenter();
    waitForServer(false);
    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 60)), std::nullopt);
    ASSERT_EQ(add(reminderRequest("r2", "Call Ben", 120)), std::nullopt);
    advance(60);
    advance(60);
    settle();

    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1", "r2"));
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
    EXPECT_THAT(m_logs.lines(), testing::SizeIs(1));
    EXPECT_EQ(m_logs.count("no notification server"), 1);

    // A server that appears later shows what fell due meanwhile.
    auto& server = startServer();
    waitForServer(true);
    ASSERT_TRUE(waitForNotifyCalls(2));
    EXPECT_EQ(server.notifyCalls().at(0).body, "Call Anna");
    EXPECT_EQ(server.notifyCalls().at(1).body, "Call Ben");
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
}

TEST_F(UserNotificationCenterTest, aServerThatGoesAwayAndComesBackIsFollowed)
{
    startServer();
    makeCenter();
    waitForServer(true);
    m_server->stop();
    waitForServer(false);
    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 30)), std::nullopt);
    advance(30);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1"));

    ASSERT_TRUE(m_server->start());
    waitForServer(true);
    ASSERT_TRUE(waitForNotifyCalls(1));
    EXPECT_EQ(m_logs.count("no notification server"), 1);
}

TEST_F(UserNotificationCenterTest, aServerWithoutActionsStillShowsTheNotification)
{
    auto& server = startServer({ QStringLiteral("body") });
    makeCenter();
    waitForServer(true);
    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 5)), std::nullopt);
    advance(5);
    ASSERT_TRUE(waitForNotifyCalls(1));
    EXPECT_EQ(server.notifyCalls().front().body, "Call Anna");
    EXPECT_THAT(server.notifyCalls().front().actions, IsEmpty());
}

TEST_F(UserNotificationCenterTest, escapesMarkupOnlyForServersThatReadIt)
{
    struct Case {
        QStringList capabilities;
        QString expectedBody;
    };
    const std::vector<Case> cases {
        { fullCapabilities, "Tom &amp; Jerry &lt;b&gt;" },
        { { "actions", "body" }, "Tom & Jerry <b>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.capabilities.join(' ').toStdString());
        m_center.reset();
        m_server.reset();
        auto& server = startServer(c.capabilities);
        makeCenter();
        waitForServer(true);
        auto request = reminderRequest("r1", "Tom & Jerry <b>", 5);
        request.content.title = "Tom & Jerry <b>";
        ASSERT_EQ(add(request), std::nullopt);
        advance(5);
        ASSERT_TRUE(waitForNotifyCalls(1));
        EXPECT_EQ(server.notifyCalls().front().body, c.expectedBody);
        // The summary is plain text on every server.
        EXPECT_EQ(server.notifyCalls().front().summary, "Tom & Jerry <b>");
    }
}

TEST_F(UserNotificationCenterTest, keepsPendingRequestsAcrossARestartAndShowsOverdueOnesAtOnce)
{
    makeCenter();
    ASSERT_EQ(add(reminderRequest("during-downtime", "Due while off", 60)), std::nullopt);
    ASSERT_EQ(add(reminderRequest("later", "Due later", 7200)), std::nullopt);
    m_center.reset(); // the program quits

    m_clock->advance(600); // and is started again ten minutes later
    auto& server = startServer();
    makeCenter(false);
    waitForServer(true);
    ASSERT_TRUE(waitForNotifyCalls(1));
    EXPECT_EQ(server.notifyCalls().front().body, "Due while off");
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("later"));
    EXPECT_EQ(m_prompts, 1); // the answer was kept

    advance(7200 - 600 - 1);
    settle();
    EXPECT_EQ(server.notifyCalls().size(), 1u); // still due at its own time
    advance(1);
    ASSERT_TRUE(waitForNotifyCalls(2));
    EXPECT_EQ(server.notifyCalls().back().body, "Due later");
}

TEST_F(UserNotificationCenterTest, anUnreadableStateFileIsKeptAsideAndNotOverwritten)
{
    const QDir dir(m_stateDir.path());
    {
        QFile file(dir.filePath("notifications-pending.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("{\"pending\": [ this is not json");
    }
    makeCenter();
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
    EXPECT_EQ(m_logs.count("kept aside"), 1);
    const auto aside = dir.entryList({ "notifications-pending.json.*.unreadable" });
    ASSERT_EQ(aside.size(), 1);
    QFile kept(dir.filePath(aside.front()));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "{\"pending\": [ this is not json");

    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 60)), std::nullopt);
    m_center.reset();
    makeCenter(false);
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1"));
}

// A kept request is read by the rules for adding one: a repeating one with an interval of
// 0 would otherwise fall due again at once, for ever, at every start.
TEST_F(UserNotificationCenterTest, keptRequestsThatCouldNotBeAddedAreDroppedWithALogLine)
{
    const auto entry = [](const std::string& identifier, const std::string& rest) {
        return R"({"identifier": ")" + identifier + R"(", "title": "Reminder", )" + rest + "}";
    };
    const std::string dueSoon = R"("dueDate": 1700000060)";
    struct Case {
        std::string logged; // what the log line says of it
        std::string json;
    };
    const std::vector<Case> dropped {
        { R"("repeats-every-0")",
            entry("repeats-every-0",
                dueSoon + R"(, "trigger": {"timeInterval": 0, "repeats": true})") },
        { R"("repeats-every--60")",
            entry("repeats-every--60",
                dueSoon + R"(, "trigger": {"timeInterval": -60, "repeats": true})") },
        { R"("repeats-every-30")",
            entry("repeats-every-30",
                dueSoon + R"(, "trigger": {"timeInterval": 30, "repeats": true})") },
        { R"("once-after-0")",
            entry("once-after-0", dueSoon + R"(, "trigger": {"timeInterval": 0})") },
        { R"("repeats-beyond-2261")",
            entry("repeats-beyond-2261",
                dueSoon + R"(, "trigger": {"timeInterval": 1e300, "repeats": true})") },
        { R"("due-after-2261")", entry("due-after-2261", R"("dueDate": 1e13)") },
        { R"("due-before-1678")", entry("due-before-1678", R"("dueDate": -1e11)") },
        { R"("title-not-text")",
            R"({"identifier": "title-not-text", "title": 5, )" + dueSoon + "}" },
        { R"("trigger-not-an-object")",
            entry("trigger-not-an-object", dueSoon + R"(, "trigger": 60)") },
        { "a notification request needs an identifier", "{" + dueSoon + "}" },
    };
    std::string document = R"({"version": 1, "pending": [)" + entry("kept", dueSoon);
    for (const auto& c : dropped)
        document += ", " + c.json;
    document += "]}";
    const QDir dir(m_stateDir.path());
    {
        QFile file(dir.filePath("notifications-pending.json"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(document.c_str());
    }

    makeCenter();
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("kept"));
    for (const auto& c : dropped) {
        SCOPED_TRACE(c.logged);
        EXPECT_EQ(m_logs.count("a pending notification was dropped: " + c.logged), 1u);
    }
    // The next write leaves them out, so the file as it was is kept beside it.
    const auto copies = dir.entryList({ "notifications-pending.json.*.unreadable" });
    ASSERT_EQ(copies.size(), 1);
    QFile copy(dir.filePath(copies.front()));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll().toStdString(), document);
}

TEST_F(UserNotificationCenterTest, anUnreadableKeptAnswerIsKeptAsideAndTheProgramStarts)
{
    const std::vector<const char*> documents {
        R"({"version": 1, "status": 2, "options": 6})",
        R"({"version": 1, "status": null, "options": 6})",
        R"({"version": 1, "status": "authorized", "options": "sound"})",
        R"({"version": 1, "status": "authorized", "options": -1})",
        R"({"version": 1, "status": "authorized", "options": 1e300})",
        R"({"version": 1, "status": "authorized", "options": 1024})",
        R"({"version": 1, "status": "maybe"})",
        R"({"version": 7, "status": "authorized", "options": 6})",
        R"(["authorized"])",
    };
    const QDir dir(m_stateDir.path());
    const QString path = dir.filePath("notifications-authorization.json");
    for (const auto* document : documents) {
        SCOPED_TRACE(document);
        {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(document);
        }
        const auto before = m_logs.count("kept aside");
        makeCenter(false);
        std::optional<UNNotificationSettings> settings;
        m_center->getNotificationSettings([&](UNNotificationSettings s) { settings = s; });
        ASSERT_TRUE(settings);
        EXPECT_EQ(settings->authorizationStatus, UNAuthorizationStatus::notDetermined);
        EXPECT_EQ(m_logs.count("kept aside"), before + 1);
        EXPECT_FALSE(QFile::exists(path));
        const auto aside = dir.entryList({ "notifications-authorization.json.*.unreadable" });
        ASSERT_EQ(aside.size(), 1);
        QFile kept(dir.filePath(aside.front()));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), QByteArray(document));
        ASSERT_TRUE(kept.remove());
        m_center.reset();
    }

    // The user is asked again, and the new answer is kept.
    makeCenter();
    EXPECT_EQ(m_prompts, 1);
    m_center.reset();
    makeCenter();
    EXPECT_EQ(m_prompts, 1);
}

// Titles and identifiers come from the user's reminders and other programs' files: bytes
// that are not UTF-8 must not stop the writer (which runs on a thread of its own).
TEST_F(UserNotificationCenterTest, textThatIsNotUtf8IsKeptAsValidUtf8)
{
    const std::string replacement = "\xEF\xBF\xBD";
    makeCenter();
    auto request = reminderRequest("r\xFF"
                                   "1",
        "Caf\xE9 at 10", 3600);
    request.content.title = "\xC3(";
    request.content.categoryIdentifier = "remi\x80nders";
    ASSERT_EQ(add(request), std::nullopt);
    m_center->flush();

    QFile file(QDir(m_stateDir.path()).filePath("notifications-pending.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto document = nlohmann::json::parse(file.readAll().toStdString(), nullptr, false);
    ASSERT_FALSE(document.is_discarded());

    m_center.reset();
    makeCenter(false);
    std::vector<UNNotificationRequest> pending;
    m_center->getPendingNotificationRequests(
        [&](std::vector<UNNotificationRequest> requests) { pending = std::move(requests); });
    ASSERT_EQ(pending.size(), 1u);
    EXPECT_EQ(pending[0].identifier, "r" + replacement + "1");
    EXPECT_EQ(pending[0].content.title, replacement + "(");
    EXPECT_EQ(pending[0].content.body, "Caf" + replacement + " at 10");
    EXPECT_EQ(pending[0].content.categoryIdentifier, "remi" + replacement + "nders");

    // The caller's own bytes still name it.
    m_center->removePendingNotificationRequests({ "r\xFF"
                                                  "1" });
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
}

TEST_F(UserNotificationCenterTest, anOverdueRequestFiresAtOnceWhenTheClockJumpsOverASuspend)
{
    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    ASSERT_EQ(add(reminderRequest("soon", "Due during the suspend", 60)), std::nullopt);
    ASSERT_EQ(add(reminderRequest("later", "Due after waking", 7200)), std::nullopt);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_clock->armedAt(), dateByAdding(start, 60));

    advance(3600); // an hour asleep: the wall clock jumps on waking
    ASSERT_TRUE(waitForNotifyCalls(1));
    EXPECT_EQ(server.notifyCalls().front().body, "Due during the suspend");
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("later"));
    EXPECT_EQ(m_clock->armedAt(), dateByAdding(start, 7200));
}

TEST_F(UserNotificationCenterTest, aHungServerTimesOutAndTheRequestStaysPending)
{
    m_callTimeoutMs = 300;
    auto& server = startServer();
    makeCenter();
    waitForServer(true);
    server.setHangs(true);
    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 5)), std::nullopt);
    advance(5);
    ASSERT_TRUE(waitForNotifyCalls(1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !pendingIdentifiers().empty(); }, 5000));
    EXPECT_THAT(pendingIdentifiers(), ElementsAre("r1"));
    EXPECT_THAT(deliveredIdentifiers(), IsEmpty());
    EXPECT_EQ(m_logs.count("no notification server"), 1);
}

TEST_F(UserNotificationCenterTest, refusesRequestsItCannotSchedule)
{
    struct Case {
        const char* name;
        UNNotificationRequest request;
        UNError::Code code;
    };
    auto repeating = reminderRequest("r", "x", 30);
    repeating.trigger->repeats = true;
    const std::vector<Case> cases {
        { "no identifier", reminderRequest("", "x", 60), UNError::Code::invalidRequest },
        { "zero interval", reminderRequest("r", "x", 0), UNError::Code::invalidTrigger },
        { "negative interval", reminderRequest("r", "x", -5), UNError::Code::invalidTrigger },
        { "not a number", reminderRequest("r", "x", std::nan("")), UNError::Code::invalidTrigger },
        { "infinite", reminderRequest("r", "x", std::numeric_limits<double>::infinity()),
            UNError::Code::invalidTrigger },
        { "repeating under a minute", repeating, UNError::Code::invalidTrigger },
        // Its due date would overflow a `Date` and wrap round to a moment long past.
        { "beyond the dates a Date holds", reminderRequest("r", "x", 1e12),
            UNError::Code::invalidTrigger },
    };
    makeCenter();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto error = add(c.request);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->code, c.code);
    }
    EXPECT_THAT(pendingIdentifiers(), IsEmpty());
}

TEST_F(UserNotificationCenterTest, keepsTheUsersAnswerToThePermissionRequest)
{
    m_promptAnswer = false;
    makeCenter();
    EXPECT_EQ(m_prompts, 1);
    auto error = add(reminderRequest("r1", "x", 60));
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, UNError::Code::notificationsNotAllowed);

    m_center.reset();
    makeCenter(); // asks again, but the answer is known
    EXPECT_EQ(m_prompts, 1);
    std::optional<UNNotificationSettings> settings;
    m_center->getNotificationSettings([&](UNNotificationSettings s) { settings = s; });
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->authorizationStatus, UNAuthorizationStatus::denied);

    m_center->resetAuthorization();
    m_promptAnswer = true;
    bool granted = false;
    m_center->requestAuthorization(
        UNAuthorizationOptions::alert, [&](bool g, auto) { granted = g; });
    EXPECT_TRUE(granted);
    EXPECT_EQ(m_prompts, 2);
}

TEST_F(UserNotificationCenterTest, provisionalAuthorizationIsQuietUntilTheUserAgrees)
{
    auto& server = startServer();
    makeCenter(false);
    waitForServer(true);
    bool granted = false;
    m_center->requestAuthorization(UNAuthorizationOptions::alert | UNAuthorizationOptions::sound
            | UNAuthorizationOptions::provisional,
        [&](bool g, auto) { granted = g; });
    EXPECT_TRUE(granted);
    EXPECT_EQ(m_prompts, 0);

    ASSERT_EQ(add(reminderRequest("r1", "Call Anna", 5)), std::nullopt);
    advance(5);
    ASSERT_TRUE(waitForNotifyCalls(1));
    EXPECT_EQ(server.notifyCalls().front().hints.value("urgency").toUInt(), 0u);
    EXPECT_FALSE(server.notifyCalls().front().hints.contains("sound-name"));

    m_center->requestAuthorization(
        UNAuthorizationOptions::alert | UNAuthorizationOptions::sound, [](bool, auto) {});
    EXPECT_EQ(m_prompts, 1);
    std::optional<UNNotificationSettings> settings;
    m_center->getNotificationSettings([&](UNNotificationSettings s) { settings = s; });
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->authorizationStatus, UNAuthorizationStatus::authorized);
    EXPECT_EQ(settings->alertStyle, UNAlertStyle::alert);
    EXPECT_EQ(settings->soundSetting, UNNotificationSetting::enabled);
}

TEST_F(UserNotificationCenterTest, settingsSayWhetherAServerAnswers)
{
    makeCenter();
    waitForServer(false);
    std::vector<UNNotificationSettings> seen;
    auto token = m_center->notificationSettings().sink(
        [&](const UNNotificationSettings& s) { seen.push_back(s); });
    startServer();
    waitForServer(true);
    auto again = m_center->notificationSettings().sink(
        [&](const UNNotificationSettings& s) { seen.push_back(s); });

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_FALSE(seen[0].isServerAvailable);
    EXPECT_EQ(seen[0].alertStyle, UNAlertStyle::none);
    EXPECT_TRUE(seen[1].isServerAvailable);
    EXPECT_EQ(seen[1].alertStyle, UNAlertStyle::alert);
    EXPECT_EQ(seen[1].authorizationStatus, UNAuthorizationStatus::authorized);
    EXPECT_THAT(seen[1].serverCapabilities, testing::Contains("actions"));
}

TEST(SystemWallClockTest, ringsForAnAlarmThatIsDueAndAtOnceForOneThatIsOverdue)
{
    SystemWallClock clock;
    QSignalSpy rang(&clock, &WallClock::alarm);

    clock.wakeAt(dateByAdding(clock.now(), -3600)); // missed while asleep
    ASSERT_TRUE(rang.wait(5000));

    clock.wakeAt(dateByAdding(clock.now(), 0.05));
    ASSERT_TRUE(rang.wait(5000));
    EXPECT_EQ(rang.count(), 2);
}

} // namespace
} // namespace tidemark
