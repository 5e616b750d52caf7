#pragma once

#include "FakeNotificationServer.hpp"

#include "notifications/UserNotificationsService.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/usernotifications/UNUserNotificationCenter.hpp"
#include "platform/usernotifications/WallClock.hpp"
#include "reminders/Reminder.hpp"
#include "support/TestMainQueue.hpp"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tidemark::test {

const QStringList fullCapabilities { QStringLiteral("actions"), QStringLiteral("body"),
    QStringLiteral("body-markup"), QStringLiteral("persistence"), QStringLiteral("sound") };

// The centre's wall clock as the service's and the store's clock, so that "now" is the
// same moment everywhere.
class WallClockTime final : public Clock {
public:
    explicit WallClockTime(std::shared_ptr<WallClock> clock)
        : m_clock(std::move(clock))
    {
    }
    Date now() const override { return m_clock->now(); }

private:
    std::shared_ptr<WallClock> m_clock;
};

// A notification centre on a manual wall clock with a state directory of its own, the
// small notification server of the tests on the private session bus, and the service.
class NotificationFixture : public testing::Test {
protected:
    static inline const Date start = dateFromTimeIntervalSince1970(1'750'000'000);

    void TearDown() override
    {
        m_service.reset();
        m_center.reset();
        m_server.reset();
    }

    FakeNotificationServer& startServer(QStringList capabilities = fullCapabilities)
    {
        m_server = std::make_unique<FakeNotificationServer>(std::move(capabilities));
        EXPECT_TRUE(m_server->start());
        return *m_server;
    }

    // `authorize`: the user has allowed notifications before (asked without the quiet
    // option, answered yes).
    UserNotificationsService& makeService(bool authorize = true)
    {
        UNUserNotificationCenter::Configuration configuration;
        configuration.stateDirectory = m_stateDir.path();
        configuration.clock = m_clock;
        configuration.applicationName = QStringLiteral("Tidemark");
        configuration.callTimeoutMs = 2000;
        configuration.authorizationPrompt
            = [this](UNAuthorizationOptions options, std::function<void(bool)> answer) {
                  m_prompts.push_back(options);
                  answer(m_promptAnswer);
              };
        m_center = std::make_unique<UNUserNotificationCenter>(std::move(configuration));
        m_service = std::make_shared<UserNotificationsService>(
            *m_center, std::make_shared<WallClockTime>(m_clock));
        m_service->attachNotificationDelegate();
        if (authorize) {
            m_center->requestAuthorization(
                UNAuthorizationOptions::alert | UNAuthorizationOptions::sound, [](bool, auto) {});
        }
        if (m_server) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return m_center->isServerAvailable(); }, 5000));
        }
        pump();
        return *m_service;
    }

    // Lets the bus, the centre and the store's main queue run until nothing moves.
    void pump(int rounds = 5)
    {
        for (int i = 0; i < rounds; ++i) {
            QTest::qWait(10);
            QCoreApplication::processEvents();
            drainMainQueue();
        }
    }

    template <class Predicate> bool pumpUntil(Predicate predicate)
    {
        const bool reached = QTest::qWaitFor(
            [&] {
                drainMainQueue();
                return predicate();
            },
            5000);
        pump(); // and whatever follows from it
        return reached;
    }

    // Moves the wall clock (as a suspend or plain waiting does) and lets due requests show.
    void advance(TimeInterval seconds)
    {
        m_clock->advance(seconds);
        pump();
    }

    Date now() const { return m_clock->now(); }

    std::vector<UNNotificationRequest> pending()
    {
        std::vector<UNNotificationRequest> result;
        m_center->getPendingNotificationRequests(
            [&](std::vector<UNNotificationRequest> requests) { result = std::move(requests); });
        return result;
    }

    std::vector<std::string> pendingIdentifiers()
    {
        std::vector<std::string> identifiers;
        for (const auto& request : pending())
            identifiers.push_back(request.identifier);
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

    UNAuthorizationStatus authorizationStatus()
    {
        UNAuthorizationStatus status = UNAuthorizationStatus::notDetermined;
        m_center->getNotificationSettings(
            [&](UNNotificationSettings settings) { status = settings.authorizationStatus; });
        return status;
    }

    // A reminder due `dueIn` seconds from now (none: without a due date), started an hour
    // and a half before it.
    AnyReminder reminder(std::string id, std::optional<TimeInterval> dueIn, std::string title = {})
    {
        AnyReminder r { std::move(id), std::nullopt, std::nullopt, std::move(title), std::nullopt,
            std::nullopt };
        if (dueIn) {
            const auto due = dateByAdding(now(), *dueIn);
            setStartDate(r, dateByAdding(due, -5400));
            setDueDate(r, due);
        }
        return r;
    }

    // The server's id of the latest notification it showed with this body.
    std::optional<uint> serverId(const std::string& body) const
    {
        const auto& calls = m_server->notifyCalls();
        for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
            if (call->body == QString::fromStdString(body))
                return call->id;
        }
        return std::nullopt;
    }

    QTemporaryDir m_stateDir;
    std::shared_ptr<ManualWallClock> m_clock = std::make_shared<ManualWallClock>(start);
    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<UNUserNotificationCenter> m_center;
    std::shared_ptr<UserNotificationsService> m_service;
    std::vector<UNAuthorizationOptions> m_prompts;
    bool m_promptAnswer = true;
};

} // namespace tidemark::test
