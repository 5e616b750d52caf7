#pragma once

#include "platform/foundation/Geometry.hpp"

#include <optional>

// The what's-new window's layout and the rules of its pager's controls.

namespace tidemark {

namespace WhatsNewLayout {

// The content's height as the window is made; its width follows at 5 : 4.
inline constexpr double height = 700;
inline constexpr double aspectRatio = 1.25;
// The chevron buttons and where they stand.
inline constexpr double controlWidth = 22;
inline constexpr double controlHeight = 50;
inline constexpr double controlLabelPadding = 7;
inline constexpr double controlCornerRadius = 8;
inline constexpr double controlBackgroundOpacity = 0.1;
inline constexpr double horizontalPadding = 30;
// Vertical padding of the controls: the chevron's height.
inline constexpr double verticalPadding = controlHeight;
// Further padding under the controls, and under the title page.
inline constexpr double bottomPadding = 20;
// The page indicator's vertical padding.
inline constexpr double indicatorPadding = 2;
// The text block of a picture page.
inline constexpr double textVerticalPadding = 30;
inline constexpr double textHorizontalPadding = 162;
inline constexpr double textMaxWidth = 1150;
inline constexpr double textMaxHeight = 170;
inline constexpr double textSpacing = 8;
inline constexpr double descriptionPointSize = 15;
// The title page's icon and the room around it.
inline constexpr double iconLength = 350;
inline constexpr double iconPadding = 110;
inline constexpr double titleTopPadding = 50;
inline constexpr double titleSpacing = 10;

} // namespace WhatsNewLayout

// What the pager's controls show for a selected page.
struct WhatsNewControlsState {
    bool showsBack = false;
    bool showsForward = false;
    // The indicator's two numbers: the page (the title page is 0) and the last page's number.
    int indicatorPage = 0;
    int indicatorLastPage = 0;
    // The indicator hides on the title page.
    double indicatorOpacity = 0;

    bool operator==(const WhatsNewControlsState&) const = default;
};

// The back chevron from the second page on, the forward chevron up to the last but one; the
// indicator counts the pages after the title page.
WhatsNewControlsState whatsNewControls(int selectedIndex, int pageCount);

// The page the back and forward chevrons turn to; the same page at either end.
int whatsNewPageBack(int selectedIndex);
int whatsNewPageForward(int selectedIndex, int pageCount);

// The window's smallest content size: `height` high at 5 : 4, shrunk (still at 5 : 4) to fit
// the screen's free area when that is smaller.
Size whatsNewMinimumSize(double height, std::optional<Size> available);

} // namespace tidemark
