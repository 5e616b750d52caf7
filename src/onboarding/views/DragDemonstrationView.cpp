#include "onboarding/views/DragDemonstrationView.hpp"

#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

// The menu-bar icon: a 22-point strip around its 16 × 16 content square.
constexpr double stripHeight = 22;
constexpr double iconSide = 16;

// A timer for still pictures: it only remembers the wait it was given.
class HeldTimer final : public DragDemonstrationTimer {
public:
    void start(double, std::function<void()> done) override { m_done = std::move(done); }
    void stop() override { m_done = nullptr; }
    bool isActive() const override { return bool(m_done); }
    void fire()
    {
        auto done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done();
    }

private:
    std::function<void()> m_done;
};

} // namespace

QtDragDemonstrationTimer::QtDragDemonstrationTimer()
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        auto done = std::move(m_done);
        m_done = nullptr;
        if (done)
            done();
    });
}

void QtDragDemonstrationTimer::start(double seconds, std::function<void()> done)
{
    m_done = std::move(done);
    m_timer.start(int(std::lround(seconds * 1000)));
}

void QtDragDemonstrationTimer::stop()
{
    m_timer.stop();
    m_done = nullptr;
}

QPainterPath arrowPointerPath()
{
    QPainterPath path;
    path.moveTo(0, 0);
    path.lineTo(0, 16.5);
    path.lineTo(4, 12.7);
    path.lineTo(6.9, 19);
    path.lineTo(9.4, 17.9);
    path.lineTo(6.6, 11.7);
    path.lineTo(12, 11.7);
    path.closeSubpath();
    return path;
}

DragInteractionDemoView::DragInteractionDemoView(
    bool isPlaying, QWidget* parent, FrameClock* clock, DragDemonstrationTimer* timer)
    : QWidget(parent)
    , m_isPlaying(isPlaying)
    , m_ownTimer(timer ? nullptr : std::make_unique<QtDragDemonstrationTimer>())
    , m_clock(clock)
    , m_cursor(Point {}, clock)
    , m_blob(clock)
    , m_icon(clock)
    , m_cycle(timer ? *timer : *m_ownTimer,
          [this](const DragInteractionDemoViewModel& model,
              const std::optional<Animation>& animation) { apply(model, animation); })
{
    setObjectName(QStringLiteral("DragInteractionDemoView"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_icon.setLarge(false);
    m_icon.jump();
    m_tokens.push_back(m_cursor.onFrame([this](const Point&) { repaintMoved(); }));
    m_blob.setOnFrame([this] { repaintMoved(); });
    m_icon.setOnFrame([this] { repaintMoved(); });
    m_cycle.setIconFrame(iconFrame());
    m_blob.jump(
        { .startFrame = iconFrame(), .translation = {}, .isSmall = false, .blobOpacity = 0 });
}

DragInteractionDemoView::~DragInteractionDemoView()
{
    m_cycle.stop();
}

Rect DragInteractionDemoView::iconFrame() const
{
    return { (width() - iconSide) / 2, (stripHeight - iconSide) / 2, iconSide, iconSide };
}

QSize DragInteractionDemoView::sizeHint() const
{
    return { 324, 200 };
}

void DragInteractionDemoView::setPlaying(bool isPlaying)
{
    if (m_isPlaying == isPlaying)
        return;
    m_isPlaying = isPlaying;
    if (m_onScreen)
        m_cycle.playbackChanged(isPlaying);
}

void DragInteractionDemoView::setInView(bool inView)
{
    m_inView = inView;
    onScreenChanged();
}

void DragInteractionDemoView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    onScreenChanged();
}

void DragInteractionDemoView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    onScreenChanged();
}

void DragInteractionDemoView::onScreenChanged()
{
    const bool onScreen = m_inView && isVisible();
    if (onScreen == m_onScreen)
        return;
    m_onScreen = onScreen;
    if (onScreen) {
        m_cycle.playbackChanged(true); // appearing plays, whatever the playing flag says
        return;
    }
    m_cycle.stop();
    // The motions in flight rest at their ends at once: finishing them out of sight would
    // keep the frame clock waking the program for a second or more after each closing.
    const DragInteractionDemoViewModel& model = m_cycle.model();
    m_cursor.jump(m_cursor.target());
    m_blob.jump({ .startFrame = model.iconFrame,
        .translation = model.translation,
        .isSmall = false,
        .blobOpacity = model.blobOpacity });
    m_icon.jump();
}

void DragInteractionDemoView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const Rect before = m_cycle.model().iconFrame;
    const Rect after = iconFrame();
    if (before == after)
        return;
    m_cycle.setIconFrame(after);
    if (m_cycle.isRunning()) {
        // A pass laid out for the old size starts over on the new one.
        m_cycle.playbackChanged(true);
        return;
    }
    // A still picture moves along with the icon.
    const double dx = after.origin.x - before.origin.x;
    const double dy = after.origin.y - before.origin.y;
    m_cursor.jump(m_cursor.target().offsetBy(dx, dy));
    const BlobFrame blob = m_blob.frame();
    m_blob.jump({ .startFrame = after,
        .translation = blob.model.translation,
        .isSmall = false,
        .blobOpacity = blob.opacity });
}

void DragInteractionDemoView::apply(
    const DragInteractionDemoViewModel& model, const std::optional<Animation>& animation)
{
    m_cursor.setTarget(model.mouseCursorPosition, animation);
    const YoyoBlobView::State blob { .startFrame = model.iconFrame,
        .translation = model.translation,
        .isSmall = false,
        .blobOpacity = model.blobOpacity };
    withAnimation(animation, [&] { m_blob.set(blob); });
    if (model.zevovozoStatus != m_shownStatus) {
        m_shownStatus = model.zevovozoStatus;
        // The icon moves with its own spring, as the menu-bar icon does.
        m_icon.update(model.zevovozoStatus);
    }
    update();
}

void DragInteractionDemoView::showStep(DragDemonstrationStep step)
{
    m_cycle.stop();
    m_cycle.setIconFrame(iconFrame());
    HeldTimer timer;
    DragInteractionDemoViewModel shown;
    DragDemonstrationCycle still(
        timer, [&](const DragInteractionDemoViewModel& model, const std::optional<Animation>&) {
            shown = model;
        });
    still.setIconFrame(iconFrame());
    still.playbackChanged(true);
    while (still.step() != step)
        timer.fire();
    m_cursor.jump(shown.mouseCursorPosition);
    m_blob.jump({ .startFrame = shown.iconFrame,
        .translation = shown.translation,
        .isSmall = false,
        .blobOpacity = shown.blobOpacity });
    m_shownStatus = shown.zevovozoStatus;
    m_icon.update(shown.zevovozoStatus);
    m_icon.jump();
    update();
}

PopoverEmptyDemonstration makePopoverDragDemonstration(bool isPlaying)
{
    auto* view = new DragInteractionDemoView(isPlaying);
    return { view, [view = QPointer<DragInteractionDemoView>(view)](bool playing) {
                if (view)
                    view->setPlaying(playing);
            } };
}

QRect DragInteractionDemoView::movingBounds() const
{
    // The pointer's picture, the icon's cell and the blob with its shadow.
    const QRectF arrow = arrowPointerPath().boundingRect();
    const Point at = m_cursor.value();
    QRectF bounds(at.x + iconSide / 2 - arrow.width() / 2, at.y + iconSide / 2 - arrow.height() / 2,
        arrow.width(), arrow.height());
    bounds = bounds.united(toQRectF(iconFrame()));
    const BlobFrame blob = m_blob.frame();
    if (blob.opacity > 0)
        bounds = bounds.united(toQRectF(blob.paintedBounds()));
    return bounds.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void DragInteractionDemoView::repaintMoved()
{
    // Only where something moves, where it was and where it is: the rest of the picture
    // stands still, and the demonstration runs for as long as its page is open.
    const QRect now = movingBounds();
    update(now.united(m_lastMoving));
    m_lastMoving = now;
}

void DragInteractionDemoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const bool dark = colorScheme(pal) == ColorScheme::dark;
    const QColor primary = pal.color(QPalette::Active, QPalette::WindowText);
    const QColor secondary = withOpacity(primary, 0.5);

    painter.fillRect(rect(), withOpacity(primary, 0.1));
    // The strip of the menu bar, with the icon's cell in its middle.
    painter.fillRect(
        QRectF(0, 0, width(), stripHeight), withOpacity(dark ? Qt::black : Qt::white, 0.5));
    const QRectF cell = toQRectF(iconFrame());
    const double padding = std::clamp(m_icon.shown(iconSide).padding, 0.0, iconSide / 2);
    const BlobIcon::State look = m_icon.shown(iconSide - 2 * padding);
    const double radius = std::clamp(look.cornerRadius, 0.0, iconSide / 2);
    painter.setPen(QPen(primary, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(cell.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    const QColor accent = pal.color(QPalette::Active, QPalette::Highlight);
    const double a = std::clamp(m_icon.accent(), 0.0, 1.0);
    const QColor tint
        = QColor::fromRgbF(float(primary.redF() + (accent.redF() - primary.redF()) * a),
            float(primary.greenF() + (accent.greenF() - primary.greenF()) * a),
            float(primary.blueF() + (accent.blueF() - primary.blueF()) * a));
    paintBlobIcon(painter, cell.adjusted(padding, padding, -padding, -padding), look, tint);

    // The blob, in the secondary colour from end to end.
    const BlobFrame blob = m_blob.frame();
    if (blob.opacity > 0) {
        QPalette blobPalette = pal;
        blobPalette.setColor(QPalette::Active, QPalette::WindowText, secondary);
        blobPalette.setColor(QPalette::Active, QPalette::Highlight, secondary);
        paintBlob(painter, blob, blobPalette);
    }

    // The pointer: its picture centred half an icon below and right of its position.
    const QPainterPath arrow = arrowPointerPath();
    const QRectF box = arrow.boundingRect();
    const Point at = m_cursor.value();
    painter.translate(
        at.x + iconSide / 2 - box.width() / 2, at.y + iconSide / 2 - box.height() / 2);
    painter.setOpacity(0.7);
    painter.setPen(QPen(withOpacity(pal.color(QPalette::Active, QPalette::Window), 0.9), 1));
    painter.setBrush(secondary.toRgb());
    painter.drawPath(arrow);
}

} // namespace tidemark
