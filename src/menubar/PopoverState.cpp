#include "menubar/PopoverState.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

std::string rawValue(PopoverNotification notification)
{
    switch (notification) {
    case PopoverNotification::review:
        return "review";
    }
    return "review";
}

std::optional<PopoverNotification> popoverNotificationFromRaw(const std::string& raw)
{
    if (raw == "review")
        return PopoverNotification::review;
    return std::nullopt;
}

void popoverReducer(PopoverState& state, const PopoverAction& action)
{
    std::visit(overloaded {
                   [&](const PopoverAction::IsPresented& a) -> void {
                       state.isPresented = a.value;
                       if (a.value)
                           state.wasPresentedSinceAppLaunch = true;
                   },
                   [&](const PopoverAction::PresentedNotification& a) -> void {
                       std::visit(overloaded {
                                      [&](const PresentedNotificationAction::Update& u) -> void {
                                          state.presentedNotification = u.notifications;
                                      },
                                      [&](const PresentedNotificationAction::Insert& i) -> void {
                                          state.presentedNotification.insert(i.notification);
                                      },
                                      [&](const PresentedNotificationAction::Remove& r) -> void {
                                          state.presentedNotification.erase(r.notification);
                                      },
                                  },
                           a.action);
                   },
                   [&](const PopoverAction::LaunchedAsLoginItem& a) -> void {
                       state.launchedAsLoginItem = a.value;
                   },
                   [&](const PopoverAction::WasPresentedSinceAppLaunch& a) -> void {
                       state.wasPresentedSinceAppLaunch = a.value;
                   },
               },
        action);
}

} // namespace tidemark
