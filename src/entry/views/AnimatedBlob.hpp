#pragma once

#include "entry/BlobShape.hpp"
#include "entry/YoyoViewStates.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/MatchedGeometry.hpp"

#include <QPainterPath>
#include <QPalette>
#include <QRegion>

#include <functional>
#include <optional>

class QPainter;

namespace tidemark {

// The blob as it stands in one frame: its geometry, its opacity and the bounds it paints.
struct BlobFrame {
    BlobViewModel model;
    Rect upperEnd; // between the full and the small upper end while that springs
    Rect lowerEnd;
    std::vector<BlobArc> bridge; // turned into the pull's direction
    double opacity = 1;

    // Everything painted, shadow included.
    Rect paintedBounds() const;
    // The fill's shape: both ends and the bridge.
    QPainterPath path() const;
};

// The blob's state carried to the screen: each field of a new state moves with the
// transaction it came with (a spring back after release, a jump while pulled), and every
// frame is handed to `onFrame`. The upper end's small form springs on its own spring
// (response 0.45, damping 0.4). A fade to 0 that comes without an animation eases out over
// a quarter of a second, so a short pull visibly springs back while it fades.
class AnimatedBlob {
public:
    explicit AnimatedBlob(FrameClock* clock = nullptr);

    // Takes a new state under the current transaction.
    void set(const YoyoBlobView::State& state);
    // Rests at `state` at once.
    void jump(const YoyoBlobView::State& state);

    BlobFrame frame() const;
    bool isAnimating() const;
    // Called with every value any part writes (each frame of a motion, each jump).
    void setOnFrame(std::function<void()> onFrame) { m_onFrame = std::move(onFrame); }

    // Publishes the ends' geometry under the blob's identifiers in `space` as the blob moves
    // (in the coordinates the blob is drawn in): the upper end ("TopBlobSize"), the start
    // frame ("TopBlobBottomPosition"), the lower end ("BottomBlobFrame") and, as a rectangle
    // of no size, the lower end's leading middle point ("BottomBlobLeadingPosition").
    void publish(MatchedGeometryNamespace space);

private:
    void moved();

    Animated<Rect> m_startFrame;
    Animated<Size> m_translation;
    Animated<double> m_smallness;
    Animated<double> m_opacity;
    std::vector<rx::Cancellable> m_tokens;
    std::function<void()> m_onFrame;
    std::optional<MatchedGeometryNamespace> m_space;
};

// Paints the blob: a gradient from the secondary text colour at the top of the window to the
// accent colour at the lower end, filling both ends and the bridge, over a soft shadow, at
// the blob's opacity.
void paintBlob(QPainter& painter, const BlobFrame& frame, const QPalette& palette);

// The region of device pixels a frame paints, for windows that have to be shaped to it.
QRegion blobRegion(const BlobFrame& frame);

} // namespace tidemark
