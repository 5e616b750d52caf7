#include "platform/ui/ColorScheme.hpp"
#include "toolkit/AssetCatalog.hpp"
#include "toolkit/DebugToggles.hpp"
#include "toolkit/GoldenControl.hpp"
#include "toolkit/ListRowDivider.hpp"

#include "ToolkitTesting.hpp"

#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <list>
#include <numbers>
#include <set>
#include <string>
#include <unordered_set>
#include <vector>

namespace tidemark {
namespace {

TEST(ListRowDivider, LinesLieOnlyBetweenUnselectedNeighbours)
{
    using Rows = std::vector<std::string>;
    struct Case {
        const char* name;
        Rows rows;
        std::set<std::string> selection;
        std::vector<bool> expected;
    };
    const Case cases[] = {
        { "one row", { "A" }, {}, { false } },
        { "nothing selected", { "A", "B", "C" }, {}, { true, true, false } },
        { "middle selected", { "A", "B", "C" }, { "B" }, { false, false, false } },
        { "first selected", { "A", "B", "C" }, { "A" }, { false, true, false } },
        { "last selected", { "A", "B", "C" }, { "C" }, { true, false, false } },
        { "a repeat takes its first occurrence's decision", { "A", "B", "A", "C" }, { "B" },
            { false, false, false, false } },
        { "a repeat of the last row never gets a line", { "A", "B", "A" }, {},
            { false, true, false } },
        { "empty", {}, {}, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(listRowDividers(c.rows, c.selection), c.expected);
        // The one-row rule agrees with the pass over all rows.
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const SwiftyListDividerModifier<Rows> row { c.rows, c.rows[i],
                { c.selection.begin(), c.selection.end() } };
            EXPECT_EQ(row.showsDivider(), c.expected[i]) << "row " << i;
        }
    }
    EXPECT_FALSE((SwiftyListDividerModifier<Rows> { { "A", "B" }, "X", {} }.showsDivider()))
        << "a row that is not in the list";
    EXPECT_FALSE((SwiftyListDividerModifier<Rows> { {}, "X", {} }.showsDivider()));
    // Any bidirectional range of hashable values.
    const std::list<int> numbers { 1, 2, 3 };
    EXPECT_EQ(listRowDividers(numbers, std::unordered_set<int> { 3 }),
        (std::vector<bool> { true, false, false }));
}

TEST(ListRowDivider, PaintsFourPixelsBelowTheRow)
{
    QImage image = test::canvas({ 50, 40 }, 2, Qt::white);
    QPainter painter(&image);
    paintListRowDividers(
        painter, { QRectF(0, 0, 50, 10), QRectF(0, 18, 50, 10) }, { true, false }, lightPalette());
    painter.end();
    const QColor line = test::over(dividerColor(lightPalette()), Qt::white);
    EXPECT_TRUE(test::colorNear(test::pixelAt(image, 25, 14.5), line, 2));
    EXPECT_TRUE(test::colorNear(test::pixelAt(image, 25, 13.5), Qt::white, 0));
    EXPECT_TRUE(test::colorNear(test::pixelAt(image, 25, 32.5), Qt::white, 0)) << "no line";
}

TEST(GoldenControl, SharesTheWidthByTheGoldenRatio)
{
    const auto [cancellable, primary] = goldenControlWidths(200);
    EXPECT_NEAR(cancellable, 76.3932, 1e-9);
    EXPECT_NEAR(primary, 123.6068, 1e-9);
    EXPECT_EQ(goldenControlWidths(0), std::make_pair(0.0, 0.0));

    int cancelled = 0;
    int saved = 0;
    GoldenControl control(
        [&] { ++cancelled; }, QStringLiteral("Cancel"), [&] { ++saved; }, QStringLiteral("Save"));
    control.resize(200, 30);
    control.setAttribute(Qt::WA_DontShowOnScreen);
    control.show();
    EXPECT_EQ(control.cancellableButton()->geometry(), QRect(0, 0, 76, 30));
    EXPECT_EQ(control.primaryButton()->geometry(), QRect(76, 0, 124, 30));
    EXPECT_TRUE(control.primaryButton()->isFlat());

    QTest::mouseClick(control.cancellableButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(saved, 0);
    QTest::mouseClick(control.primaryButton(), Qt::LeftButton);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(saved, 1);

    control.resize(0, 30);
    EXPECT_EQ(control.cancellableButton()->width(), 0);
    EXPECT_EQ(control.primaryButton()->width(), 0);
}

TEST(GoldenControl, ThePopoverContentSize)
{
    EXPECT_EQ(Popover::contentSize().width, 230);
    EXPECT_NEAR(Popover::contentSize().height, 270.14782, 1e-9);
    EXPECT_EQ(&Popover::contentSize(), &Popover::contentSize());
}

TEST(DebugToggles, EachSliderChangesOnlyItsOwnValue)
{
    const Toggled<double> pair(1.0, 0.5);
    EXPECT_EQ(pair.value(true), 1.0);
    EXPECT_EQ(pair.value(false), 0.5);

    Toggled<double> stored(1.0, 0.5);
    const Binding<Toggled<double>> binding { [&] { return stored; },
        [&](const Toggled<double>& v) { stored = v; } };
    DebugToggledViewRangeValue<double> view("Scale", binding, 0.0, 2.0);
    EXPECT_EQ(view.onSlider()->maximum(), 1000);
    EXPECT_EQ(view.onSlider()->value(), 500);
    EXPECT_EQ(view.offSlider()->value(), 250);

    view.onSlider()->setValue(750);
    EXPECT_EQ(stored, Toggled<double>(1.5, 0.5));
    view.offSlider()->setValue(100);
    EXPECT_EQ(stored, Toggled<double>(1.5, 0.2));

    // The bindings alone write back the whole pair, the other element as read.
    offBinding(binding).set(0.9);
    EXPECT_EQ(stored, Toggled<double>(1.5, 0.9));
    EXPECT_EQ(onBinding(binding).get(), 1.5);
}

TEST(DebugToggles, TheAngleViewShowsDegreesAndStoresRadians)
{
    Toggled<Angle> stored(Angle { std::numbers::pi }, Angle { 0 });
    const Binding<Toggled<Angle>> binding { [&] { return stored; },
        [&](const Toggled<Angle>& v) { stored = v; } };
    DebugToggledViewAngleRangeValue<double> view("Rotation", binding, 0.0, 360.0);
    EXPECT_EQ(view.onSlider()->value(), 500) << "180 degrees of 0…360";

    view.onSlider()->setValue(250); // 90 degrees
    EXPECT_DOUBLE_EQ(stored.values.on.radians, std::numbers::pi / 2);
    EXPECT_EQ(stored.values.off, Angle { 0 });
}

TEST(AssetCatalog, NamesArtworkByNameAndCatalog)
{
    EXPECT_TRUE(AssetCatalog::main().image("AppIcon").has_value());
    EXPECT_FALSE(AssetCatalog::main().image("Missing").has_value());
    AssetCatalog other;
    const ImageResource a { "AppIcon", &AssetCatalog::main() };
    const ImageResource b { "AppIcon", &AssetCatalog::main() };
    const ImageResource elsewhere { "AppIcon", &other };
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<ImageResource>()(a), std::hash<ImageResource>()(b));
    EXPECT_NE(a, elsewhere);
    other.registerColor("Accent", Qt::red);
    EXPECT_EQ(other.color("Accent"), QColor(Qt::red));
    EXPECT_EQ((ColorResource { "Accent", &other }), (ColorResource { "Accent", &other }));
}

} // namespace
} // namespace tidemark
