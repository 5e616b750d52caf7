#include "menubar/ZevovozoConfiguring.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tidemark {
namespace {

TEST(ZevovozoConfiguration, SizesOfBothConfigurations)
{
    struct Case {
        std::string name;
        const ZevovozoConfiguring& config;
        Size size;
        Size contentSize;
        double timerIndicatorWidth;
        double timerIndicatorInnerPadding;
        Size clockSize;
        Size hourHandSize;
        Size minuteHandSize;
        Size handCircleSize;
    };
    const MenubarZevovozoConfiguration menubar;
    const ListItemZevovozoConfiguration listItem;
    const Case cases[] = {
        { "menu bar", menubar, { 22, 22 }, { 16, 16 }, 2, 1, { 11, 11 }, { 1, 4.5 }, { 1, 3.5 },
            { 2, 2 } },
        { "list item", listItem, { 64, 64 }, { 59, 59 }, 4, 2, { 49, 49 }, { 4, 17.15 },
            { 4, 20.5 }, { 8, 8 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.config.size(), c.size);
        EXPECT_EQ(c.config.contentSize(), c.contentSize);
        EXPECT_EQ(c.config.timerIndicatorWidth(), c.timerIndicatorWidth);
        EXPECT_EQ(c.config.timerIndicatorInnerPadding(), c.timerIndicatorInnerPadding);
        EXPECT_EQ(c.config.clockSize(), c.clockSize);
        EXPECT_DOUBLE_EQ(c.config.hourHandSize().width, c.hourHandSize.width);
        EXPECT_DOUBLE_EQ(c.config.hourHandSize().height, c.hourHandSize.height);
        EXPECT_DOUBLE_EQ(c.config.minuteHandSize().width, c.minuteHandSize.width);
        EXPECT_DOUBLE_EQ(c.config.minuteHandSize().height, c.minuteHandSize.height);
        EXPECT_EQ(c.config.handCircleSize(), c.handCircleSize);
    }
}

// A configuration that keeps the default clock rule but has other content: the rule takes one
// inner padding, not two, on each axis apart.
class WideRing final : public ZevovozoConfiguring {
public:
    Size size() const override { return { 40, 40 }; }
    Size contentSize() const override { return { 30, 20 }; }
    double timerIndicatorWidth() const override { return 3; }
    double timerIndicatorInnerPadding() const override { return 4; }
    Size hourHandSize() const override { return { 1, clockSize().height / 2 }; }
    Size minuteHandSize() const override { return { 1, clockSize().width / 2 }; }
    Size handCircleSize() const override { return { 1, 1 }; }
};

TEST(ZevovozoConfiguration, TheDefaultClockSizeTakesTwoLinesAndOnePadding)
{
    const WideRing config;
    EXPECT_EQ(config.clockSize(), (Size { 20, 10 }));
}

} // namespace
} // namespace tidemark
