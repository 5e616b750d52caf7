#include "entry/views/ScrollDataEntryCard.hpp"

#include "core/SharedValues.hpp"
#include "entry/views/DataEntryControls.hpp"
#include "entry/views/TimeViewWidget.hpp"
#include "platform/ui/QtGeometry.hpp"
#include "toolkit/DropShadow.hpp"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

// The row's vertical padding while the label shows, the gap between the capsule and the
// label, and how far the label travels as it enters.
constexpr double labelVerticalPadding = 4;
constexpr double labelSpacing = 8;
constexpr double labelTravel = 24;
constexpr double openCornerRadius = 16;

Shadow cardShadow(double opacity)
{
    QColor colour(0, 0, 0);
    colour.setAlphaF(float(translucentBlack.alpha * std::clamp(opacity, 0.0, 1.0)));
    return { colour, 2, {} };
}

Animation presenceAnimation()
{
    return Animation::easeInOut(0.1);
}

void setOpacity(QWidget* widget, QGraphicsOpacityEffect* effect, double presence)
{
    const bool shown = presence > 0;
    if (shown != widget->isVisible())
        widget->setVisible(shown);
    const double opacity = std::clamp(presence, 0.0, 1.0);
    effect->setEnabled(opacity < 1);
    if (opacity < 1)
        effect->setOpacity(opacity);
}

} // namespace

ScrollDataEntryWidget::ScrollDataEntryWidget(QWidget* parent, FrameClock* clock)
    : QWidget(parent)
    , m_timeView(new TimeViewWidget(this))
    , m_controls(new DataEntryControls(this))
    , m_labelOpacity(new QGraphicsOpacityEffect(this))
    , m_controlsOpacity(new QGraphicsOpacityEffect(this))
    , m_size(Size {}, clock)
    , m_translation(0.0, clock)
    , m_padding(0.0, clock)
    , m_label(0.0, clock)
    , m_controlsShown(0.0, clock)
    , m_shadow(0.0, clock)
{
    setAttribute(Qt::WA_TranslucentBackground);
    m_timeView->setExpanded(true);
    m_timeView->setTimer(rx::Empty<rx::Unit>());
    m_timeView->setGraphicsEffect(m_labelOpacity);
    m_timeView->hide();
    m_controls->setCornerRadius(openCornerRadius);
    m_controls->setGraphicsEffect(m_controlsOpacity);
    m_controls->hide();
    for (auto* value : { &m_translation, &m_padding, &m_label, &m_controlsShown, &m_shadow })
        m_frames.push_back(value->onFrame([this](const double&) { frameMoved(); }));
    m_frames.push_back(m_size.onFrame([this](const Size&) { frameMoved(); }));
}

ScrollDataEntryWidget::~ScrollDataEntryWidget() = default;

int ScrollDataEntryWidget::shadowMargin()
{
    return int(std::ceil(shadowExtent(cardShadow(1))));
}

void ScrollDataEntryWidget::setModel(const Model& model)
{
    const Model old = m_model;
    m_model = model;
    const std::optional<Animation> animation = currentTransaction().animation;
    m_size.setTarget(sizeFor(model), animation);
    m_translation.setTarget(model.translation.height, animation);
    m_padding.setTarget(model.iconPadding, animation);
    m_shadow.setTarget(model.labelIsPresented ? 1.0 : 0.0, animation);
    // The label and the controls come and go in their own ease; a change that jumps
    // takes them along at once.
    const std::optional<Animation> presence
        = animation ? std::optional<Animation>(presenceAnimation()) : std::nullopt;
    m_label.setTarget(model.labelIsPresented ? 1.0 : 0.0, presence);
    m_controlsShown.setTarget(model.controlsArePresented ? 1.0 : 0.0, presence);
    if (model.controlsArePresented != old.controlsArePresented)
        m_timeView->titleField()->setFocus(Qt::OtherFocusReason);
    if (!(model == old)) {
        arrange();
        update();
    }
    Q_EMIT modelChanged();
}

void ScrollDataEntryWidget::setTimes(Date startDate, TimeInterval timeInterval)
{
    m_timeView->setTimes(startDate, timeInterval);
}

void ScrollDataEntryWidget::setTitle(const std::string& title)
{
    m_timeView->setTitle(title);
}

void ScrollDataEntryWidget::setFormatter(std::shared_ptr<DateComponentsFormatter> formatter)
{
    m_timeView->setFormatter(std::move(formatter));
}

void ScrollDataEntryWidget::setPrimaryAction(std::function<void()> action)
{
    m_timeView->setOnSubmit(action);
    m_controls->setPrimaryAction(std::move(action));
}

void ScrollDataEntryWidget::setSecondaryAction(std::function<void()> action)
{
    m_controls->setSecondaryAction(std::move(action));
}

void ScrollDataEntryWidget::setOnTitleEdited(std::function<void(const std::string&)> onTitleEdited)
{
    m_timeView->setOnTitleEdited(std::move(onTitleEdited));
}

Size ScrollDataEntryWidget::sizeFor(const Model& model) const
{
    const double label = model.labelIsPresented ? m_timeView->sizeHint().height() : 0;
    const double row = std::max(model.iconMaxLength, label) + 2 * model.iconPadding
        + (model.labelIsPresented ? 2 * labelVerticalPadding : 0);
    const double controls = model.controlsArePresented ? m_controls->sizeHint().height() : 0;
    return { model.maxSize.width, std::min(model.maxSize.height, row + controls) };
}

bool ScrollDataEntryWidget::isAnimating() const
{
    return m_size.isAnimating() || m_translation.isAnimating() || m_padding.isAnimating()
        || m_label.isAnimating() || m_controlsShown.isAnimating() || m_shadow.isAnimating();
}

QRect ScrollDataEntryWidget::labelRect() const
{
    return m_timeView->isVisible() ? m_timeView->geometry() : QRect();
}

QRect ScrollDataEntryWidget::controlsRect() const
{
    return m_controls->isVisible() ? m_controls->geometry() : QRect();
}

void ScrollDataEntryWidget::frameMoved()
{
    // Up to six values move in one frame, each with its hook: the card lays itself out, and
    // its window reshapes, once they all have.
    if (m_movePending)
        return;
    m_movePending = true;
    m_size.clock().afterFrame([card = QPointer(this)] {
        if (!card)
            return;
        card->m_movePending = false;
        card->arrange();
        card->update();
        Q_EMIT card->shownChanged();
    });
}

void ScrollDataEntryWidget::arrange()
{
    const double margin = shadowMargin();
    const Size size = m_size.value();
    const QRectF card(margin, margin, std::max(0.0, size.width), std::max(0.0, size.height));
    const double padding = m_padding.value();
    const double vertical = padding + (m_model.labelIsPresented ? labelVerticalPadding : 0);

    // The controls stand at the foot, entering from the top.
    const double controlsHeight = m_controls->sizeHint().height();
    const double controlsPresence = m_controlsShown.value();
    const double rowBottom = card.bottom() - (m_model.controlsArePresented ? controlsHeight : 0);
    if (controlsPresence > 0) {
        const double y = card.bottom() - controlsHeight - (1 - controlsPresence) * controlsHeight;
        m_controls->setGeometry(
            QRectF(card.left(), y, card.width(), controlsHeight).toAlignedRect());
    }
    setOpacity(m_controls, m_controlsOpacity, controlsPresence);

    const QRectF row = QRectF(QPointF(card.left(), card.top()), QPointF(card.right(), rowBottom))
                           .adjusted(padding, vertical, -padding, -vertical);
    const double capsuleWidth = std::max(
        0.0, std::min(m_model.iconMaxWidth.value_or(Model::infinity), double(row.width())));
    const double capsuleHeight
        = std::max(0.0, std::min(m_model.iconMaxLength, double(row.height())));
    const double capsuleLeft
        = m_model.labelIsPresented ? row.left() : row.center().x() - capsuleWidth / 2;
    m_capsule
        = QRectF(capsuleLeft, row.center().y() - capsuleHeight / 2, capsuleWidth, capsuleHeight);

    const double labelPresence = m_label.value();
    if (labelPresence > 0) {
        const double left = m_capsule.right() + labelSpacing;
        const double labelHeight = m_timeView->sizeHint().height();
        const double width = std::max(0.0, row.right() - left);
        m_timeView->setGeometry(QRectF(left + (1 - labelPresence) * labelTravel,
            row.center().y() - labelHeight / 2, width, labelHeight)
                                    .toAlignedRect());
    }
    setOpacity(m_timeView, m_labelOpacity, labelPresence);
}

void ScrollDataEntryWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void ScrollDataEntryWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        m_size.setTarget(sizeFor(m_model), std::nullopt);
        arrange();
    }
}

void ScrollDataEntryWidget::paintEvent(QPaintEvent* event)
{
    const double margin = shadowMargin();
    const Size size = m_size.value();
    // On whole device pixels: the surface is then stretched from a kept one, and the capsule
    // drawn from a kept image.
    const double ratio = devicePixelRatioF();
    const auto snap = [ratio](double value) { return std::round(value * ratio) / ratio; };
    const QRectF card(margin, margin, snap(size.width), snap(size.height));
    if (card.isEmpty())
        return;
    const double capsule = std::min(card.width(), card.height()) / 2;
    const double radius
        = std::isinf(m_model.cornerRadius) ? capsule : std::min(m_model.cornerRadius, capsule);
    // Each part is one image blended: nothing here is filled as a path, whose spans the
    // raster engine would split across the thread pool.
    QPainter painter(this);
    m_surface.paint(painter, card, dataEntrySurface(this, radius, cardShadow(m_shadow.value())),
        event->region());
    if (!m_capsule.isEmpty()) {
        const QRectF whole(QPointF(snap(m_capsule.x()), snap(m_capsule.y())),
            QSizeF(snap(m_capsule.width()), snap(m_capsule.height())));
        SurfaceLook look;
        look.cornerRadius = std::min(whole.width(), whole.height()) / 2;
        look.fill = palette().color(QPalette::Active, QPalette::WindowText);
        look.circularCorners = true;
        paintSurface(painter, whole, look, event->region());
    }
}

void ScrollDataEntryWidget::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    m_surface.release();
}

} // namespace tidemark
