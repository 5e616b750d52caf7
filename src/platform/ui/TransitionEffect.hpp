#pragma once

#include "platform/foundation/Transition.hpp"
#include "platform/ui/Animator.hpp"

#include <QGraphicsEffect>
#include <QPointer>
#include <QWidget>

namespace tidemark {

// Draws a widget (and everything in it) with a transition's look: faded, shifted and scaled.
// The widget keeps its geometry; only its drawing moves.
class TransitionEffect final : public QGraphicsEffect {
public:
    explicit TransitionEffect(QObject* parent = nullptr);

    const TransitionAppearance& appearance() const { return m_appearance; }
    void setAppearance(const TransitionAppearance& appearance);

    QRectF boundingRectFor(const QRectF& rect) const override;

protected:
    void draw(QPainter* painter) override;

private:
    TransitionAppearance m_appearance;
};

// Shows and hides one widget through a transition: inserting it makes it visible and moves its
// presence from 0 to 1, removing it moves presence to 0 and then hides it. Under an animation
// (the current transaction's by default) the presence animates, otherwise it jumps. Removing a
// widget in mid-insertion turns it round from where it stands.
class TransitionPresenter {
public:
    TransitionPresenter(QWidget* widget, Transition transition, FrameClock* clock = nullptr);
    ~TransitionPresenter();
    TransitionPresenter(const TransitionPresenter&) = delete;
    TransitionPresenter& operator=(const TransitionPresenter&) = delete;

    bool isPresented() const { return m_presented; }
    void setPresented(bool presented);
    void setPresented(bool presented, const std::optional<Animation>& animation);

    const Transition& transition() const { return m_transition; }
    void setTransition(const Transition& transition);

    // 0 removed, 1 in place; a spring may carry it beyond either end for a moment.
    const Animated<double>& presence() const { return m_presence; }
    TransitionAppearance appearance() const;

private:
    void apply(double presence);

    QPointer<QWidget> m_widget;
    Transition m_transition;
    bool m_presented;
    Animated<double> m_presence;
    QPointer<TransitionEffect> m_effect;
    rx::Cancellable m_frameToken;
};

} // namespace tidemark
