#pragma once

// Include only from test programs that link Qt Gui (through the library under test); the
// support library itself does not.

#include <QImage>

#include <algorithm>
#include <cstdlib>

namespace tidemark {

// The largest difference in any channel of any pixel of two images of one size.
inline int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest
                = std::max({ largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                    std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q)) });
        }
    }
    return largest;
}

} // namespace tidemark
