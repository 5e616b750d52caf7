#pragma once

#include <string>

namespace tidemark {

// The identifier of the zone the host is set to, read anew on each call: $TZ (without a
// leading ':'), else the name of the zoneinfo file /etc/localtime links to, else the
// contents of /etc/TZ or /etc/timezone. Empty when none names a zone. Nothing checks that
// the name is a zone the calendar knows.
std::string hostTimeZoneId();

} // namespace tidemark
