#include "toolkit/ClockView.hpp"

#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DevicePixels.hpp"
#include "toolkit/DropShadow.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tidemark {

namespace {

// The shadow hands and anchor cast on the face.
const Shadow& figureShadow()
{
    static const Shadow shadow { QColor(0, 0, 0, 51), 1, QPointF(0, 1) };
    return shadow;
}

// A hand standing on `center`, turned by `radians` about it; empty when it has no area.
QPainterPath handPath(QPointF center, const ClockHand& hand, double radians)
{
    if (!(hand.length > 0) || !(hand.thickness > 0))
        return {};
    const QPainterPath upright = continuousRoundedRect(
        QRectF(-hand.thickness / 2, -hand.length, hand.thickness, hand.length), hand.thickness / 2);
    QTransform turn;
    turn.translate(center.x(), center.y());
    turn.rotateRadians(radians);
    return turn.map(upright);
}

bool isDrawable(const QRectF& frame)
{
    return std::isfinite(frame.x()) && std::isfinite(frame.y()) && std::isfinite(frame.width())
        && std::isfinite(frame.height()) && frame.width() > 0 && frame.height() > 0;
}

} // namespace

ClockFace::ClockFace(
    double anchorDiamenter, const Hand& hour, const Hand& minute, FrameClock* clock)
    : m_anchorDiamenter(anchorDiamenter)
    , m_hour(hour)
    , m_minute(minute)
    , m_hourAngle(hour.angle.radians, clock)
    , m_minuteAngle(minute.angle.radians, clock)
{
    m_hourFrames = m_hourAngle.onFrame([this](const double&) { changed(); });
    m_minuteFrames = m_minuteAngle.onFrame([this](const double&) { changed(); });
}

Animation ClockFace::handAnimation()
{
    return Animation::interactiveSpring(0.55, 0.66, 0.25);
}

void ClockFace::setAnchorDiamenter(double diameter)
{
    if (diameter == m_anchorDiamenter)
        return;
    m_anchorDiamenter = diameter;
    changed();
}

void ClockFace::setHour(const Hand& hand)
{
    if (hand == m_hour)
        return;
    m_hour = hand;
    m_hourAngle.setTarget(hand.angle.radians, handAnimation());
    changed();
}

void ClockFace::setMinute(const Hand& hand)
{
    if (hand == m_minute)
        return;
    m_minute = hand;
    m_minuteAngle.setTarget(hand.angle.radians, handAnimation());
    changed();
}

void ClockFace::changed()
{
    m_stale = true;
    if (m_changed)
        m_changed();
}

ClockFace::Layer ClockFace::layer(
    const QTransform& deviceTransform, const QRectF& frame, const QColor& face, const QColor& hands)
{
    Layer result;
    if (!isDrawable(frame))
        return result;
    QSize pixels;
    QPointF origin;
    if (const auto device = devicePixels(deviceTransform, frame)) {
        // The painter only moves and scales: the layer covers the frame's whole device pixels
        // and the clock sits in it at the frame's fraction of a pixel.
        pixels = device->pixels;
        origin = device->origin;
        result.scale = device->scale;
        result.target = device->target;
    } else {
        // Turned or sheared: drawn at the transform's scale and transformed with the rest.
        result.scale = std::max(1.0, std::sqrt(std::abs(deviceTransform.determinant())));
        result.exact = false;
        pixels = QSize(int(std::ceil(frame.width() * result.scale)),
            int(std::ceil(frame.height() * result.scale)));
        result.target = QRectF(frame.topLeft(), QSizeF(pixels) / result.scale);
    }
    if (pixels.isEmpty())
        return result;
    if (m_stale || pixels != m_image.size() || origin != m_origin || result.scale != m_scale
        || frame.size() != m_size || face.rgba() != m_face || hands.rgba() != m_hands) {
        render(pixels, origin, result.scale, frame.size(), face, hands);
    }
    result.image = &m_image;
    result.outline = m_outline;
    return result;
}

void ClockFace::render(const QSize& pixels, QPointF origin, double scale, QSizeF size,
    const QColor& face, const QColor& hands)
{
    // The layer's alpha is the face's disc alone when the face is opaque and hands, anchor
    // and their shadow stay inside it; otherwise it may change with every drawing.
    const double radius = std::min(size.width(), size.height()) / 2;
    double reach = m_anchorDiamenter > 0 ? m_anchorDiamenter / 2 : 0;
    for (const Hand* hand : { &m_hour, &m_minute }) {
        if (hand->length > 0 && hand->thickness > 0)
            reach = std::max(reach, std::hypot(hand->length, hand->thickness / 2));
    }
    const Shadow& shadow = figureShadow();
    const bool outlineIsFace = face.alpha() == 255
        && reach + std::hypot(shadow.offset.x(), shadow.offset.y()) + shadowExtent(shadow)
            <= radius;
    if (!outlineIsFace || !m_outlineIsFace || pixels != m_image.size() || origin != m_origin
        || scale != m_scale || size != m_size || face.alpha() != qAlpha(m_face))
        ++m_outline;
    m_outlineIsFace = outlineIsFace;

    m_stale = false;
    m_origin = origin;
    m_scale = scale;
    m_size = size;
    m_face = face.rgba();
    m_hands = hands.rgba();
    // The face alone is kept: while the hands turn, each drawing starts from a copy of it.
    const FaceKey faceKey { pixels, origin, scale, size, face.rgba() };
    if (faceKey != m_faceKey || m_faceImage.isNull()) {
        m_faceKey = faceKey;
        m_faceImage = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_faceImage.fill(Qt::transparent);
        QPainter disc(&m_faceImage);
        disc.setRenderHint(QPainter::Antialiasing);
        disc.translate(origin);
        disc.scale(scale, scale);
        disc.setPen(Qt::NoPen);
        disc.setBrush(face);
        disc.drawEllipse(QPointF(size.width() / 2, size.height() / 2), radius, radius);
    }
    if (m_image.size() != pixels)
        m_image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    std::memcpy(m_image.bits(), m_faceImage.constBits(), std::size_t(m_image.sizeInBytes()));

    const QPointF center(size.width() / 2, size.height() / 2);
    const QPainterPath hour = handPath(center, m_hour, m_hourAngle.value());
    const QPainterPath minute = handPath(center, m_minute, m_minuteAngle.value());
    QPainterPath anchor;
    if (m_anchorDiamenter > 0)
        anchor.addEllipse(center, m_anchorDiamenter / 2, m_anchorDiamenter / 2);
    if (hour.isEmpty() && minute.isEmpty() && anchor.isEmpty())
        return;

    // Hands and anchor are drawn as a group of their own, which casts one shadow and then
    // goes over it.
    if (m_figure.size() != pixels)
        m_figure = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_figure.fill(Qt::transparent);
    {
        QPainter figure(&m_figure);
        figure.setRenderHint(QPainter::Antialiasing);
        figure.translate(origin);
        figure.scale(scale, scale);
        figure.fillPath(hour, hands);
        figure.fillPath(minute, hands);
        figure.fillPath(anchor, Qt::white);
    }
    const int margin = layerShadowMargin(shadow, scale);
    QPainter painter(&m_image);
    painter.drawImage(
        QPointF(shadow.offset.x() * scale - margin, shadow.offset.y() * scale - margin),
        layerShadow(m_figure, shadow, scale));
    painter.drawImage(QPointF(), m_figure);
}

void ClockFace::paint(
    QPainter& painter, const QRectF& frame, const QColor& face, const QColor& hands)
{
    const Layer drawn = layer(painter.deviceTransform(), frame, face, hands);
    if (drawn.image)
        drawLayerImage(painter, drawn, *drawn.image);
}

void ClockFace::drawLayerImage(
    QPainter& painter, const Layer& layer, const QImage& image, int margin)
{
    if (!layer.image || image.isNull())
        return;
    const double grow = margin / layer.scale;
    const QRectF target = layer.target.adjusted(-grow, -grow, grow, grow);
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, !layer.exact);
    painter.drawImage(target, image);
    painter.restore();
}

ClockView::ClockView(double anchorDiamenter, const Hand& hour, const Hand& minute, QWidget* parent,
    FrameClock* clock)
    : QWidget(parent)
    , m_face(anchorDiamenter, hour, minute, clock)
{
    m_face.setChangeHandler([this] { update(); });
}

void ClockView::setColor(const QColor& color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void ClockView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colors = palette();
    m_face.paint(painter, QRectF(rect()),
        m_color.isValid() ? m_color : colors.color(QPalette::WindowText),
        colors.color(QPalette::Window));
}

} // namespace tidemark
