#include "menubar/views/StatusItemView.hpp"

#include "core/connectors/MenuBarConnectors.hpp"
#include "core/state/AppState.hpp"
#include "entry/views/DragEventViewModifier.hpp"
#include "menubar/BackgroundProgressBar.hpp"
#include "menubar/StatusItemLook.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/FrameClock.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/StatusBar.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace tidemark {

namespace {

// The countdown's appearing and going.
const Animation& countdownAnimation()
{
    static const Animation spring = Animation::spring(0.25, 0.6, 0);
    return spring;
}

QFont captionFont(const QFont& base)
{
    QFont font = base;
    const double size = base.pointSizeF() > 0 ? base.pointSizeF() : 10;
    font.setPointSizeF(size * 0.85);
    return font;
}

QColor blend(const QColor& from, const QColor& to, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(float(from.redF() + (to.redF() - from.redF()) * t),
        float(from.greenF() + (to.greenF() - from.greenF()) * t),
        float(from.blueF() + (to.blueF() - from.blueF()) * t),
        float(from.alphaF() + (to.alphaF() - from.alphaF()) * t));
}

} // namespace

StatusItemView::StatusItemView(
    std::shared_ptr<ViewStore> store, std::function<State()> currentState, QWidget* parent)
    : QWidget(parent)
    , m_store(std::move(store))
    , m_current(std::move(currentState))
    , m_now([] { return SystemClock {}.now(); })
    , m_countdownWidth(0.0)
    , m_barProgress(0.0)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    m_capture = new DragEventViewModifier(
        this,
        [this] {
            const Rect hit = StatusItemLook::hitFrame({ double(width()), double(height()) });
            return toQRectF(hit);
        },
        Binding<ZevovozoStatus> { [this] { return current().zevovozoStatus; },
            [this](const ZevovozoStatus& status) { writeStatus(status); } },
        [this](DragGesturePhase phase, const AnyDragGestureValue& value) {
            handleDrag(phase, value);
        });

    m_icon.setOnFrame([this] { update(iconRect().adjusted(-6, -6, 6, 6).toAlignedRect()); });
    m_frameTokens.push_back(m_countdownWidth.onFrame([this](double) {
        updateGeometry();
        update();
    }));
    m_frameTokens.push_back(m_barProgress.onFrame([this](double) { update(); }));

    stateChanged(m_store->state(), true);
    m_stateToken = m_store->statePublisher().sink(
        [this](const State& state) { stateChanged(state, false); });
}

StatusItemView::~StatusItemView() = default;

void StatusItemView::setClock(std::function<Date()> now)
{
    m_now = std::move(now);
    m_capture->setClock(m_now);
    refreshCountdown(false);
    refreshBar(false);
}

StatusItemView::State StatusItemView::current() const
{
    return m_current ? m_current() : m_store->state();
}

void StatusItemView::writeStatus(ZevovozoStatus status)
{
    for (const Action& action : statusItemStatusActions(current(), status, m_now(), m_calendar))
        m_store->dispatch(action);
}

void StatusItemView::handleDrag(DragGesturePhase phase, const AnyDragGestureValue& value)
{
    // Against the drag as the main store holds it now: two events of one turn must not both
    // pass for the first.
    for (const Action& action : statusItemDragActions(current(), phase, value))
        m_store->dispatch(action);
}

void StatusItemView::stateChanged(const State& state, bool initial)
{
    const State old = m_shown;
    m_shown = state;
    if (initial || state.zevovozoStatus != old.zevovozoStatus) {
        if (initial) {
            m_icon.model().update(state.zevovozoStatus, BlobIconViewModel::animation());
            m_icon.jump();
        } else {
            m_icon.update(state.zevovozoStatus);
        }
        m_capture->statusChanged(state.zevovozoStatus);
    }
    if (initial || state.countdown.timer.id != m_timerId) {
        m_timerId = state.countdown.timer.id;
        m_tickToken = state.countdown.timer.publisher.sink([this](const rx::Unit&) { tick(); });
    }
    if (initial || !(state.countdown == old.countdown)) {
        refreshCountdown(!initial);
        refreshBar(!initial);
    }
}

void StatusItemView::tick()
{
    refreshCountdown(true);
    refreshBar(true);
}

double StatusItemView::textWidth() const
{
    if (m_countdownText.empty())
        return 0;
    return std::ceil(QFontMetricsF(captionFont(font()))
                         .horizontalAdvance(QString::fromStdString(m_countdownText)));
}

void StatusItemView::refreshCountdown(bool animated)
{
    const CountdownView::State& countdown = m_shown.countdown;
    const std::string text = countdown.title(m_now()).value_or(std::string());
    const bool presented = countdown.isPresented;
    const bool textChanged = text != m_countdownText;
    m_countdownText = text;
    if (animated)
        m_icon.setLarge(StatusItemLook::blobIsLarge(countdown, m_now()));
    else {
        m_icon.model().setLarge(StatusItemLook::blobIsLarge(countdown, m_now()));
        m_icon.jump();
    }
    const double width = presented
        ? StatusItemLook::countdownLeading + textWidth() + StatusItemLook::countdownTrailing
        : 0;
    if (presented != m_countdownPresented || width != m_countdownWidth.target()) {
        const bool appears = presented != m_countdownPresented;
        m_countdownPresented = presented;
        if (animated && appears)
            m_countdownWidth.setTarget(width, countdownAnimation());
        else
            m_countdownWidth.jump(width);
    } else if (textChanged) {
        update();
    }
}

void StatusItemView::refreshBar(bool animated)
{
    const CountdownView::State& countdown = m_shown.countdown;
    std::optional<Date> start;
    std::optional<Date> due;
    if (countdown.reminder) {
        start = startDate(*countdown.reminder);
        due = dueDate(*countdown.reminder);
    }
    const double progress = BackgroundProgressBar::progress(start, due, m_now());
    const QRectF stack = stackRect();
    const long pixels = BackgroundProgressBar::visibleWidth(
        { stack.width(), stack.height() }, progress, devicePixelRatioF());
    if (pixels == m_barPixels)
        return;
    // A pixel's step of the clock is drawn as it is; a new reminder's bar springs.
    const bool step = m_barPixels >= 0 && std::abs(pixels - m_barPixels) <= 1;
    m_barPixels = pixels;
    if (animated && !step)
        m_barProgress.setTarget(progress, Animation(BackgroundProgressBar::spring()));
    else
        m_barProgress.jump(progress);
}

QSize StatusItemView::sizeHint() const
{
    const double width = 2 * StatusItemLook::horizontalPadding + StatusItemLook::iconSide
        + std::max(0.0, m_countdownWidth.value());
    return { int(std::ceil(width)), int(StatusItemLook::height) };
}

QRectF StatusItemView::stackRect() const
{
    const double stackHeight = StatusItemLook::iconSide;
    const double stackWidth = StatusItemLook::iconSide + std::max(0.0, m_countdownWidth.value());
    return { StatusItemLook::horizontalPadding, (height() - stackHeight) / 2, stackWidth,
        stackHeight };
}

QRectF StatusItemView::iconRect() const
{
    const double side = StatusItemLook::iconSide;
    return { StatusItemLook::horizontalPadding, (height() - side) / 2, side, side };
}

QColor StatusItemView::colour(int role) const
{
    const QColor text = palette().color(QPalette::Active, QPalette::WindowText);
    switch (StatusItemColor(role)) {
    case StatusItemColor::primary:
        return text;
    case StatusItemColor::tertiaryLabel:
        return withOpacity(text, 0.26);
    case StatusItemColor::black:
        return Qt::black;
    case StatusItemColor::white:
        return Qt::white;
    case StatusItemColor::accent:
        return palette().color(QPalette::Active, QPalette::Highlight);
    }
    return text;
}

void StatusItemView::paintEvent(QPaintEvent*)
{
    ++m_paintCount;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const CountdownView::State& countdown = m_shown.countdown;
    const QRectF stack = stackRect();
    const double side = StatusItemLook::iconSide;
    const BlobIcon::State outer = m_icon.shown(side);
    const double radius = StatusItemLook::containerCornerRadius(outer, stack.height());

    if (StatusItemLook::showsProgressBar(countdown)) {
        const Rect bar = BackgroundProgressBar::barRect(
            { stack.width(), stack.height() }, m_barProgress.value());
        if (!bar.isEmpty()) {
            QColor tint = colour(int(StatusItemColor::accent));
            tint.setAlphaF(float(std::clamp(countdown.progressBar.opacity, 0.0, 1.0)));
            fillContinuousRoundedRect(painter, toQRectF(bar).translated(stack.topLeft()),
                std::max(0.0, radius - 1), tint);
        }
    }
    strokeContinuousRoundedRect(painter, stack, radius, 1, colour(int(StatusItemColor::primary)));

    // The icon: its background, then the blob in its tint.
    const QRectF icon = iconRect();
    const double padding = outer.padding;
    const QRectF inner = icon.adjusted(padding, padding, -padding, -padding);
    const BlobIcon::State look = m_icon.shown(inner.height());
    if (look.backgroundIsPresented) {
        fillContinuousRoundedRect(painter, inner, std::max(0.0, radius - padding),
            colour(int(StatusItemLook::iconBackground(countdown))));
    }
    const bool dark = colorScheme(this) == ColorScheme::dark;
    BlobIcon::State resting = look;
    resting.tintColor.reset();
    const QColor base = colour(int(StatusItemLook::iconTint(resting, countdown, dark)));
    const QColor tint = blend(base, colour(int(StatusItemColor::accent)), m_icon.accent());
    paintBlobIcon(painter, inner, look, tint);

    if (m_countdownWidth.value() > 0 && !m_countdownText.empty()) {
        painter.setClipRect(stack);
        painter.setFont(captionFont(font()));
        painter.setPen(colour(int(StatusItemColor::primary)));
        const QRectF text(icon.right() + StatusItemLook::countdownLeading, stack.top(),
            std::max(0.0, m_countdownWidth.value()), stack.height());
        painter.drawText(
            text, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(m_countdownText));
    }
}

void StatusItemView::mousePressEvent(QMouseEvent* event)
{
    m_capture->press(event);
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void StatusItemView::mouseMoveEvent(QMouseEvent* event)
{
    // A pull paints once per move: an animation frame that is due comes with the move rather
    // than as a paint of its own between two moves.
    frameClock().frameForInput();
    m_capture->move(event);
    event->accept();
}

void StatusItemView::mouseReleaseEvent(QMouseEvent* event)
{
    const bool pulled = m_capture->release(event);
    const bool pressed = std::exchange(m_pressed, false);
    if (!pulled && pressed && event->button() == Qt::LeftButton
        && rect().contains(event->position().toPoint())) {
        const bool control = event->modifiers().testFlag(Qt::ControlModifier);
        if (const auto status = StatusItemLook::tapStatus(current().zevovozoStatus, control))
            writeStatus(*status);
    }
    event->accept();
}

void StatusItemView::reportIconFrame()
{
    if (!isVisible())
        return;
    const QRectF icon = iconRect();
    const Rect frame(fromQt(QPointF(mapToGlobal(icon.topLeft()))), fromQt(icon.size()));
    if (m_sentIconFrame == frame)
        return;
    m_sentIconFrame = frame;
    m_store->dispatch(Action::IconFrame { frame });
}

void StatusItemView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    reportIconFrame();
}

void StatusItemView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    refreshBar(false);
    reportIconFrame();
}

void StatusItemView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        refreshCountdown(false);
    QWidget::changeEvent(event);
}

namespace {

// Follows the button the view is hosted in: each move of the item on screen reports the
// icon's frame and asks for the drag frame to be measured again.
class StatusItemMoves final : public QObject {
public:
    StatusItemMoves(StatusItemView* view, std::weak_ptr<AppStore> store)
        : QObject(view)
        , m_view(view)
        , m_store(std::move(store))
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_view && event->type() == QEvent::ParentChange)
            follow(qobject_cast<StatusBarButton*>(m_view->parentWidget()));
        return QObject::eventFilter(watched, event);
    }

private:
    void follow(StatusBarButton* button)
    {
        QObject::disconnect(m_connection);
        if (!button)
            return;
        m_connection = connect(button, &StatusBarButton::moved, this, [this] {
            m_view->reportIconFrame();
            if (auto store = m_store.lock())
                store->dispatch(actions::viewAction(
                    ViewAction::StatusItem { StatusItemAction::UpdateDragFrame {} }));
        });
    }

    StatusItemView* m_view;
    std::weak_ptr<AppStore> m_store;
    QMetaObject::Connection m_connection;
};

} // namespace

QWidget* makeStatusItemContainerView(const AppStoreRef& store)
{
    std::weak_ptr<AppStore> weak = store;
    auto* view = new StatusItemView(store->connect(Connectors::StatusItemConnector {}), [weak] {
        auto main = weak.lock();
        return main ? Connectors::StatusItemConnector {}.mapState(main->state())
                    : StatusItemConnectingView::State {};
    });
    view->setObjectName(QStringLiteral("StatusItemView"));
    new StatusItemMoves(view, weak);
    return view;
}

} // namespace tidemark
