#include "reminders/RemindersListPickerRows.hpp"

#include "reminders/SourceOrder.hpp"

namespace tidemark {

std::vector<RemindersListPickerRow> remindersListPickerRows(const std::vector<AnySource>& sources)
{
    using Kind = RemindersListPickerRow::Kind;
    const bool headed = sources.size() >= 2;
    std::vector<RemindersListPickerRow> rows;
    for (const AnySource& source : sources) {
        if (headed)
            rows.push_back({ Kind::header, source.title, std::nullopt });
        for (AnyList& list : sortedLists(source.lists))
            rows.push_back({ Kind::list, list.title, std::move(list) });
    }
    return rows;
}

std::optional<std::size_t> remindersListPickerIndex(
    const std::vector<RemindersListPickerRow>& rows, const std::optional<AnyList>& list)
{
    if (!list)
        return std::nullopt;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].list == list)
            return i;
    }
    return std::nullopt;
}

} // namespace tidemark
