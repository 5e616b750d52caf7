#include "reminders/SourceOrder.hpp"

#include <algorithm>
#include <tuple>

namespace tidemark {

bool precedesInDisplayOrder(const AnyList& a, const AnyList& b)
{
    return std::tie(a.title, a.id) < std::tie(b.title, b.id);
}

bool precedesInDisplayOrder(const AnySource& a, const AnySource& b)
{
    // Sources with the same title and identifier differ only in their lists; the set's
    // own order keeps those apart deterministically.
    if (std::tie(a.title, a.id) != std::tie(b.title, b.id))
        return std::tie(a.title, a.id) < std::tie(b.title, b.id);
    return a < b;
}

std::vector<AnyList> sortedLists(const std::set<AnyList>& lists)
{
    std::vector<AnyList> result(lists.begin(), lists.end());
    std::sort(result.begin(), result.end(),
        [](const AnyList& a, const AnyList& b) { return precedesInDisplayOrder(a, b); });
    return result;
}

std::vector<AnySource> sortedSources(const std::set<AnySource>& sources)
{
    std::vector<AnySource> result(sources.begin(), sources.end());
    std::sort(result.begin(), result.end(),
        [](const AnySource& a, const AnySource& b) { return precedesInDisplayOrder(a, b); });
    return result;
}

std::optional<AnyList> firstList(const std::optional<std::set<AnySource>>& sources)
{
    if (!sources)
        return std::nullopt;
    for (const auto& source : sortedSources(*sources)) {
        if (!source.lists.empty())
            return sortedLists(source.lists).front();
    }
    return std::nullopt;
}

} // namespace tidemark
