#include "menubar/ZevovozoViewModel.hpp"
#include "entry/ZevovozoStatus.hpp"
#include "menubar/ZevovozoConfiguring.hpp"
#include "platform/foundation/Date.hpp"
#include "platform/foundation/Geometry.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>

namespace tidemark {
namespace {

using Parameters = ZevovozoViewModel::Parameters;
using Color = ZevovozoViewModel::Color;

constexpr double infinity = std::numeric_limits<double>::infinity();

// Ten past ten: both hands away from 0, so that folding them to 0 shows.
const ZevovozoViewModel::Current tenPastTen { Angle {
                                                  (10 + 10.0 / 60) / 12 * 2 * std::numbers::pi },
    Angle { 10.0 / 60 * 2 * std::numbers::pi }, dateFromTimeIntervalSince1970(0),
    dateFromTimeIntervalSince1970(3600) };

Parameters parameters(ZevovozoStatus status, std::shared_ptr<const ZevovozoConfiguring> config)
{
    return ZevovozoViewModel { status, std::move(config), tenPastTen }.parameters();
}

TEST(ZevovozoViewModel, DrawingParametersOfEachStatusWithEachConfiguration)
{
    const auto menubar = std::make_shared<const MenubarZevovozoConfiguration>();
    const auto listItem = std::make_shared<const ListItemZevovozoConfiguration>();
    const Angle hour = tenPastTen.hourAngle;
    const Angle minute = tenPastTen.minuteAngle;
    const Parameters menubarAtRest { { 22, 22 }, { 16, 16 }, Color::primary, 2, hour, minute,
        { 11, 11 }, { 1, 4.5 }, { 1, 3.5 }, { 2, 2 }, 0 };
    const Parameters menubarActive { { 22, 22 }, { 16, 16 }, Color::primary, 2, {}, {},
        { infinity, infinity }, { 1, 0 }, { 1, 0 }, { 0, 0 }, 5 };
    const Parameters listItemAtRest { { 64, 64 }, { 59, 59 }, Color::primary, 4, hour, minute,
        { 49, 49 }, listItem->hourHandSize(), { 4, 20.5 }, { 8, 8 }, 0 };
    const Parameters listItemActive { { 64, 64 }, { 59, 59 }, Color::primary, 4, {}, {},
        { infinity, infinity }, { 4, 0 }, { 4, 0 }, { 0, 0 }, 5 };
    auto accent = [](Parameters p) {
        p.color = Color::accent;
        return p;
    };
    auto smaller = [](Parameters p, double side) {
        p.contentSize = { side, side };
        return p;
    };
    struct Case {
        std::string name;
        ZevovozoStatus status;
        std::shared_ptr<const ZevovozoConfiguring> config;
        Parameters expected;
    };
    const Case cases[] = {
        { "menu bar, idle", ZevovozoStatus::idle, menubar, menubarAtRest },
        { "menu bar, selected draws as idle", ZevovozoStatus::selected, menubar, menubarAtRest },
        { "menu bar, hovering", ZevovozoStatus::hovering, menubar, menubarActive },
        { "menu bar, longHold: hovering in the accent colour", ZevovozoStatus::longHold, menubar,
            accent(menubarActive) },
        { "menu bar, dragging: 6 smaller", ZevovozoStatus::dragging, menubar,
            smaller(accent(menubarActive), 10) },
        { "list item, idle", ZevovozoStatus::idle, listItem, listItemAtRest },
        { "list item, selected draws as idle", ZevovozoStatus::selected, listItem, listItemAtRest },
        { "list item, hovering", ZevovozoStatus::hovering, listItem, listItemActive },
        { "list item, longHold: hovering in the accent colour", ZevovozoStatus::longHold, listItem,
            accent(listItemActive) },
        { "list item, dragging: 6 smaller", ZevovozoStatus::dragging, listItem,
            smaller(accent(listItemActive), 53) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Parameters actual = parameters(c.status, c.config);
        EXPECT_EQ(actual, c.expected);
        // The clock's limit stays infinite: no limit, never some large whole number.
        EXPECT_EQ(std::isinf(actual.clockSize.width), c.status >= ZevovozoStatus::hovering);
    }
}

TEST(ZevovozoViewModel, TimerIndicatorProgress)
{
    const Date start = dateFromTimeIntervalSince1970(1000);
    const Date due = dateFromTimeIntervalSince1970(1400);
    auto at = [](double seconds) { return dateFromTimeIntervalSince1970(seconds); };
    struct Case {
        std::string name;
        Date start;
        Date due;
        Date now;
        double expected;
    };
    const Case cases[] = {
        { "at the start", start, due, start, 1 },
        { "a quarter in", start, due, at(1100), 0.75 },
        { "half way", start, due, at(1200), 0.5 },
        { "at the due date", start, due, due, 0 },
        { "past due: negative, not raised to 0", start, due, at(1500), -0.25 },
        { "before the start: above 1, not lowered", start, due, at(900), 1.25 },
        { "start equal to due, before it", due, due, at(1300), 1 },
        { "start equal to due, at it", due, due, due, 0 },
        { "start equal to due, after it", due, due, at(1500), 0 },
        { "due before the start, before both", due, start, at(900), 1 },
        { "due before the start, after both", due, start, at(1500), 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ZevovozoViewModel::Current current { {}, {}, c.start, c.due };
        const double progress = current.timerIndicatorProgress(c.now);
        EXPECT_TRUE(std::isfinite(progress));
        EXPECT_DOUBLE_EQ(progress, c.expected);
    }
}

} // namespace
} // namespace tidemark
