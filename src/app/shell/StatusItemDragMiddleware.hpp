#pragma once

#include "app/shell/AppWindows.hpp"
#include "core/state/AppState.hpp"

#include <optional>

namespace tidemark {

// Where the icon stands for the drag overlay: the drag's source rectangle on screen (the
// popover row's frame in the popover window when the drag began there, else the icon's
// frame on screen) less the back overlay window's origin, so the blob starts exactly over
// it. None when the status item, its button, the source window or the back window is
// missing.
std::optional<Rect> statusItemDragFrame(const AppState& state, const AppWindowsState& windows);
// The same for the scroll entry: the scroll extra's bounds on screen in the scroll window.
std::optional<Rect> statusItemScrollFrame(const AppState& state, const AppWindowsState& windows);

// Tells the views where the icon is in the overlay's coordinates. At a drag's begin it first
// moves the back window onto the screen under the pointer, then answers `dragFrame`; it
// answers `dragFrame` also when asked to measure again (the item moved) and once the
// popover knows whether the start was a login-item start (a measure taken before that could
// not open the popover by itself); it answers `scrollFrame` when the scroll extra reports
// its bounds and when the scroll entry is presented.
AppStore::Middleware makeStatusItemDragMiddleware(AppWindowsStoreRef windowsStore);

} // namespace tidemark
