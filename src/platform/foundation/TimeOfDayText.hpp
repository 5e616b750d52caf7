#pragma once

#include "platform/foundation/Date.hpp"

#include <string>

namespace tidemark {

// The time of day of `date` in the short time style of a locale ("9:41 AM" in "en_US",
// "09:41" in "de_DE"), in the given zone ("" for the system's zone as it is now). Formatters
// are built once per thread, locale and zone; an unknown zone is read as UTC.
std::string shortTimeText(
    Date date, const std::string& locale = "en_US", const std::string& timeZone = std::string());

} // namespace tidemark
