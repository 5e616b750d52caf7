#include "onboarding/WhatsNewLayout.hpp"

#include <algorithm>

namespace tidemark {

WhatsNewControlsState whatsNewControls(int selectedIndex, int pageCount)
{
    return {
        .showsBack = selectedIndex >= 1,
        .showsForward = selectedIndex<pageCount - 1, .indicatorPage = selectedIndex,
                            .indicatorLastPage = pageCount - 1, .indicatorOpacity = selectedIndex> 0
            ? 1.0
            : 0.0,
    };
}

int whatsNewPageBack(int selectedIndex)
{
    return selectedIndex >= 1 ? selectedIndex - 1 : selectedIndex;
}

int whatsNewPageForward(int selectedIndex, int pageCount)
{
    return selectedIndex + 1 <= pageCount - 1 ? selectedIndex + 1 : selectedIndex;
}

Size whatsNewMinimumSize(double height, std::optional<Size> available)
{
    const Size wanted { height * WhatsNewLayout::aspectRatio, height };
    if (!available || available->width <= 0 || available->height <= 0)
        return wanted;
    const double scale
        = std::min({ 1.0, available->width / wanted.width, available->height / wanted.height });
    return { wanted.width * scale, wanted.height * scale };
}

} // namespace tidemark
