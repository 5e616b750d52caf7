#include "toolkit/AssetCatalog.hpp"

#include "toolkit/AppIconArtwork.hpp"

#include <QPainter>

namespace tidemark {

AssetCatalog& AssetCatalog::main()
{
    static AssetCatalog catalog;
    static const bool filled = [] {
        catalog.registerImage("AppIcon", appIcon());
        return true;
    }();
    (void)filled;
    return catalog;
}

std::optional<QIcon> AssetCatalog::image(const std::string& name) const
{
    const auto found = m_images.find(name);
    if (found == m_images.end())
        return std::nullopt;
    return found->second;
}

std::optional<QColor> AssetCatalog::color(const std::string& name) const
{
    const auto found = m_colors.find(name);
    if (found == m_colors.end())
        return std::nullopt;
    return found->second;
}

void AssetCatalog::registerImage(const std::string& name, QIcon image)
{
    m_images[name] = std::move(image);
}

void AssetCatalog::registerColor(const std::string& name, QColor color)
{
    m_colors[name] = color;
}

AppIcon::AppIcon(const AssetCatalog& catalog, QWidget* parent)
    : QWidget(parent)
    , m_image(catalog.image("AppIcon"))
{
    if (!m_image)
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize AppIcon::sizeHint() const
{
    return m_image ? QSize(128, 128) : QSize(0, 0);
}

QSize AppIcon::minimumSizeHint() const
{
    return { 0, 0 };
}

void AppIcon::paintEvent(QPaintEvent*)
{
    if (!m_image || width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Drawn square at the larger side, then scaled to the frame: stretched, never letterboxed.
    const int side = std::max(width(), height());
    painter.scale(double(width()) / side, double(height()) / side);
    m_image->paint(&painter, QRect(0, 0, side, side));
}

} // namespace tidemark
