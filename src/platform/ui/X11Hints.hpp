#pragma once

#include <QRect>

#include <vector>

class QWidget;

// Window-manager hints that Qt's window flags cannot express. Each call does nothing unless
// the application runs on the xcb platform and the widget is a top-level window with a native
// window; the type and desktop hints must be set before the window is mapped (from its show
// event), the taskbar hint works before and after.

namespace tidemark::x11 {

bool isAvailable();

// Whether a compositing manager runs on the default screen (it owns the selection
// _NET_WM_CM_S<n>). Without one, translucent pixels of a window are not blended with what
// lies behind it, so windows that want to look translucent must paint themselves opaque.
// False off X11.
bool isCompositing();

// _NET_WM_WINDOW_TYPE_DOCK: a desktop strip, kept above normal windows on every desktop.
void setDockWindowType(QWidget* window);
// _NET_WM_DESKTOP 0xFFFFFFFF: the window shows on every virtual desktop.
void setOnAllDesktops(QWidget* window);
// _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER: the window has no taskbar entry. Before the
// window is mapped this edits the property (kept where Qt merges its own states into it);
// once mapped, it asks the window manager, which owns the state of mapped windows.
void setSkipTaskbar(QWidget* window, bool skip, bool mapped);
// WM_NORMAL_HINTS' aspect ratio (PAspect): the window manager keeps width : height at
// `width` : `height` while the user resizes. Qt writes the size hints afresh whenever it
// moves, resizes or constrains the window itself, dropping this one, so a window that wants
// it sets it again after each of those (from its show, move and resize events); the other
// hints are kept as Qt wrote them.
void setAspectRatio(QWidget* window, int width, int height);

// The X Shape extension, on a window with a native window (any time, mapped or not; the
// shape stays with the native window until it is destroyed). Rectangles are in the window's
// own coordinates, in device-independent pixels. Each returns false where it cannot act (no
// X display, no shape extension, no native window).
//
// The input shape: the window takes the pointer only over `rects` (none: nowhere), and
// presses elsewhere reach what lies beneath. Unlike a widget mask, it leaves the drawing alone.
bool setInputShape(QWidget* window, const std::vector<QRect>& rects);
// The bounding shape: the window shows only over `rects`.
bool setBoundingShape(QWidget* window, const std::vector<QRect>& rects);
// Back to the whole window, for input and for the bounding shape.
bool clearShapes(QWidget* window);

} // namespace tidemark::x11
