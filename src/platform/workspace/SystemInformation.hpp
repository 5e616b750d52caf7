#pragma once

#include <string>

namespace tidemark {

// The system's human-readable version for support messages, such as
// "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-18-amd64)".
std::string operatingSystemVersionString();

} // namespace tidemark
