#pragma once

#include <QImage>
#include <QPointF>
#include <QRegion>

#include <functional>

class QPainter;
class QWidget;

namespace tidemark {

// Runs `job` on the program's paint thread and returns once it is done; the calling thread
// waits meanwhile, so the job may read what the caller owns. Called on the paint thread itself,
// or without an application, it runs in place. Exceptions come back to the caller. Main
// thread only: the paint thread takes one job at a time.
//
// Why a thread: Qt's raster engine splits every fill of more than about a hundred spans into
// pieces for the workers of the global thread pool and waits for them. For the few small
// shapes of an overlay frame each split costs more in hand-offs than the fill itself: a
// blob's shadow and fill took 2-3 times as long, and a busy machine stretched the waits into
// milliseconds. From a thread of that pool it fills in place. The paint thread is one
// long-lived job of that pool (which gets one thread more for it), so a frame costs one
// hand-off. Text is better drawn by the caller: drawn there, its fonts load a second time.
void runOnPaintThread(const std::function<void()>& job);

// Draws `image` with its top-left corner at `topLeft` (in the painter's coordinates), within
// `region` one rectangle at a time: under a clip of one rectangle an image is blended row by
// row on this thread, where a clip of many would send it through the raster engine's fills,
// which split across the thread pool. The painter's clip is as it was afterwards.
void drawImageByRects(
    QPainter& painter, const QPointF& topLeft, const QImage& image, const QRegion& region);

// Paints a widget's region on the paint thread into an image of its own, then draws that
// over what lies beneath the widget, rectangle by rectangle. Call `paint` from the widget's
// paintEvent.
class PaintThreadCanvas {
public:
    // `draw` gets a painter in the widget's coordinates, clipped to `region`, on a clear
    // (transparent) image; it runs on the paint thread while this one waits.
    void paint(QWidget* widget, const QRegion& region, const std::function<void(QPainter&)>& draw);
    // Lets the image go; the next paint makes a new one.
    void release() { m_image = QImage(); }
    // Bytes held between paints.
    qsizetype bytes() const { return m_image.sizeInBytes(); }

private:
    QImage m_image;
};

} // namespace tidemark
