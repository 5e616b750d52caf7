#include "entry/views/AnimatedBlob.hpp"
#include "platform/ui/QtGeometry.hpp"

#include <QImage>
#include <QPainter>
#include <QPalette>

#include <gtest/gtest.h>

#include <string>

namespace tidemark {
namespace {

// Without a compositing manager the back window is shaped to this region and shows what it
// holds unblended: the region has to hold the blob's body, and nothing that is not painted
// (a transparent pixel inside it shows black).
TEST(BlobRegion, HoldsTheBlobsBodyAndNoPixelLeftUnpainted)
{
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
                int bodyOutside = 0;
                int unpaintedInside = 0;
                for (int y = 0; y < image.height(); ++y) {
                    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                    for (int x = 0; x < image.width(); ++x) {
                        const bool inside = region.contains(QPoint(x, y));
                        // The shadow alone stays under half opacity.
                        if (qAlpha(row[x]) >= 128 && !inside)
                            ++bodyOutside;
                        if (qAlpha(row[x]) == 0 && inside)
                            ++unpaintedInside;
                    }
                }
                const std::string name = "length " + std::to_string(length) + ", slant "
                    + std::to_string(slant) + (small ? ", small" : "");
                EXPECT_EQ(bodyOutside, 0) << name;
                EXPECT_EQ(unpaintedInside, 0) << name;
            }
        }
    }
}

} // namespace
} // namespace tidemark
