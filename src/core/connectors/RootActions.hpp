#pragma once

#include "core/state/AppState.hpp"

#include <set>
#include <string>
#include <utility>

// Short builders for the root actions the connectors send, so that each mapping reads as
// the chain of cases it builds.

namespace tidemark::Connectors::root {

inline AppAction view(ViewAction action)
{
    return AppAction::View { std::move(action) };
}

inline AppAction yoyoDrag(YoyoDragAction action)
{
    return view(ViewAction::Yoyo { YoyoAction::Drag { std::move(action) } });
}

inline AppAction yoyoScroll(YoyoScrollAction action)
{
    return view(ViewAction::Yoyo { YoyoAction::Scroll { std::move(action) } });
}

inline AppAction statusItem(StatusItemAction action)
{
    return view(ViewAction::StatusItem { std::move(action) });
}

inline AppAction zevovozoStatus(ZevovozoStatus status)
{
    return statusItem(StatusItemAction::Zevovozo { ZevovozoAction::Status { status } });
}

inline AppAction popover(PopoverAction action)
{
    return view(ViewAction::Popover { std::move(action) });
}

inline AppAction onboarding(OnboardingAction action)
{
    return view(ViewAction::Onboarding { std::move(action) });
}

inline AppAction dragGesture(DragGestureAction action)
{
    return AppAction::DragGesture { std::move(action) };
}

inline AppAction reminders(RemindersAction action)
{
    return AppAction::Reminders { std::move(action) };
}

inline AppAction countdown(CountdownAction action)
{
    return AppAction::Countdown { std::move(action) };
}

inline AppAction createItems(std::set<AnyReminder> reminders)
{
    return actions::itemsAction(RemindersItemsAction::create(
        RemindersItemsAction::CreateAction::submit(std::move(reminders))));
}

inline AppAction updateItems(std::set<AnyReminder> reminders)
{
    return actions::itemsAction(RemindersItemsAction::update(
        RemindersItemsAction::UpdateAction::submit(std::move(reminders))));
}

inline AppAction deleteItems(std::set<std::string> ids)
{
    return actions::itemsAction(
        RemindersItemsAction::delete_(RemindersItemsAction::DeleteAction::submit(std::move(ids))));
}

inline AppAction editing(std::optional<std::set<AnyReminder>> edited)
{
    return reminders(RemindersAction::Editing { std::move(edited) });
}

inline AppAction selection(std::set<std::string> ids)
{
    return reminders(RemindersAction::Selection { std::move(ids) });
}

} // namespace tidemark::Connectors::root
