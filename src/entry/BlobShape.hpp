#pragma once

#include "platform/foundation/Geometry.hpp"

#include <optional>
#include <vector>

// The geometry of the blob that stretches from the menu-bar icon to the pointer: a round
// upper end on the icon, a round lower end at the pointer and a waisted bridge between
// them whose sides are concave arcs meeting both ends tangentially. Coordinates are those
// of the overlay window (y grows downwards). The bridge is laid out straight down from the
// upper end, at the pull's length, and then turned about the upper end's centre into the
// pull's direction. No Qt here: the widgets draw what these functions give.

namespace tidemark {

// The bridge between the two ends, laid out vertically.
struct BlobLineViewModel {
    Rect startFrame; // the upper end (a circle inscribed in it)
    Size translation; // the pull, from the upper end to the pointer
    double endRadius = 0; // radius of the lower end
    Rect endFrame; // the lower end, straight below the upper end at the pull's length
    double minLineWidth = 0; // the narrowest the bridge may become

    BlobLineViewModel() = default;
    // Derives `endFrame` (a square of side 2 × endRadius centred the pull's length below
    // the upper end's centre) and `minLineWidth` (a quarter of its width).
    BlobLineViewModel(const Rect& startFrame, Size translation, double endRadius);

    bool operator==(const BlobLineViewModel&) const = default;
};

// The solved bridge: waist, width and the four fillets that join it to the ends.
struct BlobBridge {
    double gap = 0; // from the upper end's bottom to the lower end's top; < 0 when they overlap
    double widthReduction = 0; // g
    double width = 0; // w, never below minLineWidth
    double offset = 0; // d: where the waist sits relative to the upper end's bottom
    Point upperWaist; // N1
    double upperRadius = 0; // R1
    double upperAngle = 0; // θ1, radians
    Point upperRightCenter; // F1R
    Point upperLeftCenter; // F1L
    Point lowerWaist; // N2
    double lowerRadius = 0; // R2
    double lowerAngle = 0; // θ2, radians
    Point lowerLeftCenter; // F2L
    Point lowerRightCenter; // F2R
};

// The bridge of a line model; none where its formulas have no finite answer: ends whose
// centres lie level while they overlap (a division by zero), overlapping circles whose
// chord would need the root of a negative number, a fillet whose angle would be the arc
// sine of a value beyond ±1, or a fillet of negative radius. Without a bridge the blob is
// its two ends alone, never a NaN path.
std::optional<BlobBridge> blobBridge(const BlobLineViewModel& model);

// One circular arc of the outline. Angles are radians in the view's coordinates: a
// positive sweep turns clockwise on screen. Each arc is joined to the one before by a
// straight line from the previous end point to its start point.
struct BlobArc {
    Point center;
    double radius = 0;
    double startAngle = 0;
    double sweep = 0;

    Point startPoint() const;
    Point endPoint() const;
    bool operator==(const BlobArc&) const = default;
};

// The bridge's outline, before it is turned: four arcs (right fillet up to the upper end,
// left fillet down to the waist, left fillet down to the lower end, right fillet up to the
// waist), closed after the last. Empty when the lower end lies within the upper one or
// when there is no bridge.
std::vector<BlobArc> blobOutline(const BlobLineViewModel& model);

// The rectangle that holds every arc of an outline (sampled along each arc); none for no arcs.
std::optional<Rect> outlineBounds(const std::vector<BlobArc>& arcs);

// The angle (radians, clockwise on screen) that turns the vertical bridge into the pull's
// direction: atan2(−width, height). A pull straight down is not turned; to the right it is
// −π/2. A pull of no length is not turned.
double blobRotation(Size translation);

// `point` turned by `angle` (clockwise on screen) about `pivot`.
Point rotated(Point point, Point pivot, double angle);

// The whole blob: the upper end on the icon, shrunk while pulled or while the card shows,
// the bridge and the lower end at the pointer.
struct BlobViewModel {
    Rect startFrame; // the upper end's full square
    Size translation;
    bool isSmall = false; // the upper end drawn shrunk (while the data-entry card shows)

    bool operator==(const BlobViewModel&) const = default;

    // The pull's length.
    double length() const;
    // The upper end A′: the start frame's centre kept, a quarter of its width and height taken
    // away while small; otherwise a quarter of the pull's length, at most a quarter of each
    // side (no pull: the full frame).
    Rect upperEnd() const;
    // The lower end: min(length, icon width) by min(length, icon height), centred at the
    // upper end's centre moved by the pull.
    Rect lowerEnd() const;
    // The bridge's line model: from the upper end, along the pull, with the lower end's
    // radius min(length, icon height) / 2.
    BlobLineViewModel line() const;
    // The bridge's outline turned into the pull's direction about the upper end's centre.
    std::vector<BlobArc> bridgeOutline() const;

    // The points and frames the blob publishes for its neighbours to match.
    Size topBlobSize() const { return upperEnd().size; }
    // The centre of the start frame.
    Point topBlobBottomPosition() const { return startFrame.center(); }
    Rect bottomBlobFrame() const { return lowerEnd(); }
    // The leading (left) middle point of the lower end.
    Point bottomBlobLeadingPosition() const;

    // Where the fill's gradient reaches the accent colour, counted down from the top of the
    // window: the upper end's centre moved down by the pull, less half the start frame.
    double gradientEnd() const;

    // Everything the blob covers, ends and bridge, grown by `margin` on every side.
    Rect bounds(double margin = 0) const;
};

} // namespace tidemark
