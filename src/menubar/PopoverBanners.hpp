#pragma once

#include "menubar/PopoverState.hpp"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidemark {

// The banners in the order they stand, top down: by raw value.
std::vector<PopoverNotification> sortedPopoverBanners(
    const std::set<PopoverNotification>& notifications);

// The text a banner shows.
std::string popoverBannerText(PopoverNotification notification, const std::string& applicationName);

// The banners left once `notification` is dismissed.
std::set<PopoverNotification> dismissingPopoverBanner(
    std::set<PopoverNotification> notifications, PopoverNotification notification);

// Whether a click on a banner removes it: only once its address was opened. Without an
// address, or when nothing could open it, the banner stays, so the user can try again.
bool popoverBannerGoesAfterAcceptance(const std::optional<std::string>& address, bool opened);

} // namespace tidemark
