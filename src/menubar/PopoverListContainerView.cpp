#include "menubar/PopoverListContainerView.hpp"

#include "menubar/ArchivedReminders.hpp"

#include <algorithm>
#include <map>
#include <string_view>

namespace tidemark {

std::vector<const AnyReminder*> popoverListPoolOf(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing)
{
    // Later layers replace earlier ones with the same id, so a reminder is never listed
    // twice, whichever versions of it the store and its pending requests hold; the pool is
    // in id order. The ids are viewed where the reminders keep them: nothing is copied.
    std::map<std::string_view, const AnyReminder*> newer;
    auto layer = [&newer](const std::set<AnyReminder>& reminders) {
        for (const auto& reminder : reminders)
            newer.insert_or_assign(std::string_view(reminder.id), &reminder);
    };
    if (submitted.create)
        layer(*submitted.create);
    if (submitted.update)
        layer(*submitted.update);
    if (editing)
        layer(*editing);

    // The pending and edited layers are few; the stored reminders, many, are walked once in
    // step with them. A set of reminders is ordered by id first, so each id's versions stand
    // together and the greatest of them last.
    std::vector<const AnyReminder*> pool;
    pool.reserve(stored.size() + newer.size());
    auto next = newer.begin();
    for (auto it = stored.begin(); it != stored.end();) {
        const std::string_view id = it->id;
        const AnyReminder* greatest = &*it;
        while (++it != stored.end() && it->id == id)
            greatest = &*it;
        for (; next != newer.end() && next->first < id; ++next)
            pool.push_back(next->second);
        if (next != newer.end() && next->first == id)
            pool.push_back((next++)->second);
        else
            pool.push_back(greatest);
    }
    for (; next != newer.end(); ++next)
        pool.push_back(next->second);
    return pool;
}

std::vector<AnyReminder> popoverListPool(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing)
{
    std::vector<AnyReminder> pool;
    for (const AnyReminder* reminder : popoverListPoolOf(stored, submitted, editing))
        pool.push_back(*reminder);
    return pool;
}

PopoverListSplit splitPopoverListOf(
    const std::vector<const AnyReminder*>& pool, bool hideItemsWithNoDueDate, Date now)
{
    struct Dated {
        Date due;
        const AnyReminder* reminder;
    };
    std::vector<const AnyReminder*> undated;
    std::vector<Dated> current;
    std::vector<Dated> past;
    for (const AnyReminder* reminder : pool) {
        const auto due = dueDate(*reminder);
        if (!due) {
            if (!hideItemsWithNoDueDate)
                undated.push_back(reminder);
        } else if (*due > now) {
            current.push_back({ *due, reminder });
        } else if (*due < now) {
            past.push_back({ *due, reminder });
        }
    }
    // Latest due first, stable; the current list is then reversed, which puts the undated
    // reminders (sorted after every dated one) at its head.
    auto latestFirst = [](const Dated& a, const Dated& b) { return a.due > b.due; };
    std::stable_sort(current.begin(), current.end(), latestFirst);
    std::stable_sort(past.begin(), past.end(), latestFirst);

    PopoverListSplit split;
    split.currentItems.reserve(undated.size() + current.size());
    for (auto it = undated.rbegin(); it != undated.rend(); ++it)
        split.currentItems.push_back(**it);
    for (auto it = current.rbegin(); it != current.rend(); ++it)
        split.currentItems.push_back(*it->reminder);
    split.pastItems.reserve(past.size());
    for (const auto& dated : past)
        split.pastItems.push_back(*dated.reminder);
    return split;
}

PopoverListSplit splitPopoverList(
    const std::vector<AnyReminder>& pool, bool hideItemsWithNoDueDate, Date now)
{
    std::vector<const AnyReminder*> pointers;
    pointers.reserve(pool.size());
    for (const auto& reminder : pool)
        pointers.push_back(&reminder);
    return splitPopoverListOf(pointers, hideItemsWithNoDueDate, now);
}

bool popoverListIsEmpty(
    const std::vector<const AnyReminder*>& pool, bool hideItemsWithNoDueDate, Date now)
{
    return std::none_of(pool.begin(), pool.end(), [&](const AnyReminder* reminder) {
        const auto due = dueDate(*reminder);
        return due ? *due != now : !hideItemsWithNoDueDate;
    });
}

bool popoverListIsEmpty(const std::set<AnyReminder>& stored,
    const SubmittedValues<std::set<AnyReminder>>& submitted,
    const std::optional<std::set<AnyReminder>>& editing, bool hideItemsWithNoDueDate, Date now)
{
    // The pool's layers from the newest down; in a layer the greatest version of an id wins,
    // as in the pool. An id seen once is settled by the version seen then.
    const std::set<AnyReminder>* layers[] = {
        editing ? &*editing : nullptr,
        submitted.update ? &*submitted.update : nullptr,
        submitted.create ? &*submitted.create : nullptr,
        &stored,
    };
    std::set<std::string_view> seen;
    for (const auto* layer : layers) {
        if (!layer)
            continue;
        for (auto it = layer->rbegin(); it != layer->rend(); ++it) {
            if (!seen.insert(it->id).second)
                continue;
            const auto due = dueDate(*it);
            if (due ? *due != now : !hideItemsWithNoDueDate)
                return false;
        }
    }
    return true;
}

PopoverListContainerView::Action popoverListRemoval(const PopoverListContainerView::State& state,
    const std::set<std::string>& ids, const Clock& clock)
{
    using Action = PopoverListContainerView::Action;
    if (state.removalMode == ReminderRemovalMode::delete_)
        return Action::Delete { ids };
    std::vector<AnyReminder> removed;
    for (const auto* list : { &state.currentItems, &state.pastItems }) {
        for (const auto& reminder : *list) {
            if (ids.contains(reminder.id))
                removed.push_back(reminder);
        }
    }
    return Action::Update { archivedCopies(removed, clock) };
}

std::vector<PopoverListContainerView::Action> popoverListDragActions(
    const std::optional<Rect>& frame, DragGesturePhase phase, const AnyDragGestureValue& value)
{
    using Action = PopoverListContainerView::Action;
    std::vector<Action> actions;
    if (frame)
        actions.push_back(Action::DragGestureSourceFrame { *frame });
    actions.push_back(Action::DragGestureStatus { phase });
    actions.push_back(Action::DragGestureValue { value });
    return actions;
}

} // namespace tidemark
