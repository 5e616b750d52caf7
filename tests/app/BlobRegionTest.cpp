#include "entry/views/AnimatedBlob.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

// Without a compositing manager the back window is shaped to this region: a pixel the blob
// paints outside it is cut off on screen (as the outer ring of its shadow was).
TEST(BlobRegion, HoldsEveryPixelTheBlobPaintsAndStaysWithinItsBounds)
{
    // Under 1% opacity a pixel may fall to the region's rounding to whole pixels; the ring
    // that used to be cut off reached 65% opacity.
    constexpr int faint = 2;
    for (const double length : { 0.0, 7.0, 60.0, 150.0, 300.0 }) {
        for (const double slant : { -1.0, -0.5, 0.0, 0.5, 1.0 }) {
            for (const bool small : { false, true }) {
                AnimatedBlob blob;
                blob.jump({ Rect(300, 20, 20, 20), Size(slant * length, length), small, 1.0 });
                const BlobFrame frame = blob.frame();
                QImage image(700, 400, QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                {
                    QPainter painter(&image);
                    paintBlob(painter, frame, QPalette());
                }
                const QRegion region = blobRegion(frame);
                int outside = 0;
                for (int y = 0; y < image.height(); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                    for (int x = 0; x < image.width(); ++x) {
                        if (qAlpha(row[x]) > faint && !region.contains(QPoint(x, y)))
                            ++outside;
                    }
                }
                const std::string name = "length " + std::to_string(length) + ", slant "
                    + std::to_string(slant) + (small ? ", small" : "");
                EXPECT_EQ(outside, 0) << name;
                const QRect bounds = toQRectF(frame.paintedBounds()).toAlignedRect();
                EXPECT_TRUE(bounds.contains(region.boundingRect())) << name;
            }
        }
    }
}

} // namespace
} // namespace tidemark
