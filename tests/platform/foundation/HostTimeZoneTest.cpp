#include "platform/foundation/HostTimeZone.hpp"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

using namespace tidemark;

// The host's zone is read without Qt; it must name the zone Qt names for every form $TZ
// takes, and for no $TZ at all (then /etc/localtime and its neighbours decide).
TEST(HostTimeZoneTest, NamesTheZoneQtNames)
{
    std::optional<std::string> saved;
    if (const char* value = std::getenv("TZ"))
        saved = value;
    const std::optional<const char*> cases[] = {
        std::nullopt,
        "",
        ":/etc/localtime",
        "Europe/Berlin",
        ":America/New_York",
        "CET-1CEST,M3.5.0,M10.5.0/3",
    };
    for (const auto& tz : cases) {
        if (tz)
            ::setenv("TZ", *tz, 1);
        else
            ::unsetenv("TZ");
        EXPECT_EQ(hostTimeZoneId(), QTimeZone::systemTimeZoneId().toStdString())
            << "TZ=" << (tz ? *tz : "(unset)");
    }
    if (saved)
        ::setenv("TZ", saved->c_str(), 1);
    else
        ::unsetenv("TZ");
}
