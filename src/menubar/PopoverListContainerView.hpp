#pragma once

#include "core/Action.hpp"
#include "core/Submittable.hpp"
#include "core/TimerSlice.hpp"
#include "entry/DragGesture.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "reminders/Reminder.hpp"
#include "reminders/RemindersSlice.hpp"

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace tidemark {

class DateComponentsFormatter;

struct PopoverListContainerViewActionCases {
    // The whole current list after an edit in one of its rows.
    struct CurrentItems {
        std::vector<AnyReminder> items;
        bool operator==(const CurrentItems&) const = default;
    };
    // The whole past list after an edit in one of its rows.
    struct PastItems {
        std::vector<AnyReminder> items;
        bool operator==(const PastItems&) const = default;
    };
    struct Delete {
        std::set<std::string> ids;
        bool operator==(const Delete&) const = default;
    };
    struct Selection {
        std::set<std::string> ids;
        bool operator==(const Selection&) const = default;
    };
    struct Update {
        std::set<AnyReminder> reminders;
        bool operator==(const Update&) const = default;
    };
    struct DragGestureSourceFrame {
        Rect frame;
        bool operator==(const DragGestureSourceFrame&) const = default;
    };
    struct DragGestureStatus {
        DragGesturePhase phase;
        bool operator==(const DragGestureStatus&) const = default;
    };
    struct DragGestureValue {
        AnyDragGestureValue value;
        bool operator==(const DragGestureValue&) const = default;
    };
    // The undo manager of the window the list is shown in (none without one).
    struct UndoManager {
        std::shared_ptr<tidemark::UndoManager> manager;
        bool operator==(const UndoManager&) const = default;
    };
    using Variant = std::variant<CurrentItems, PastItems, Delete, Selection, Update,
        DragGestureSourceFrame, DragGestureStatus, DragGestureValue, UndoManager>;
};

// The popover's reminder list: current reminders (soonest due first, undated ones at the
// top) and past ones (most recently due first).
struct PopoverListContainerView {
    struct State {
        std::vector<AnyReminder> currentItems;
        std::vector<AnyReminder> pastItems;
        std::set<std::string> selection;
        ReminderRemovalMode removalMode = ReminderRemovalMode::archive;
        TimerState timer; // compared by id
        std::shared_ptr<DateComponentsFormatter> formatter; // compared by identity
        bool hideItemsWithNoDueDate = false; // the root flag acts through the split alone

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<PopoverListContainerViewActionCases> {
        using ActionOf::ActionOf;
    };
};

// Every reminder the list may show, one per identifier: the edited copy over a pending
// update over a pending creation over the stored version. Pending deletions stay listed
// until a read no longer holds them. (Two pending updates of one reminder cannot be told
// apart by age; the greater by value wins, so the choice is at least stable.)
std::vector<AnyReminder> popoverListPool(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing);
// The same, pointing into the sets given (valid while they are).
std::vector<const AnyReminder*> popoverListPoolOf(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing);

struct PopoverListSplit {
    std::vector<AnyReminder> currentItems;
    std::vector<AnyReminder> pastItems;
    bool operator==(const PopoverListSplit&) const = default;
};

// Current: due after `now`, or undated unless `hideItemsWithNoDueDate`; listed undated
// first, then soonest due first. Past: due before `now`, most recently due first. Due
// exactly at `now`: in neither. The completion date plays no part.
PopoverListSplit splitPopoverList(
    const std::vector<AnyReminder>& pool, bool hideItemsWithNoDueDate, Date now);
PopoverListSplit splitPopoverListOf(
    const std::vector<const AnyReminder*>& pool, bool hideItemsWithNoDueDate, Date now);
// Whether the split would leave both lists empty, found out without making them.
bool popoverListIsEmpty(
    const std::vector<const AnyReminder*>& pool, bool hideItemsWithNoDueDate, Date now);
// The same for the pool of these sets, found out without making the pool: the newest versions
// are looked at first, and the first that is listed settles it.
bool popoverListIsEmpty(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing, bool hideItemsWithNoDueDate, Date now);

// A row's removal: the ids as they are in delete mode; in archive mode the listed
// reminders with those ids, completed at the clock's now (an empty set too: the view still
// names the undo step).
PopoverListContainerView::Action popoverListRemoval(const PopoverListContainerView::State& state,
    const std::set<std::string>& ids, const Clock& clock);

// A drag begun on a row's time: its source frame when one is given, then phase, then value.
std::vector<PopoverListContainerView::Action> popoverListDragActions(
    const std::optional<Rect>& frame, DragGesturePhase phase, const AnyDragGestureValue& value);

} // namespace tidemark
