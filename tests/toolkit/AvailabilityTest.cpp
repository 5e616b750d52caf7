#include "toolkit/Availability.hpp"

#include "ToolkitTesting.hpp"

#include <gtest/gtest.h>

namespace tidemark {

void PrintTo(const OperatingSystemVersion& v, std::ostream* os)
{
    *os << versionText(v);
}

namespace {

using test::ScopedPlatformVersion;

TEST(OperatingSystemVersion, OrdersNumericallyPerComponent)
{
    struct Case {
        OperatingSystemVersion a;
        OperatingSystemVersion b;
        bool less;
        bool equal;
    };
    const Case cases[] = {
        { { 13, 9, 0 }, { 13, 10, 0 }, true, false },
        { { 9, 9, 9 }, { 10, 0, 0 }, true, false },
        { { 12, 7, 4 }, { 13, 0, 0 }, true, false },
        { { 13, 0, 0 }, { 13, 0, 0 }, false, true },
        { { 13, 0, 1 }, { 13, 0, 0 }, false, false },
        { { 14, 10, 1 }, { 14, 2, 30 }, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(versionText(c.a) + " against " + versionText(c.b));
        EXPECT_EQ(c.a < c.b, c.less);
        EXPECT_EQ(c.a == c.b, c.equal);
        EXPECT_EQ(c.a > c.b, !c.less && !c.equal);
        EXPECT_EQ(c.a <= c.b, !(c.b < c.a));
        EXPECT_EQ(c.a >= c.b, !(c.a < c.b));
    }
}

TEST(OperatingSystemVersion, ReadsAndWritesItsText)
{
    EXPECT_EQ(versionText({ 14, 10, 1 }), "14.10.1");
    struct Case {
        const char* text;
        std::optional<OperatingSystemVersion> expected;
    };
    const Case cases[] = {
        { "12", OperatingSystemVersion { 12, 0, 0 } },
        { "12.6", OperatingSystemVersion { 12, 6, 0 } },
        { "12.6.1", OperatingSystemVersion { 12, 6, 1 } },
        { "", std::nullopt },
        { "twelve", std::nullopt },
        { "12.", std::nullopt },
        { "12.6.1.4", std::nullopt },
        { "-1", std::nullopt },
        { "12 ", std::nullopt },
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseOperatingSystemVersion(c.text), c.expected) << '"' << c.text << '"';
}

TEST(OperatingSystemVersion, IsTheNewestUnlessTheEnvironmentNamesAnother)
{
    qunsetenv("TIDEMARK_PLATFORM_VERSION");
    EXPECT_EQ(currentOperatingSystemVersion(), OperatingSystemVersion::newest());
    {
        ScopedPlatformVersion older("12.6");
        EXPECT_EQ(currentOperatingSystemVersion(), (OperatingSystemVersion { 12, 6, 0 }));
    }
    {
        ScopedPlatformVersion unreadable("latest");
        EXPECT_EQ(currentOperatingSystemVersion(), OperatingSystemVersion::newest());
    }
}

TEST(AvailabilityRule, ChoosesByRunningSystemThenPreviewVersion)
{
    using T = AvailabilityTest;
    struct Case {
        const char* name;
        OperatingSystemVersion running;
        OperatingSystemVersion preview;
        T test;
        bool newer;
    };
    const Case cases[] = {
        { "12 takes the fallback whatever the preview", { 12, 7, 0 }, { 14, 0, 0 },
            T::runningSystemAndPreviewVersion, false },
        { "12, running system only", { 12, 7, 0 }, { 14, 0, 0 }, T::runningSystem, false },
        { "13.0.0 exactly passes", { 13, 0, 0 }, { 13, 0, 0 }, T::runningSystemAndPreviewVersion,
            true },
        { "preview equal to running passes", { 14, 2, 0 }, { 14, 2, 0 },
            T::runningSystemAndPreviewVersion, true },
        { "newer preview passes", { 14, 2, 0 }, { 15, 0, 0 }, T::runningSystemAndPreviewVersion,
            true },
        { "older preview forces the fallback", { 14, 0, 0 }, { 12, 0, 0 },
            T::runningSystemAndPreviewVersion, false },
        { "older preview is not read by the running-system test", { 14, 0, 0 }, { 12, 0, 0 },
            T::runningSystem, true },
        { "preview older only in the patch", { 14, 0, 1 }, { 14, 0, 0 },
            T::runningSystemAndPreviewVersion, false },
    };
    for (const Case& c : cases)
        EXPECT_EQ(allowsNewerFacility(c.running, c.preview, c.test), c.newer) << c.name;
}

TEST(AvailabilityRule, ReadsThePreviewVersionOfTheViewsSubtree)
{
    qunsetenv("TIDEMARK_PLATFORM_VERSION");
    QWidget root;
    auto* forced = new QWidget(&root);
    auto* inside = new QWidget(forced);
    auto* outside = new QWidget(&root);
    setEnvironmentValue(forced, availablePreviewVersionKey, OperatingSystemVersion { 12, 0, 0 });

    using T = AvailabilityTest;
    EXPECT_FALSE(allowsNewerFacility(inside, T::runningSystemAndPreviewVersion));
    EXPECT_TRUE(allowsNewerFacility(inside, T::runningSystem));
    EXPECT_TRUE(allowsNewerFacility(outside, T::runningSystemAndPreviewVersion));
    // The default is the running version as first asked for: it passes.
    EXPECT_EQ(
        environmentValue(outside, availablePreviewVersionKey), defaultAvailablePreviewVersion());

    ScopedPlatformVersion older("12.0");
    EXPECT_FALSE(allowsNewerFacility(outside, T::runningSystemAndPreviewVersion));
    EXPECT_FALSE(allowsNewerFacility(outside, T::runningSystem));
}

} // namespace
} // namespace tidemark
