#include "entry/TimeView.hpp"

#include "core/RelativeTimeFormatter.hpp"
#include "platform/foundation/DateComponentsFormatter.hpp"

#include <gtest/gtest.h>

#include <unordered_set>

using namespace tidemark;

namespace {

const Date start = dateFromTimeIntervalSince1970(1'800'000'000); // 2027-01-15 08:00 UTC

TEST(TimeView, PresentationFollowsProgress)
{
    struct Case {
        double progress;
        double opacity;
        bool collapsed;
    };
    for (const Case c : { Case { 0, 0, true }, Case { 0.5, 0, false }, Case { 0.75, 0.5, false },
             Case { 1, 1, false }, Case { 1.2, 1, false } }) {
        SCOPED_TRACE(c.progress);
        EXPECT_DOUBLE_EQ(TimeView::labelsOpacity(c.progress), c.opacity);
        EXPECT_EQ(TimeView::labelsCollapse(c.progress), c.collapsed);
    }
    EXPECT_DOUBLE_EQ(TimeView::stackSpacing(1), 8.5);
    EXPECT_DOUBLE_EQ(TimeView::lineSpacing(true), 4);
    EXPECT_DOUBLE_EQ(TimeView::lineSpacing(false), 2);

    EXPECT_TRUE(TimeView::takesFocus(0.9, 1.0));
    EXPECT_FALSE(TimeView::takesFocus(1.0, 1.0)) << "once per arrival";
    EXPECT_FALSE(TimeView::takesFocus(1.0, 0.5)) << "leaving 1 takes nothing away";
    EXPECT_FALSE(TimeView::takesFocus(0.5, 0.999));
}

TEST(TimeView, WhatShows)
{
    EXPECT_FALSE(TimeView::showsLabels(std::nullopt, 60.0));
    EXPECT_FALSE(TimeView::showsLabels(start, std::nullopt));
    EXPECT_TRUE(TimeView::showsLabels(start, 60.0));

    EXPECT_TRUE(TimeView::showsTitleRow(true, ""));
    EXPECT_FALSE(TimeView::showsTitleRow(false, ""));
    EXPECT_TRUE(TimeView::showsTitleRow(false, "Tea"));
    EXPECT_TRUE(TimeView::titleIsPrimary("Tea"));
    EXPECT_FALSE(TimeView::titleIsPrimary(""));
    EXPECT_EQ(TimeView::titlePlaceholder(), "Description");

    const TimeView::Focusable a { "r1", TimeView::Field::title };
    const TimeView::Focusable sameIdOtherField { "r1", TimeView::Field::relativeTime };
    const TimeView::Focusable otherIdSameField { "r2", TimeView::Field::title };
    EXPECT_NE(a, sameIdOtherField);
    EXPECT_NE(a, otherIdSameField);
    std::unordered_set<TimeView::Focusable> set { a, sameIdOtherField, otherIdSameField, a };
    EXPECT_EQ(set.size(), 3u);
}

TEST(TimeView, RelativeLineCountsDownAndThenUp)
{
    auto formatter = sharedRelativeTimeFormatter();
    struct Case {
        const char* name;
        TimeInterval interval;
        TimeInterval elapsed; // since the start
        std::optional<std::string> tick;
        const char* expected;
    };
    const Case cases[] = {
        { "seconds alone up to a minute", 45, 0, std::nullopt, "in 45 sec" },
        { "hours and minutes beyond", 3900, 0, std::nullopt, "in 1 hr, 5 min" },
        { "before a tick, the chosen interval", 600, 300, std::nullopt, "in 10 min" },
        { "a tick's text", 600, 300, std::string("5 min"), "in 5 min" },
        { "due now is the future", 600, 600, std::string("0 sec"), "in 0 sec" },
        { "past the due time", 600, 900, std::string("5 min"), "5 min ago" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Date now = dateByAdding(start, c.elapsed);
        const auto line = TimeView::relativeLine(start, c.interval, now, c.tick, *formatter);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->text(), c.expected);
        EXPECT_FALSE(line->value.empty());
        EXPECT_NE(line->text().find(line->value), std::string::npos);
    }

    // A tick writes the magnitude of the time left, and of the time passed.
    EXPECT_EQ(
        TimeView::relativeTimeOnTick(start, 600, dateByAdding(start, 540), *formatter), "60 sec");
    EXPECT_EQ(
        TimeView::relativeTimeOnTick(start, 600, dateByAdding(start, 630), *formatter), "30 sec");
}

TEST(TimeView, AbsoluteLineIsTheDueTimeOfDay)
{
    const auto line = TimeView::absoluteLine(start, 5400, "de_DE", "Europe/Berlin");
    EXPECT_EQ(line.value, "10:30") << "08:00 UTC + 1:30, Berlin winter time";
    EXPECT_EQ(line.before, "at ");
    EXPECT_EQ(TimeView::absoluteLine(start, 0, "en_US", "UTC").text().substr(0, 7), "at 8:00");
    EXPECT_EQ(TimeView::absoluteLine(start, 0, "en_US", "No/Such_Zone").value,
        TimeView::absoluteLine(start, 0, "en_US", "UTC").value)
        << "an unknown zone reads as UTC";
}

} // namespace
