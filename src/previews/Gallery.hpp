#pragma once

#include "toolkit/Previews.hpp"

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

namespace tidemark::previews {

// The device pixel ratios every preview is rendered at.
inline const std::vector<double> devicePixelRatios { 1, 2 };

// Lays the widget out at its preferred size without putting it on a screen, and paints it
// into an image at the device pixel ratio. The background is transparent unless the widget
// fills its own.
QImage renderWidget(QWidget* widget, double devicePixelRatio);

// A file-name-safe form of a name: letters and digits kept, everything else one hyphen.
std::string slug(const std::string& name);

struct GalleryResult {
    int images = 0;
    std::vector<std::string> problems;
};

// Renders every state of every provider in every variant of UIElementPreview at each device
// pixel ratio into `directory` (<provider>/<state>/<variant>@<ratio>x.png) and writes
// `directory`/index.html, which shows them all. The directory is made when missing.
GalleryResult writeGallery(const PreviewRegistry& registry, const std::filesystem::path& directory);

} // namespace tidemark::previews
