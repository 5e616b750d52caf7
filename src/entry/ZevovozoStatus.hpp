#pragma once

namespace tidemark {

// The menu-bar icon's state. The order matters: code compares positions, so at most
// `selected` is resting and from `hovering` on the icon is active.
enum class ZevovozoStatus {
    idle,
    selected,
    hovering,
    longHold,
    dragging,
};

} // namespace tidemark
