#pragma once

#include "core/Action.hpp"
#include "entry/DragGesture.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Animation.hpp"
#include "platform/foundation/Geometry.hpp"

#include <optional>
#include <variant>
#include <vector>

namespace tidemark {

// The interactive spring under which every change of the icon's status during and after a
// pull runs. Built once, on first use.
const SpringAnimation& yoyoSpring();

struct YoyoAnimationActionCases {
    // Spring the blob back; the payload is its present translation.
    struct AnimateTranslationToStart {
        Size translation;
        bool operator==(const AnimateTranslationToStart&) const = default;
    };
    struct ZevovozoStatus {
        tidemark::ZevovozoStatus status;
        bool operator==(const ZevovozoStatus&) const = default;
    };
    struct BlobOpacity {
        double blobOpacity;
        bool operator==(const BlobOpacity&) const = default;
    };
    struct PopoverIsPresented {
        bool isPresented;
        bool operator==(const PopoverIsPresented&) const = default;
    };
    struct BlobOpacityAnimationDidFinish {
        bool operator==(const BlobOpacityAnimationDidFinish&) const = default;
    };
    using Variant = std::variant<AnimateTranslationToStart, ZevovozoStatus, BlobOpacity,
        PopoverIsPresented, BlobOpacityAnimationDidFinish>;
};

// The vocabulary through which the overlay views animate the blob and the icon out once a
// drag is over; the animation connector turns it into root actions.
struct YoyoAnimation {
    struct State {
        double blobOpacity = 1.0;
        std::optional<DragGesturePhase> phase;
        std::optional<Size> translation;

        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<YoyoAnimationActionCases> {
        using ActionOf::ActionOf;
    };
};

// The translation the blob springs back to: the pull's direction at length 1, so it rests
// one point from its start on the side of the pull. A pull of length 0 (or one that is not
// finite) has no direction and gives (0, 0) rather than NaN.
Size springBackTranslation(Size translation);

// One action of an animate-out, and the animation it is to be sent in (none: outside any
// explicit animation).
struct YoyoAnimationStep {
    YoyoAnimation::Action action;
    std::optional<SpringAnimation> animation;

    bool operator==(const YoyoAnimationStep&) const = default;
};

// Fading out, when a drag has left no card to show: the icon holds (in the yoyo spring),
// then the blob fades.
std::vector<YoyoAnimationStep> yoyoFadeOutSteps();
// Finishing, once the view's own progress has moved on with still no card to show: the
// fade is reported over (lowering the semaphore), then the icon returns to idle (in the
// yoyo spring).
std::vector<YoyoAnimationStep> yoyoFinishSteps();

} // namespace tidemark
