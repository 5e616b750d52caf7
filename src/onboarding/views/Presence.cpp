#include "onboarding/views/Presence.hpp"

#include "platform/ui/QtGeometry.hpp"
#include "platform/ui/TransitionEffect.hpp"

namespace tidemark {

Presence::Presence(QWidget* widget, Transition transition, bool presented)
    : m_widget(widget)
    , m_transition(transition)
    , m_presented(presented)
    , m_presence(presented ? 1.0 : 0.0)
{
    m_frames = m_presence.onFrame([this](const double& presence) { apply(presence); });
    apply(m_presence.value());
}

Presence::~Presence()
{
    m_frames.cancel();
    if (m_widget && m_effect && m_widget->graphicsEffect() == m_effect)
        m_widget->setGraphicsEffect(nullptr);
}

void Presence::setPresented(bool presented, const std::optional<Animation>& animation)
{
    if (presented == m_presented)
        return;
    m_presented = presented;
    if (presented && m_widget)
        m_widget->show();
    m_presence.setTarget(presented ? 1.0 : 0.0, animation);
    apply(m_presence.value());
}

void Presence::apply(double presence)
{
    if (!m_widget)
        return;
    const bool moving = m_presence.isAnimating();
    if (m_presented && !moving && presence >= 1) {
        if (m_effect) {
            m_widget->setGraphicsEffect(nullptr);
            m_effect = nullptr;
        }
        return;
    }
    if (!m_presented && !moving && presence <= 0) {
        m_widget->hide();
        return;
    }
    if (!m_effect) {
        m_effect = new TransitionEffect(m_widget);
        m_widget->setGraphicsEffect(m_effect);
    }
    m_effect->setAppearance(m_transition.appearance(presence, fromQt(m_widget->size())));
}

} // namespace tidemark
