#pragma once

#include "reminders/Reminder.hpp"

#include <optional>
#include <set>
#include <vector>

namespace tidemark {

// The order in which sources and lists are shown and chosen from: by title, then by
// identifier, so that two reads of the same accounts always give the same order and the
// same first list, whatever order the data source reported them in.
bool precedesInDisplayOrder(const AnyList& a, const AnyList& b);
bool precedesInDisplayOrder(const AnySource& a, const AnySource& b);

std::vector<AnyList> sortedLists(const std::set<AnyList>& lists);
std::vector<AnySource> sortedSources(const std::set<AnySource>& sources);

// The list to select when none is: the first list, in display order, of the first source
// in display order that has any. None when no source has a list or nothing was read.
std::optional<AnyList> firstList(const std::optional<std::set<AnySource>>& sources);

} // namespace tidemark
