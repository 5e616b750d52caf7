#pragma once

#include "platform/foundation/Geometry.hpp"

#include <QColor>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace tidemark {

// Defined with the window-placement tests of this program.
void PrintTo(const Rect& r, std::ostream* os);

namespace test {

// Makes the process behave as the given platform version while it lives, as
// TIDEMARK_PLATFORM_VERSION does for the application.
class ScopedPlatformVersion {
public:
    explicit ScopedPlatformVersion(const char* version)
        : m_previous(qgetenv("TIDEMARK_PLATFORM_VERSION"))
        , m_had(qEnvironmentVariableIsSet("TIDEMARK_PLATFORM_VERSION"))
    {
        qputenv("TIDEMARK_PLATFORM_VERSION", version);
    }
    ~ScopedPlatformVersion()
    {
        if (m_had)
            qputenv("TIDEMARK_PLATFORM_VERSION", m_previous);
        else
            qunsetenv("TIDEMARK_PLATFORM_VERSION");
    }

private:
    QByteArray m_previous;
    bool m_had;
};

// Runs the event loop until `condition` holds, for at most ten seconds.
template <class Condition> bool waitFor(Condition condition)
{
    return QTest::qWaitFor(condition, 10000);
}

// The turn of the event loop after this one has run (queued calls and zero timers included).
inline void nextTurn()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// An image of `size` points at `ratio`, filled with `fill`.
inline QImage canvas(QSize size, double ratio = 1, QColor fill = Qt::transparent)
{
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(fill);
    return image;
}

// The widget laid out and painted into a transparent image at `ratio`.
inline QImage render(QWidget* widget, double ratio = 1, QColor fill = Qt::transparent)
{
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    nextTurn();
    QImage image = canvas(widget->size(), ratio, fill);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

// The colour at a point given in points (not device pixels), unpremultiplied.
inline QColor pixelAt(const QImage& image, double x, double y)
{
    const double ratio = image.devicePixelRatio();
    return image.pixelColor(int(std::floor(x * ratio)), int(std::floor(y * ratio)));
}

// Within `tolerance` in each channel.
inline ::testing::AssertionResult colorNear(
    const QColor& actual, const QColor& expected, int tolerance = 2)
{
    const QColor a = actual.toRgb();
    const QColor e = expected.toRgb();
    if (std::abs(a.red() - e.red()) <= tolerance && std::abs(a.green() - e.green()) <= tolerance
        && std::abs(a.blue() - e.blue()) <= tolerance
        && std::abs(a.alpha() - e.alpha()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "colour rgba(" << a.red() << ", " << a.green() << ", " << a.blue() << ", " << a.alpha()
        << "), expected rgba(" << e.red() << ", " << e.green() << ", " << e.blue() << ", "
        << e.alpha() << ")";
}

// `color` drawn over an opaque `background`.
inline QColor over(const QColor& color, const QColor& background)
{
    const double a = color.alphaF();
    return QColor::fromRgbF(float(color.redF() * a + background.redF() * (1 - a)),
        float(color.greenF() * a + background.greenF() * (1 - a)),
        float(color.blueF() * a + background.blueF() * (1 - a)));
}

} // namespace test
} // namespace tidemark
