#include "platform/ui/PaintThread.hpp"
#include "support/ImageDifference.hpp"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThread>
#include <QWidget>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace tidemark {
namespace {

TEST(PaintThread, RunsEachJobOnceAndTheCallerSeesWhatItWrote)
{
    const QThread* caller = QThread::currentThread();
    std::set<const QThread*> others;
    for (int i = 0; i < 200; ++i) {
        int written = 0;
        const QThread* ranOn = nullptr;
        runOnPaintThread([&] {
            ++written;
            ranOn = QThread::currentThread();
        });
        ASSERT_EQ(written, 1) << "run " << i;
        if (ranOn != caller)
            others.insert(ranOn);
    }
    // A job the paint thread is slow to take runs on the caller; every other ran on the one
    // long-lived paint thread.
    EXPECT_LE(others.size(), 1u);
}

TEST(PaintThread, AnExceptionReachesTheCallerAndTheThreadGoesOn)
{
    EXPECT_THROW(
        runOnPaintThread([] { throw std::runtime_error("bad paint"); }), std::runtime_error);
    bool ran = false;
    runOnPaintThread([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(PaintThread, AJobThatRunsAnotherRunsItInPlace)
{
    const QThread* outer = nullptr;
    const QThread* inner = nullptr;
    runOnPaintThread([&] {
        outer = QThread::currentThread();
        runOnPaintThread([&] { inner = QThread::currentThread(); });
    });
    EXPECT_EQ(inner, outer);
}

// Draws antialiased shapes and text, straight or through a canvas.
class Drawing final : public QWidget {
public:
    explicit Drawing(bool throughCanvas)
        : m_throughCanvas(throughCanvas)
    {
        resize(160, 120);
    }
    PaintThreadCanvas canvas;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (m_throughCanvas) {
            canvas.paint(this, event->region(), [this](QPainter& painter) { draw(painter); });
        } else {
            QPainter painter(this);
            painter.setClipRegion(event->region());
            draw(painter);
        }
    }

private:
    void draw(QPainter& painter) const
    {
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath blob;
        blob.addEllipse(QRectF(10.5, 8.25, 90, 70));
        blob.addRoundedRect(QRectF(40, 30, 110, 80), 14, 14);
        painter.setPen(QPen(QColor(0, 0, 0, 90), 4));
        painter.setBrush(QColor(40, 120, 220, 160));
        painter.drawPath(blob);
        painter.setPen(Qt::white);
        painter.drawText(QRectF(20, 40, 120, 30), Qt::AlignCenter, QStringLiteral("in 2 hours"));
    }

    bool m_throughCanvas;
};

QImage rendered(Drawing& widget, const QRegion& region)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(255, 0, 255)); // what the paint leaves alone stays magenta
    widget.render(&image, QPoint(), region, QWidget::RenderFlags());
    return image;
}

TEST(PaintThreadCanvas, PaintsARegionAsAPainterOnTheWidgetWouldAndNothingElse)
{
    const QRegion whole(0, 0, 160, 120);
    const QRegion pieces
        = QRegion(5, 5, 60, 50) + QRegion(70, 20, 80, 30) + QRegion(30, 90, 100, 25);
    for (const QRegion& region : { whole, pieces, QRegion(100, 60, 1, 1) }) {
        Drawing straight(false);
        Drawing canvas(true);
        const QImage expected = rendered(straight, region);
        const QImage actual = rendered(canvas, region);
        ASSERT_EQ(actual.size(), expected.size());
        // Drawn first and then blended, a colour can come out a step or two off.
        EXPECT_LE(largestDifference(actual, expected), 2)
            << "region of " << region.rectCount() << " rectangles";
        EXPECT_GT(canvas.canvas.bytes(), 0);
    }
    // Later, smaller paints reuse the image; a release lets it go.
    Drawing canvas(true);
    rendered(canvas, whole);
    const qsizetype held = canvas.canvas.bytes();
    rendered(canvas, pieces);
    EXPECT_EQ(canvas.canvas.bytes(), held);
    canvas.canvas.release();
    EXPECT_EQ(canvas.canvas.bytes(), 0);
}

} // namespace
} // namespace tidemark
