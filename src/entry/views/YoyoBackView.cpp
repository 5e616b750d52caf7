#include "entry/views/YoyoBackView.hpp"

#include "core/SharedValues.hpp"
#include "entry/YoyoAnimation.hpp"
#include "entry/YoyoLayout.hpp"
#include "entry/views/YoyoDragWindows.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DropShadow.hpp"
#include "toolkit/MaterialView.hpp"
#include "toolkit/VisualEffectBorder.hpp"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>
#include <string>
#include <utility>

namespace tidemark {

namespace {

using Phase = DragGesturePhase;
using AnimationAction = YoyoAnimation::Action;
using CardAction = DragDataEntryConnectingView::Action;

Animation cardSpring()
{
    return dragDataEntrySpring();
}

Animation yoyo()
{
    return yoyoSpring();
}

QEvent::Type frameEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QRect outward(const Rect& r)
{
    return QRectF(r.x(), r.y(), r.width(), r.height()).toAlignedRect();
}

Shadow labelShadow(double opacity)
{
    QColor colour(0, 0, 0);
    colour.setAlphaF(float(translucentBlack.alpha * std::clamp(opacity, 0.0, 1.0)));
    return { colour, YoyoTimeLabelLook::shadowRadius, {} };
}

} // namespace

YoyoBackWidget::YoyoBackWidget(
    std::shared_ptr<ViewStore> store, std::function<State()> currentState, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_current(std::move(currentState))
    , m_labelPresentation(0.0)
    , m_translationProgress(0.0)
    , m_continuation(m_translationProgress,
          Binding<double> {
              [this] { return m_maxValue; }, [this](const double& value) { m_maxValue = value; } },
          [this] { springContinued(); })
    , m_completion(m_translationProgress, [this] { returnCompleted(); })
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    // What the window lost outside what it shows needs nothing drawn.
    m_presenter.setOnLost([this](const QRegion& lost) {
        const QRegion shown = lost & paintedRegion();
        if (!shown.isEmpty())
            requestFrame(shown);
    });

    // The label follows the lower end: beside its leading point, or over its frame.
    m_followFrame = m_namespace.follow(std::string(YoyoConstants::BottomBlob::frame),
        [this](const Rect& frame) { m_bottomBlobFrame = frame; });
    m_followLeading = m_namespace.follow(std::string(YoyoConstants::BottomBlob::leadingPosition),
        [this](const Rect& point) { m_bottomBlobLeading = point.origin; });
    m_blob.publish(m_namespace);
    m_blob.setOnFrame([this] {
        m_blobChanged = true;
        moved();
    });
    m_labelToken = m_labelPresentation.onFrame([this](double) { moved(); });

    m_shown = m_store->state();
    m_blob.jump(m_shown.blobView);
    m_labelPresentation.jump(m_shown.timeView.isPresented ? 1.0 : 0.0);
    updateLabelText(m_shown.timeView);
    m_stateToken
        = m_store->statePublisher().sink([this](const State& state) { stateChanged(state); });
}

YoyoBackWidget::~YoyoBackWidget() = default;

YoyoBackWidget::State YoyoBackWidget::current() const
{
    return m_current ? m_current() : m_store->state();
}

void YoyoBackWidget::send(YoyoAnimation::Action action)
{
    m_store->dispatch(YoyoOverlayActionCases::Animation { std::move(action) });
}

void YoyoBackWidget::sendCard(DragDataEntryConnectingView::Action action)
{
    m_store->dispatch(YoyoOverlayActionCases::DataEntry { std::move(action) });
}

void YoyoBackWidget::appeared()
{
    resetTranslation();
    moved();
}

void YoyoBackWidget::resetTranslation()
{
    withAnimation(std::nullopt, [&] { m_translationProgress.jump(0.0); });
    m_maxValue = 0;
    m_springDidComplete = false;
}

void YoyoBackWidget::stateChanged(const State& state)
{
    const State old = m_shown;
    m_shown = state;
    m_blob.set(state.blobView);
    if (state.timeView.isPresented != old.timeView.isPresented)
        m_labelPresentation.setTarget(
            state.timeView.isPresented ? 1.0 : 0.0, Animation::easeInOut());
    if (state.timeView.startDate != old.timeView.startDate
        || state.timeView.timeInterval != old.timeView.timeInterval
        || state.timeView.formatter != old.timeView.formatter) {
        updateLabelText(state.timeView);
    }
    if (state.animation.phase != old.animation.phase)
        phaseChanged(state.animation.phase);
}

void YoyoBackWidget::phaseChanged(std::optional<DragGesturePhase> phase)
{
    if (!phase)
        return;
    switch (*phase) {
    case Phase::begin:
        // A pull that begins while the last release still animates out: that one is
        // finished first, so the count of drags in flight comes down, then all starts over.
        if (m_animateOutInFlight) {
            m_animateOutInFlight = false;
            send(AnimationAction::BlobOpacityAnimationDidFinish {});
        }
        m_sawChange = false;
        resetTranslation();
        return;
    case Phase::changed:
        m_sawChange = true;
        if (!current().dataEntry.isPresented)
            return;
        // A new pull dismisses the card an earlier one left.
        resetTranslation();
        withAnimation(cardSpring(), [&] { sendCard(CardAction::IsPresented { false }); });
        return;
    case Phase::ended: {
        // A pull without change (a flick) showed nothing: nothing to animate out.
        if (!m_sawChange)
            return;
        m_sawChange = false;
        const Size translation = current().animation.translation.value_or(Size {});
        withAnimation(cardSpring(), [&] {
            send(AnimationAction::AnimateTranslationToStart { translation });
            m_translationProgress.set(1.0);
        });
        m_animateOutInFlight = true;
        if (current().timeView.translationDistanceIsGreaterThanMinimum)
            return;
        withAnimation(
            yoyo(), [&] { send(AnimationAction::ZevovozoStatus { ZevovozoStatus::longHold }); });
        send(AnimationAction::BlobOpacity { 0.0 });
        return;
    }
    }
}

void YoyoBackWidget::springContinued()
{
    if (!current().timeView.translationDistanceIsGreaterThanMinimum)
        return;
    if (m_springDidComplete)
        return;
    m_springDidComplete = true;
    // The card takes the animate-out over from here.
    m_animateOutInFlight = false;
    withAnimation(cardSpring(), [&] { sendCard(CardAction::IsPresented { true }); });
}

void YoyoBackWidget::returnCompleted()
{
    if (m_translationProgress.value() < 1.0)
        return;
    if (current().timeView.translationDistanceIsGreaterThanMinimum)
        return;
    if (!m_animateOutInFlight)
        return;
    m_animateOutInFlight = false;
    send(AnimationAction::BlobOpacityAnimationDidFinish {});
    withAnimation(yoyo(), [&] { send(AnimationAction::ZevovozoStatus { ZevovozoStatus::idle }); });
}

void YoyoBackWidget::updateLabelText(const YoyoTimeView::State& timeView)
{
    if (!timeView.formatter) {
        m_labelText.reset();
        m_labelLayout.reset();
        moved();
        return;
    }
    TimeLinesText text = TimeLinesText::of(timeView.startDate, timeView.timeInterval,
        SystemClock {}.now(), std::nullopt, *timeView.formatter);
    // Most moves of a pull leave the time as it reads: its text is shaped only when it changes.
    if (text != m_labelText || !m_labelLayout) {
        m_labelText = std::move(text);
        m_labelLayout.emplace(*m_labelText, timeLinesFont(font()), TimeView::lineSpacing(false));
    }
    moved();
}

Size YoyoBackWidget::labelContentSize() const
{
    if (!m_labelLayout)
        return {};
    const QSizeF lines = m_labelLayout->size();
    const double padding = YoyoTimeLabelLook::of(true, 1).padding;
    return { lines.width() + 2 * padding, lines.height() + 2 * padding };
}

Rect YoyoBackWidget::labelFrame() const
{
    // On whole pixels: the label's surface is one image drawn there, and the window's shape
    // is cut to the same edges.
    const Rect frame = yoyoTimeLabelFrame(
        labelContentSize(), m_labelPresentation.value(), m_bottomBlobFrame, m_bottomBlobLeading);
    return { std::round(frame.x()), std::round(frame.y()), std::round(frame.width()),
        std::round(frame.height()) };
}

QRegion YoyoBackWidget::paintedRegion() const
{
    QRegion region = blobRegion(m_blob.frame());
    const double presentation = m_labelPresentation.value();
    const auto look = YoyoTimeLabelLook::between(presentation, m_blob.frame().opacity);
    if (look.materialOpacity > 0 || look.accentOpacity > 0) {
        const Rect frame = labelFrame();
        if (!frame.isEmpty())
            region
                += QRegion(continuousRoundedRect(toQRectF(frame), YoyoTimeLabelLook::cornerRadius)
                               .toFillPolygon()
                               .toPolygon());
    }
    return region;
}

void YoyoBackWidget::moved()
{
    // A hidden window lays nothing out and paints nothing; showing it starts from here.
    if (hiddenInWindow(this))
        return;
    const QRegion dirty = relayout();
    // The window is reshaped once per frame, just before it: a move and the animation frames
    // that come with it change the region together, and each reshape costs the X server a new
    // clip of the window.
    m_regionReportPending = true;
    if (!dirty.isEmpty())
        requestFrame(dirty);
    else
        reportPaintedRegion();
}

QRegion YoyoBackWidget::relayout()
{
    const BlobFrame blob = m_blob.frame();
    const QRect blobBounds = blob.opacity > 0 ? outward(blob.paintedBounds()) : QRect();
    const Rect label = labelFrame();
    const double reach = shadowExtent(labelShadow(1)) + 1;
    const QRect labelBounds = label.isEmpty() ? QRect() : outward(label.insetBy(-reach, -reach));
    // A frame of the label's fade alone leaves the blob as it stands: its bounds stay out of
    // the repaint, which then covers a small label instead of the whole length of the pull.
    const bool blobChanged = m_blobChanged || blobBounds != m_blobBounds;
    m_blobChanged = false;
    QRegion dirty;
    for (const QRect& r : { m_labelBounds, labelBounds }) {
        if (!r.isEmpty())
            dirty += r;
    }
    if (blobChanged) {
        for (const QRect& r : { m_blobBounds, blobBounds }) {
            if (!r.isEmpty())
                dirty += r;
        }
    }
    m_blobBounds = blobBounds;
    m_labelBounds = labelBounds;
    return dirty;
}

void YoyoBackWidget::requestFrame(const QRegion& dirty)
{
    // Like update(), one frame a turn however many changes come in it.
    m_pendingFrame += dirty;
    if (m_frameRequested)
        return;
    m_frameRequested = true;
    // After the turn's other posted events, as Qt posts its own repaints: the changes they
    // bring (the label following the blob) go out in the same frame.
    QCoreApplication::postEvent(this, new QEvent(frameEvent()), Qt::LowEventPriority);
}

bool YoyoBackWidget::event(QEvent* event)
{
    if (event->type() == frameEvent()) {
        sendFrame();
        return true;
    }
    return QWidget::event(event);
}

void YoyoBackWidget::sendFrame()
{
    m_frameRequested = false;
    if (hiddenInWindow(this)) {
        m_pendingFrame = QRegion();
        return;
    }
    // The label follows the blob's lower end as the blob publishes it, which may come after
    // the change that asked for this frame: the frame takes where it stands now.
    QRegion dirty = std::exchange(m_pendingFrame, QRegion()) + relayout();
    const QRegion shown = m_lastPainted;
    if (m_regionReportPending)
        reportPaintedRegion();
    // Where the window's new shape shows it for the first time, the server holds nothing yet:
    // this frame draws it, which also answers the exposes the reshape brings.
    dirty += m_lastPainted - shown;
    const bool sent = m_presenter.present(
        dirty, [&](QImage& target, const QPoint& origin) { drawFrame(target, origin, dirty); });
    if (!sent)
        update(dirty);
}

void YoyoBackWidget::drawFrame(QImage& target, const QPoint& origin, const QRegion& region)
{
    // As paintEvent draws, into the frame's own image: the blob on the paint thread, the
    // label here.
    if (region.intersects(m_blobBounds)) {
        const BlobFrame blob = m_blob.frame();
        const QPalette colours = palette();
        const QRegion blobPart = (region & m_blobBounds).translated(-origin);
        runOnPaintThread([&] {
            QPainter painter(&target);
            painter.setClipRegion(blobPart);
            painter.translate(-origin);
            paintBlob(painter, blob, colours);
        });
    }
    const Rect label = labelFrame();
    if (!label.isEmpty() && region.intersects(m_labelBounds)) {
        QPainter painter(&target);
        // What a painter on the widget starts with.
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.setClipRegion(region.translated(-origin));
        painter.translate(-origin);
        paintLabel(painter, label, region);
    }
}

void YoyoBackWidget::reportPaintedRegion()
{
    m_regionReportPending = false;
    if (!m_onPaintedRegionChanged)
        return;
    const QRegion painted = paintedRegion();
    if (painted != m_lastPainted) {
        m_lastPainted = painted;
        m_onPaintedRegionChanged(painted);
    }
}

void YoyoBackWidget::paintLabel(QPainter& painter, const Rect& frame, const QRegion& region) const
{
    const double presentation = std::clamp(m_labelPresentation.value(), 0.0, 1.0);
    // The cover shows the blob's colour as the blob fades, not as the state jumps.
    const auto look = YoyoTimeLabelLook::between(presentation, m_blob.frame().opacity);
    const QRectF rect = toQRectF(frame);
    const double radius = YoyoTimeLabelLook::cornerRadius;
    const ColorScheme scheme = colorScheme(this);
    // Shadow, plate and border are images kept between frames, drawn at the look's opacities
    // (which all follow the presentation): a pull moves the label each frame and changes its
    // size only with the width of the time, and its fading in and out draws the same images
    // more or less opaque. The cover, shown only while the label turns into the blob's end,
    // goes over the time and under the border.
    const bool covered = look.accentOpacity > 0;
    SurfaceLook plate;
    plate.cornerRadius = radius;
    plate.shadow = labelShadow(1);
    plate.fill = materialTint(Material::popover, scheme, palette(), false);
    if (!covered) {
        plate.border = visualEffectBorderColor(scheme, 1);
        plate.borderWidth = 1;
    }
    const double opacity = painter.opacity();
    painter.save();
    if (look.materialOpacity > 0) {
        painter.setOpacity(opacity * look.materialOpacity);
        m_labelSurface.paint(painter, rect, plate, region);
        painter.setOpacity(opacity);
    }
    // Fully presented, the time lies well inside the plate's corners; on its way between the
    // two looks it may not.
    if (m_labelLayout && look.contentOpacity > 0) {
        if (presentation < 1) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipPath(continuousRoundedRect(rect, radius), Qt::IntersectClip);
        }
        const double padding = YoyoTimeLabelLook::of(true, 1).padding;
        m_labelLayout->paint(painter, rect.topLeft() + QPointF(padding, padding), palette(),
            look.contentOpacity * TimeView::labelsOpacity(presentation));
    }
    painter.restore();
    if (covered) {
        SurfaceLook cover;
        cover.cornerRadius = radius;
        cover.fill = palette().color(QPalette::Active, QPalette::Highlight);
        cover.fill.setAlpha(255);
        painter.save();
        painter.setOpacity(opacity * look.accentOpacity);
        paintSurface(painter, rect, cover, region);
        if (look.borderOpacity > 0) {
            SurfaceLook border;
            border.cornerRadius = radius;
            border.border = visualEffectBorderColor(scheme, 1);
            border.borderWidth = 1;
            painter.setOpacity(opacity * look.borderOpacity);
            paintSurface(painter, rect, border, region);
        }
        painter.restore();
    }
}

void YoyoBackWidget::paintEvent(QPaintEvent* event)
{
    ++m_paints;
    const QRegion& region = event->region();
    if (region.intersects(m_blobBounds)) {
        // The blob's long antialiased shapes are drawn on the paint thread, and only where
        // it lies: the window is cleared beneath every paint, and its first paint covers
        // the whole screen.
        const BlobFrame blob = m_blob.frame();
        const QPalette colours = palette();
        m_canvas.paint(this, region & m_blobBounds,
            [&](QPainter& painter) { paintBlob(painter, blob, colours); });
    }
    // The label stays here: text drawn on another thread loads its fonts a second time.
    const Rect label = labelFrame();
    if (!label.isEmpty() && region.intersects(m_labelBounds)) {
        QPainter painter(this);
        painter.setClipRegion(region);
        paintLabel(painter, label, region);
    }
}

void YoyoBackWidget::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_canvas.release();
    m_labelSurface.release();
    m_presenter.release();
}

void YoyoBackWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_blobBounds = {};
    m_labelBounds = {};
    moved();
    // The window maps shaped to its first frame.
    reportPaintedRegion();
}

void YoyoBackWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && m_shown.timeView.formatter) {
        m_labelLayout.reset(); // the same text, shaped in the new font
        updateLabelText(m_shown.timeView);
    }
    QWidget::changeEvent(event);
}

} // namespace tidemark
