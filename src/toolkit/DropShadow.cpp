#include "toolkit/DropShadow.hpp"

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

QImage renderShadow(const QSizeF& size, double cornerRadius, const Shadow& shadow, double ratio)
{
    const double extent = shadowExtent(shadow);
    const QSizeF logical(size.width() + 2 * extent, size.height() + 2 * extent);
    const int width = std::max(1, int(std::ceil(logical.width() * ratio)));
    const int height = std::max(1, int(std::ceil(logical.height() * ratio)));

    QImage silhouette(width, height, QImage::Format_Alpha8);
    silhouette.fill(0);
    {
        QPainter painter(&silhouette);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        painter.fillPath(
            continuousRoundedRect(QRectF(QPointF(extent, extent), size), cornerRadius), Qt::black);
    }
    std::vector<uint8_t> a(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        std::copy_n(silhouette.constScanLine(y), width, a.begin() + std::ptrdiff_t(y) * width);
    QImage result = tintedBlur(a, width, height, shadow.radius / 2 * ratio, shadow.color);
    result.setDevicePixelRatio(ratio);
    return result;
}

struct ShadowKey {
    int width;
    int height;
    double cornerRadius;
    QRgb color;
    double radius;
    double ratio;
    // The small shadow whose corners and edges make up the larger ones of its kind.
    bool isPattern = false;

    bool operator==(const ShadowKey&) const = default;
};

struct ShadowKeyHash {
    std::size_t operator()(const ShadowKey& k) const
    {
        std::size_t h = std::hash<int>()(k.width) * 31 + std::hash<int>()(k.height);
        h = h * 31 + std::hash<double>()(k.cornerRadius);
        h = h * 31 + std::hash<QRgb>()(k.color);
        h = h * 31 + std::hash<double>()(k.radius);
        h = h * 31 + std::hash<double>()(k.ratio);
        return h * 31 + std::size_t(k.isPattern);
    }
};

// The most recently used shadows, oldest dropped first once they hold more than the budget.
class ShadowCache {
public:
    const QImage& get(const ShadowKey& key, const std::function<QImage()>& make)
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
    std::list<ShadowKey> m_order;
    std::unordered_map<ShadowKey, std::pair<QImage, std::list<ShadowKey>::iterator>, ShadowKeyHash>
        m_entries;
};

ShadowCache& cache()
{
    static ShadowCache shared;
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

// The pattern's corners and edges with its middle row and column repeated to fill
// width × height pixels.
QImage stretchedShadow(const QImage& pattern, int width, int height, int middle)
{
    QImage result(width, height, QImage::Format_ARGB32_Premultiplied);
    const int patternWidth = pattern.width();
    const int right = patternWidth - middle - 1;
    for (int y = 0; y < height; ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(
            pattern.constScanLine(patternLine(y, height, pattern.height(), middle)));
        auto* to = reinterpret_cast<QRgb*>(result.scanLine(y));
        std::copy_n(from, middle, to);
        std::fill(to + middle, to + width - right, from[middle]);
        std::copy_n(from + middle + 1, right, to + width - right);
    }
    result.setDevicePixelRatio(pattern.devicePixelRatio());
    return result;
}

} // namespace

QImage shadowImage(
    const QSizeF& size, double cornerRadius, const Shadow& shadow, double devicePixelRatio)
{
    // Sizes are kept to whole device pixels, so a surface that moves by fractions reuses its
    // shadow.
    const ShadowKey key { int(std::lround(size.width() * devicePixelRatio)),
        int(std::lround(size.height() * devicePixelRatio)), cornerRadius, shadow.color.rgba(),
        shadow.radius, devicePixelRatio };
    const QSizeF whole(key.width / devicePixelRatio, key.height / devicePixelRatio);
    return cache().get(key, [&] {
        // Away from the corners and the blur's reach, every row of a shadow is the same, and
        // so is every column: a shadow of a growing card is the same small one stretched,
        // blurred once. At whole ratios the edges lie on whole pixels, so it is exact.
        const int reach = int(shadowExtent(shadow) * devicePixelRatio);
        const int corner = int(std::ceil(std::max(0.0, cornerRadius) * continuousCornerExtent
                               * devicePixelRatio))
            + reach + 1;
        const int side = 2 * corner + 1;
        if (devicePixelRatio != std::floor(devicePixelRatio) || key.width <= side
            || key.height <= side)
            return renderShadow(whole, cornerRadius, shadow, devicePixelRatio);
        ShadowKey patternKey = key;
        patternKey.width = patternKey.height = side;
        patternKey.isPattern = true;
        const QImage pattern = cache().get(patternKey, [&] {
            const double logical = side / devicePixelRatio;
            return renderShadow(QSizeF(logical, logical), cornerRadius, shadow, devicePixelRatio);
        });
        return stretchedShadow(
            pattern, key.width + 2 * reach, key.height + 2 * reach, reach + corner);
    });
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
