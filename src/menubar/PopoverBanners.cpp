#include "menubar/PopoverBanners.hpp"

#include "platform/foundation/StringTables.hpp"

#include <algorithm>

namespace tidemark {

std::vector<PopoverNotification> sortedPopoverBanners(
    const std::set<PopoverNotification>& notifications)
{
    std::vector<PopoverNotification> sorted(notifications.begin(), notifications.end());
    std::stable_sort(sorted.begin(), sorted.end(),
        [](PopoverNotification a, PopoverNotification b) { return rawValue(a) < rawValue(b); });
    return sorted;
}

std::string popoverBannerText(PopoverNotification notification, const std::string& applicationName)
{
    switch (notification) {
    case PopoverNotification::review:
        return localized("Notifications", "app_review_prompt %@", applicationName);
    }
    return {};
}

std::set<PopoverNotification> dismissingPopoverBanner(
    std::set<PopoverNotification> notifications, PopoverNotification notification)
{
    notifications.erase(notification);
    return notifications;
}

bool popoverBannerGoesAfterAcceptance(const std::optional<std::string>& address, bool opened)
{
    return address.has_value() && opened;
}

} // namespace tidemark
