#pragma once

#include "entry/BlobIcon.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "menubar/CountdownView.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <optional>

namespace tidemark {

// The colours the status item draws with, named by their role; the widget takes each from
// its palette.
enum class StatusItemColor {
    primary, // the text colour
    tertiaryLabel, // the text colour, faint
    black,
    white,
    accent,
};

// How the status item looks and lays out: the icon with the countdown beside it, the
// progress bar behind them and the outline around them.
struct StatusItemLook {
    static constexpr double height = 22; // the item's content, within the strip
    static constexpr double horizontalPadding = 9; // either side of icon and countdown
    static constexpr double iconSide = 16; // the icon's frame
    static constexpr double hitSide = 22; // where a press on the icon starts a pull
    // Around the countdown's text: 3 on the trailing side, then 2 on both sides.
    static constexpr double countdownLeading = 2;
    static constexpr double countdownTrailing = 5;

    // The item's size for a countdown text of `textWidth` (0 while the countdown is hidden).
    static Size size(double textWidth, bool countdownIsPresented);
    // The icon's frame in the item, for an item of `size`: 16 × 16, vertically centred,
    // after the leading padding.
    static Rect iconFrame(Size size);
    // The square where a press starts a pull: 22 × 22 centred on the icon.
    static Rect hitFrame(Size size);

    // The icon's background: the faint text colour while the progress bar is on, else the
    // text colour.
    static StatusItemColor iconBackground(const CountdownView::State& countdown);
    // The icon's tint: its own tint when it has one; otherwise the text colour while it has
    // no background or the progress bar is on; otherwise the colour that stands out from the
    // background in the text colour: black in the dark scheme, white in the light one.
    static StatusItemColor iconTint(
        const BlobIcon::State& icon, const CountdownView::State& countdown, bool darkScheme);
    static double iconBackgroundOpacity(const BlobIcon::State& icon)
    {
        return icon.backgroundIsPresented ? 1.0 : 0.0;
    }
    // The icon rests in its small preset while a countdown text stands beside it.
    static bool blobIsLarge(const CountdownView::State& countdown, Date now);
    // The bar behind the countdown shows while the countdown does and the bar is enabled.
    static bool showsProgressBar(const CountdownView::State& countdown);
    // The corner radius of the item's container shape for an item `height` high: the icon's
    // radius, at most half the height (infinity makes a capsule).
    static double containerCornerRadius(const BlobIcon::State& icon, double height);

    // What a click writes into the icon's status: nothing with Control held (the platform's
    // Command), else idle on a selected icon and selected on any other.
    static std::optional<ZevovozoStatus> tapStatus(ZevovozoStatus current, bool controlHeld);
};

} // namespace tidemark
