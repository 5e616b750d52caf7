#include "menubar/PopoverListRows.hpp"

#include "platform/foundation/StringTables.hpp"

#include <algorithm>
#include <unordered_set>

namespace tidemark {

std::vector<PopoverListRow> popoverListRows(
    const std::vector<AnyReminder>& currentItems, const std::vector<AnyReminder>& pastItems)
{
    std::vector<PopoverListRow> rows;
    rows.reserve(currentItems.size() + pastItems.size() + 2);
    auto section = [&rows](PopoverListSection which, const std::vector<AnyReminder>& items) {
        if (items.empty())
            return;
        rows.push_back({ PopoverListRow::Kind::header, which, {} });
        for (const auto& reminder : items)
            rows.push_back({ PopoverListRow::Kind::reminder, which, reminder.id });
    };
    section(PopoverListSection::current, currentItems);
    section(PopoverListSection::past, pastItems);
    return rows;
}

std::string popoverListRowKey(const PopoverListRow& row)
{
    // A reminder's key starts with 'r' and a header's with 'h', so none can equal the other.
    if (row.kind == PopoverListRow::Kind::reminder)
        return "r" + row.id;
    return row.section == PopoverListSection::current ? "hcurrent" : "hpast";
}

std::vector<PopoverListEdit> popoverListEdits(
    const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    using Edit = PopoverListEdit;
    std::vector<Edit> edits;
    if (before == after)
        return edits;

    // Removals, bottom up, in runs.
    const std::unordered_set<std::string_view> kept(after.begin(), after.end());
    std::vector<std::string_view> rows(before.begin(), before.end());
    for (int end = int(rows.size()); end > 0;) {
        if (kept.contains(rows[std::size_t(end - 1)])) {
            --end;
            continue;
        }
        int start = end - 1;
        while (start > 0 && !kept.contains(rows[std::size_t(start - 1)]))
            --start;
        edits.push_back({ Edit::Kind::remove, start, end - start, 0 });
        rows.erase(rows.begin() + start, rows.begin() + end);
        end = start;
    }

    // Insertions and moves, top down: row i takes the key `after[i]`.
    const std::unordered_set<std::string_view> present(rows.begin(), rows.end());
    std::size_t i = 0;
    while (i < after.size()) {
        const std::string_view key = after[i];
        if (i < rows.size() && rows[i] == key) {
            ++i;
            continue;
        }
        if (!present.contains(key)) {
            std::size_t end = i + 1;
            while (end < after.size() && !present.contains(after[end]))
                ++end;
            edits.push_back({ Edit::Kind::insert, int(i), int(end - i), 0 });
            rows.insert(rows.begin() + std::ptrdiff_t(i), after.begin() + std::ptrdiff_t(i),
                after.begin() + std::ptrdiff_t(end));
            i = end;
            continue;
        }
        // A kept key further down: bring it up.
        const auto found = std::find(rows.begin() + std::ptrdiff_t(i), rows.end(), key);
        const int from = int(found - rows.begin());
        edits.push_back({ Edit::Kind::move, from, 1, int(i) });
        std::rotate(rows.begin() + std::ptrdiff_t(i), found, found + 1);
        ++i;
    }
    return edits;
}

bool popoverRowShowsDivider(bool isLastOfSection, bool isSelected, bool nextIsSelected)
{
    return !isLastOfSection && !isSelected && !nextIsSelected;
}

PopoverRowContextMenu popoverRowContextMenu(
    const std::set<std::string>& selection, const std::string& rowID, std::size_t itemCount)
{
    PopoverRowContextMenu menu;
    menu.content.selectionCount = selection.empty() ? 1 : selection.size();
    menu.content.itemCount = itemCount;
    menu.content.hasRemoveSelectedAction = true;
    menu.targets = selection.empty() ? std::set<std::string> { rowID } : selection;
    return menu;
}

std::vector<PopoverListContainerView::Action> popoverFocusChange(
    const std::optional<AnyReminder>& left, const std::optional<std::string>& enteredID,
    const std::set<std::string>& selection)
{
    using Action = PopoverListContainerView::Action;
    std::vector<Action> actions;
    if (left)
        actions.push_back(Action::Update { { *left } });
    if (enteredID) {
        std::set<std::string> selected = left ? std::set<std::string> {} : selection;
        selected.insert(*enteredID);
        actions.push_back(Action::Selection { std::move(selected) });
    }
    return actions;
}

std::optional<Date> nextPopoverListTransition(
    const std::vector<AnyReminder>& currentItems, Date now)
{
    // The current list has its undated reminders first, then the dated ones soonest first,
    // but edits may have changed due dates since it was sorted: look at every one.
    std::optional<Date> next;
    for (const auto& reminder : currentItems) {
        const auto due = dueDate(reminder);
        if (due && *due >= now && (!next || *due < *next))
            next = due;
    }
    return next;
}

PopoverListDue popoverListDueAt(const std::vector<AnyReminder>& currentItems, Date now)
{
    PopoverListDue result;
    for (const auto& reminder : currentItems) {
        const auto date = dueDate(reminder);
        if (date && *date < now)
            result.anyDue = true;
        else if (date && (!result.nextTransition || *date < *result.nextTransition))
            result.nextTransition = date;
    }
    return result;
}

AdvancedPopoverList advancePopoverListAt(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems, Date now)
{
    // Each due date is worked out once (it goes through the calendar): which fell due, and
    // the soonest of the rest.
    std::vector<std::optional<Date>> dues;
    dues.reserve(currentItems.size());
    bool anyDue = false;
    std::optional<Date> next;
    for (const auto& reminder : currentItems) {
        const auto date = dueDate(reminder);
        dues.push_back(date);
        if (date && *date < now)
            anyDue = true;
        else if (date && (!next || *date < *next))
            next = date;
    }
    if (!anyDue)
        return { { std::move(currentItems), std::move(pastItems) }, next };
    std::vector<std::pair<Date, AnyReminder>> due;
    std::vector<AnyReminder> stay;
    stay.reserve(currentItems.size());
    for (std::size_t i = 0; i < currentItems.size(); ++i) {
        if (dues[i] && *dues[i] < now)
            due.emplace_back(*dues[i], std::move(currentItems[i]));
        else
            stay.push_back(std::move(currentItems[i]));
    }
    // The most recently due first, as the past section is ordered; stable among equals.
    std::stable_sort(
        due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<AnyReminder> past;
    past.reserve(due.size() + pastItems.size());
    for (auto& entry : due)
        past.push_back(std::move(entry.second));
    past.insert(past.end(), std::make_move_iterator(pastItems.begin()),
        std::make_move_iterator(pastItems.end()));
    return { { std::move(stay), std::move(past) }, next };
}

PopoverListSplit advancePopoverList(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems, Date now)
{
    return advancePopoverListAt(std::move(currentItems), std::move(pastItems), now).split;
}

AnyReminder withTitle(AnyReminder reminder, const std::string& title)
{
    reminder.title = title;
    return reminder;
}

std::vector<AnyReminder> replacingReminder(std::vector<AnyReminder> list, const AnyReminder& edited)
{
    for (auto& reminder : list) {
        if (reminder.id == edited.id)
            reminder = edited;
    }
    return list;
}

std::string popoverRowAccessibleText(const std::string& title,
    const std::optional<TimeView::Phrase>& relativeLine,
    const std::optional<TimeView::Phrase>& absoluteLine)
{
    std::string text = title;
    auto append = [&text](const std::string& part) {
        if (part.empty())
            return;
        if (!text.empty())
            text += ", ";
        text += part;
    };
    if (relativeLine)
        append(relativeLine->text());
    if (absoluteLine)
        append(absoluteLine->text());
    return text;
}

std::string popoverSectionTitle(PopoverListSection section)
{
    return localized("Reminders",
        section == PopoverListSection::current ? "current_reminders_label"
                                               : "past_reminders_label");
}

} // namespace tidemark
