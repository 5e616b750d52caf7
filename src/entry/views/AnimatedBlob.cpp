#include "entry/views/AnimatedBlob.hpp"

#include "core/SharedValues.hpp"
#include "entry/YoyoLayout.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace tidemark {

namespace {

// The upper end's own spring when the card comes and goes.
const Animation& smallnessSpring()
{
    static const Animation spring = Animation::spring(0.45, 0.4, 0);
    return spring;
}

// A fade that comes without an animation of its own.
const Animation& fadeAnimation()
{
    static const Animation fade = Animation::easeOut(0.25);
    return fade;
}

// How far the shadow reaches beyond the fill.
constexpr double shadowReach = 3;

constexpr double degrees = 180.0 / std::numbers::pi;

} // namespace

Rect BlobFrame::paintedBounds() const
{
    Rect all = model.startFrame.standardized().united(upperEnd).united(lowerEnd);
    if (const std::optional<Rect> line = outlineBounds(bridge))
        all = all.united(*line);
    return all.insetBy(-shadowReach - 1, -shadowReach - 1);
}

namespace {

// The fill's pieces: the ends and the bridge, each a closed outline of its own.
std::vector<QPainterPath> blobParts(const BlobFrame& frame)
{
    std::vector<QPainterPath> parts;
    for (const Rect& end : { frame.upperEnd, frame.lowerEnd }) {
        if (!end.isEmpty()) {
            QPainterPath ellipse;
            ellipse.addEllipse(toQRectF(end));
            parts.push_back(std::move(ellipse));
        }
    }
    if (!frame.bridge.empty()) {
        QPainterPath line;
        for (std::size_t i = 0; i < frame.bridge.size(); ++i) {
            const BlobArc& arc = frame.bridge[i];
            const QRectF circle(arc.center.x - arc.radius, arc.center.y - arc.radius,
                2 * arc.radius, 2 * arc.radius);
            const Point start = arc.startPoint();
            if (i == 0)
                line.moveTo(start.x, start.y);
            else
                line.lineTo(start.x, start.y);
            // Qt counts angles anticlockwise on screen; the outline counts them clockwise.
            line.arcTo(circle, -arc.startAngle * degrees, -arc.sweep * degrees);
        }
        line.closeSubpath();
        parts.push_back(std::move(line));
    }
    return parts;
}

} // namespace

QPainterPath BlobFrame::path() const
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QPainterPath& part : blobParts(*this))
        path.addPath(part);
    return path;
}

AnimatedBlob::AnimatedBlob(FrameClock* clock)
    : m_startFrame({}, clock)
    , m_translation({}, clock)
    , m_smallness(0.0, clock)
    , m_opacity(1.0, clock)
{
    m_tokens.push_back(m_startFrame.onFrame([this](const Rect&) { moved(); }));
    m_tokens.push_back(m_translation.onFrame([this](const Size&) { moved(); }));
    m_tokens.push_back(m_smallness.onFrame([this](double) { moved(); }));
    m_tokens.push_back(m_opacity.onFrame([this](double) { moved(); }));
}

void AnimatedBlob::set(const YoyoBlobView::State& state)
{
    const std::optional<Animation>& animation = currentTransaction().animation;
    m_startFrame.setTarget(state.startFrame, animation);
    m_translation.setTarget(state.translation, animation);
    m_smallness.setTarget(state.isSmall ? 1.0 : 0.0, smallnessSpring());
    const double opacity = std::clamp(state.blobOpacity, 0.0, 1.0);
    if (!animation && opacity == 0 && m_opacity.target() > 0)
        m_opacity.setTarget(opacity, fadeAnimation());
    else
        m_opacity.setTarget(opacity, animation);
}

void AnimatedBlob::jump(const YoyoBlobView::State& state)
{
    m_startFrame.jump(state.startFrame);
    m_translation.jump(state.translation);
    m_smallness.jump(state.isSmall ? 1.0 : 0.0);
    m_opacity.jump(std::clamp(state.blobOpacity, 0.0, 1.0));
}

bool AnimatedBlob::isAnimating() const
{
    return m_startFrame.isAnimating() || m_translation.isAnimating() || m_smallness.isAnimating()
        || m_opacity.isAnimating();
}

BlobFrame AnimatedBlob::frame() const
{
    BlobFrame frame;
    frame.model = { m_startFrame.value(), m_translation.value(), false };
    BlobViewModel small = frame.model;
    small.isSmall = true;
    const double smallness = m_smallness.value();
    frame.upperEnd = interpolate(frame.model.upperEnd(), small.upperEnd(), smallness);
    frame.lowerEnd = frame.model.lowerEnd();
    // The bridge leaves the upper end as it stands.
    const double length = frame.model.length();
    BlobLineViewModel line(frame.upperEnd, length == 0 ? Size {} : frame.model.translation,
        std::min(length, MenuBar::iconSize.height) / 2);
    frame.bridge = blobOutline(line);
    const double angle = blobRotation(frame.model.translation);
    if (angle != 0) {
        const Point pivot = frame.upperEnd.center();
        for (BlobArc& arc : frame.bridge) {
            arc.center = rotated(arc.center, pivot, angle);
            arc.startAngle += angle;
        }
    }
    frame.opacity = std::clamp(m_opacity.value(), 0.0, 1.0);
    return frame;
}

void AnimatedBlob::publish(MatchedGeometryNamespace space)
{
    m_space = std::move(space);
    moved();
}

void AnimatedBlob::moved()
{
    if (m_space) {
        const BlobFrame f = frame();
        const Point leading { f.lowerEnd.minX(), f.lowerEnd.midY() };
        m_space->publish(std::string(YoyoConstants::TopBlob::size), f.upperEnd, std::nullopt);
        m_space->publish(
            std::string(YoyoConstants::TopBlob::bottomPosition), f.model.startFrame, std::nullopt);
        m_space->publish(std::string(YoyoConstants::BottomBlob::frame), f.lowerEnd, std::nullopt);
        m_space->publish(std::string(YoyoConstants::BottomBlob::leadingPosition), Rect(leading, {}),
            std::nullopt);
    }
    if (m_onFrame)
        m_onFrame();
}

void paintBlob(QPainter& painter, const BlobFrame& frame, const QPalette& palette)
{
    if (frame.opacity <= 0)
        return;
    const QPainterPath path = frame.path();
    if (path.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(painter.opacity() * frame.opacity);
    // The shadow: the outline stroked twice, wide and faint, then narrower, under the fill.
    const QColor shade(0, 0, 0, int(255 * translucentBlack.alpha));
    painter.setBrush(Qt::NoBrush);
    for (const auto& [width, alpha] : { std::pair { 4.0, 0.18 }, std::pair { 2.0, 0.3 } }) {
        QColor c = shade;
        c.setAlphaF(float(c.alphaF() * alpha));
        painter.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    // The fill: the secondary text colour at the top of the window, the accent colour where
    // the pull ends.
    QColor secondary = palette.color(QPalette::Active, QPalette::WindowText);
    secondary.setAlphaF(0.55f);
    const QColor accent = palette.color(QPalette::Active, QPalette::Highlight);
    const double end = std::max(1.0, frame.model.gradientEnd());
    QLinearGradient gradient(QPointF(0, 0), QPointF(0, end));
    gradient.setColorAt(0, secondary);
    gradient.setColorAt(1, accent);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawPath(path);
    painter.restore();
}

QRegion blobRegion(const BlobFrame& frame)
{
    if (frame.opacity <= 0)
        return {};
    // Each piece and a band around it where its edge is antialiased. Without a compositing
    // manager a translucent window shows what it holds unblended: a band of 4 px reaches
    // pixels nothing paints (a dark halo), one of 2 px, once the outline is flattened and
    // rounded to whole pixels, cuts edge pixels of the fill off. Regions of the pieces,
    // united, come to a boolean union of their paths at a fraction of the cost, every frame.
    QPainterPathStroker stroker;
    stroker.setWidth(3);
    QRegion region;
    for (const QPainterPath& part : blobParts(frame)) {
        region += QRegion(part.toFillPolygon().toPolygon(), Qt::WindingFill);
        region += QRegion(stroker.createStroke(part).toFillPolygon().toPolygon(), Qt::WindingFill);
    }
    return region;
}

} // namespace tidemark
