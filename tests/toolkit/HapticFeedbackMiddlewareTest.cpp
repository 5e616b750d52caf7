#include "toolkit/middleware/HapticFeedbackMiddleware.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/haptics/HapticFeedbackPerformer.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tidemark {
namespace {

using Pattern = HapticFeedbackPattern;

// One step of a script: the drag as the state holds it after the reducer, the action just
// reduced, and the taps the step plays.
struct Step {
    std::optional<DragGesturePhase> phase;
    double pull; // length of the drag's translation; the minimum distance is 22
    AppAction action;
    std::vector<Pattern> taps;
};

AppAction phase(DragGesturePhase p)
{
    return AppAction::DragGesture { DragGestureAction::Phase { p } };
}
AppAction scrollCard(bool presented)
{
    return actions::viewAction(ViewAction::Yoyo {
        YoyoAction::Scroll { YoyoScrollAction::DataEntryIsPresented { presented } } });
}
AppAction scrollPresented(bool presented)
{
    return actions::viewAction(
        ViewAction::Yoyo { YoyoAction::Scroll { YoyoScrollAction::IsPresented { presented } } });
}

void run(const std::vector<Step>& script, bool initialFlag = false)
{
    HapticFeedbackPerformer performer;
    auto service = std::make_shared<HapticFeedbackService>(performer);
    service->setFlag(initialFlag);
    const auto middleware = makeHapticFeedbackMiddleware(service);
    AppState state = AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    for (std::size_t i = 0; i < script.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const Step& step = script[i];
        state.dragGesture.phase = step.phase;
        AnyDragGestureValue value;
        value.translation = { step.pull, 0 };
        state.dragGesture.value = value;
        performer.clearRequests();
        const auto answer = middleware(state, step.action);
        ASSERT_TRUE(answer);
        EXPECT_TRUE(answer->isKnownEmpty());
        std::vector<Pattern> taps;
        for (const HapticFeedbackRequest& request : performer.requests()) {
            taps.push_back(request.pattern);
            EXPECT_EQ(request.performanceTime, HapticFeedbackPerformanceTime::defaultTime);
        }
        EXPECT_EQ(taps, step.taps);
    }
}

using P = DragGesturePhase;

TEST(HapticFeedbackMiddleware, APullTapsOnceWhenTheTimeLabelAppearsAndOnceWhenItGoes)
{
    run({
        { P::begin, 0, phase(P::begin), {} },
        { P::changed, 10, phase(P::changed), {} },
        { P::changed, 30, phase(P::changed), { Pattern::alignment } },
        { P::changed, 40, phase(P::changed), {} },
        { P::changed, 50, phase(P::changed), {} },
        { P::changed, 10, phase(P::changed), { Pattern::alignment } },
        { P::changed, 10, phase(P::changed), {} },
    });
}

TEST(HapticFeedbackMiddleware, OnlyTheChangedPhaseIsWatched)
{
    run({
        // The label would show, but a begin plays nothing; the next changed notices it.
        { P::begin, 30, phase(P::begin), {} },
        { P::changed, 30, phase(P::changed), { Pattern::alignment } },
        // An ended drag hides the label, noticed at no phase but changed.
        { P::ended, 30, phase(P::ended), {} },
        { P::ended, 30, AppAction::DragGesture { DragGestureAction::PointPerInterval { 4 } }, {} },
        { P::changed, 10, phase(P::changed), { Pattern::alignment } },
    });
}

TEST(HapticFeedbackMiddleware, TheScrollCardTapsOnEachChangeAndItsPresentationDoesNot)
{
    run({
        { std::nullopt, 0, scrollCard(true), { Pattern::generic } },
        { std::nullopt, 0, scrollCard(true), {} },
        { std::nullopt, 0, scrollCard(false), { Pattern::generic } },
        { std::nullopt, 0, scrollPresented(true), {} },
        { std::nullopt, 0, scrollPresented(false), {} },
    });
}

TEST(HapticFeedbackMiddleware, BothTriggersShareOneMemory)
{
    // A scroll card left open set the flag, so a pull whose label shows at once plays nothing.
    run({
        { std::nullopt, 0, scrollCard(true), { Pattern::generic } },
        { P::changed, 30, phase(P::changed), {} },
        { P::changed, 10, phase(P::changed), { Pattern::alignment } },
        { std::nullopt, 0, scrollCard(true), { Pattern::generic } },
    });
}

} // namespace
} // namespace tidemark
