#include "platform/ui/TransitionEffect.hpp"

#include "platform/ui/QtGeometry.hpp"

#include <QPainter>
#include <QTransform>

namespace tidemark {

namespace {

QTransform transformOf(const TransitionAppearance& look, const QRectF& bounds)
{
    const QPointF anchor(
        bounds.x() + bounds.width() * look.anchor.x, bounds.y() + bounds.height() * look.anchor.y);
    QTransform transform;
    transform.translate(look.offset.width, look.offset.height);
    transform.translate(anchor.x(), anchor.y());
    transform.scale(look.scale, look.scale);
    transform.translate(-anchor.x(), -anchor.y());
    return transform;
}

} // namespace

TransitionEffect::TransitionEffect(QObject* parent)
    : QGraphicsEffect(parent)
{
}

void TransitionEffect::setAppearance(const TransitionAppearance& appearance)
{
    if (appearance == m_appearance)
        return;
    m_appearance = appearance;
    updateBoundingRect();
    update();
}

QRectF TransitionEffect::boundingRectFor(const QRectF& rect) const
{
    if (m_appearance.isIdentity())
        return rect;
    return rect.united(transformOf(m_appearance, rect).mapRect(rect));
}

void TransitionEffect::draw(QPainter* painter)
{
    if (m_appearance.isIdentity()) {
        drawSource(painter);
        return;
    }
    if (m_appearance.opacity <= 0 || m_appearance.scale <= 0)
        return;
    QPoint offset;
    const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset, NoPad);
    if (pixmap.isNull())
        return;
    const QRectF bounds = sourceBoundingRect(Qt::LogicalCoordinates);
    painter->save();
    painter->setOpacity(painter->opacity() * m_appearance.opacity);
    painter->setTransform(transformOf(m_appearance, bounds), true);
    painter->drawPixmap(offset, pixmap);
    painter->restore();
}

TransitionPresenter::TransitionPresenter(QWidget* widget, Transition transition, FrameClock* clock)
    : m_widget(widget)
    , m_transition(transition)
    , m_presented(widget && !widget->isHidden())
    , m_presence(m_presented ? 1.0 : 0.0, clock)
{
    if (m_widget) {
        m_effect = new TransitionEffect(m_widget);
        m_widget->setGraphicsEffect(m_effect);
    }
    m_frameToken = m_presence.onFrame([this](const double& presence) { apply(presence); });
    apply(m_presence.value());
}

TransitionPresenter::~TransitionPresenter()
{
    m_frameToken.cancel();
    if (m_widget && m_effect && m_widget->graphicsEffect() == m_effect)
        m_widget->setGraphicsEffect(nullptr);
}

void TransitionPresenter::setPresented(bool presented)
{
    setPresented(presented, currentTransaction().animation);
}

void TransitionPresenter::setPresented(bool presented, const std::optional<Animation>& animation)
{
    if (presented == m_presented)
        return;
    m_presented = presented;
    if (presented && m_widget)
        m_widget->show();
    m_presence.setTarget(presented ? 1.0 : 0.0, animation);
}

void TransitionPresenter::setTransition(const Transition& transition)
{
    m_transition = transition;
    apply(m_presence.value());
}

TransitionAppearance TransitionPresenter::appearance() const
{
    const Size size = m_widget ? fromQt(m_widget->size()) : Size {};
    return m_transition.appearance(m_presence.value(), size);
}

void TransitionPresenter::apply(double presence)
{
    if (!m_widget)
        return;
    if (m_effect)
        m_effect->setAppearance(appearance());
    // Removed and at rest: out of sight and out of the way of the pointer.
    if (!m_presented && presence == 0 && !m_presence.isAnimating())
        m_widget->hide();
}

} // namespace tidemark
