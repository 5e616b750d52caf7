#pragma once

#include "platform/foundation/Geometry.hpp"

#include <optional>
#include <vector>

class QScreen;

namespace tidemark {

// The index of the first frame, in the order given, that contains the point; none when no
// frame does. Where screens overlap, the one listed first wins.
std::optional<std::size_t> indexOfFrameContaining(const std::vector<Rect>& frames, Point point);

// One display, as the windows see it. A plain handle: copying it copies the pointer, and two
// handles are equal when they name the same display.
class Screen {
public:
    explicit Screen(QScreen* screen);

    // The whole display in virtual-desktop coordinates.
    Rect frame() const;
    // The part that windows may use: the frame less panels and docks of the desktop.
    Rect visibleFrame() const;
    double devicePixelRatio() const;
    QScreen* qScreen() const { return m_screen; }

    bool operator==(const Screen& other) const { return m_screen == other.m_screen; }

    // Every display in the order the windowing system lists them, primary first.
    static std::vector<Screen> screens();
    // The primary display (the one with the status bar); none when there is no display.
    static std::optional<Screen> primary();
    // The display under the pointer; none when the pointer is on no display.
    static std::optional<Screen> underMouse();
    // The pointer's position in virtual-desktop coordinates.
    static Point mouseLocation();

private:
    QScreen* m_screen;
};

} // namespace tidemark
