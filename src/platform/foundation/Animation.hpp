#pragma once

#include <optional>
#include <utility>
#include <variant>

// Animations as plain values: how a change of state moves on screen. Slices, connectors and
// the store name them; the animators of platform/ui carry them out frame by frame. No Qt here.

namespace tidemark {

// A timing curve from (0, 0) to (1, 1) through two control points, as style sheets and
// declarative toolkits name their curves.
struct CubicBezier {
    double x1 = 0;
    double y1 = 0;
    double x2 = 1;
    double y2 = 1;

    bool operator==(const CubicBezier&) const = default;

    static constexpr CubicBezier linear() { return { 0, 0, 1, 1 }; }
    static constexpr CubicBezier easeIn() { return { 0.42, 0, 1, 1 }; }
    static constexpr CubicBezier easeOut() { return { 0, 0, 0.58, 1 }; }
    static constexpr CubicBezier easeInOut() { return { 0.42, 0, 0.58, 1 }; }
};

// A damped spring. It has no duration: it runs until the value rests at its target.
struct SpringAnimation {
    // The period of the undamped oscillation, in seconds; 0 or less moves at once.
    double response = 0.55;
    // ζ: below 1 the value overshoots and swings back, 1 reaches the target fastest without
    // overshooting, above 1 it creeps. 0 oscillates for ever; a negative value counts as 0.
    double dampingFraction = 0.825;
    // When this spring takes over a value that another spring is moving, the old response
    // blends into this one over so many seconds; 0 switches at once.
    double blendDuration = 0;
    // Seconds before the spring takes over; the value keeps its old course until then.
    double delay = 0;

    bool operator==(const SpringAnimation&) const = default;
};

// A change over a fixed time along a timing curve.
struct TimingCurveAnimation {
    CubicBezier curve = CubicBezier::easeInOut();
    double duration = 0.35; // seconds
    double delay = 0; // seconds

    bool operator==(const TimingCurveAnimation&) const = default;
};

struct Animation : std::variant<SpringAnimation, TimingCurveAnimation> {
    using variant::variant;

    static Animation spring(
        double response = 0.55, double dampingFraction = 0.825, double blendDuration = 0)
    {
        return SpringAnimation { response, dampingFraction, blendDuration, 0 };
    }
    // A quick, nearly critically damped spring for values that follow the pointer.
    static Animation interactiveSpring(
        double response = 0.15, double dampingFraction = 0.86, double blendDuration = 0.25)
    {
        return SpringAnimation { response, dampingFraction, blendDuration, 0 };
    }
    static Animation timingCurve(CubicBezier curve, double duration = 0.35)
    {
        return TimingCurveAnimation { curve, duration, 0 };
    }
    static Animation linear(double duration = 0.35)
    {
        return timingCurve(CubicBezier::linear(), duration);
    }
    static Animation easeIn(double duration = 0.35)
    {
        return timingCurve(CubicBezier::easeIn(), duration);
    }
    static Animation easeOut(double duration = 0.35)
    {
        return timingCurve(CubicBezier::easeOut(), duration);
    }
    static Animation easeInOut(double duration = 0.35)
    {
        return timingCurve(CubicBezier::easeInOut(), duration);
    }
    // What a change animates with when no animation is named: ease in and out over 0.35 s.
    static Animation defaultAnimation() { return easeInOut(); }

    double delay() const
    {
        return std::visit([](const auto& a) -> double { return a.delay; }, base());
    }
    // The same animation, starting `seconds` later.
    Animation delayed(double seconds) const
    {
        Animation copy = *this;
        std::visit([seconds](auto& a) { a.delay = seconds; }, copy.base());
        return copy;
    }

    bool operator==(const Animation&) const = default;

private:
    const variant& base() const { return *this; }
    variant& base() { return *this; }
};

// What travels with a change of state besides the state itself: the animation it is to be
// shown with, none when the change should simply jump.
struct Transaction {
    std::optional<Animation> animation;

    bool operator==(const Transaction&) const = default;
};

// The transaction of the change being made now: set by withAnimation for the duration of its
// body, empty otherwise. Each thread has its own.
const Transaction& currentTransaction();

// Makes `transaction` the current one until the scope ends, then restores the one before.
class TransactionScope {
public:
    explicit TransactionScope(Transaction transaction);
    ~TransactionScope();
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;

private:
    Transaction m_previous;
};

// Runs `body` inside `transaction`: every store dispatch and every animated value set in it
// takes the transaction's animation.
template <class F> decltype(auto) withTransaction(Transaction transaction, F&& body)
{
    TransactionScope scope(std::move(transaction));
    return std::forward<F>(body)();
}

// Runs `body` so that the changes it makes animate with `animation` (none: they jump).
template <class F> decltype(auto) withAnimation(std::optional<Animation> animation, F&& body)
{
    return withTransaction(Transaction { std::move(animation) }, std::forward<F>(body));
}

template <class F> decltype(auto) withAnimation(F&& body)
{
    return withAnimation(Animation::defaultAnimation(), std::forward<F>(body));
}

} // namespace tidemark
