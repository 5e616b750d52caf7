#include "platform/instance/SingleInstance.hpp"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

// The lock file that stands in for the session-bus name where there is no session bus
// (the two starts on a bus are tried with two processes of the program, tests/e2e).
class SingleInstanceLockTest : public testing::Test {
protected:
    SingleInstanceConfiguration configuration() const
    {
        SingleInstanceConfiguration result;
        result.serviceName = QStringLiteral("com.tidemark.Test");
        result.lockDirectory = std::filesystem::path(m_folder.path().toStdString()) / "runtime";
        result.useSessionBus = false;
        return result;
    }

    QTemporaryDir m_folder;
};

TEST_F(SingleInstanceLockTest, OneHoldsTheLockUntilItEndsAndTheOthersAreTurnedAway)
{
    auto first = std::make_unique<SingleInstance>(configuration());
    ASSERT_EQ(first->claim(), InstanceRole::primary);
    EXPECT_FALSE(first->usesSessionBus());
    EXPECT_TRUE(first->problem().empty()) << first->problem();
    EXPECT_EQ(first->claim(), InstanceRole::primary) << "claiming again changes nothing";
    const auto lock = configuration().lockDirectory / "com.tidemark.Test.lock";
    EXPECT_EQ(std::filesystem::status(lock).permissions() & std::filesystem::perms::all,
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    for (int start = 0; start < 2; ++start) {
        SingleInstance later(configuration());
        EXPECT_EQ(later.claim(), InstanceRole::secondary);
        EXPECT_FALSE(later.activateRunningInstance()) << "a lock carries no requests";
        EXPECT_NE(later.problem().find("lock file"), std::string::npos) << later.problem();
    }

    first.reset();
    SingleInstance next(configuration());
    EXPECT_EQ(next.claim(), InstanceRole::primary) << "the lock ends with its holder";
}

TEST_F(SingleInstanceLockTest, RequestsThatComeBeforeTheHandlerWaitForIt)
{
    SingleInstance instance(configuration());
    ASSERT_EQ(instance.claim(), InstanceRole::primary);
    instance.receiveActivation();
    instance.receiveActivation();
    int shown = 0;
    instance.setActivationHandler([&] { ++shown; });
    EXPECT_EQ(shown, 0) << "handed over on the next turn of the event loop";
    QCoreApplication::processEvents();
    EXPECT_EQ(shown, 2);
    instance.receiveActivation();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(instance.activationRequests(), 3);
}

} // namespace
} // namespace tidemark
