// Writes the application's icon for the desktop's icon theme: a scalable SVG and PNGs at
// the usual sizes, every one painted by the same function that draws the icon inside the
// program, so the installed icon and the one the windows show never drift apart.
//
//   tidemark-icon-files NAME FOLDER SIZE…
//       FOLDER/scalable/apps/NAME.svg and FOLDER/<n>x<n>/apps/NAME.png for each SIZE n.
// Exit status 0 when every file was written, 1 otherwise (the reason on standard error).

#include "toolkit/AppIconArtwork.hpp"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>
#include <cstdlib>

namespace {

// The SVG's own coordinate square.
constexpr int svgSide = 256;

bool makeFolder(const QString& path)
{
    if (QDir().mkpath(path))
        return true;
    std::fprintf(stderr, "tidemark-icon-files: cannot make %s\n", qPrintable(path));
    return false;
}

bool writePng(const QString& folder, const QString& name, int side)
{
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(side);
    if (!makeFolder(dir))
        return false;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        tidemark::paintAppIcon(painter, QRectF(0, 0, side, side), tidemark::appIconColor());
    }
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "tidemark-icon-files: cannot write %s\n", qPrintable(path));
    return false;
}

bool writeSvg(const QString& folder, const QString& name)
{
    const QString dir = folder + QStringLiteral("/scalable/apps");
    if (!makeFolder(dir))
        return false;
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".svg");
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(svgSide, svgSide));
    svg.setViewBox(QRect(0, 0, svgSide, svgSide));
    svg.setTitle(QStringLiteral("Tidemark"));
    {
        QPainter painter;
        if (!painter.begin(&svg)) {
            std::fprintf(stderr, "tidemark-icon-files: cannot write %s\n", qPrintable(path));
            return false;
        }
        tidemark::paintAppIcon(painter, QRectF(0, 0, svgSide, svgSide), tidemark::appIconColor());
    }
    return QFileInfo(path).size() > 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tidemark-icon-files NAME FOLDER SIZE...\n");
        return EXIT_FAILURE;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    const QString folder = QString::fromLocal8Bit(argv[2]);
    bool written = writeSvg(folder, name);
    for (int i = 3; i < argc; ++i) {
        bool isNumber = false;
        const int side = QString::fromLocal8Bit(argv[i]).toInt(&isNumber);
        if (!isNumber || side <= 0 || side > 4096) {
            std::fprintf(stderr, "tidemark-icon-files: %s is no size\n", argv[i]);
            return EXIT_FAILURE;
        }
        written = writePng(folder, name, side) && written;
    }
    return written ? EXIT_SUCCESS : EXIT_FAILURE;
}
