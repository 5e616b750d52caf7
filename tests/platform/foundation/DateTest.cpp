#include "platform/foundation/Date.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace tidemark {
namespace {

TEST(DateTest, SecondsFromOutsideBecomeADateOnlyWithinTheRangeADateHolds)
{
    constexpr double infinity = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        double seconds;
        bool accepted;
    } cases[] {
        { "the epoch", 0, true },
        { "a day of 2023", 1'700'000'000.5, true },
        { "the earliest", earliestTimeIntervalSince1970, true },
        { "the latest", latestTimeIntervalSince1970, true },
        { "a second before the earliest", earliestTimeIntervalSince1970 - 1, false },
        { "a second after the latest", latestTimeIntervalSince1970 + 1, false },
        { "the year 2262, past 64-bit nanoseconds", 9'224'000'000.0, false },
        { "1e300", 1e300, false },
        { "-1e300", -1e300, false },
        { "infinity", infinity, false },
        { "minus infinity", -infinity, false },
        { "not a number", std::numeric_limits<double>::quiet_NaN(), false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto date = checkedDateFromTimeIntervalSince1970(c.seconds);
        ASSERT_EQ(date.has_value(), c.accepted);
        if (date) {
            EXPECT_NEAR(timeIntervalSince1970(*date), c.seconds, 1e-3);
        }
    }
}

} // namespace
} // namespace tidemark
