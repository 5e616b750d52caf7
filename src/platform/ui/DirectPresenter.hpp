#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>

#include <cstdint>
#include <functional>
#include <memory>

class QWidget;
struct xcb_connection_t;

namespace tidemark {

// Sends a widget's frames straight to its X window through shared memory, past Qt's backing
// store.
//
// Why: Qt's xcb backing store shares one image with the X server. Before it paints over
// what it flushed last, it waits for a round trip, so that the server has read the pixels.
// A shape that follows the pointer paints over its last frame every frame, so every frame
// waited for the server to wake, answer, and wake this thread again: a fraction of a
// millisecond on a quiet machine, several on a busy one. Here each frame goes out of a
// small buffer, and a buffer is drawn into again only once the server has answered a
// request sent after it. That answer comes while the pointer moves on, so frames don't wait.
//
// It works on X11 with the shared-memory extension, for a translucent top-level window
// (32-bit pixels) at a device pixel ratio of 1. Elsewhere `present` returns false and the
// widget repaints through Qt as usual. What a frame draws must be what the widget's
// paintEvent would draw there: Qt still paints the whole window when it maps it. Once frames
// go out this way, Qt's copy of the window is behind them, so the presenter answers the
// window's exposes itself and names what the server lost for the widget to draw again.
class DirectPresenter {
public:
    // Draws into `target`, whose top-left pixel is the widget's point `origin`; the region
    // to draw is clear (transparent) when called. Drawing may go on in another thread as
    // long as it is done when the callback returns.
    using Draw = std::function<void(QImage& target, const QPoint& origin)>;

    explicit DirectPresenter(QWidget* widget);
    ~DirectPresenter();
    DirectPresenter(const DirectPresenter&) = delete;
    DirectPresenter& operator=(const DirectPresenter&) = delete;

    // Clears `region` (the widget's coordinates), draws it with `draw` and sends it to the
    // window. False, with nothing drawn, where frames cannot go this way: the caller then
    // repaints through Qt.
    bool present(const QRegion& region, const Draw& draw);
    // Called with what the window lost (in the widget's coordinates) and no frame since has
    // drawn: the widget presents it again.
    void setOnLost(std::function<void(const QRegion&)> onLost) { m_onLost = std::move(onLost); }
    // Lets the buffers go (the window hid); the next frame makes new ones.
    void release();
    // Shared memory held between frames.
    qsizetype bytes() const;
    // Frames sent so far.
    int frames() const { return m_frames; }

private:
    struct Buffers;
    std::uint8_t depthOf(xcb_connection_t* c, unsigned long window);

    QWidget* m_widget;
    std::function<void(const QRegion&)> m_onLost;
    std::unique_ptr<Buffers> m_buffers;
    unsigned long m_depthOf = 0;
    std::uint8_t m_depth = 0;
    int m_frames = 0;
};

} // namespace tidemark
