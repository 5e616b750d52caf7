#pragma once

#include "entry/TimeView.hpp"
#include "menubar/PopoverListContainerView.hpp"
#include "menubar/RemoveSelectedCommandView.hpp"
#include "platform/foundation/Date.hpp"
#include "reminders/Reminder.hpp"

#include <cstddef>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// The rules of the popover's list as one flat list of rows: a header row before each section
// that has reminders, then its reminders. The list's model follows the state by these rows'
// keys, so rows keep their identity (and with it an open editor, the selection and the
// scroll position) from one state to the next.

namespace tidemark {

// A list of reminders that is never changed once made, so views can share it with the state
// it came from instead of copying it.
using SharedReminderList = std::shared_ptr<const std::vector<AnyReminder>>;

enum class PopoverListSection {
    current,
    past,
};

struct PopoverListRow {
    enum class Kind {
        header,
        reminder,
    };
    Kind kind = Kind::reminder;
    PopoverListSection section = PopoverListSection::current;
    // The reminder's id; empty for a header.
    std::string id;

    bool operator==(const PopoverListRow&) const = default;
};

// The rows of two sections: a section with no reminder has no header either.
std::vector<PopoverListRow> popoverListRows(
    const std::vector<AnyReminder>& currentItems, const std::vector<AnyReminder>& pastItems);

// A row's identity across states: a reminder by its id (in whichever section), a header by
// its section. Keys of reminders and headers never meet.
std::string popoverListRowKey(const PopoverListRow& row);

// One step that turns a list of keys into another, in the order a list model announces it:
// `remove` takes `count` rows from `row`; `insert` puts `count` new rows at `row`; `move`
// takes the row at `row` and puts it before the row now at `to` (`to` < `row`).
struct PopoverListEdit {
    enum class Kind {
        remove,
        insert,
        move,
    };
    Kind kind = Kind::insert;
    int row = 0;
    int count = 1;
    int to = 0;

    bool operator==(const PopoverListEdit&) const = default;
};

// The steps from `before` to `after` (each a list of unique keys): removals from the bottom
// up, then, from the top down, insertions of new keys and moves of kept ones. Applied one
// after the other to `before` they give `after`; a key kept keeps its row object, never
// removed and inserted again.
std::vector<PopoverListEdit> popoverListEdits(
    const std::vector<std::string>& before, const std::vector<std::string>& after);

// Applies the steps to a list (what a model does to its rows, told to views step by step).
template <class T>
void applyPopoverListEdits(std::vector<T>& rows, const std::vector<PopoverListEdit>& edits,
    const std::vector<T>& inserted, std::size_t& next)
{
    for (const auto& edit : edits) {
        switch (edit.kind) {
        case PopoverListEdit::Kind::remove:
            rows.erase(rows.begin() + edit.row, rows.begin() + edit.row + edit.count);
            break;
        case PopoverListEdit::Kind::insert:
            rows.insert(rows.begin() + edit.row, inserted.begin() + std::ptrdiff_t(next),
                inserted.begin() + std::ptrdiff_t(next + std::size_t(edit.count)));
            next += std::size_t(edit.count);
            break;
        case PopoverListEdit::Kind::move: {
            T moved = std::move(rows[std::size_t(edit.row)]);
            rows.erase(rows.begin() + edit.row);
            rows.insert(rows.begin() + edit.to, std::move(moved));
            break;
        }
        }
    }
}

// A divider goes under a reminder row unless it is the last of its section, it is selected,
// or the row after it is selected: decided from the neighbours, one row at a time.
bool popoverRowShowsDivider(bool isLastOfSection, bool isSelected, bool nextIsSelected);

// The context menu of a row: what its remove entry says, and which reminders it removes.
// With a selection the entry removes the whole selection (also when the row clicked is not
// in it); without one, the row alone.
struct PopoverRowContextMenu {
    EditMenuContent content;
    std::set<std::string> targets;

    bool operator==(const PopoverRowContextMenu&) const = default;
};
PopoverRowContextMenu popoverRowContextMenu(
    const std::set<std::string>& selection, const std::string& rowID, std::size_t itemCount);

// What moving the keyboard focus between title fields sends, in this order: the commit of the
// reminder whose field the focus left (`left`: its value with what was typed), then the
// selection of the reminder whose field it entered. A commit empties the selection in the
// store, so after one the row entered is the whole selection; without one it joins the rows
// already selected.
std::vector<PopoverListContainerView::Action> popoverFocusChange(
    const std::optional<AnyReminder>& left, const std::optional<std::string>& enteredID,
    const std::set<std::string>& selection);

// The next instant at which a current reminder falls due after `now`: the list must move it
// to the past section then. None when no dated reminder is current.
std::optional<Date> nextPopoverListTransition(
    const std::vector<AnyReminder>& currentItems, Date now);

// Whether a current reminder fell due before `now`, and the next instant at which one that
// has not falls due (what `nextPopoverListTransition` gives when none fell due), each due date
// worked out once and nothing copied.
struct PopoverListDue {
    bool anyDue = false;
    std::optional<Date> nextTransition;
};
PopoverListDue popoverListDueAt(const std::vector<AnyReminder>& currentItems, Date now);

// The lists as they stand at `now`, from lists split earlier: current reminders due before
// `now` move to the head of the past section, most recently due first. Cheap when nothing
// fell due.
PopoverListSplit advancePopoverList(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems, Date now);
// The same, with the next instant at which one of the reminders left current falls due
// (what `nextPopoverListTransition` gives for them), each due date worked out once.
struct AdvancedPopoverList {
    PopoverListSplit split;
    std::optional<Date> nextTransition;
};
AdvancedPopoverList advancePopoverListAt(
    std::vector<AnyReminder> currentItems, std::vector<AnyReminder> pastItems, Date now);

// The reminder a row shows as a title edit leaves it: the title replaced, every other field
// as it was.
AnyReminder withTitle(AnyReminder reminder, const std::string& title);

// The list after an edit of one of its reminders (by id): what the list's binding writes.
std::vector<AnyReminder> replacingReminder(
    std::vector<AnyReminder> list, const AnyReminder& edited);

// What a row reads out to assistive technology: its title, when it has one, and its time
// lines ("Buy milk, in 5 minutes, at 9:41 AM").
std::string popoverRowAccessibleText(const std::string& title,
    const std::optional<TimeView::Phrase>& relativeLine,
    const std::optional<TimeView::Phrase>& absoluteLine);

// The texts of a section's header.
std::string popoverSectionTitle(PopoverListSection section);

} // namespace tidemark
