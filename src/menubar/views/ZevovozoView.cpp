#include "menubar/views/ZevovozoView.hpp"

#include "platform/foundation/Clock.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "toolkit/DevicePixels.hpp"
#include "toolkit/DropShadow.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

// A size in whole points that holds `size`; a side that is not a finite positive number sets
// no bound.
QSize wholeSize(Size size)
{
    auto side = [](double v) {
        if (!std::isfinite(v) || v >= QWIDGETSIZE_MAX)
            return QWIDGETSIZE_MAX;
        return std::max(0, int(std::ceil(v)));
    };
    return { side(size.width), side(size.height) };
}

// `size` centred in `bounds`, no larger than it on either axis.
QRectF centredWithin(const QRectF& bounds, Size size)
{
    const double width = std::min(size.width, bounds.width());
    const double height = std::min(size.height, bounds.height());
    if (!(width > 0) || !(height > 0))
        return {};
    return { bounds.center() - QPointF(width / 2, height / 2), QSizeF(width, height) };
}

ClockHand hand(Angle angle, Size size)
{
    return { angle, size.height, size.width };
}

} // namespace

ZevovozoView::ZevovozoView(
    const Parameters& parameters, double timerIndicatorProgress, QWidget* parent, FrameClock* clock)
    : QWidget(parent)
    , m_parameters(parameters)
    , m_progress(timerIndicatorProgress)
    , m_clock(parameters.handCircleSize.width, hand(parameters.hourAngle, parameters.hourHandSize),
          hand(parameters.minuteAngle, parameters.minuteHandSize), clock)
{
    m_clock.setChangeHandler([this] { update(); });
    setMaximumSize(wholeSize(parameters.size));
}

QColor ZevovozoView::color(ZevovozoViewModel::Color color, const QPalette& palette)
{
    switch (color) {
    case ZevovozoViewModel::Color::accent:
        return palette.color(QPalette::Highlight);
    case ZevovozoViewModel::Color::primary:
        break;
    }
    return palette.color(QPalette::WindowText);
}

void ZevovozoView::setParameters(const Parameters& parameters)
{
    if (parameters == m_parameters)
        return;
    const bool resized = parameters.size != m_parameters.size;
    m_parameters = parameters;
    applyToClock();
    if (resized) {
        setMaximumSize(wholeSize(parameters.size));
        updateGeometry();
    }
    update();
}

void ZevovozoView::setTimerIndicatorProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

void ZevovozoView::applyToClock()
{
    const Parameters& p = m_parameters;
    m_clock.setAnchorDiamenter(p.handCircleSize.width);
    m_clock.setHour(hand(p.hourAngle, p.hourHandSize));
    m_clock.setMinute(hand(p.minuteAngle, p.minuteHandSize));
}

void ZevovozoView::paintRing(
    QPainter& painter, const QRectF& content, const QColor& tint, const QColor& accent) const
{
    // A circle of the content's smaller side, its line wholly inside.
    const double line = m_parameters.timerIndicatorWidth;
    const double side = std::min(content.width(), content.height());
    const QRectF ring = QRectF(content.center() - QPointF(side / 2, side / 2), QSizeF(side, side))
                            .adjusted(line / 2, line / 2, -line / 2, -line / 2);
    if (!(line > 0) || !(ring.width() > 0))
        return;
    QPen pen(withOpacity(tint, 0.3), line, Qt::SolidLine, Qt::RoundCap, Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(ring);
    // A progress at or below 0 (or not a number) shows no arc: a negative span would run the
    // other way round. From 1 on the ring is full.
    if (!(m_progress > 0))
        return;
    pen.setColor(accent);
    painter.setPen(pen);
    if (m_progress >= 1) {
        painter.drawEllipse(ring);
        return;
    }
    QPainterPath arc;
    arc.arcMoveTo(ring, 90);
    arc.arcTo(ring, 90, -360 * m_progress);
    painter.drawPath(arc);
}

QSize ZevovozoView::sizeHint() const
{
    return wholeSize(m_parameters.size);
}

void ZevovozoView::paintEvent(QPaintEvent*)
{
    const Parameters& p = m_parameters;
    const QRectF content = centredWithin(QRectF(rect()), p.contentSize);
    if (content.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    const QColor tint = color(p.color, colors);

    // The ring and its arc, kept as an image while the hands turn.
    const QColor accent = colors.color(QPalette::Highlight);
    if (const auto device = devicePixels(painter.deviceTransform(), content)) {
        const RingKey key { *device, tint.rgba(), accent.rgba(), p.timerIndicatorWidth,
            m_progress };
        if (key != m_ringKey || m_ring.isNull()) {
            m_ringKey = key;
            if (m_ring.size() != device->pixels)
                m_ring = QImage(device->pixels, QImage::Format_ARGB32_Premultiplied);
            m_ring.fill(Qt::transparent);
            QPainter ring(&m_ring);
            ring.setRenderHint(QPainter::Antialiasing);
            ring.translate(device->origin);
            ring.scale(device->scale, device->scale);
            paintRing(ring, QRectF(QPointF(), content.size()), tint, accent);
        }
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(device->target, m_ring);
        painter.restore();
    } else {
        paintRing(painter, content, tint, accent);
    }

    // The clock, as one layer, with its shadow beneath.
    const QRectF frame = centredWithin(content, p.clockSize);
    const ClockFace::Layer layer
        = m_clock.layer(painter.deviceTransform(), frame, tint, colors.color(QPalette::Window));
    if (!layer.image)
        return;
    if (p.shadowRadius > 0) {
        const Shadow shadow { QColor::fromRgbF(0, 0, 0, 0.33f), p.shadowRadius, QPointF() };
        if (m_shadow.isNull() || layer.outline != m_shadowOutline
            || p.shadowRadius != m_shadowRadius) {
            m_shadow = layerShadow(*layer.image, shadow, layer.scale);
            m_shadowOutline = layer.outline;
            m_shadowRadius = p.shadowRadius;
        }
        ClockFace::drawLayerImage(painter, layer, m_shadow, layerShadowMargin(shadow, layer.scale));
    }
    ClockFace::drawLayerImage(painter, layer, *layer.image);
}

ZevovozoContainerView::ZevovozoContainerView(ZevovozoViewModel viewModel,
    rx::Publisher<rx::Unit> timer, std::shared_ptr<const Clock> clock, QWidget* parent,
    FrameClock* frameClock)
    : QWidget(parent)
    , m_viewModel(std::move(viewModel))
    , m_clock(clock ? std::move(clock) : Clock::system())
    // Until the timer first ticks the ring shows the progress of this moment.
    , m_progress(m_viewModel.current.timerIndicatorProgress(m_clock->now()), frameClock)
{
    m_view = new ZevovozoView(m_viewModel.parameters(), m_progress.value(), this, frameClock);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 0, Qt::AlignCenter);
    m_progressFrames = m_progress.onFrame(
        [this](const double& value) { m_view->setTimerIndicatorProgress(value); });
    m_ticks = timer.sink([this](const rx::Unit&) {
        m_progress.setTarget(
            m_viewModel.current.timerIndicatorProgress(m_clock->now()), Animation::easeInOut());
    });
}

} // namespace tidemark
