#pragma once

#include "platform/logging/Logger.hpp"

namespace tidemark::usernotifications {

// The log of the notification centre and its clock: what keeps notifications from showing.
const Logger& logger();

} // namespace tidemark::usernotifications
