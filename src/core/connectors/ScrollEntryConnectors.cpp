#include "core/connectors/ScrollEntryConnectors.hpp"

#include "core/Overloaded.hpp"
#include "core/connectors/RootActions.hpp"

namespace tidemark::Connectors {

YoyoScrollFrontView::State YoyoScrollFrontConnector::mapState(const AppState& state) const
{
    const ScrollGestureState& scroll = state.scrollGesture;
    std::optional<AnyReminder> reminder = state.dataEntry.editing;
    if (reminder) {
        const auto& list = state.reminders.selectedList;
        reminder->listID = list ? std::optional<std::string>(list->id) : std::nullopt;
    }
    const YoyoScrollState& presentation = state.view.yoyo.scroll;
    return {
        .deltaTranslation = scroll.deltaTranslation.value_or(Size {}),
        .deltaCount = scroll.deltaCount,
        .isPresented = presentation.isPresented,
        .dataEntryIsPresented = presentation.dataEntryIsPresented,
        .startDate = scroll.startDate ? *scroll.startDate : clock->now(),
        .timeInterval = reminder ? duration(*reminder).value_or(0) : 0,
        .reminder = reminder,
        .startFrame = state.view.statusItem.scrollFrame.value_or(Rect {}),
        .formatter = state.settings.general.relativeTimeFormatter,
    };
}

AppAction YoyoScrollFrontConnector::mapAction(const ViewAction& action) const
{
    using A = YoyoScrollFrontView::Action;
    return std::visit(
        overloaded {
            [](const A::DeltaTranslation& a) -> AppAction {
                return AppAction::ScrollGesture { ScrollGestureAction::DeltaTranslation {
                    a.delta } };
            },
            [](const A::IsPresented& a) -> AppAction {
                return root::yoyoScroll(YoyoScrollAction::IsPresented { a.isPresented });
            },
            [](const A::DataEntryIsPresented& a) -> AppAction {
                return root::yoyoScroll(YoyoScrollAction::DataEntryIsPresented { a.isPresented });
            },
            [](const A::Reminder& a) -> AppAction {
                return AppAction::DataEntry { DataEntryAction::Editing { a.reminder } };
            },
            [](const A::Save& a) -> AppAction { return root::createItems({ a.reminder }); },
        },
        asVariant(action));
}

} // namespace tidemark::Connectors
