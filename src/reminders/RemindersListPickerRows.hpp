#pragma once

#include "reminders/Reminder.hpp"

#include <optional>
#include <string>
#include <vector>

namespace tidemark {

// One entry of the reminder-list picker: an account's title over its lists, or a list.
struct RemindersListPickerRow {
    enum class Kind {
        header,
        list,
    };
    Kind kind = Kind::list;
    std::string title;
    // The list a list row chooses; none for a header.
    std::optional<AnyList> list;

    bool operator==(const RemindersListPickerRow&) const = default;
};

// The picker's entries: the accounts in the order given, each with its lists in display
// order (by title, then identifier). Each account's title heads its lists only when there are
// two accounts or more.
std::vector<RemindersListPickerRow> remindersListPickerRows(const std::vector<AnySource>& sources);

// The index of the row that chooses `list`, or none (no list, or one that no row holds).
std::optional<std::size_t> remindersListPickerIndex(
    const std::vector<RemindersListPickerRow>& rows, const std::optional<AnyList>& list);

} // namespace tidemark
