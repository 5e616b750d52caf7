#include "menubar/views/BlobIconView.hpp"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <limits>

namespace tidemark {

namespace {

// Infinity cannot be animated towards; any radius past half the icon draws a capsule.
constexpr double capsuleRadius = 1000;

double radiusValue(double radius)
{
    return std::isinf(radius) ? capsuleRadius : radius;
}

} // namespace

void paintBlobIcon(
    QPainter& painter, const QRectF& area, const BlobIcon::State& state, const QColor& tint)
{
    const BlobIcon::Shapes shapes = BlobIcon::shapes(state, Size { area.width(), area.height() });
    auto at = [&](const Rect& r) {
        return QRectF(area.x() + r.x(), area.y() + r.y(), r.width(), r.height());
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tint);
    painter.drawRect(at(shapes.bar));
    painter.drawEllipse(at(shapes.topCircle));
    painter.drawEllipse(at(shapes.bottomCircle));
    const QRectF centre = at(shapes.centerCircle);
    if (state.shadowOpacity > 0 && centre.width() > 0) {
        // The centre dot's shadow: a few soft rings of black around it (radius 4).
        for (int ring = 4; ring >= 1; --ring) {
            QColor shade(0, 0, 0);
            shade.setAlphaF(float(std::clamp(state.shadowOpacity, 0.0, 1.0) * 0.12));
            painter.setBrush(shade);
            painter.drawEllipse(centre.adjusted(-ring, -ring, ring, ring));
        }
        painter.setBrush(tint);
    }
    painter.drawEllipse(centre);
    painter.restore();
}

AnimatedBlobIcon::AnimatedBlobIcon(FrameClock* clock)
    : m_barWidth(0.0, clock)
    , m_diameter(0.0, clock)
    , m_mergedOffset(0.0, clock)
    , m_centerCircle(0.0, clock)
    , m_cornerRadius(0.0, clock)
    , m_padding(0.0, clock)
    , m_shadowOpacity(0.0, clock)
    , m_background(0.0, clock)
    , m_accent(0.0, clock)
{
    for (Animated<double>* value : { &m_barWidth, &m_diameter, &m_mergedOffset, &m_centerCircle,
             &m_cornerRadius, &m_padding, &m_shadowOpacity, &m_background, &m_accent })
        m_tokens.push_back(value->onFrame([this](double) { moved(); }));
    jump();
}

void AnimatedBlobIcon::moved()
{
    if (m_onFrame)
        m_onFrame();
}

void AnimatedBlobIcon::play(const std::vector<BlobIconViewModel::Step>& steps)
{
    for (const BlobIconViewModel::Step& step : steps) {
        const BlobIcon::State& s = step.state;
        const Animation& a = step.animation;
        m_barWidth.setTarget(s.bridge.width, a);
        m_diameter.setTarget(s.circle.diameter, a);
        m_mergedOffset.setTarget(s.circle.yOffset == 0.0 ? 1.0 : 0.0, a);
        m_centerCircle.setTarget(s.centerCircleLength, a);
        m_cornerRadius.setTarget(radiusValue(s.cornerRadius), a);
        m_padding.setTarget(s.padding, a);
        m_shadowOpacity.setTarget(s.shadowOpacity, a);
        m_background.setTarget(s.backgroundIsPresented ? 1.0 : 0.0, a);
        m_accent.setTarget(s.tintColor ? 1.0 : 0.0, a);
    }
}

void AnimatedBlobIcon::jump()
{
    const BlobIcon::State& s = m_model.state();
    m_barWidth.jump(s.bridge.width);
    m_diameter.jump(s.circle.diameter);
    m_mergedOffset.jump(s.circle.yOffset == 0.0 ? 1.0 : 0.0);
    m_centerCircle.jump(s.centerCircleLength);
    m_cornerRadius.jump(radiusValue(s.cornerRadius));
    m_padding.jump(s.padding);
    m_shadowOpacity.jump(s.shadowOpacity);
    m_background.jump(s.backgroundIsPresented ? 1.0 : 0.0);
    m_accent.jump(s.tintColor ? 1.0 : 0.0);
}

bool AnimatedBlobIcon::isAnimating() const
{
    for (const Animated<double>* value :
        { &m_barWidth, &m_diameter, &m_mergedOffset, &m_centerCircle, &m_cornerRadius, &m_padding,
            &m_shadowOpacity, &m_background, &m_accent }) {
        if (value->isAnimating())
            return true;
    }
    return false;
}

BlobIcon::State AnimatedBlobIcon::shown(double height) const
{
    BlobIcon::State s = m_model.state();
    s.bridge.width = m_barWidth.value();
    s.circle.diameter = m_diameter.value();
    const double atRest = (height - s.circle.diameter) * 0.5 - s.circle.padding;
    s.circle.yOffset = (1 - m_mergedOffset.value()) * atRest;
    s.centerCircleLength = std::max(0.0, m_centerCircle.value());
    s.cornerRadius = m_cornerRadius.value();
    s.padding = std::max(0.0, m_padding.value());
    s.shadowOpacity = std::clamp(m_shadowOpacity.value(), 0.0, 1.0);
    s.backgroundIsPresented = m_background.value() > 0.5;
    return s;
}

BlobIconView::BlobIconView(QWidget* parent)
    : QWidget(parent)
{
    m_icon.setOnFrame([this] { update(); });
}

void BlobIconView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double side = std::min(width(), height());
    const QRectF area((width() - side) / 2, (height() - side) / 2, side, side);
    const double padding = m_icon.shown(side).padding;
    const BlobIcon::State state = m_icon.shown(side - 2 * padding);
    QColor tint = palette().color(QPalette::Active, QPalette::WindowText);
    const QColor accent = palette().color(QPalette::Active, QPalette::Highlight);
    const double a = std::clamp(m_icon.accent(), 0.0, 1.0);
    tint = QColor::fromRgbF(float(tint.redF() + (accent.redF() - tint.redF()) * a),
        float(tint.greenF() + (accent.greenF() - tint.greenF()) * a),
        float(tint.blueF() + (accent.blueF() - tint.blueF()) * a));
    paintBlobIcon(painter,
        area.adjusted(state.padding, state.padding, -state.padding, -state.padding), state, tint);
}

} // namespace tidemark
