#include "previews/Gallery.hpp"

#include <QApplication>
#include <QFile>
#include <QLayout>
#include <QWidget>

#include <cmath>
#include <fstream>
#include <memory>
#include <sstream>

namespace tidemark::previews {

namespace {

std::string htmlEscaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string ratioSuffix(double ratio)
{
    return "@" + std::to_string(int(std::lround(ratio))) + "x.png";
}

} // namespace

QImage renderWidget(QWidget* widget, double devicePixelRatio)
{
    widget->setAttribute(Qt::WA_DontShowOnScreen);
    widget->show();
    // Queued work (environment, preference gathering, layout requests) settles first.
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    if (QLayout* layout = widget->layout())
        layout->activate();
    widget->adjustSize();
    QCoreApplication::processEvents();
    const QSize size = widget->size().expandedTo(QSize(1, 1));
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QWidget::RenderFlags flags = QWidget::DrawChildren;
    if (widget->autoFillBackground())
        flags |= QWidget::DrawWindowBackground;
    widget->render(&image, QPoint(), QRegion(), flags);
    return image;
}

std::string slug(const std::string& name)
{
    std::string out;
    bool hyphen = false;
    for (const char c : name) {
        const bool keep
            = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (keep) {
            out += c;
            hyphen = false;
        } else if (!hyphen && !out.empty()) {
            out += '-';
            hyphen = true;
        }
    }
    while (!out.empty() && out.back() == '-')
        out.pop_back();
    return out.empty() ? "unnamed" : out;
}

GalleryResult writeGallery(const PreviewRegistry& registry, const std::filesystem::path& directory)
{
    GalleryResult result;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        result.problems.push_back(
            "Cannot make the folder " + directory.string() + ": " + error.message());
        return result;
    }
    std::ostringstream html;
    html
        << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        << "<title>Tidemark previews</title>\n<style>\n"
        << "body{font-family:sans-serif;background:#f4f4f4;margin:2em}\n"
        << "section{margin-bottom:2em}\n.states{display:flex;flex-wrap:wrap;gap:1.5em}\n"
        << ".variants{display:flex;flex-wrap:wrap;gap:1em;align-items:flex-start}\n"
        << "figure{margin:0;padding:.5em;background:repeating-conic-gradient(#ddd 0 25%,#fff 0 50%)"
           " 0 0/16px 16px;border:1px solid #ccc}\n"
        << "figcaption{font-size:.8em;color:#333;margin-top:.3em}\n</style>\n</head>\n<body>\n"
        << "<h1>Tidemark previews</h1>\n";
    for (const PreviewProvider& provider : registry.providers()) {
        html << "<section>\n<h2>" << htmlEscaped(provider.name) << "</h2>\n";
        for (const PreviewState& state : provider.states) {
            html << "<h3>" << htmlEscaped(state.name) << "</h3>\n<div class=\"variants\">\n";
            const std::filesystem::path folder
                = std::filesystem::path(slug(provider.name)) / slug(state.name);
            std::filesystem::create_directories(directory / folder, error);
            const UIElementPreview preview(state.make);
            for (const PreviewVariant& variant : preview.variants()) {
                std::string sources[2];
                for (std::size_t r = 0; r < devicePixelRatios.size() && r < 2; ++r) {
                    const double ratio = devicePixelRatios[r];
                    const std::filesystem::path file
                        = folder / (slug(variant.identifier) + ratioSuffix(ratio));
                    std::unique_ptr<QWidget> widget(preview.make(variant));
                    const QImage image = renderWidget(widget.get(), ratio);
                    widget.reset();
                    if (!image.save(QString::fromStdString((directory / file).string()), "PNG")) {
                        result.problems.push_back("Cannot write " + (directory / file).string());
                        continue;
                    }
                    ++result.images;
                    sources[r] = file.generic_string();
                }
                const std::string caption
                    = variant.name.empty() ? "(" + variant.identifier + ")" : variant.name;
                html << "<figure><img src=\"" << htmlEscaped(sources[0]) << "\" srcset=\""
                     << htmlEscaped(sources[1]) << " 2x\" alt=\"" << htmlEscaped(state.name) << ", "
                     << htmlEscaped(caption) << "\"><figcaption>" << htmlEscaped(caption)
                     << "</figcaption></figure>\n";
            }
            html << "</div>\n";
        }
        html << "</section>\n";
    }
    html << "</body>\n</html>\n";
    const auto index = directory / "index.html";
    std::ofstream out(index, std::ios::binary | std::ios::trunc);
    out << html.str();
    out.close();
    if (!out)
        result.problems.push_back("Cannot write " + index.string());
    return result;
}

} // namespace tidemark::previews
