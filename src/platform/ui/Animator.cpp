#include "platform/ui/Animator.hpp"

#include "platform/ui/SpringSolver.hpp"

#include <QEasingCurve>
#include <QPointF>

#include <algorithm>
#include <cmath>

namespace tidemark {

namespace {

double finiteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

} // namespace

template <std::size_t N> struct AnimatorCore<N>::Pending {
    Vector target;
    Animation animation;
    double start;
};

// A timing curve evaluated through Qt's cubic Bézier easing.
template <std::size_t N> struct AnimatorCore<N>::Curve {
    explicit Curve(const CubicBezier& bezier)
        : easing(QEasingCurve::BezierSpline)
    {
        if (bezier == CubicBezier::linear()) {
            easing = QEasingCurve(QEasingCurve::Linear);
        } else {
            easing.addCubicBezierSegment(
                QPointF(bezier.x1, bezier.y1), QPointF(bezier.x2, bezier.y2), QPointF(1, 1));
        }
    }
    double value(double progress) const { return easing.valueForProgress(progress); }
    // The curve's slope at `progress`, by a central difference inside [0, 1].
    double slope(double progress) const
    {
        constexpr double h = 1e-4;
        const double lo = std::max(0.0, progress - h);
        const double hi = std::min(1.0, progress + h);
        return (value(hi) - value(lo)) / (hi - lo);
    }
    QEasingCurve easing;
};

template <std::size_t N>
AnimatorCore<N>::AnimatorCore(const Vector& value)
    : m_value(value)
    , m_target(value)
    , m_goal(value)
{
}

template <std::size_t N> AnimatorCore<N>::~AnimatorCore() = default;

template <std::size_t N> void AnimatorCore<N>::jump(const Vector& value)
{
    m_pending.reset();
    m_curve.reset();
    m_motion = Motion::none;
    m_value = value;
    m_target = value;
    m_goal = value;
    m_velocity = {};
}

template <std::size_t N>
void AnimatorCore<N>::animate(const Vector& target, const Animation& animation, double now)
{
    m_target = target;
    const double delay = std::max(0.0, finiteOr(animation.delay(), 0));
    if (!isMoving())
        m_time = now;
    Frame ignored;
    moveTo(now, ignored);
    if (delay > 0) {
        // A later change replaces one that has not started yet.
        m_pending
            = std::make_unique<Pending>(Pending { target, animation.delayed(0), now + delay });
        return;
    }
    m_pending.reset();
    begin(target, animation, now);
}

template <std::size_t N> double AnimatorCore<N>::responseAt(double time) const
{
    if (m_blendDuration <= 0 || time >= m_blendStart + m_blendDuration)
        return m_response;
    const double share = std::clamp((time - m_blendStart) / m_blendDuration, 0.0, 1.0);
    return m_blendFrom + (m_response - m_blendFrom) * share;
}

template <std::size_t N>
void AnimatorCore<N>::begin(const Vector& target, const Animation& animation, double time)
{
    m_goal = target;
    m_time = time;
    if (const auto* spring = std::get_if<SpringAnimation>(&animation)) {
        const double response = finiteOr(spring->response, 0);
        const double blend = std::max(0.0, finiteOr(spring->blendDuration, 0));
        // A spring taking over from a spring blends from the response it had at this moment.
        if (m_motion == Motion::spring && blend > 0) {
            m_blendFrom = responseAt(time);
            m_blendStart = time;
            m_blendDuration = blend;
        } else {
            m_blendDuration = 0;
        }
        m_response = response;
        m_damping = springDampingFraction(spring->dampingFraction);
        m_curve.reset();
        m_motion = Motion::spring;
        if (response <= 0 && m_blendDuration <= 0) {
            Frame ignored;
            moveTo(time, ignored);
            m_value = m_goal;
            m_velocity = {};
            m_motion = Motion::none;
        }
        return;
    }
    const auto& timed = std::get<TimingCurveAnimation>(animation);
    m_from = m_value;
    m_start = time;
    m_duration = std::max(0.0, finiteOr(timed.duration, 0));
    m_curve = std::make_unique<Curve>(timed.curve);
    m_motion = Motion::timed;
    if (m_duration <= 0) {
        m_value = m_goal;
        m_velocity = {};
        m_curve.reset();
        m_motion = Motion::none;
    }
}

template <std::size_t N> void AnimatorCore<N>::moveTo(double time, Frame& frame)
{
    const double dt = time - m_time;
    if (!(dt > 0) || m_motion == Motion::none) {
        m_time = std::max(m_time, time);
        return;
    }
    const double before = m_time;
    m_time = time;
    frame.wrote = true;
    if (m_motion == Motion::spring) {
        // While responses blend, the step takes the response of its middle.
        const SpringStep step = springStep(responseAt(before + dt / 2), m_damping, dt);
        bool settled = true;
        for (std::size_t i = 0; i < N; ++i) {
            const double x = m_value[i] - m_goal[i];
            const double v = m_velocity[i];
            const double x1 = step.xx * x + step.xv * v;
            const double v1 = step.vx * x + step.vv * v;
            m_value[i] = m_goal[i] + x1;
            m_velocity[i] = v1;
            settled = settled && std::abs(x1) < settleEpsilon && std::abs(v1) < settleEpsilon;
        }
        if (settled) {
            m_value = m_goal;
            m_velocity = {};
            m_motion = Motion::none;
            frame.reachedTarget = true;
        }
        return;
    }
    const double progress = m_duration > 0 ? (time - m_start) / m_duration : 1;
    if (progress >= 1) {
        m_value = m_goal;
        m_velocity = {};
        m_curve.reset();
        m_motion = Motion::none;
        frame.reachedTarget = true;
        return;
    }
    const double eased = m_curve->value(progress);
    const double slope = m_curve->slope(progress) / m_duration;
    for (std::size_t i = 0; i < N; ++i) {
        const double span = m_goal[i] - m_from[i];
        m_value[i] = m_from[i] + span * eased;
        m_velocity[i] = span * slope;
    }
}

template <std::size_t N> typename AnimatorCore<N>::Frame AnimatorCore<N>::advance(double now)
{
    Frame frame;
    if (m_pending && m_pending->start <= now) {
        const std::unique_ptr<Pending> pending = std::move(m_pending);
        if (m_motion == Motion::none)
            m_time = pending->start;
        moveTo(pending->start, frame);
        begin(pending->target, pending->animation, pending->start);
        frame.wrote = true;
    }
    moveTo(now, frame);
    // Arriving only counts when it is the last change's target.
    frame.reachedTarget = m_motion == Motion::none && !m_pending && frame.wrote;
    if (frame.reachedTarget)
        m_value = m_target;
    return frame;
}

template class AnimatorCore<1>;
template class AnimatorCore<2>;
template class AnimatorCore<4>;

QColor AnimatableTraits<QColor>::fromVector(const std::array<double, 4>& v)
{
    const auto unit = [](double c) { return float(std::clamp(finiteOr(c, 0), 0.0, 1.0)); };
    return QColor::fromRgbF(unit(v[0]), unit(v[1]), unit(v[2]), unit(v[3]));
}

} // namespace tidemark
