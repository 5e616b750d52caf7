#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Animator.hpp"
#include "platform/ui/FrameClock.hpp"

#include <QColor>
#include <QImage>
#include <QRect>
#include <QRectF>
#include <QWidget>

#include <cstdint>
#include <functional>

class QPainter;
class QTransform;

namespace tidemark {

// One hand of a clock, in points: its turn from twelve o'clock (clockwise for a positive
// angle), its length from the centre outwards and its width.
struct ClockHand {
    Angle angle;
    double length = 0;
    double thickness = 0;

    bool operator==(const ClockHand&) const = default;
};

// A small analog clock, drawn wherever its owner says: a disc as wide as the smaller side of
// its frame, centred, in the face colour; an hour hand and then a minute hand, each a
// continuous rounded rectangle (radius thickness / 2) in the hands' colour from the centre
// outwards; a white round anchor on top; hands and anchor casting a shadow of black at 20 %,
// radius 1, one point down. A hand turns to a new angle on handAnimation(), each hand on its
// own; lengths, widths and the anchor change at once.
//
// The clock is drawn as one flattened layer on whole device pixels, so that a shadow cast from
// it falls from one shape and a frame at a fraction of a point stays sharp. A view that places
// the clock at such a fraction (the clock-hand icon) holds a ClockFace; ClockView is the
// widget of one.
class ClockFace {
public:
    using Hand = ClockHand;

    ClockFace(
        double anchorDiamenter, const Hand& hour, const Hand& minute, FrameClock* clock = nullptr);
    ClockFace(const ClockFace&) = delete;
    ClockFace& operator=(const ClockFace&) = delete;

    // The interactive spring every hand turns with.
    static Animation handAnimation();

    double anchorDiamenter() const { return m_anchorDiamenter; }
    void setAnchorDiamenter(double diameter);
    // The hands as last set; a new angle starts a turn from where the hand stands.
    const Hand& hour() const { return m_hour; }
    const Hand& minute() const { return m_minute; }
    void setHour(const Hand& hand);
    void setMinute(const Hand& hand);

    // The angles as they stand in this frame of a turn.
    Angle hourAngle() const { return { m_hourAngle.value() }; }
    Angle minuteAngle() const { return { m_minuteAngle.value() }; }
    bool isTurning() const { return m_hourAngle.isAnimating() || m_minuteAngle.isAnimating(); }

    // Called whenever what the clock shows changes: every frame of a turn and every setter
    // that changed something. The owner repaints.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

    // The flattened clock for `frame` (points) under a painter's device transform: `image`
    // holds device pixels and goes onto `target` (points), exactly pixel for pixel when
    // `exact` (the painter only moves and scales); `scale` is device pixels per point. Drawn
    // again only when something changed. `outline` grows whenever the layer's alpha may have
    // changed: a shadow cast from the clock stays as it is while the hands turn inside an
    // opaque face.
    struct Layer {
        const QImage* image = nullptr;
        QRectF target;
        double scale = 1;
        bool exact = true;
        std::uint64_t outline = 0;
    };
    Layer layer(const QTransform& deviceTransform, const QRectF& frame, const QColor& face,
        const QColor& hands);

    // Draws the clock framed to `frame`.
    void paint(QPainter& painter, const QRectF& frame, const QColor& face, const QColor& hands);
    // Draws a layer where it goes, or its shadow: an image of the same placement grown by
    // `margin` device pixels on each side.
    static void drawLayerImage(
        QPainter& painter, const Layer& layer, const QImage& image, int margin = 0);

private:
    void changed();
    void render(const QSize& pixels, QPointF origin, double scale, QSizeF size, const QColor& face,
        const QColor& hands);

    double m_anchorDiamenter;
    Hand m_hour;
    Hand m_minute;
    Animated<double> m_hourAngle;
    Animated<double> m_minuteAngle;
    rx::Cancellable m_hourFrames;
    rx::Cancellable m_minuteFrames;
    std::function<void()> m_changed;

    // The face alone, and what it was drawn for.
    struct FaceKey {
        QSize pixels;
        QPointF origin;
        double scale = 0;
        QSizeF size;
        QRgb color = 0;
        bool operator==(const FaceKey&) const = default;
    };
    FaceKey m_faceKey;
    QImage m_faceImage;
    // The layer as last drawn, and what it was drawn for; hands and anchor alone.
    QImage m_image;
    QImage m_figure;
    bool m_stale = true;
    QPointF m_origin;
    double m_scale = 0;
    QSizeF m_size;
    QRgb m_face = 0;
    QRgb m_hands = 0;
    std::uint64_t m_outline = 0;
    bool m_outlineIsFace = false;
};

// The clock as a widget: the disc fills the space offered to it, in the palette's text colour
// unless another is set; the hands are in the palette's window colour. It has no size of its
// own.
class ClockView final : public QWidget {
public:
    using Hand = ClockHand;

    ClockView(double anchorDiamenter, const Hand& hour, const Hand& minute,
        QWidget* parent = nullptr, FrameClock* clock = nullptr);

    double anchorDiamenter() const { return m_face.anchorDiamenter(); }
    void setAnchorDiamenter(double diameter) { m_face.setAnchorDiamenter(diameter); }
    const Hand& hour() const { return m_face.hour(); }
    const Hand& minute() const { return m_face.minute(); }
    void setHour(const Hand& hand) { m_face.setHour(hand); }
    void setMinute(const Hand& hand) { m_face.setMinute(hand); }
    Angle hourAngle() const { return m_face.hourAngle(); }
    Angle minuteAngle() const { return m_face.minuteAngle(); }

    // The face's colour; an invalid colour returns to the palette's text colour.
    QColor color() const { return m_color; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ClockFace m_face;
    QColor m_color;
};

} // namespace tidemark
