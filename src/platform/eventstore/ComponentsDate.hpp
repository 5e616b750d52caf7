#pragma once

#include "platform/foundation/Date.hpp"

#include <optional>
#include <string>

namespace tidemark::eventstore {

// The IANA identifier a TZID names: itself when known, the IANA zone of a Windows name,
// or the last segments of a prefixed name ("/mozilla.org/…/Europe/Berlin"). None when no
// zone is known by that name. Results are kept, so asking again is cheap; safe from any
// thread.
std::optional<std::string> resolveTimeZone(const std::string& tzid);

// The moment date components name, read in their own zone (the local zone when they have
// none; a missing hour, minute or second counts as 0). A wall time that a clock change
// skips is read with the offset before the change, a repeated one as its first occurrence.
// None without year, month and day, with a zone that is not known, or for a moment a
// `Date` cannot hold (before 1678 or after 2261).
std::optional<Date> dateFromComponents(const DateComponents& components);

} // namespace tidemark::eventstore
