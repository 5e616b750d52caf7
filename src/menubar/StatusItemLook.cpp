#include "menubar/StatusItemLook.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

Size StatusItemLook::size(double textWidth, bool countdownIsPresented)
{
    double width = 2 * horizontalPadding + iconSide;
    if (countdownIsPresented)
        width += countdownLeading + std::max(0.0, textWidth) + countdownTrailing;
    return { width, height };
}

Rect StatusItemLook::iconFrame(Size size)
{
    return { horizontalPadding, (size.height - iconSide) / 2, iconSide, iconSide };
}

Rect StatusItemLook::hitFrame(Size size)
{
    const Rect icon = iconFrame(size);
    const double grow = (hitSide - iconSide) / 2;
    return icon.insetBy(-grow, -grow);
}

StatusItemColor StatusItemLook::iconBackground(const CountdownView::State& countdown)
{
    return countdown.progressBar.isEnabled ? StatusItemColor::tertiaryLabel
                                           : StatusItemColor::primary;
}

StatusItemColor StatusItemLook::iconTint(
    const BlobIcon::State& icon, const CountdownView::State& countdown, bool darkScheme)
{
    if (icon.tintColor)
        return StatusItemColor::accent;
    if (!icon.backgroundIsPresented || countdown.progressBar.isEnabled)
        return StatusItemColor::primary;
    return darkScheme ? StatusItemColor::black : StatusItemColor::white;
}

bool StatusItemLook::blobIsLarge(const CountdownView::State& countdown, Date now)
{
    return !(countdown.isPresented && countdown.title(now));
}

bool StatusItemLook::showsProgressBar(const CountdownView::State& countdown)
{
    return countdown.isPresented && countdown.progressBar.isEnabled;
}

double StatusItemLook::containerCornerRadius(const BlobIcon::State& icon, double height)
{
    const double half = std::max(0.0, height / 2);
    if (std::isnan(icon.cornerRadius))
        return 0;
    return std::clamp(icon.cornerRadius, 0.0, half);
}

std::optional<ZevovozoStatus> StatusItemLook::tapStatus(ZevovozoStatus current, bool controlHeld)
{
    if (controlHeld)
        return std::nullopt;
    return current == ZevovozoStatus::selected ? ZevovozoStatus::idle : ZevovozoStatus::selected;
}

} // namespace tidemark
