#include "toolkit/DropShadow.hpp"

#include "platform/ui/PaintThread.hpp"
#include "toolkit/ContinuousCorners.hpp"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <list>
#include <tuple>
#include <unordered_map>
#include <vector>

namespace tidemark {

namespace {

// Three box blurs in a row come close to a Gaussian: the widths for a standard deviation.
std::array<int, 3> boxRadiiForGaussian(double sigma)
{
    constexpr int passes = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = int(std::floor(ideal));
    if (lower % 2 == 0)
        --lower;
    const int upper = lower + 2;
    const double m
        = std::round((12 * sigma * sigma - passes * lower * lower - 4 * passes * lower - 3 * passes)
            / (-4 * lower - 4));
    std::array<int, 3> radii {};
    for (int i = 0; i < passes; ++i)
        radii[i] = ((i < m ? lower : upper) - 1) / 2;
    return radii;
}

// One box blur of radius r along rows (or columns) of an 8-bit buffer, into `out`.
void boxBlur(const std::vector<uint8_t>& in, std::vector<uint8_t>& out, int width, int height,
    int r, bool horizontal)
{
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int step = horizontal ? 1 : width;
    const int window = 2 * r + 1;
    for (int line = 0; line < lines; ++line) {
        const int first = horizontal ? line * width : line;
        int sum = 0;
        for (int i = -r; i <= r; ++i) {
            if (i >= 0 && i < length)
                sum += in[first + i * step];
        }
        for (int i = 0; i < length; ++i) {
            out[first + i * step] = uint8_t((sum + window / 2) / window);
            const int leaving = i - r;
            const int entering = i + r + 1;
            if (leaving >= 0)
                sum -= in[first + leaving * step];
            if (entering < length)
                sum += in[first + entering * step];
        }
    }
}

// Blurs the coverage `a` (width × height) by `sigma` pixels and fills `color` through it.
QImage tintedBlur(std::vector<uint8_t>& a, int width, int height, double sigma, const QColor& tint)
{
    std::vector<uint8_t> b(a.size());
    if (sigma > 0) {
        for (int r : boxRadiiForGaussian(sigma)) {
            boxBlur(a, b, width, height, r, true);
            boxBlur(b, a, width, height, r, false);
        }
    }
    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    const QRgb color = tint.rgba();
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int coverage = a[std::size_t(y) * width + x];
            const int alpha = qAlpha(color) * coverage / 255;
            line[x] = qPremultiply(qRgba(qRed(color), qGreen(color), qBlue(color), alpha));
        }
    }
    return result;
}

// The shape of `look` filling `rect`.
QPainterPath surfaceShape(const QRectF& rect, const SurfaceLook& look)
{
    if (!look.circularCorners)
        return continuousRoundedRect(rect, look.cornerRadius);
    QPainterPath path;
    const double radius
        = std::clamp(look.cornerRadius, 0.0, std::min(rect.width(), rect.height()) / 2);
    path.addRoundedRect(rect, radius, radius);
    return path;
}

// The surface drawn whole: its shadow blurred from its silhouette, its fill and its border.
QImage renderSurface(const QSizeF& size, const SurfaceLook& look, double ratio)
{
    const double margin = surfaceMargin(look);
    const QSizeF logical(size.width() + 2 * margin, size.height() + 2 * margin);
    const int width = std::max(1, int(std::ceil(logical.width() * ratio)));
    const int height = std::max(1, int(std::ceil(logical.height() * ratio)));
    const QRectF shape(QPointF(margin, margin), size);

    QImage result;
    if (look.shadow.color.alpha() > 0) {
        QImage silhouette(width, height, QImage::Format_Alpha8);
        silhouette.fill(0);
        {
            QPainter painter(&silhouette);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(ratio, ratio);
            painter.fillPath(surfaceShape(shape.translated(look.shadow.offset), look), Qt::black);
        }
        std::vector<uint8_t> a(std::size_t(width) * height);
        for (int y = 0; y < height; ++y)
            std::copy_n(silhouette.constScanLine(y), width, a.begin() + std::ptrdiff_t(y) * width);
        result = tintedBlur(a, width, height, look.shadow.radius / 2 * ratio, look.shadow.color);
    } else {
        result = QImage(width, height, QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
    }
    result.setDevicePixelRatio(ratio);
    if (look.fill.alpha() == 0 && (look.border.alpha() == 0 || look.borderWidth <= 0))
        return result;
    QPainter painter(&result);
    painter.setRenderHint(QPainter::Antialiasing);
    if (look.circularCorners) {
        painter.fillPath(surfaceShape(shape, look), look.fill);
    } else {
        fillContinuousRoundedRect(painter, shape, look.cornerRadius, look.fill);
        strokeContinuousRoundedRect(
            painter, shape, look.cornerRadius, look.borderWidth, look.border);
    }
    return result;
}

struct SurfaceKey {
    int width;
    int height;
    double cornerRadius;
    QRgb color;
    double radius;
    double ratio;
    QPointF offset;
    QRgb fill;
    QRgb border;
    double borderWidth;
    bool circularCorners;
    // The small surface whose corners and edges make up the larger ones of its kind.
    bool isPattern = false;

    bool operator==(const SurfaceKey&) const = default;
};

struct SurfaceKeyHash {
    std::size_t operator()(const SurfaceKey& k) const
    {
        std::size_t h = std::hash<int>()(k.width) * 31 + std::hash<int>()(k.height);
        h = h * 31 + std::hash<double>()(k.cornerRadius);
        h = h * 31 + std::hash<QRgb>()(k.color);
        h = h * 31 + std::hash<double>()(k.radius);
        h = h * 31 + std::hash<double>()(k.ratio);
        h = h * 31 + std::hash<double>()(k.offset.x());
        h = h * 31 + std::hash<double>()(k.offset.y());
        h = h * 31 + std::hash<QRgb>()(k.fill);
        h = h * 31 + std::hash<QRgb>()(k.border);
        h = h * 31 + std::hash<double>()(k.borderWidth);
        h = h * 31 + std::size_t(k.circularCorners);
        return h * 31 + std::size_t(k.isPattern);
    }
};

// The most recently used shadows and surfaces, oldest dropped first once they hold more than the
// budget.
class SurfaceCache {
public:
    const QImage& get(const SurfaceKey& key, const std::function<QImage()>& make)
    {
        if (auto found = m_entries.find(key); found != m_entries.end()) {
            m_order.splice(m_order.begin(), m_order, found->second.second);
            return found->second.first;
        }
        QImage image = make();
        const auto bytes = std::size_t(image.sizeInBytes());
        while (!m_order.empty() && m_bytes + bytes > shadowCacheBudget) {
            const auto oldest = m_entries.find(m_order.back());
            m_bytes -= std::size_t(oldest->second.first.sizeInBytes());
            m_entries.erase(oldest);
            m_order.pop_back();
        }
        m_order.push_front(key);
        m_bytes += bytes;
        auto& entry = m_entries[key];
        entry = { std::move(image), m_order.begin() };
        return entry.first;
    }

    std::size_t bytes() const { return m_bytes; }

private:
    std::size_t m_bytes = 0;
    std::list<SurfaceKey> m_order;
    std::unordered_map<SurfaceKey, std::pair<QImage, std::list<SurfaceKey>::iterator>,
        SurfaceKeyHash>
        m_entries;
};

SurfaceCache& cache()
{
    static SurfaceCache shared;
    return shared;
}

} // namespace

std::size_t shadowCacheBytes()
{
    return cache().bytes();
}

double shadowExtent(const Shadow& shadow)
{
    return std::ceil(std::max(0.0, shadow.radius) * 1.5);
}

namespace {

// Row or column `i` of a stretched image of length `length` taken from a pattern of length
// `pattern` whose line `middle` is the one repeated.
int patternLine(int i, int length, int pattern, int middle)
{
    if (i <= middle)
        return i;
    const int fromEnd = length - i;
    return fromEnd < pattern - middle ? pattern - fromEnd : middle;
}

// The pattern's corners and edges with its middle row and column repeated to fill the
// top-left width × height pixels of `into`.
void stretchInto(const QImage& pattern, QImage& into, int width, int height, int middle)
{
    const int patternWidth = pattern.width();
    const int right = patternWidth - middle - 1;
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(
            pattern.constScanLine(patternLine(y, height, pattern.height(), middle)));
        auto* to = reinterpret_cast<QRgb*>(into.scanLine(y));
        std::copy_n(from, middle, to);
        std::fill(to + middle, to + width - right, from[middle]);
        std::copy_n(from + middle + 1, right, to + width - right);
    }
}

// How a surface of some size is made: whole, or stretched from a square pattern of
// 2 × corner + 1 device pixels whose middle row and column repeat.
struct SurfacePlan {
    SurfaceKey key;
    // The shape's size on whole device pixels, in points.
    QSizeF whole;
    // Device pixels around the shape, and from the shape's edge to the repeated line.
    int reach = 0;
    int corner = 0;
    bool stretched = false;

    int width() const { return key.width + 2 * reach; }
    int height() const { return key.height + 2 * reach; }
};

SurfacePlan planSurface(const QSizeF& size, const SurfaceLook& look, double ratio)
{
    // Sizes are kept to whole device pixels, so a surface that moves by fractions reuses its
    // image.
    const Shadow& shadow = look.shadow;
    SurfacePlan plan {
        { int(std::lround(size.width() * ratio)), int(std::lround(size.height() * ratio)),
            look.cornerRadius, shadow.color.rgba(), shadow.radius, ratio, shadow.offset,
            look.fill.rgba(), look.border.rgba(), look.borderWidth, look.circularCorners },
        {}
    };
    plan.whole = QSizeF(plan.key.width / ratio, plan.key.height / ratio);
    // Away from the corners and the blur's reach, every row of a surface is the same, and so
    // is every column: a growing card is the same small one stretched, drawn once. At whole
    // ratios the edges lie on whole pixels, so it is exact. A radius beyond the shape's size
    // is drawn whole anyway.
    plan.reach = int(surfaceMargin(look) * ratio);
    const double cornerExtent = look.circularCorners ? 1 : continuousCornerExtent;
    const double radius = std::clamp(
        look.cornerRadius, 0.0, double(std::max(plan.key.width, plan.key.height)) / ratio);
    plan.corner = int(std::ceil(radius * cornerExtent * ratio)) + plan.reach + 1;
    const int side = 2 * plan.corner + 1;
    plan.stretched = ratio == std::floor(ratio) && plan.key.width > side && plan.key.height > side;
    return plan;
}

QImage surfacePattern(const SurfacePlan& plan, const SurfaceLook& look)
{
    SurfaceKey key = plan.key;
    key.width = key.height = 2 * plan.corner + 1;
    key.isPattern = true;
    return cache().get(key, [&] {
        const double logical = key.width / key.ratio;
        return renderSurface(QSizeF(logical, logical), look, key.ratio);
    });
}

} // namespace

double surfaceMargin(const SurfaceLook& look)
{
    const QPointF offset = look.shadow.offset;
    return shadowExtent(look.shadow)
        + std::ceil(std::max(std::abs(offset.x()), std::abs(offset.y())));
}

QImage surfaceImage(const QSizeF& size, const SurfaceLook& look, double devicePixelRatio)
{
    const SurfacePlan plan = planSurface(size, look, devicePixelRatio);
    return cache().get(plan.key, [&] {
        if (!plan.stretched)
            return renderSurface(plan.whole, look, devicePixelRatio);
        const QImage pattern = surfacePattern(plan, look);
        QImage result(plan.width(), plan.height(), QImage::Format_ARGB32_Premultiplied);
        stretchInto(pattern, result, plan.width(), plan.height(), plan.reach + plan.corner);
        result.setDevicePixelRatio(devicePixelRatio);
        return result;
    });
}

QImage shadowImage(
    const QSizeF& size, double cornerRadius, const Shadow& shadow, double devicePixelRatio)
{
    // The shadow alone, where it falls with no offset: callers move it by the offset.
    SurfaceLook look;
    look.cornerRadius = cornerRadius;
    look.shadow = { shadow.color, shadow.radius, {} };
    return surfaceImage(size, look, devicePixelRatio);
}

void paintSurface(
    QPainter& painter, const QRectF& shape, const SurfaceLook& look, const QRegion& region)
{
    if (shape.isEmpty())
        return;
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double margin = surfaceMargin(look);
    drawImageByRects(painter, shape.topLeft() - QPointF(margin, margin),
        surfaceImage(shape.size(), look, ratio), region);
}

void SurfaceCanvas::paint(
    QPainter& painter, const QRectF& shape, const SurfaceLook& look, const QRegion& region)
{
    if (shape.isEmpty())
        return;
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const SurfacePlan plan = planSurface(shape.size(), look, ratio);
    const double margin = surfaceMargin(look);
    const QPointF at = shape.topLeft() - QPointF(margin, margin);
    if (!plan.stretched) {
        drawImageByRects(painter, at, surfaceImage(shape.size(), look, ratio), region);
        return;
    }
    const QSize size(plan.width(), plan.height());
    if (m_image.isNull() || look != m_look || size != m_size || ratio != m_ratio) {
        // The image only grows, in steps of 64 pixels, and its pages stay: a card that
        // grows each frame writes the same memory again rather than fresh pages.
        if (m_image.width() < size.width() || m_image.height() < size.height()) {
            const auto step = [](int pixels) { return (pixels + 63) / 64 * 64; };
            m_image = QImage(step(std::max(size.width(), m_image.width())),
                step(std::max(size.height(), m_image.height())),
                QImage::Format_ARGB32_Premultiplied);
        }
        stretchInto(surfacePattern(plan, look), m_image, size.width(), size.height(),
            plan.reach + plan.corner);
        m_look = look;
        m_size = size;
        m_ratio = ratio;
    }
    QImage drawn(
        m_image.constBits(), size.width(), size.height(), m_image.bytesPerLine(), m_image.format());
    drawn.setDevicePixelRatio(ratio);
    drawImageByRects(painter, at, drawn, region);
}

void SurfaceCanvas::release()
{
    m_image = QImage();
    m_size = QSize();
}

int layerShadowMargin(const Shadow& shadow, double scale)
{
    return int(std::ceil(shadowExtent(shadow) * scale));
}

QImage layerShadow(const QImage& layer, const Shadow& shadow, double scale)
{
    const int margin = layerShadowMargin(shadow, scale);
    const int width = layer.width() + 2 * margin;
    const int height = layer.height() + 2 * margin;
    std::vector<uint8_t> a(std::size_t(width) * height, 0);
    if (layer.format() == QImage::Format_Alpha8) {
        for (int y = 0; y < layer.height(); ++y)
            std::copy_n(layer.constScanLine(y), layer.width(),
                a.begin() + std::ptrdiff_t(y + margin) * width + margin);
    } else {
        const QImage argb = layer.format() == QImage::Format_ARGB32_Premultiplied
                || layer.format() == QImage::Format_ARGB32
            ? layer
            : layer.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uint8_t* out = a.data() + std::size_t(y + margin) * width + margin;
            for (int x = 0; x < argb.width(); ++x)
                out[x] = uint8_t(qAlpha(line[x]));
        }
    }
    return tintedBlur(a, width, height, shadow.radius / 2 * scale, shadow.color);
}

void paintDropShadow(
    QPainter& painter, const QRectF& shape, double cornerRadius, const Shadow& shadow)
{
    if (shadow.color.alpha() == 0 || shape.isEmpty())
        return;
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const double extent = shadowExtent(shadow);
    const QImage image = shadowImage(shape.size(), cornerRadius, shadow, ratio);
    painter.drawImage(shape.topLeft() + shadow.offset - QPointF(extent, extent), image);
}

DropShadowView::DropShadowView(QWidget* target, double cornerRadius, const Shadow& shadow)
    : QWidget(target->parentWidget())
    , m_target(target)
    , m_cornerRadius(cornerRadius)
    , m_shadow(shadow)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    target->installEventFilter(this);
    follow();
}

void DropShadowView::setShadow(const Shadow& shadow)
{
    if (shadow == m_shadow)
        return;
    m_shadow = shadow;
    follow();
    update();
}

void DropShadowView::follow()
{
    if (!m_target)
        return;
    const double reach = shadowExtent(m_shadow);
    const QRectF around = QRectF(m_target->geometry())
                              .translated(m_shadow.offset)
                              .adjusted(-reach, -reach, reach, reach)
                              .united(QRectF(m_target->geometry()));
    setGeometry(around.toAlignedRect());
    stackUnder(m_target);
    setVisible(m_target->isVisibleTo(parentWidget()));
}

void DropShadowView::paintEvent(QPaintEvent*)
{
    if (!m_target)
        return;
    QPainter painter(this);
    const QRectF shape = QRectF(m_target->geometry()).translated(-QPointF(pos()));
    // The shadow is cast around the surface: what lies under its straight inner part stays
    // undrawn, which spares most of the blending of a large card.
    const double inset = m_cornerRadius * continuousCornerExtent + 1;
    const QRect inner = shape.adjusted(inset, inset, -inset, -inset).toAlignedRect();
    if (inner.width() > 0 && inner.height() > 0)
        painter.setClipRegion(QRegion(rect()).subtracted(QRegion(inner)));
    paintDropShadow(painter, shape, m_cornerRadius, m_shadow);
}

bool DropShadowView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
        case QEvent::ZOrderChange:
            follow();
            break;
        default:
            break;
        }
    }
    return false;
}

DropShadowView* addDropShadow(QWidget* target, double cornerRadius, const Shadow& shadow)
{
    if (!target || !target->parentWidget())
        return nullptr;
    return new DropShadowView(target, cornerRadius, shadow);
}

} // namespace tidemark
