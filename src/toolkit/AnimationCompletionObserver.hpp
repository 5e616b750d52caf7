#pragma once

#include "platform/reactive/Scheduler.hpp"
#include "platform/ui/Animator.hpp"

#include <functional>
#include <utility>

namespace tidemark {

// Runs a completion once an animated value has arrived at its target: every value written
// (each frame, and each jump) is compared with the target by exact equality, and an equal one
// schedules the completion on the main queue, after the frame. Nothing is de-duplicated: each
// equal write schedules it again, so a caller that must act once keeps its own flag. Making
// the observer checks nothing; it observes until it is destroyed.
template <class T> class AnimationCompletionObserverModifier {
public:
    AnimationCompletionObserverModifier(Animated<T>& animated, std::function<void()> completion)
        : m_token(animated.onFrame([&animated, completion = std::move(completion)](const T& value) {
            if (value == animated.target())
                rx::mainQueue().post(completion);
        }))
    {
    }

private:
    rx::Cancellable m_token;
};

template <class T>
[[nodiscard]] AnimationCompletionObserverModifier<T> onAnimationCompleted(
    Animated<T>& animated, std::function<void()> completion)
{
    return AnimationCompletionObserverModifier<T>(animated, std::move(completion));
}

} // namespace tidemark
