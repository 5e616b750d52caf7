#include "core/connectors/TimeEntryConnectors.hpp"

#include "core/Overloaded.hpp"
#include "core/SharedValues.hpp"
#include "core/connectors/RootActions.hpp"
#include "entry/DragTimeInterval.hpp"
#include "entry/YoyoAnimation.hpp"

#include <cstdlib>

namespace tidemark::Connectors {

namespace {

// A case-less action cannot be made; reaching its mapping is a programming error.
[[noreturn]] void unreachable()
{
    std::abort();
}

} // namespace

YoyoBlobView::State YoyoBlobConnector::mapState(const AppState& state) const
{
    Rect startFrame({}, MenuBar::iconSize);
    setCenter(startFrame, state.view.statusItem.dragFrame.value_or(Rect {}).center());
    return {
        .startFrame = startFrame,
        .translation = blobTranslation(state.dragGesture),
        .isSmall = state.view.yoyo.drag.isPresented,
        .blobOpacity = state.view.yoyo.drag.blobOpacity,
    };
}

AppAction YoyoBlobConnector::mapAction(const ViewAction&) const
{
    unreachable();
}

DragDataEntryConnectingView::State DragDataEntryConnector::mapState(const AppState& state) const
{
    const auto& drag = state.view.yoyo.drag;
    return {
        .isPresented = drag.isPresented,
        .progress = drag.isPresented ? 1.0 : 0.0,
        .position = drag.position,
        .reminder = state.dataEntry.editing,
        .saved = drag.saved,
        .formatter = state.settings.general.relativeTimeFormatter,
    };
}

AppAction DragDataEntryConnector::mapAction(const ViewAction& action) const
{
    using A = DragDataEntryConnectingView::Action;
    return std::visit(
        overloaded {
            [](const A::IsPresented& a) -> AppAction {
                return root::yoyoDrag(YoyoDragAction::IsPresented { a.isPresented });
            },
            [](const A::Reminder& a) -> AppAction {
                return AppAction::DataEntry { DataEntryAction::Editing { a.reminder } };
            },
            [](const A::SaveID& a) -> AppAction {
                return root::yoyoDrag(YoyoDragAction::Saved { a.id });
            },
            [](const A::Save& a) -> AppAction { return root::createItems({ a.reminder }); },
        },
        asVariant(action));
}

YoyoTimeView::State YoyoTimeViewConnector::mapState(const AppState& state) const
{
    const auto& drag = state.dragGesture;
    const bool exceeds = drag.exceedsMinimumDistance();
    return {
        .blobOpacity = state.view.yoyo.drag.blobOpacity,
        .isPresented = drag.phase != DragGesturePhase::ended && exceeds,
        .startDate = drag.startDate ? *drag.startDate : clock->now(),
        .timeInterval = drag.value ? dragTimeInterval(*drag.value, drag.pointPerInterval) : 0.0,
        .translationDistanceIsGreaterThanMinimum = exceeds,
        .formatter = state.settings.general.relativeTimeFormatter,
    };
}

AppAction YoyoTimeViewConnector::mapAction(const ViewAction&) const
{
    unreachable();
}

YoyoAnimation::State YoyoAnimationConnector::mapState(const AppState& state) const
{
    return {
        .blobOpacity = state.view.yoyo.drag.blobOpacity,
        .phase = state.dragGesture.phase,
        .translation = YoyoBlobConnector {}.mapState(state).translation,
    };
}

AppAction YoyoAnimationConnector::mapAction(const ViewAction& action) const
{
    using A = YoyoAnimation::Action;
    return std::visit(
        overloaded {
            [](const A::AnimateTranslationToStart& a) -> AppAction {
                return root::dragGesture(
                    DragGestureAction::DidEndTranslation { springBackTranslation(a.translation) });
            },
            [](const A::ZevovozoStatus& a) -> AppAction { return root::zevovozoStatus(a.status); },
            [](const A::BlobOpacity& a) -> AppAction {
                return root::yoyoDrag(YoyoDragAction::BlobOpacity { a.blobOpacity });
            },
            [](const A::PopoverIsPresented& a) -> AppAction {
                return actions::popoverIsPresented(a.isPresented);
            },
            [](const A::BlobOpacityAnimationDidFinish&) -> AppAction {
                return root::yoyoDrag(YoyoDragAction::AnimateOutDidEnd {});
            },
        },
        asVariant(action));
}

namespace {

AppAction overlayAction(const YoyoOverlayActionCases::Animation& a)
{
    return YoyoAnimationConnector {}.mapAction(a.action);
}

AppAction overlayAction(const YoyoOverlayActionCases::DataEntry& a)
{
    return DragDataEntryConnector {}.mapAction(a.action);
}

} // namespace

YoyoFrontView::State YoyoFrontConnector::mapState(const AppState& state) const
{
    return {
        .animation = YoyoAnimationConnector {}.mapState(state),
        .blobView = YoyoBlobConnector {}.mapState(state),
        .dataEntry = DragDataEntryConnector {}.mapState(state),
    };
}

AppAction YoyoFrontConnector::mapAction(const ViewAction& action) const
{
    return std::visit(
        [](const auto& a) -> AppAction { return overlayAction(a); }, asVariant(action));
}

YoyoBackView::State YoyoBackConnector::mapState(const AppState& state) const
{
    return {
        .animation = YoyoAnimationConnector {}.mapState(state),
        .blobView = YoyoBlobConnector {}.mapState(state),
        .dataEntry = DragDataEntryConnector {}.mapState(state),
        .timeView = YoyoTimeViewConnector { clock }.mapState(state),
    };
}

AppAction YoyoBackConnector::mapAction(const ViewAction& action) const
{
    return std::visit(
        [](const auto& a) -> AppAction { return overlayAction(a); }, asVariant(action));
}

ScrollMenuBarExtraConnectingView::State ScrollMenuBarExtraConnector::mapState(const AppState&) const
{
    return {};
}

AppAction ScrollMenuBarExtraConnector::mapAction(const ViewAction& action) const
{
    using A = ScrollMenuBarExtraConnectingView::Action;
    return std::visit(
        overloaded {
            [](const A::IsPresented& a) -> AppAction {
                return root::yoyoScroll(YoyoScrollAction::IsPresented { a.isPresented });
            },
            [](const A::Frame& a) -> AppAction {
                return root::statusItem(StatusItemAction::ScrollBounds { a.frame });
            },
            [](const A::DeltaTranslation& a) -> AppAction {
                return AppAction::ScrollGesture { ScrollGestureAction::DeltaTranslation {
                    a.delta } };
            },
        },
        asVariant(action));
}

} // namespace tidemark::Connectors
