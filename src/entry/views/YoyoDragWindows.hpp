#pragma once

#include "platform/ui/Window.hpp"
#include "toolkit/MainStore.hpp"

class QWidget;

namespace tidemark {

class YoyoBackWidget;
class YoyoFrontWidget;

// The two overlay windows of a pull, each covering the screen under the pointer while shown
// (frameless, translucent, above other windows at the status level, on every desktop, never
// in the taskbar) and costing nothing while hidden.

// An overlay window of the time entry, empty: frameless, translucent, at the status level,
// on every desktop, letting its native window go while hidden; it takes the keyboard (and
// then the pointer where its input region says) or neither.
WindowRef makeYoyoOverlayWindow(bool takesKeyboard);

// Behind: the blob and its live label. It never takes the pointer or the keyboard, so every
// press goes through to what lies beneath.
WindowRef makeYoyoDragBackWindow(const AppStoreRef& store);
// In front: the data-entry card. It takes the keyboard, but the pointer only over a
// presented card (nowhere without one), so it never swallows a click meant for a window
// beneath. When it stops being key the card is dismissed.
WindowRef makeYoyoDragFrontWindow(const AppStoreRef& store);

// The views the makers put in their windows.
YoyoBackWidget* yoyoBackView(const WindowRef& window);
YoyoFrontWidget* yoyoFrontView(const WindowRef& window);

// Whether `view` lies in one of the application's windows while that window is not shown:
// the overlays lay out and paint nothing then.
bool hiddenInWindow(const QWidget* view);

} // namespace tidemark
