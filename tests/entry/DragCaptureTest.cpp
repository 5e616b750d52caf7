#include "entry/DragCapture.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using namespace tidemark;

namespace {

using Phase = DragGesturePhase;

Date at(double seconds)
{
    return Date {}
    + std::chrono::duration_cast<Date::duration>(std::chrono::duration<double>(seconds));
}

// One pointer event of a script: press, move, release or a lost grab.
struct Event {
    enum Kind { press, move, release, lost } kind;
    Point location {};
};

// What the handler hears, as "begin(0,10)" with the translation, "!" when the status goes to
// dragging.
std::vector<std::string> run(const std::vector<Event>& events)
{
    DragCapture capture;
    std::vector<std::string> heard;
    double t = 0;
    for (const Event& e : events) {
        t += 0.01;
        std::optional<DragCaptureOutput> out;
        switch (e.kind) {
        case Event::press:
            capture.press(e.location, at(t));
            break;
        case Event::move:
            out = capture.move(e.location, at(t));
            break;
        case Event::release:
            out = capture.release(e.location, at(t));
            break;
        case Event::lost:
            out = capture.cancel();
            break;
        }
        if (!out)
            continue;
        const char* name = out->phase == Phase::begin ? "begin"
            : out->phase == Phase::changed            ? "changed"
                                                      : "ended";
        heard.push_back(std::string(name) + "(" + std::to_string(int(out->value.translation.width))
            + "," + std::to_string(int(out->value.translation.height)) + ")"
            + (out->setsDragging ? "!" : ""));
    }
    return heard;
}

} // namespace

TEST(DragCapture, APullReportsOneBeginThenChangesThenOneEnd)
{
    using V = std::vector<std::string>;
    const Point icon { 1900, 12 };
    const struct {
        const char* name;
        std::vector<Event> events;
        V heard;
    } cases[] = {
        { "a click reports nothing", { { Event::press, icon }, { Event::release, icon } }, {} },
        { "moves under 10 points report nothing",
            { { Event::press, icon }, { Event::move, { 1900, 21 } }, { Event::move, { 1906, 19 } },
                { Event::release, { 1906, 19 } } },
            {} },
        { "the first move past 10 points begins, without touching the status",
            { { Event::press, icon }, { Event::move, { 1900, 22 } }, { Event::move, { 1900, 40 } },
                { Event::move, { 1900, 112 } }, { Event::release, { 1900, 112 } } },
            { "begin(0,10)", "changed(0,28)!", "changed(0,100)!", "ended(0,100)" } },
        { "the end carries the value where the button came up",
            { { Event::press, icon }, { Event::move, { 1900, 30 } },
                { Event::release, { 1890, 60 } } },
            { "begin(0,18)", "ended(-10,48)" } },
        { "two pulls in a row each begin",
            { { Event::press, icon }, { Event::move, { 1900, 30 } },
                { Event::release, { 1900, 30 } }, { Event::press, icon },
                { Event::move, { 1920, 12 } }, { Event::move, { 1930, 12 } },
                { Event::release, { 1930, 12 } } },
            { "begin(0,18)", "ended(0,18)", "begin(20,0)", "changed(30,0)!", "ended(30,0)" } },
        { "a lost grab ends the pull with its last value, and the next pull begins again",
            { { Event::press, icon }, { Event::move, { 1900, 30 } }, { Event::move, { 1900, 50 } },
                { Event::lost }, { Event::move, { 1900, 70 } }, { Event::release, { 1900, 70 } },
                { Event::press, icon }, { Event::move, { 1900, 40 } },
                { Event::release, { 1900, 40 } } },
            { "begin(0,18)", "changed(0,38)!", "ended(0,38)", "begin(0,28)", "ended(0,28)" } },
        { "a lost grab before the pull began reports nothing",
            { { Event::press, icon }, { Event::move, { 1900, 15 } }, { Event::lost } }, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.events), c.heard) << c.name;
}

TEST(DragCapture, ValuesCarryTheStartAndAPredictionAlongTheMotion)
{
    DragCapture capture;
    capture.press({ 100, 10 }, at(1));
    const auto begin = capture.move({ 100, 30 }, at(1.1));
    ASSERT_TRUE(begin);
    EXPECT_EQ(begin->value.startLocation, (Point { 100, 10 }));
    EXPECT_EQ(begin->value.location, (Point { 100, 30 }));
    EXPECT_EQ(begin->value.time, at(1.1));
    // 20 points in 0.1 s: 200 points a second, predicted 0.1 s ahead.
    EXPECT_NEAR(begin->value.predictedEndLocation.y, 50, 1e-6);
    EXPECT_NEAR(begin->value.predictedEndTranslation.height, 40, 1e-6);
}

TEST(HoverTracker, RestingOnTheIconForASecondHoversAndLeavingRestores)
{
    using S = ZevovozoStatus;
    using E = HoverTracker::Effects;
    {
        HoverTracker hover;
        EXPECT_EQ(hover.hover(true, S::idle), (E { true, false, std::nullopt }));
        EXPECT_EQ(hover.timerFired(S::idle), (E { false, true, S::hovering }));
        EXPECT_EQ(hover.previousStatus(), S::idle);
        EXPECT_EQ(hover.hover(false, S::hovering), (E { false, true, S::idle }));
        EXPECT_EQ(hover.previousStatus(), std::nullopt);
    }
    {
        // Left after half a second while selected: the timer goes, the status never hovers.
        HoverTracker hover;
        EXPECT_EQ(hover.hover(true, S::selected), (E { true, false, std::nullopt }));
        EXPECT_EQ(hover.hover(false, S::selected), (E { false, true, std::nullopt }));
    }
    {
        // Entering while dragging starts no timer.
        HoverTracker hover;
        EXPECT_EQ(hover.hover(true, S::dragging), (E { false, true, std::nullopt }));
    }
    {
        // Hovering, then a pull: leaving leaves `dragging` and the remembered status alone.
        HoverTracker hover;
        hover.hover(true, S::idle);
        hover.timerFired(S::idle);
        EXPECT_EQ(hover.hover(false, S::dragging), (E { false, true, std::nullopt }));
        EXPECT_EQ(hover.previousStatus(), S::idle);
    }
    {
        HoverTracker hover;
        EXPECT_EQ(hover.statusChanged(S::selected), (E { false, true, std::nullopt }));
        EXPECT_EQ(hover.statusChanged(S::dragging), (E {}));
    }
}
