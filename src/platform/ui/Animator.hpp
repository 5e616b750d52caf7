#pragma once

#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"
#include "platform/ui/AnimationHooks.hpp"
#include "platform/ui/FrameClock.hpp"

#include <QColor>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>

namespace tidemark {

// The motion of N numbers under one animation at a time: springs by their closed form, timed
// curves along their Bézier. Time is the frame clock's, in seconds. It knows nothing of
// hooks or clocks; Animated<T> wraps it.
template <std::size_t N> class AnimatorCore {
public:
    using Vector = std::array<double, N>;

    struct Frame {
        bool wrote = false; // the value moved in this frame
        bool reachedTarget = false; // and came to rest exactly on the last target
    };

    explicit AnimatorCore(const Vector& value);
    ~AnimatorCore();
    AnimatorCore(const AnimatorCore&) = delete;
    AnimatorCore& operator=(const AnimatorCore&) = delete;

    const Vector& value() const { return m_value; }
    const Vector& velocity() const { return m_velocity; }
    // Where the latest change goes, whether its motion has begun or is still delayed.
    const Vector& target() const { return m_target; }
    bool isMoving() const { return m_motion != Motion::none || m_pending; }

    // Heads for `target` with `animation` from time `now`, keeping the present value and
    // velocity. A delayed animation leaves the present motion running until its start.
    void animate(const Vector& target, const Animation& animation, double now);
    // Rests at `value` at once.
    void jump(const Vector& value);
    // Advances to `now`.
    Frame advance(double now);

    // A spring comes to rest (and takes its target exactly) once every component's distance
    // from the target and its speed are below this.
    double settleEpsilon = 1e-3;

private:
    enum class Motion { none, spring, timed };
    struct Pending;
    struct Curve;

    void moveTo(double time, Frame& frame);
    void begin(const Vector& target, const Animation& animation, double time);
    double responseAt(double time) const;

    Vector m_value {};
    Vector m_velocity {};
    Vector m_target {};
    // The motion under way: its goal, and when the state above was last brought up to date.
    Motion m_motion = Motion::none;
    Vector m_goal {};
    double m_time = 0;
    // Spring.
    double m_response = 0;
    double m_damping = 0;
    double m_blendFrom = 0;
    double m_blendStart = 0;
    double m_blendDuration = 0;
    // Timed curve.
    Vector m_from {};
    double m_start = 0;
    double m_duration = 0;
    std::unique_ptr<Curve> m_curve;
    std::unique_ptr<Pending> m_pending;
};

extern template class AnimatorCore<1>;
extern template class AnimatorCore<2>;
extern template class AnimatorCore<4>;

// How a type maps to the numbers an animator moves.
template <class T> struct AnimatableTraits;

template <> struct AnimatableTraits<double> {
    static constexpr std::size_t size = 1;
    static std::array<double, 1> toVector(double v) { return { v }; }
    static double fromVector(const std::array<double, 1>& v) { return v[0]; }
};

template <> struct AnimatableTraits<Point> {
    static constexpr std::size_t size = 2;
    static std::array<double, 2> toVector(Point p) { return { p.x, p.y }; }
    static Point fromVector(const std::array<double, 2>& v) { return { v[0], v[1] }; }
};

template <> struct AnimatableTraits<Size> {
    static constexpr std::size_t size = 2;
    static std::array<double, 2> toVector(Size s) { return { s.width, s.height }; }
    static Size fromVector(const std::array<double, 2>& v) { return { v[0], v[1] }; }
};

template <> struct AnimatableTraits<Rect> {
    static constexpr std::size_t size = 4;
    static std::array<double, 4> toVector(const Rect& r)
    {
        return { r.origin.x, r.origin.y, r.size.width, r.size.height };
    }
    static Rect fromVector(const std::array<double, 4>& v) { return { v[0], v[1], v[2], v[3] }; }
};

// Colours move through their red, green, blue and alpha components; a spring that swings past
// a component's range shows the nearest valid colour.
template <> struct AnimatableTraits<QColor> {
    static constexpr std::size_t size = 4;
    static std::array<double, 4> toVector(const QColor& c)
    {
        const QColor rgb = c.toRgb();
        return { rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF() };
    }
    static QColor fromVector(const std::array<double, 4>& v);
};

// The squared length of a value seen as a vector of its components.
template <class T> double magnitudeSquared(const T& value)
{
    double sum = 0;
    for (double component : AnimatableTraits<T>::toVector(value))
        sum += component * component;
    return sum;
}

// A value that moves to each new target on the frame clock: a number, point, size, rectangle or
// colour. Setting it inside withAnimation (or with an explicit animation) animates; setting it
// otherwise jumps. A change in mid-flight keeps the present value and velocity. Hooks report
// every value written (each frame, and each jump) and the arrival at the target. Main thread.
template <class T> class Animated final : public FrameClient {
    using Traits = AnimatableTraits<T>;
    using Core = AnimatorCore<Traits::size>;

public:
    explicit Animated(const T& value = T {}, FrameClock* clock = nullptr)
        : m_core(Traits::toVector(value))
        , m_value(value)
        , m_target(value)
        , m_clock(clock ? clock : &frameClock())
        , m_clockLife(m_clock->lifeToken())
    {
    }
    ~Animated() override { leaveClock(); }
    Animated(const Animated&) = delete;
    Animated& operator=(const Animated&) = delete;

    // The value as it stands in this frame.
    const T& value() const { return m_value; }
    // The value it is heading for: the last one set.
    const T& target() const { return m_target; }
    T velocity() const { return Traits::fromVector(m_core.velocity()); }
    bool isAnimating() const { return m_core.isMoving(); }

    // Heads for `target` with the current transaction's animation, or jumps outside one.
    void set(const T& target) { setTarget(target, currentTransaction().animation); }

    // Heads for `target` with `animation`, or jumps there when there is none. Setting the
    // target it already has changes nothing, so a view may set every value it shows on each
    // change without cutting short the motions of those that did not change (jump() ends one).
    void setTarget(const T& target, const std::optional<Animation>& animation)
    {
        if (target == m_target)
            return;
        if (!animation) {
            jump(target);
            return;
        }
        m_target = target;
        m_core.animate(Traits::toVector(target), *animation, m_clock->now());
        if (!isAnimating()) {
            // Nothing left to run: an animation of no length lands at once.
            write(true);
            return;
        }
        if (m_clockLife.lock())
            m_clock->add(this);
    }

    // Writes `value` at once and rests there.
    void jump(const T& value)
    {
        leaveClock();
        m_core.jump(Traits::toVector(value));
        m_target = value;
        write(true);
    }

    // Called with every value written: each frame of a motion and each jump.
    rx::Cancellable onFrame(std::function<void(const T&)> hook)
    {
        return m_frameHooks.add(std::move(hook));
    }
    // Called each time the value comes to rest exactly on its target.
    rx::Cancellable onTargetReached(std::function<void()> hook)
    {
        return m_reachedHooks.add(std::move(hook));
    }

    void setSettleEpsilon(double epsilon) { m_core.settleEpsilon = epsilon; }
    FrameClock& clock() const { return *m_clock; }

    bool advance(double now) override
    {
        const typename Core::Frame frame = m_core.advance(now);
        if (frame.wrote) {
            if (!write(frame.reachedTarget))
                return false;
        }
        return isAnimating();
    }

private:
    // Publishes the core's value; false when a hook destroyed this value.
    bool write(bool reachedTarget)
    {
        m_value = reachedTarget ? m_target : Traits::fromVector(m_core.value());
        const std::weak_ptr<const bool> alive = m_life;
        const T written = m_value;
        if (!m_frameHooks.call(alive, written))
            return false;
        if (reachedTarget && !m_reachedHooks.empty())
            return m_reachedHooks.call(alive);
        return true;
    }

    void leaveClock()
    {
        if (m_clockLife.lock())
            m_clock->remove(this);
    }

    Core m_core;
    T m_value;
    T m_target;
    FrameClock* m_clock;
    std::weak_ptr<const bool> m_clockLife;
    std::shared_ptr<const bool> m_life = std::make_shared<const bool>(true);
    AnimationHooks<const T&> m_frameHooks;
    AnimationHooks<> m_reachedHooks;
};

} // namespace tidemark
