#pragma once

#include "core/Store.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "platform/ui/Animator.hpp"

#include <QWidget>

#include <algorithm>
#include <functional>
#include <utility>

namespace tidemark {

// Reports a spring's first overshoot: once the animated value has passed its target and begun
// to swing back. Each frame, in this order: (1) it schedules on the main queue raising
// `maxValue` to the frame's squared magnitude, then (2) when the frame's squared magnitude is
// above the target's and below `maxValue` as it stands now (both strictly), it schedules the
// completion. Because (1) lands after (2), a frame is compared with the peak of the frames
// before it: rising frames beyond the target do nothing, and every frame after the peak while
// the value stays beyond the target schedules the completion again. The caller keeps its own
// once-only flag, and resets `maxValue` between animations: the observer only ever raises it.
template <class T> class SpringAnimationContinuationModifier {
public:
    SpringAnimationContinuationModifier(
        Animated<T>& animated, Binding<double> maxValue, std::function<void()> completion)
        : m_token(animated.onFrame([&animated, maxValue = std::move(maxValue),
                                       completion = std::move(completion)](const T& value) {
            const double magnitude = magnitudeSquared(value);
            rx::mainQueue().post(
                [maxValue, magnitude] { maxValue.set(std::max(maxValue.get(), magnitude)); });
            if (magnitude > magnitudeSquared(animated.target()) && magnitude < maxValue.get())
                rx::mainQueue().post(completion);
        }))
    {
    }

private:
    rx::Cancellable m_token;
};

// Reports every value an animation writes, and its arrival: each frame schedules on the main
// queue `onChange` with the value, then `onComplete` when that value equals the target.
template <class T> class AnimationObserverModifier {
public:
    AnimationObserverModifier(Animated<T>& animated, std::function<void(const T&)> onChange,
        std::function<void()> onComplete)
        : m_token(animated.onFrame([&animated, onChange = std::move(onChange),
                                       onComplete = std::move(onComplete)](const T& value) {
            rx::mainQueue().post([value, observedValue = animated.target(), onChange, onComplete] {
                if (onChange)
                    onChange(value);
                if (value == observedValue && onComplete)
                    onComplete();
            });
        }))
    {
    }

private:
    rx::Cancellable m_token;
};

// Shows its content through a window of animated height that hangs from the top edge: the
// content keeps its own height and the full width and is clipped to the window. The height
// never goes below 0; a spring swinging under 0 shows nothing.
class AnimatableHeightModifier : public QWidget {
public:
    explicit AnimatableHeightModifier(QWidget* content, double height = 0,
        QWidget* parent = nullptr, FrameClock* clock = nullptr);

    // Animates (in the current transaction) or jumps to the new height.
    void setHeight(double height) { m_height.set(height); }
    Animated<double>& animatedHeight() { return m_height; }
    // The height as shown: the animated value, at least 0.
    double shownHeight() const { return m_shownHeight; }
    QWidget* content() const { return m_content; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void apply(double height);
    void layoutContent();

    QWidget* m_content;
    Animated<double> m_height;
    double m_shownHeight = 0;
    rx::Cancellable m_token;
};

} // namespace tidemark
