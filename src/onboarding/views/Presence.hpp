#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Transition.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Animator.hpp"

#include <QPointer>
#include <QWidget>

#include <optional>

namespace tidemark {

class TransitionEffect;

// Shows and hides one widget through a transition, like TransitionPresenter, but the
// transition's effect is on the widget only while it is in motion or away: at rest in place
// the widget draws itself plainly. That keeps resting views cheap to draw, and keeps them in
// images made with QWidget::render, which places a child's effect wrongly when the child
// does not stand at the rendered widget's origin.
class Presence {
public:
    Presence(QWidget* widget, Transition transition, bool presented = true);
    ~Presence();
    Presence(const Presence&) = delete;
    Presence& operator=(const Presence&) = delete;

    bool isPresented() const { return m_presented; }
    // Under an animation the presence moves; without one it jumps.
    void setPresented(bool presented, const std::optional<Animation>& animation);
    // 0 away, 1 in place.
    const Animated<double>& presence() const { return m_presence; }

private:
    void apply(double presence);

    QPointer<QWidget> m_widget;
    Transition m_transition;
    bool m_presented;
    Animated<double> m_presence;
    QPointer<TransitionEffect> m_effect;
    rx::Cancellable m_frames;
};

} // namespace tidemark
