#include "core/Action.hpp"
#include "core/state/AppState.hpp"

#include <gtest/gtest.h>

#include <array>

using namespace tidemark;

namespace {

AppAction yoyoDrag(YoyoDragAction action)
{
    return AppAction::View { ViewAction::Yoyo { YoyoAction::Drag { std::move(action) } } };
}

// Whether each prefix of the path view → yoyo → drag → isPresented finds its case.
std::array<bool, 4> foundAlongDragPresentation(const AppAction& action)
{
    return {
        caseAt<AppAction::View>(action) != nullptr,
        caseAt<AppAction::View, ViewAction::Yoyo>(action) != nullptr,
        caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag>(action) != nullptr,
        caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag, YoyoDragAction::IsPresented>(
            action)
            != nullptr,
    };
}

} // namespace

TEST(CaseAt, FindsTheCaseAtEachDepthAndMissesWhereTheActionLeavesThePath)
{
    struct Case {
        const char* name;
        AppAction action;
        int depthsOnPath; // how many leading steps of the path the action follows
    };
    const Case cases[] = {
        { "another root case", AppAction::Timer { TimerAction::start }, 0 },
        { "another view case", AppAction::View { ViewAction::Quit {} }, 1 },
        { "another yoyo case",
            AppAction::View { ViewAction::Yoyo {
                YoyoAction::Scroll { YoyoScrollAction::IsPresented { true } } } },
            2 },
        { "another drag case", yoyoDrag(YoyoDragAction::AnimateOutDidEnd {}), 3 },
        { "the whole path", yoyoDrag(YoyoDragAction::IsPresented { true }), 4 },
    };
    for (const auto& c : cases) {
        const auto found = foundAlongDragPresentation(c.action);
        for (int depth = 1; depth <= 4; ++depth)
            EXPECT_EQ(found[std::size_t(depth - 1)], depth <= c.depthsOnPath)
                << c.name << ", depth " << depth;
    }
}

TEST(CaseAt, PointsIntoTheActionItReads)
{
    const AppAction action = yoyoDrag(YoyoDragAction::IsPresented { true });
    const auto* presented
        = caseAt<AppAction::View, ViewAction::Yoyo, YoyoAction::Drag, YoyoDragAction::IsPresented>(
            action);
    ASSERT_TRUE(presented);
    EXPECT_TRUE(presented->isPresented);
    const auto* begin = reinterpret_cast<const char*>(&action);
    const auto* at = reinterpret_cast<const char*>(presented);
    EXPECT_TRUE(at >= begin && at < begin + sizeof(AppAction));
}

TEST(CaseAt, StepsThroughAnActionThatIsItsOwnOneCase)
{
    // The notifications action wraps the user-notifications action without cases of its own.
    auto notifications = [](UserNotificationsAction action) -> AppAction {
        return AppAction::Notifications { NotificationsAction { std::move(action) } };
    };
    const auto enabled = notifications(UserNotificationsAction::IsEnabled { true });
    const auto preview = notifications(UserNotificationsAction::CreateNotification { "b", 5 });

    const auto* hit
        = caseAt<AppAction::Notifications, NotificationsAction, UserNotificationsAction::IsEnabled>(
            enabled);
    ASSERT_TRUE(hit);
    EXPECT_TRUE(hit->value);
    EXPECT_FALSE(
        (caseAt<AppAction::Notifications, NotificationsAction, UserNotificationsAction::IsEnabled>(
            preview)));
    EXPECT_FALSE((caseAt<AppAction::Notifications, NotificationsAction>(
        AppAction { AppAction::View { ViewAction::Quit {} } })));
}

TEST(ActionOf, ComparesTheCaseAndItsValueAtEveryDepth)
{
    struct Case {
        const char* name;
        AppAction other;
        bool equal;
    };
    const AppAction action = yoyoDrag(YoyoDragAction::IsPresented { true });
    const Case cases[] = {
        { "the same", yoyoDrag(YoyoDragAction::IsPresented { true }), true },
        { "another value", yoyoDrag(YoyoDragAction::IsPresented { false }), false },
        { "another innermost case", yoyoDrag(YoyoDragAction::AnimateOutDidEnd {}), false },
        { "another root case", AppAction::View { ViewAction::Quit {} }, false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(action == c.other, c.equal) << c.name;
        EXPECT_EQ(action != c.other, !c.equal) << c.name;
    }
}
