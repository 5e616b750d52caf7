#include "platform/haptics/HapticFeedbackPerformer.hpp"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

TEST(HapticFeedbackPerformer, RecordsEveryRequestInOrderUntilCleared)
{
    HapticFeedbackPerformer performer;
    performer.performFeedbackPattern(
        HapticFeedbackPattern::alignment, HapticFeedbackPerformanceTime::defaultTime);
    performer.performFeedbackPattern(
        HapticFeedbackPattern::generic, HapticFeedbackPerformanceTime::now);
    performer.performFeedbackPattern(
        HapticFeedbackPattern::alignment, HapticFeedbackPerformanceTime::defaultTime);

    const std::vector<HapticFeedbackRequest> expected {
        { HapticFeedbackPattern::alignment, HapticFeedbackPerformanceTime::defaultTime, {} },
        { HapticFeedbackPattern::generic, HapticFeedbackPerformanceTime::now, {} },
        { HapticFeedbackPattern::alignment, HapticFeedbackPerformanceTime::defaultTime, {} },
    };
    const auto requests = performer.requests();
    EXPECT_EQ(requests, expected);
    EXPECT_LE(requests.front().requestedAt, requests.back().requestedAt);

    performer.clearRequests();
    EXPECT_TRUE(performer.requests().empty());
}

TEST(HapticFeedbackManager, DefaultPerformerIsOneForTheProcess)
{
    HapticFeedbackPerformer& performer = HapticFeedbackManager::defaultPerformer();
    performer.clearRequests();
    HapticFeedbackManager::defaultPerformer().performFeedbackPattern(
        HapticFeedbackPattern::levelChange, HapticFeedbackPerformanceTime::drawCompleted);
    ASSERT_EQ(performer.requests().size(), 1u);
    EXPECT_EQ(performer.requests()[0].pattern, HapticFeedbackPattern::levelChange);
    performer.clearRequests();
}

} // namespace
} // namespace tidemark
