#include "entry/YoyoAnimation.hpp"

#include <cmath>

namespace tidemark {

const SpringAnimation& yoyoSpring()
{
    static const SpringAnimation spring { 0.35, 0.46, 0.25 };
    return spring;
}

Size springBackTranslation(Size translation)
{
    const double length = std::hypot(translation.width, translation.height);
    if (!std::isfinite(length) || length == 0)
        return {};
    return { translation.width / length, translation.height / length };
}

std::vector<YoyoAnimationStep> yoyoFadeOutSteps()
{
    using Action = YoyoAnimation::Action;
    return {
        { Action::ZevovozoStatus { ZevovozoStatus::longHold }, yoyoSpring() },
        { Action::BlobOpacity { 0.0 }, std::nullopt },
    };
}

std::vector<YoyoAnimationStep> yoyoFinishSteps()
{
    using Action = YoyoAnimation::Action;
    return {
        { Action::BlobOpacityAnimationDidFinish {}, std::nullopt },
        { Action::ZevovozoStatus { ZevovozoStatus::idle }, yoyoSpring() },
    };
}

} // namespace tidemark
