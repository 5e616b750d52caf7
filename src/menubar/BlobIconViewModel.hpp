#pragma once

#include "entry/BlobIcon.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "platform/foundation/Animation.hpp"

#include <vector>

namespace tidemark {

// The blob icon's current look and how it moves from status to status. It rests in the
// large or the small preset; an active status merges the dots in the accent colour and then
// swells the centre dot, a resting status undoes that in the opposite order. Each change is
// handed out as steps (an animation and the whole look after it), which the widget plays.
class BlobIconViewModel {
public:
    // One animated change: every field that differs from the look before moves to its value
    // in `state` with `animation` (which may start after a delay).
    struct Step {
        Animation animation;
        BlobIcon::State state;
    };

    // At rest in the large preset.
    BlobIconViewModel();

    const BlobIcon::State& state() const { return m_state; }
    const BlobIcon::State& initial() const { return m_initial; }
    bool isLarge() const { return m_isLarge; }

    // The spring of every change: response 0.4, damping fraction 0.5, blend 0.25.
    static const Animation& animation();

    // Switches the resting preset; a switch replaces the whole look (returning an active look
    // to rest). Setting the value it has changes nothing and gives no step.
    std::vector<Step> setLarge(bool isLarge);

    // Moves the look to `status` with `animation` in two beats 0.1 s apart: entering an active
    // status merges the dots in the accent colour, then grows the centre dot (to 8 while
    // dragging, else 16) with its shadow; a resting status shrinks the centre dot first and
    // separates the dots after.
    std::vector<Step> update(ZevovozoStatus status, const Animation& animation);

private:
    BlobIcon::State m_state;
    bool m_isLarge = true;
    BlobIcon::State m_initial;
};

} // namespace tidemark
