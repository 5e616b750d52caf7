#pragma once

#include "platform/ui/ColorScheme.hpp"

#include <QWidget>

namespace tidemark {

// The translucent backgrounds of floating surfaces. The numbers are those the views name
// their materials by.
enum class Material {
    popover = 6,
    fullScreenUI = 15,
    underWindowBackground = 21,
};

// Whether a material shows what lies behind the window (blurred where the compositor can)
// or only what lies behind it in the same window.
enum class BlendingMode {
    behindWindow = 0,
    withinWindow = 1,
};

// A material is a tint of the palette's window colour, lighter where the compositor blurs
// what lies behind it and nearly opaque where it does not, so text on it stays readable.
QColor materialTint(Material material, ColorScheme scheme, const QPalette& palette, bool blurred);

// A translucent material behind a view. On a translucent window with behind-window blending
// it also asks the compositor to blur the desktop behind its area (see platform/ui
// BlurBehind); elsewhere it is a tint only. It always looks active, whether or not its window
// has the keyboard. Changing the material or blending mode updates it in place.
class MaterialView final : public QWidget {
    Q_OBJECT
public:
    MaterialView(Material material, BlendingMode blendingMode, QWidget* parent = nullptr);

    Material material() const { return m_material; }
    void setMaterial(Material material);
    BlendingMode blendingMode() const { return m_blendingMode; }
    void setBlendingMode(BlendingMode mode);
    // The material fills a continuous rounded rectangle of this radius; 0 fills the view.
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);

    // Whether the compositor blurs what lies behind this view's window under it.
    bool isBlurredBehind() const;
    QColor tint() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void blurRegionChanged();

    Material m_material;
    BlendingMode m_blendingMode;
    double m_cornerRadius = 0;
};

// Lays a MaterialView behind `view`'s content, filling the view and following its size;
// returns it. The view owns it.
MaterialView* visualEffectBackground(QWidget* view, Material material, BlendingMode blendingMode);

} // namespace tidemark
