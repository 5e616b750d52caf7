#include "platform/ui/Screen.hpp"

#include "platform/ui/QtGeometry.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace tidemark {

std::optional<std::size_t> indexOfFrameContaining(const std::vector<Rect>& frames, Point point)
{
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].contains(point))
            return i;
    }
    return std::nullopt;
}

Screen::Screen(QScreen* screen)
    : m_screen(screen)
{
}

Rect Screen::frame() const
{
    return m_screen ? fromQt(m_screen->geometry()) : Rect {};
}

Rect Screen::visibleFrame() const
{
    return m_screen ? fromQt(m_screen->availableGeometry()) : Rect {};
}

double Screen::devicePixelRatio() const
{
    return m_screen ? m_screen->devicePixelRatio() : 1.0;
}

std::vector<Screen> Screen::screens()
{
    std::vector<Screen> result;
    // Qt lists the primary screen first.
    for (QScreen* screen : QGuiApplication::screens())
        result.emplace_back(screen);
    return result;
}

std::optional<Screen> Screen::primary()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        return Screen(screen);
    return std::nullopt;
}

std::optional<Screen> Screen::underMouse()
{
    const std::vector<Screen> all = screens();
    // The pointer never leaves a lone screen: no need to ask the display server where it is,
    // a round trip as a window opens.
    if (all.size() == 1)
        return all.front();
    std::vector<Rect> frames;
    frames.reserve(all.size());
    for (const Screen& screen : all)
        frames.push_back(screen.frame());
    if (const auto index = indexOfFrameContaining(frames, mouseLocation()))
        return all[*index];
    return std::nullopt;
}

Point Screen::mouseLocation()
{
    return fromQt(QCursor::pos());
}

} // namespace tidemark
