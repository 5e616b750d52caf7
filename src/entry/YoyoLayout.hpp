#pragma once

#include "entry/BlobShape.hpp"
#include "entry/YoyoState.hpp"
#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"

#include <string_view>

// Where the drag entry's pieces stand and how they look at a given presentation: the live
// time label beside the blob's lower end, the data-entry card under the icon and its control
// row. Pure rules, so that placement and every size that follows `progress` can be checked
// without a display; the widgets only paint what these give.

namespace tidemark {

// The identifiers under which the blob's two ends publish their geometry.
struct YoyoConstants {
    struct TopBlob {
        static constexpr std::string_view size = "TopBlobSize";
        static constexpr std::string_view bottomPosition = "TopBlobBottomPosition";
    };
    struct BottomBlob {
        static constexpr std::string_view frame = "BottomBlobFrame";
        static constexpr std::string_view leadingPosition = "BottomBlobLeadingPosition";
    };
};

// The lengths of a notification-sized card.
struct NotificationLength {
    static constexpr double hairline = 2;
    static constexpr double border = 1;
    static constexpr double compactPadding = 12.5;
    static constexpr double padding = 16;
};

// The spring of the data-entry card: response 0.45 s, damping fraction 0.775, no blend.
// Built once.
const SpringAnimation& dragDataEntrySpring();

// The live time label beside the blob.
struct YoyoTimeLabelLook {
    static constexpr double cornerRadius = 16;
    static constexpr double shadowRadius = 2;

    double padding = 0; // around the time, inside the plate
    double materialOpacity = 0;
    double contentOpacity = 0; // of the time and its plate
    double accentOpacity = 0; // the cover in the blob's colour, outside the content's opacity
    double borderOpacity = 0;
    double shadowOpacity = 0;
    double trailingPadding = 0; // the gap to the blob's lower end

    bool operator==(const YoyoTimeLabelLook&) const = default;

    // Presented: the time on its plate with border and shadow, 4 points short of the lower
    // end. Not presented: only the cover at the blob's opacity (at most 1), so the label
    // shows as part of the blob's lower end.
    static YoyoTimeLabelLook of(bool isPresented, double blobOpacity);
    // Between the two looks, `presentation` running from 0 (not presented) to 1.
    static YoyoTimeLabelLook between(double presentation, double blobOpacity);
};

// The label's frame. Presented: its trailing middle point (after the trailing gap) on the
// lower end's leading middle point; `contentSize` is the time with its padding. Not
// presented: the lower end's frame. `presentation` runs between the two.
Rect yoyoTimeLabelFrame(Size contentSize, double presentation, const BlobViewModel& blob);
// The same from the geometry the lower end publishes.
Rect yoyoTimeLabelFrame(Size contentSize, double presentation, const Rect& bottomBlobFrame,
    Point bottomBlobLeadingPosition);

// The cancel-and-save row of the cards, by `progress` (0 hidden, 1 shown).
struct DataEntryControlsMetrics {
    static constexpr double baseHeight = 22; // at the standard text size

    double height = 0; // of the buttons' row
    double padding = 0; // on every edge
    double topPadding = 0; // in addition, on the top edge

    bool operator==(const DataEntryControlsMetrics&) const = default;

    static DataEntryControlsMetrics of(double progress, double textScale = 1);
    // The hairline over the row: white at 0.155 in the dark scheme, 0.1 in the light one.
    static double hairlineOpacity(bool darkScheme) { return darkScheme ? 0.155 : 0.1; }
    static constexpr double hairlineHeight = 0.5;
    static constexpr double hairlineOffset = 0.5;
    static constexpr double backgroundWhiteOpacity = 0.1;
};

// The drag data-entry card, by `progress`.
struct DragDataEntryCardLook {
    static constexpr double cornerRadius = 16;
    static constexpr double shadowRadius = 2;
    static constexpr double width = 230;
    // The two insets of the card's time view, times `progress`.
    static constexpr double editableInset = 11;
    static constexpr double editableVerticalInset = 4;

    double inset = 0; // all edges of the time view
    double verticalInset = 0; // top and bottom, outside the first
    double shadowOpacity = 0;
    double coverOpacity = 1; // the accent cover that fades as the content fades in

    bool operator==(const DragDataEntryCardLook&) const = default;

    static DragDataEntryCardLook of(double progress);
};

// The card's frame in the overlay window. Presented (`presentation` 1): 230 wide and
// `cardSize` high; under the menu bar its top, 16 points of padding above it, stands at the
// upper end's centre, and with `center` it stands in the middle of `window`. Not presented
// (0): the upper end's size, centred on the lower end. Between the two by `presentation`.
Rect dragDataEntryCardFrame(Size cardSize, double presentation, DataEntryPosition position,
    const BlobViewModel& blob, const Rect& window);
// The same from the geometry the blob publishes: the upper end's size, the start frame's
// centre and the lower end's frame.
Rect dragDataEntryCardFrame(Size cardSize, double presentation, DataEntryPosition position,
    Size topBlobSize, Point topBlobBottomPosition, const Rect& bottomBlobFrame, const Rect& window);

// The point of `from` and `to` at `t` (not clamped, so a spring's overshoot shows).
double interpolate(double from, double to, double t);
Rect interpolate(const Rect& from, const Rect& to, double t);

} // namespace tidemark
