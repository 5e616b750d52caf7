#include "onboarding/WhatsNewLayout.hpp"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(WhatsNewLayout, TheChevronsAndTheIndicatorFollowTheSelectedPage)
{
    struct Case {
        int selected;
        int count;
        WhatsNewControlsState expected;
        int back;
        int forward;
    };
    const Case cases[] = {
        // The title page: forward only, the indicator invisible.
        { 0, 3, { false, true, 0, 2, 0.0 }, 0, 1 },
        { 1, 3, { true, true, 1, 2, 1.0 }, 0, 2 },
        // The last page: back only.
        { 2, 3, { true, false, 2, 2, 1.0 }, 1, 2 },
        // A single page has no chevrons at all.
        { 0, 1, { false, false, 0, 0, 0.0 }, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.selected) + " of " + std::to_string(c.count));
        EXPECT_EQ(whatsNewControls(c.selected, c.count), c.expected);
        EXPECT_EQ(whatsNewPageBack(c.selected), c.back);
        EXPECT_EQ(whatsNewPageForward(c.selected, c.count), c.forward);
    }
}

TEST(WhatsNewLayout, TheSmallestSizeFitsTheScreenAtFiveToFour)
{
    struct Case {
        const char* name;
        std::optional<Size> available;
        Size expected;
    };
    const Case cases[] = {
        { "no screen known: 875 × 700", std::nullopt, { 875, 700 } },
        { "a large screen: 875 × 700", Size { 1920, 1050 }, { 875, 700 } },
        { "exactly the size", Size { 875, 700 }, { 875, 700 } },
        { "a short screen bounds the height", Size { 1280, 560 }, { 700, 560 } },
        { "a narrow screen bounds the width", Size { 800, 900 }, { 800, 640 } },
        { "both smaller: the tighter one wins", Size { 750, 500 }, { 625, 500 } },
        { "an empty free area is ignored", Size { 0, 0 }, { 875, 700 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Size size = whatsNewMinimumSize(WhatsNewLayout::height, c.available);
        EXPECT_DOUBLE_EQ(size.width, c.expected.width);
        EXPECT_DOUBLE_EQ(size.height, c.expected.height);
        EXPECT_DOUBLE_EQ(size.width / size.height, 1.25);
        if (c.available && c.available->width > 0) {
            EXPECT_LE(size.width, c.available->width);
            EXPECT_LE(size.height, c.available->height);
        }
    }
}
