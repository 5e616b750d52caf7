#pragma once

#include <QRegion>

class QWidget;

// Blurring what lies behind a translucent window, where the compositor offers it. On X11 that
// is KWin's blur (the window property _KDE_NET_WM_BLUR_BEHIND_REGION, honoured while the blur
// effect runs); elsewhere there is no blur and the callers draw a stronger tint instead.

namespace tidemark::blur {

// True when the running compositor blurs behind windows that ask for it. Asked of the X
// server once per process.
bool isAvailable();

// Asks for the area `region` (in the window's coordinates, device-independent) of a top-level
// window to be blurred behind; an empty region asks for no blur. Does nothing where blur is
// not available or the window has no native window yet.
void setRegion(QWidget* window, const QRegion& region);

} // namespace tidemark::blur
