#include "entry/YoyoLayout.hpp"

#include "core/SharedValues.hpp"

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

double unit(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

} // namespace

const SpringAnimation& dragDataEntrySpring()
{
    static const SpringAnimation spring { 0.45, 0.775, 0 };
    return spring;
}

double interpolate(double from, double to, double t)
{
    return from + (to - from) * t;
}

Rect interpolate(const Rect& from, const Rect& to, double t)
{
    return { interpolate(from.x(), to.x(), t), interpolate(from.y(), to.y(), t),
        interpolate(from.width(), to.width(), t), interpolate(from.height(), to.height(), t) };
}

YoyoTimeLabelLook YoyoTimeLabelLook::of(bool isPresented, double blobOpacity)
{
    return between(isPresented ? 1.0 : 0.0, blobOpacity);
}

YoyoTimeLabelLook YoyoTimeLabelLook::between(double presentation, double blobOpacity)
{
    const double p = unit(presentation);
    const double q = 1 - p;
    YoyoTimeLabelLook look;
    look.padding = 14.5 * p;
    look.materialOpacity = p;
    look.contentOpacity = p;
    look.accentOpacity = std::min(unit(blobOpacity), q);
    look.borderOpacity = p;
    look.shadowOpacity = p;
    look.trailingPadding = 4 * p;
    return look;
}

Rect yoyoTimeLabelFrame(Size contentSize, double presentation, const BlobViewModel& blob)
{
    return yoyoTimeLabelFrame(
        contentSize, presentation, blob.bottomBlobFrame(), blob.bottomBlobLeadingPosition());
}

Rect yoyoTimeLabelFrame(Size contentSize, double presentation, const Rect& bottomBlobFrame,
    Point bottomBlobLeadingPosition)
{
    const Rect& collapsed = bottomBlobFrame;
    const Point leading = bottomBlobLeadingPosition;
    const double gap = 4;
    const Rect presented(leading.x - gap - contentSize.width, leading.y - contentSize.height / 2,
        contentSize.width, contentSize.height);
    return interpolate(collapsed, presented, presentation);
}

DataEntryControlsMetrics DataEntryControlsMetrics::of(double progress, double textScale)
{
    const double p = std::max(0.0, std::isnan(progress) ? 0.0 : progress);
    return { baseHeight * textScale * p, 11 * p, 4 * p };
}

DragDataEntryCardLook DragDataEntryCardLook::of(double progress)
{
    const double p = std::max(0.0, std::isnan(progress) ? 0.0 : progress);
    return { editableInset * p, editableVerticalInset * p, unit(p), 1 - unit(p) };
}

Rect dragDataEntryCardFrame(Size cardSize, double presentation, DataEntryPosition position,
    const BlobViewModel& blob, const Rect& window)
{
    return dragDataEntryCardFrame(cardSize, presentation, position, blob.topBlobSize(),
        blob.topBlobBottomPosition(), blob.bottomBlobFrame(), window);
}

Rect dragDataEntryCardFrame(Size cardSize, double presentation, DataEntryPosition position,
    Size topBlobSize, Point topBlobBottomPosition, const Rect& bottomBlobFrame, const Rect& window)
{
    Rect collapsed({}, topBlobSize);
    setCenter(collapsed, bottomBlobFrame.center());
    Rect presented({}, { DragDataEntryCardLook::width, cardSize.height });
    if (position == DataEntryPosition::belowMenubar) {
        const Point top = topBlobBottomPosition;
        presented.origin = { top.x - presented.width() / 2, top.y + NotificationLength::padding };
        // An icon near the screen's edge would push the card (and its save button) off the
        // screen: it stays the padding inside either edge.
        const double right = window.maxX() - NotificationLength::padding - presented.width();
        const double left = window.minX() + NotificationLength::padding;
        if (presented.origin.x > right)
            presented.origin.x = right;
        if (presented.origin.x < left)
            presented.origin.x = left;
    } else {
        setCenter(presented, { window.width() / 2, window.height() / 2 });
    }
    return interpolate(collapsed, presented, presentation);
}

} // namespace tidemark
