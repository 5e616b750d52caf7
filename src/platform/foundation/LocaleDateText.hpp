#pragma once

#include "platform/foundation/Date.hpp"

#include <string>

namespace tidemark {

// The date and time of `date` in the local zone, written in the short form of the user's
// locale ("5/14/24 9:41 AM" in American English), to the minute.
std::string shortLocaleDateTimeText(Date date);

} // namespace tidemark
