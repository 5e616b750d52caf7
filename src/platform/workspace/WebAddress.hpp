#pragma once

#include <optional>
#include <string>

namespace tidemark {

// `text` as a fully encoded web address, when it is an absolute http: or https: address
// with a host; none otherwise (relative, another scheme, not an address at all).
std::optional<std::string> webAddress(const std::string& text);

} // namespace tidemark
