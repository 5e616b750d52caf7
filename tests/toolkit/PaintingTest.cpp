#include "platform/ui/ColorScheme.hpp"
#include "support/ImageDifference.hpp"
#include "toolkit/AlertButtonStyle.hpp"
#include "toolkit/AppIconArtwork.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/ContinuousCorners.hpp"
#include "toolkit/DropShadow.hpp"
#include "toolkit/EditingHighlight.hpp"
#include "toolkit/MaterialView.hpp"
#include "toolkit/ViewExtensions.hpp"
#include "toolkit/VisualEffectBorder.hpp"

#include "ToolkitTesting.hpp"

#include <QEnterEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tidemark {
namespace {

using test::canvas;
using test::colorNear;
using test::over;
using test::pixelAt;

TEST(ContinuousCorners, FillTheRectangleButTheCorners)
{
    const QRectF rect(10, 20, 100, 60);
    const QPainterPath path = continuousRoundedRect(rect, 12);
    EXPECT_EQ(path.boundingRect(), rect);
    EXPECT_TRUE(path.contains(rect.center()));
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 50, rect.top() + 0.5)));
    EXPECT_FALSE(path.contains(rect.topLeft() + QPointF(1, 1)));
    EXPECT_FALSE(path.contains(rect.bottomRight() - QPointF(1, 1)));
    // The corner eases in over a longer stretch than a circular one: 9.6 px along the top
    // edge, a circle of radius 12 has come 0.24 px down, the continuous corner 0.39 px.
    EXPECT_FALSE(path.contains(QPointF(rect.left() + 9.6, rect.top() + 0.3)));
    EXPECT_TRUE(path.contains(QPointF(rect.left() + 9.6, rect.top() + 0.45)));

    EXPECT_EQ(continuousRoundedRect(rect, 0).boundingRect(), rect);
    EXPECT_TRUE(continuousRoundedRect(rect, 0).contains(rect.topLeft() + QPointF(0.5, 0.5)));
    // Too large a radius is reduced so that the corners meet: still inside the rectangle.
    EXPECT_EQ(continuousRoundedRect(rect, 500).boundingRect(), rect);
    EXPECT_TRUE(continuousRoundedRect(QRectF(), 6).isEmpty());
}

TEST(ContinuousCorners, CachedCornersDrawWhatThePathDraws)
{
    const QColor color(30, 60, 200, 180);
    for (const double ratio : { 1.0, 2.0 }) {
        for (const QRectF rect : { QRectF(3, 4, 120, 90), QRectF(0.25, 4, 120, 90) }) {
            SCOPED_TRACE(std::to_string(ratio) + " at x " + std::to_string(rect.x()));
            QImage sliced = canvas({ 130, 100 }, ratio);
            QImage drawn = canvas({ 130, 100 }, ratio);
            {
                QPainter painter(&sliced);
                painter.translate(2, 1);
                fillContinuousRoundedRect(painter, rect, 12, color);
                strokeContinuousRoundedRect(
                    painter, rect.adjusted(10, 10, -10, -10), 8, 1, Qt::white);
            }
            {
                QPainter painter(&drawn);
                painter.translate(2, 1);
                painter.setRenderHint(QPainter::Antialiasing);
                painter.fillPath(continuousRoundedRect(rect, 12), color);
                QPainterPathStroker stroker;
                stroker.setWidth(1);
                stroker.setCapStyle(Qt::FlatCap);
                stroker.setJoinStyle(Qt::MiterJoin);
                const QRectF inner = rect.adjusted(10.5, 10.5, -10.5, -10.5);
                painter.fillPath(
                    stroker.createStroke(continuousRoundedRect(inner, 7.5)), Qt::white);
            }
            EXPECT_LE(largestDifference(sliced, drawn), 8);
        }
    }
}

// One plate on a background of its own, 60 × 30 at the ratio.
QImage plate(const AlertButtonAppearance& appearance, const QPalette& palette, QColor background,
    double ratio = 2)
{
    QImage image = canvas({ 60, 30 }, ratio, background);
    QPainter painter(&image);
    paintAlertButtonPlate(painter, QRectF(0, 0, 60, 30), appearance, palette);
    return image;
}

TEST(AlertButtonStyle, PlatesOfEachKind)
{
    const QPalette light = lightPalette();
    const QPalette dark = darkPalette();
    const QColor white = Qt::white;
    const QColor darkBackground(0x32, 0x32, 0x32);
    const QColor accent = light.color(QPalette::Highlight);
    struct Case {
        const char* name;
        AlertButtonAppearance appearance;
        QPalette palette;
        QColor background;
        QColor centre;
    };
    const Case cases[] = {
        { "light", {}, light, white, over(QColor(0, 0, 0, 19), white) },
        { "dark", { false, true, false, ButtonRole::none, ColorScheme::dark }, dark, darkBackground,
            over(QColor(255, 255, 255, 64), darkBackground) },
        { "default: the accent, whatever the scheme",
            { true, true, false, ButtonRole::none, ColorScheme::dark }, light, darkBackground,
            accent },
        { "pressed: darkened by black at 0.1", { false, true, true }, light, white,
            over(QColor(0, 0, 0, 26), over(QColor(0, 0, 0, 19), white)) },
        { "pressed default", { true, true, true }, light, white,
            over(QColor(0, 0, 0, 26), accent) },
        { "disabled: the plate is unchanged", { false, false, false }, light, white,
            over(QColor(0, 0, 0, 19), white) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = plate(c.appearance, c.palette, c.background);
        EXPECT_TRUE(colorNear(pixelAt(image, 30, 15), c.centre, 3));
        EXPECT_TRUE(colorNear(pixelAt(image, 0, 0), c.background, 3)) << "the corner is round";
        EXPECT_TRUE(colorNear(pixelAt(image, 30, 0.5), c.centre, 3)) << "the edge is straight";
    }
}

TEST(AlertButtonStyle, TheDefaultAccentOnlyTintsWhatLiesBeneathIt)
{
    const QImage image
        = plate({ true, true, false }, lightPalette(), QColor(255, 255, 255, 128), 1);
    const QColor centre = pixelAt(image, 30, 15);
    EXPECT_EQ(centre.alpha(), 128) << "SourceAtop keeps the alpha beneath";
    EXPECT_TRUE(colorNear(QColor(centre.red(), centre.green(), centre.blue()),
        lightPalette().color(QPalette::Highlight), 3));
    EXPECT_EQ(
        pixelAt(plate({ true, true, false }, lightPalette(), Qt::transparent, 1), 30, 15).alpha(),
        0);
}

TEST(AlertButtonStyle, LabelsByTheFirstRuleThatHolds)
{
    const QPalette light = lightPalette();
    const QColor primary = light.color(QPalette::WindowText);
    struct Case {
        const char* name;
        AlertButtonAppearance appearance;
        QColor expected;
    };
    const Case cases[] = {
        { "plain", {}, primary },
        { "default: white", { true }, Qt::white },
        { "disabled default keeps white at full opacity", { true, false }, Qt::white },
        { "disabled: half the primary", { false, false }, withOpacity(primary, 0.5) },
        { "disabled destructive: rule 2 before rule 3",
            { false, false, false, ButtonRole::destructive }, withOpacity(primary, 0.5) },
        { "destructive in the dark scheme",
            { false, true, false, ButtonRole::destructive, ColorScheme::dark },
            destructiveColor(ColorScheme::dark) },
        { "cancel role: primary", { false, true, false, ButtonRole::cancel }, primary },
    };
    for (const Case& c : cases)
        EXPECT_EQ(alertButtonLabelColor(c.appearance, light), c.expected) << c.name;
}

TEST(AlertButtonStyle, ProgressScalesPaddingAndMinimumSize)
{
    struct Case {
        QSizeF label;
        double progress;
        QSizeF expected;
    };
    const Case cases[] = {
        { { 40, 16 }, 1, { 56, 22 } },
        { { 40, 16 }, 0.5, { 48, 16 } },
        { { 4, 8 }, 0.5, { 12, 11 } },
        { { 40, 16 }, 0, { 40, 16 } },
        { { 2, 2 }, 1, { 22, 22 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(alertButtonSize(c.label, c.progress), c.expected) << c.progress;

    // On a real button, rendered: the label's size plus the padding, the plate still drawn.
    for (const double progress : { 1.0, 0.5, 0.0 }) {
        SCOPED_TRACE(progress);
        QPushButton button(QStringLiteral("Save"));
        AlertButtonStyle::apply(&button, progress);
        const QSize label = button.fontMetrics().size(Qt::TextShowMnemonic, button.text());
        const QSizeF expected = alertButtonSize(QSizeF(label), progress);
        EXPECT_EQ(button.sizeHint(),
            QSize(int(std::ceil(expected.width())), int(std::ceil(expected.height()))));
        button.resize(button.sizeHint());
        const QImage image = test::render(&button, 2, Qt::white);
        EXPECT_TRUE(colorNear(
            pixelAt(image, 1.5, button.height() / 2.0), over(QColor(0, 0, 0, 19), Qt::white), 3))
            << "the plate behind the label's left edge";
    }
    // A second apply changes the progress; the buttons share one style.
    QPushButton button(QStringLiteral("Save"));
    QPushButton other(QStringLiteral("Cancel"));
    AlertButtonStyle* style = AlertButtonStyle::apply(&button, 1);
    EXPECT_EQ(AlertButtonStyle::apply(&other, 1), style);
    const int fullHeight = button.sizeHint().height();
    AlertButtonStyle::apply(&button, 0.5);
    EXPECT_EQ(style->progress(&button), 0.5);
    EXPECT_EQ(style->progress(&other), 1);
    EXPECT_LT(button.sizeHint().height(), fullHeight) << "the new progress takes effect";
}

TEST(AlertButtonStyle, ReadsDefaultEnabledAndPressedFromTheButton)
{
    QWidget window;
    window.setPalette(lightPalette());
    window.setAutoFillBackground(true);
    auto* button = new QPushButton(QStringLiteral("Save"), &window);
    AlertButtonStyle::apply(button);
    button->setDefault(true);
    button->setGeometry(0, 0, 60, 30);
    window.resize(60, 30);
    const QColor accent = lightPalette().color(QPalette::Highlight);
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    test::nextTurn();
    auto sample = [&] {
        QImage image = canvas({ 60, 30 }, 2);
        window.render(&image);
        return pixelAt(image, 3, 15);
    };
    EXPECT_TRUE(colorNear(sample(), accent, 3));
    button->setDown(true);
    EXPECT_TRUE(colorNear(sample(), over(QColor(0, 0, 0, 26), accent), 3));
    button->setDown(false);
    button->setDefault(false);
    window.setEnabled(false);
    EXPECT_TRUE(
        colorNear(sample(), over(QColor(0, 0, 0, 19), lightPalette().color(QPalette::Window)), 3));
}

TEST(VisualEffectBorder, IsAHairlineJustInsideTheEdge)
{
    for (const ColorScheme scheme : { ColorScheme::light, ColorScheme::dark }) {
        SCOPED_TRACE(scheme == ColorScheme::light ? "light" : "dark");
        QImage image = canvas({ 100, 60 }, 1, Qt::black);
        QPainter painter(&image);
        paintVisualEffectBorder(painter, QRectF(0, 0, 100, 60), 1, 12, 1, scheme);
        painter.end();
        const int white = scheme == ColorScheme::light ? 26 : 40;
        EXPECT_TRUE(colorNear(pixelAt(image, 50, 0), QColor(white, white, white), 2)) << "top edge";
        EXPECT_TRUE(colorNear(pixelAt(image, 99, 30), QColor(white, white, white), 2)) << "right";
        EXPECT_TRUE(colorNear(pixelAt(image, 50, 1), Qt::black, 1)) << "one pixel wide";
        EXPECT_TRUE(colorNear(pixelAt(image, 0, 0), Qt::black, 1)) << "the corner is round";
    }
    // The line's centre follows a radius reduced by half the width.
    const QPainterPath path = visualEffectBorderPath(QRectF(0, 0, 100, 60), 1, 12);
    EXPECT_EQ(path.boundingRect(), QRectF(0.5, 0.5, 99, 59));
    EXPECT_NEAR(visualEffectBorderColor(ColorScheme::dark, 0.5).alphaF(), 0.155 * 0.5, 1e-3);

    QImage hidden = canvas({ 100, 60 }, 1, Qt::black);
    QPainter painter(&hidden);
    paintVisualEffectBorder(painter, QRectF(0, 0, 100, 60), 1, 12, 0, ColorScheme::dark);
    painter.end();
    EXPECT_EQ(pixelAt(hidden, 50, 0), QColor(Qt::black)) << "opacity 0 hides it";
}

TEST(VisualEffectBorder, StaysAboveTheViewsContentAndFollowsItsSize)
{
    QWidget content;
    content.resize(100, 60);
    auto* border = new VisualEffectBorderViewModifier(&content, 1, 12, 1);
    auto* later = new QLabel(QStringLiteral("added later"), &content);
    EXPECT_EQ(content.children().last(), border);
    content.resize(120, 80);
    QResizeEvent resize(QSize(120, 80), QSize(100, 60));
    QCoreApplication::sendEvent(&content, &resize);
    EXPECT_EQ(border->geometry(), QRect(0, 0, 120, 80));
    EXPECT_TRUE(border->testAttribute(Qt::WA_TransparentForMouseEvents));
    (void)later;
}

TEST(EditingHighlight, ShowsThePlateWhileEditingOrHoveredAndAlwaysPads)
{
    const QColor tint(20, 40, 200);
    auto plateAlpha = [&](EditingViewModifier& modifier) {
        const QImage image = test::render(&modifier, 2);
        // The padding left of the content: only the plate is ever drawn there.
        return pixelAt(image, 2, modifier.height() / 2.0).alpha();
    };
    const int expected = int(std::lround(255 * 0.05));

    EditingViewModifier editing(new QLabel(QStringLiteral("5 min")), true, tint, false);
    EXPECT_NEAR(plateAlpha(editing), expected, 1);
    EXPECT_EQ(editing.content()->geometry().topLeft(), QPoint(4, 2));
    EXPECT_EQ(editing.height(), editing.content()->height() + 4);

    EditingViewModifier hoverOnly(new QLabel(QStringLiteral("5 min")), false, tint, true);
    EXPECT_EQ(plateAlpha(hoverOnly), 0);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&hoverOnly, &enter);
    EXPECT_TRUE(hoverOnly.showsPlate());
    EXPECT_NEAR(plateAlpha(hoverOnly), expected, 1);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&hoverOnly, &leave);
    EXPECT_EQ(plateAlpha(hoverOnly), 0);

    // The primary colour of the palette when no colour is given: white in the dark scheme.
    EditingViewModifier primary(new QLabel(QStringLiteral("5 min")), true, QColor(), false);
    primary.setPalette(darkPalette());
    const QImage onDark = test::render(&primary, 1);
    const QColor plate = pixelAt(onDark, 2, primary.height() / 2.0);
    EXPECT_NEAR(plate.alpha(), expected, 1);
    EXPECT_GT(plate.lightness(), 200);

    EditingViewModifier never(new QLabel(QStringLiteral("5 min")), false, tint, false);
    QCoreApplication::sendEvent(&never, &enter);
    EXPECT_FALSE(never.showsPlate());
    EXPECT_EQ(plateAlpha(never), 0);
    EXPECT_EQ(never.content()->geometry().topLeft(), QPoint(4, 2));
}

TEST(AppIcon, IsStretchedToItsFrame)
{
    AppIcon icon;
    ASSERT_TRUE(icon.hasImage());
    icon.resize(96, 48);
    const QImage image = test::render(&icon, 2);
    // Drawn keeping its aspect, a 48-high mark would leave the left quarter empty; stretched,
    // its ring touches the left edge.
    EXPECT_GT(pixelAt(image, 6, 24).alpha(), 200);
    EXPECT_EQ(pixelAt(image, 1, 1).alpha(), 0) << "outside the ring";
    EXPECT_TRUE(colorNear(pixelAt(image, 48, 40), appIconColor(), 8)) << "the water";
}

TEST(AppIcon, WithoutTheImageDrawsNothingAndTakesNoSpace)
{
    AssetCatalog empty;
    AppIcon icon(empty);
    EXPECT_FALSE(icon.hasImage());
    EXPECT_EQ(icon.sizeHint(), QSize(0, 0));
    icon.resize(20, 20);
    const QImage image = test::render(&icon);
    EXPECT_EQ(pixelAt(image, 10, 10).alpha(), 0);
}

// A red square view inside a window (an effect applies to views within a window).
struct Red {
    class View final : public QWidget {
    public:
        using QWidget::QWidget;

    protected:
        void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::red); }
    };
    QWidget window;
    View* view = new View(&window);

    Red()
    {
        window.resize(40, 40);
        view->setGeometry(0, 0, 40, 40);
    }
};

TEST(ReverseMask, CutsTheMasksShapeOutOfTheView)
{
    auto square
        = [](QPainter& painter, const QRectF& frame) { painter.fillRect(frame, Qt::black); };
    {
        Red red;
        reverseMask(red.view, Qt::AlignCenter, { QSizeF(10, 10), square });
        const QImage image = test::render(&red.window, 2);
        EXPECT_EQ(pixelAt(image, 20, 20).alpha(), 0) << "under the mask";
        EXPECT_TRUE(colorNear(pixelAt(image, 2, 2), Qt::red)) << "beside it";
        EXPECT_TRUE(colorNear(pixelAt(image, 14, 20), Qt::red)) << "just left of it";
        EXPECT_EQ(pixelAt(image, 15.5, 20).alpha(), 0);
    }
    {
        Red red;
        reverseMask(red.view, Qt::AlignTop | Qt::AlignLeft, { QSizeF(10, 10), square });
        const QImage image = test::render(&red.window);
        EXPECT_EQ(pixelAt(image, 5, 5).alpha(), 0) << "aligned top left";
        EXPECT_TRUE(colorNear(pixelAt(image, 20, 20), Qt::red));
    }
    {
        Red red;
        reverseMask(red.view, Qt::AlignCenter, { QSizeF(), square });
        const QImage image = test::render(&red.window);
        for (const QPointF p : { QPointF(0, 0), QPointF(20, 20), QPointF(39, 39) })
            EXPECT_EQ(pixelAt(image, p.x(), p.y()).alpha(), 0) << "a mask over all leaves nothing";
    }
    {
        Red red;
        reverseMask(red.view, Qt::AlignCenter, { QSizeF(10, 10), [](QPainter&, const QRectF&) {} });
        const QImage image = test::render(&red.window);
        EXPECT_TRUE(colorNear(pixelAt(image, 20, 20), Qt::red)) << "an empty mask changes nothing";
    }
    // The same cut on an image of its own.
    QImage layer = canvas({ 40, 40 }, 2, Qt::red);
    eraseWithMask(
        layer, QRectF(0, 0, 40, 40), Qt::AlignRight | Qt::AlignBottom, { QSizeF(10, 10), square });
    EXPECT_EQ(pixelAt(layer, 35, 35).alpha(), 0);
    EXPECT_TRUE(colorNear(pixelAt(layer, 25, 35), Qt::red));
}

TEST(MaterialView, IsATintOfThePaletteThatUpdatesInPlace)
{
    QWidget window;
    window.resize(50, 50);
    window.setPalette(darkPalette());
    auto* material = visualEffectBackground(&window, Material::popover, BlendingMode::behindWindow);
    EXPECT_EQ(material->geometry(), QRect(0, 0, 50, 50));
    EXPECT_FALSE(material->isBlurredBehind()) << "no compositor offscreen";
    const QColor popover = materialTint(Material::popover, ColorScheme::dark, darkPalette(), false);
    EXPECT_EQ(material->tint(), popover);
    EXPECT_NEAR(popover.alphaF(), 0.94, 0.01);

    QImage image = test::render(&window, 2);
    EXPECT_TRUE(colorNear(pixelAt(image, 25, 25), popover, 2));

    material->setMaterial(Material::fullScreenUI);
    image = canvas(window.size(), 2);
    window.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    EXPECT_TRUE(colorNear(pixelAt(image, 25, 25),
        materialTint(Material::fullScreenUI, ColorScheme::dark, darkPalette(), false), 2));

    // A blurred material lets more of the desktop through than an unblurred one.
    EXPECT_LT(materialTint(Material::popover, ColorScheme::light, lightPalette(), true).alpha(),
        materialTint(Material::popover, ColorScheme::light, lightPalette(), false).alpha());
    window.resize(80, 40);
    QResizeEvent resize(QSize(80, 40), QSize(50, 50));
    QCoreApplication::sendEvent(&window, &resize);
    EXPECT_EQ(material->geometry(), QRect(0, 0, 80, 40));
}

TEST(MaterialView, ARoundedMaterialInsideAWindowCoversExactlyItsShape)
{
    QWidget window;
    window.resize(100, 80);
    window.setPalette(darkPalette()); // where the white hairline shows
    auto* material = new MaterialView(Material::popover, BlendingMode::withinWindow, &window);
    material->setGeometry(10, 12, 60, 40);
    material->setCornerRadius(8);
    new VisualEffectBorderViewModifier(material, 1, 8, 1);
    for (const double ratio : { 1.0, 2.0 }) {
        SCOPED_TRACE(ratio);
        const QImage image = test::render(&window, ratio);
        const QColor tint = material->tint();
        EXPECT_TRUE(colorNear(pixelAt(image, 40, 32), tint, 2)) << "inside";
        EXPECT_TRUE(colorNear(pixelAt(image, 12, 32), tint, 2)) << "just inside the left edge";
        EXPECT_TRUE(colorNear(pixelAt(image, 67.5, 32), tint, 2)) << "just inside the right edge";
        EXPECT_EQ(pixelAt(image, 9.5, 32).alpha(), 0) << "left of it";
        EXPECT_EQ(pixelAt(image, 70.5, 32).alpha(), 0) << "right of it";
        EXPECT_EQ(pixelAt(image, 40, 11.5).alpha(), 0) << "above it";
        EXPECT_EQ(pixelAt(image, 40, 52.5).alpha(), 0) << "below it";
        EXPECT_LT(pixelAt(image, 10.5, 12.5).alpha(), 40) << "the corner is cut";
        // The hairline lies on the outermost pixel inside the edge.
        const QColor edge = pixelAt(image, 40, 12.25);
        EXPECT_GT(edge.lightness(), tint.lightness()) << "the white border";
    }
}

// A card growing and fading in casts a new shadow each frame: the kept images must not pile
// up with them, while a shadow drawn again and again stays kept.
TEST(DropShadow, KeptShadowsStayWithinTheirBudget)
{
    const Shadow resting { QColor(0, 0, 0, 128), 8, QPointF(0, 2) };
    const QImage kept = shadowImage(QSizeF(100, 60), 12, resting, 1);
    for (int frame = 1; frame <= 120; ++frame) {
        QColor colour(0, 0, 0);
        colour.setAlphaF(float(frame / 120.0));
        shadowImage(QSizeF(100 + frame, 40 + frame / 2.0), 12, { colour, 8, {} }, 1);
        EXPECT_EQ(shadowImage(QSizeF(100, 60), 12, resting, 1).cacheKey(), kept.cacheKey());
        ASSERT_LE(shadowCacheBytes(), shadowCacheBudget) << "frame " << frame;
    }
}

// A large shadow is put together from a small one's corners and edges: pixel for pixel the
// blur of the whole silhouette, for sizes just past where that starts, odd and even, square
// and capsule corners, at 1× and 2×.
TEST(DropShadow, LargeShadowsEqualTheWholeBlur)
{
    struct Case {
        QSizeF size;
        double cornerRadius;
        Shadow shadow;
        double ratio;
    };
    const Shadow small { QColor(0, 0, 0, 77), 2, {} };
    const Shadow wide { QColor(20, 40, 60, 128), 8, QPointF(0, 2) };
    const Case cases[] = {
        { { 228, 154 }, 16, small, 1 },
        { { 57, 34 }, 16, small, 1 },
        { { 60, 60 }, 16, small, 1 },
        { { 229, 155 }, 16, small, 2 },
        { { 101, 61 }, 12, wide, 1 },
        { { 300, 41 }, 12, wide, 2 },
        { { 120, 80 }, 0, wide, 1 },
        { { 200, 30 }, 15, small, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
            << c.size.width() << "x" << c.size.height() << " r " << c.cornerRadius << " blur "
            << c.shadow.radius << " at " << c.ratio);
        QImage silhouette(int(std::lround(c.size.width() * c.ratio)),
            int(std::lround(c.size.height() * c.ratio)), QImage::Format_Alpha8);
        silhouette.fill(0);
        {
            QPainter painter(&silhouette);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(c.ratio, c.ratio);
            painter.fillPath(
                continuousRoundedRect(QRectF(QPointF(), c.size), c.cornerRadius), Qt::black);
        }
        const QImage whole = layerShadow(silhouette, c.shadow, c.ratio);
        const QImage shadow = shadowImage(c.size, c.cornerRadius, c.shadow, c.ratio)
                                  .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        ASSERT_EQ(shadow.size(), whole.size());
        int differing = 0;
        for (int y = 0; y < whole.height(); ++y) {
            for (int x = 0; x < whole.width(); ++x)
                differing += shadow.pixel(x, y) != whole.pixel(x, y);
        }
        EXPECT_EQ(differing, 0);
    }
}

// A surface drawn from its parts: the shadow where it falls, then the fill and the border.
QImage surfaceFromParts(const QSizeF& size, const SurfaceLook& look, double ratio)
{
    const double margin = surfaceMargin(look);
    QImage image(int(std::ceil((size.width() + 2 * margin) * ratio)),
        int(std::ceil((size.height() + 2 * margin) * ratio)), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    const QRectF shape(QPointF(margin, margin), size);
    if (look.shadow.color.alpha() > 0) {
        const double extent = shadowExtent(look.shadow);
        painter.drawImage(shape.topLeft() + look.shadow.offset - QPointF(extent, extent),
            shadowImage(size, look.cornerRadius, look.shadow, ratio));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    if (look.circularCorners) {
        QPainterPath path;
        path.addRoundedRect(shape, look.cornerRadius, look.cornerRadius);
        painter.fillPath(path, look.fill);
    } else {
        fillContinuousRoundedRect(painter, shape, look.cornerRadius, look.fill);
        strokeContinuousRoundedRect(
            painter, shape, look.cornerRadius, look.borderWidth, look.border);
    }
    return image;
}

// A card's surface as the light scheme draws it.
SurfaceLook lightCard()
{
    SurfaceLook card;
    card.cornerRadius = 16;
    card.shadow = { QColor(0, 0, 0, 26), 2, {} };
    card.fill = QColor(246, 246, 246, 230);
    card.border = QColor(255, 255, 255, 26);
    card.borderWidth = 1;
    return card;
}

// A large surface is stretched from a small one: pixel for pixel the surface drawn whole, for
// sizes just past where stretching starts and far past it, with a shadow that falls aside,
// with quarter-circle corners, at 1x and 2x.
TEST(DropShadow, StretchedSurfacesEqualTheWholeDrawing)
{
    const SurfaceLook card = lightCard();
    SurfaceLook aside = card;
    aside.cornerRadius = 12;
    aside.shadow = { QColor(20, 40, 60, 128), 8, QPointF(0, 2) };
    SurfaceLook capsule;
    capsule.cornerRadius = 11;
    capsule.fill = Qt::black;
    capsule.circularCorners = true;
    struct Case {
        QSizeF size;
        SurfaceLook look;
        double ratio;
    };
    const Case cases[] = {
        { { 60, 60 }, card, 1 },
        { { 61, 62 }, card, 1 },
        { { 339, 154 }, card, 1 },
        { { 229, 155 }, card, 2 },
        { { 101, 61 }, aside, 1 },
        { { 300, 70 }, aside, 2 },
        { { 120, 22 }, capsule, 1 },
        { { 120, 40 }, capsule, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.width() << "x" << c.size.height() << " r "
                                        << c.look.cornerRadius << " at " << c.ratio);
        const QImage whole = surfaceFromParts(c.size, c.look, c.ratio);
        const QImage stretched = surfaceImage(c.size, c.look, c.ratio);
        ASSERT_EQ(stretched.size(), whole.size());
        EXPECT_EQ(largestDifference(stretched, whole), 0);
    }
}

// A card that grows frame by frame draws each frame as the shared surface of its size would,
// into one image that grows in steps; only within the region it is given; and lets the image
// go when asked.
TEST(DropShadow, ACanvasDrawsEachFrameAsTheSurfaceWithinItsRegion)
{
    const SurfaceLook look = lightCard();
    SurfaceCanvas surface;
    const QColor beneath(30, 120, 200);
    const auto paintBoth = [&](const QRectF& shape, const QRegion& region) {
        std::pair<QImage, QImage> images { canvas(QSize(400, 300), 1, beneath),
            canvas(QSize(400, 300), 1, beneath) };
        QPainter kept(&images.first);
        surface.paint(kept, shape, look, region);
        QPainter shared(&images.second);
        paintSurface(shared, shape, look, region);
        return images;
    };
    std::vector<qsizetype> sizes;
    for (int frame = 0; frame < 24; ++frame) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        const QRectF shape(10, 12, 100 + 9.4 * frame, 60 + 3.3 * frame);
        const auto [kept, shared] = paintBoth(shape, QRegion(0, 0, 400, 300));
        EXPECT_EQ(largestDifference(kept, shared), 0);
        if (sizes.empty() || sizes.back() != surface.bytes())
            sizes.push_back(surface.bytes());
    }
    EXPECT_LE(sizes.size(), 6U) << "the image grows in steps, not with each frame";

    const QRegion corner = QRegion(0, 0, 60, 40) + QRegion(200, 100, 30, 30);
    const auto [kept, shared] = paintBoth(QRectF(10, 12, 300, 200), corner);
    EXPECT_EQ(largestDifference(kept, shared), 0);
    EXPECT_TRUE(colorNear(pixelAt(kept, 150, 50), beneath, 0)) << "outside the region";
    EXPECT_FALSE(colorNear(pixelAt(kept, 210, 110), beneath, 2)) << "inside it";

    surface.release();
    EXPECT_EQ(surface.bytes(), 0);
}

TEST(DropShadow, IsBlurredOnceAndReusedAfter)
{
    const Shadow shadow { QColor(0, 0, 0, 128), 8, QPointF(0, 2) };
    const QImage first = shadowImage(QSizeF(100, 60), 12, shadow, 2);
    const QImage again = shadowImage(QSizeF(100, 60), 12, shadow, 2);
    EXPECT_EQ(first.cacheKey(), again.cacheKey()) << "the second draw reuses the first image";
    const double extent = shadowExtent(shadow);
    EXPECT_EQ(first.deviceIndependentSize(), QSizeF(100 + 2 * extent, 60 + 2 * extent));
    EXPECT_NEAR(pixelAt(first, 50 + extent, 30 + extent).alpha(), 128, 2) << "full under the shape";
    EXPECT_EQ(pixelAt(first, 0, 0).alpha(), 0) << "faded out at the reach";
    const int edge = pixelAt(first, extent, 30 + extent).alpha();
    EXPECT_GT(edge, 20);
    EXPECT_LT(edge, 108) << "soft across the edge";
    EXPECT_NE(shadowImage(QSizeF(100, 61), 12, shadow, 2).cacheKey(), first.cacheKey());

    QWidget parent;
    parent.resize(200, 200);
    parent.setAttribute(Qt::WA_DontShowOnScreen);
    auto* card = new QWidget(&parent);
    card->setGeometry(20, 20, 100, 60);
    auto* view = addDropShadow(card, 12, shadow);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->geometry().contains(card->geometry()));
    parent.show();
    card->move(30, 30);
    EXPECT_TRUE(view->geometry().contains(card->geometry()));
    EXPECT_EQ(addDropShadow(&parent, 12, shadow), nullptr)
        << "a window has no sibling to drop it on";
}

} // namespace
} // namespace tidemark
