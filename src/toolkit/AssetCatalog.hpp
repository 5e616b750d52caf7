#pragma once

#include <QColor>
#include <QIcon>
#include <QWidget>

#include <functional>
#include <map>
#include <optional>
#include <string>

namespace tidemark {

// The application's named artwork: images (as scalable icons) and colours, looked up by
// name. The main catalog holds the application's mark as "AppIcon".
class AssetCatalog {
public:
    AssetCatalog() = default;
    AssetCatalog(const AssetCatalog&) = delete;
    AssetCatalog& operator=(const AssetCatalog&) = delete;

    static AssetCatalog& main();

    std::optional<QIcon> image(const std::string& name) const;
    std::optional<QColor> color(const std::string& name) const;
    void registerImage(const std::string& name, QIcon image);
    void registerColor(const std::string& name, QColor color);

private:
    std::map<std::string, QIcon> m_images;
    std::map<std::string, QColor> m_colors;
};

// The name of one colour or image of a catalog. Equal when the names are equal and the
// catalogs are the same.
struct ColorResource {
    std::string name;
    const AssetCatalog* bundle = nullptr;

    bool operator==(const ColorResource&) const = default;
};
struct ImageResource {
    std::string name;
    const AssetCatalog* bundle = nullptr;

    bool operator==(const ImageResource&) const = default;
};

// The application's own icon inside its windows (the about view, the first pages of the
// onboarding and what's-new windows): the catalog's "AppIcon", stretched to whatever frame it
// is given (it keeps no aspect ratio of its own). Where the catalog has no such image it draws
// nothing and takes no space.
class AppIcon final : public QWidget {
    Q_OBJECT
public:
    explicit AppIcon(const AssetCatalog& catalog = AssetCatalog::main(), QWidget* parent = nullptr);

    bool hasImage() const { return m_image.has_value(); }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<QIcon> m_image;
};

} // namespace tidemark

template <> struct std::hash<tidemark::ColorResource> {
    std::size_t operator()(const tidemark::ColorResource& r) const
    {
        return std::hash<std::string>()(r.name) * 31 + std::hash<const void*>()(r.bundle);
    }
};
template <> struct std::hash<tidemark::ImageResource> {
    std::size_t operator()(const tidemark::ImageResource& r) const
    {
        return std::hash<std::string>()(r.name) * 31 + std::hash<const void*>()(r.bundle);
    }
};
