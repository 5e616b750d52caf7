#include "reminders/RemindersSlice.hpp"

#include "core/Overloaded.hpp"

namespace tidemark {

namespace {

constexpr TimeInterval initialAutomaticRemovalInterval = 480;

} // namespace

RemindersState RemindersState::initial(Date now, const Calendar& calendar)
{
    RemindersState state;
    state.automaticRemoval = AutomaticRemovalState(initialAutomaticRemovalInterval, now, calendar);
    return state;
}

void appleRemindersReducer(AppleRemindersState& state, const AppleRemindersAction& action)
{
    std::visit(
        overloaded {
            [&state](const AppleRemindersAction::RequestAuthorization& a) -> void {
                reduce(state.requestAuthorization, a.action);
            },
        },
        asVariant(action));
}

void remindersReducer(RemindersState& state, const RemindersAction& action)
{
    using Cases = RemindersActionCases;
    std::visit(overloaded {
                   [&state](const Cases::AutomaticRemoval& a) -> void {
                       automaticRemovalReducer(state.automaticRemoval, a.action);
                   },
                   [](const Cases::Editing&) -> void {},
                   [&state](const Cases::SelectedList& a) -> void { state.selectedList = a.list; },
                   [&state](const Cases::Selection& a) -> void { state.selection = a.selection; },
                   [](const Cases::SelectAll&) -> void {},
                   [&state](const Cases::Services& a) -> void {
                       std::visit(
                           overloaded {
                               [&state](const RemindersServicesAction::AppleReminders& s) -> void {
                                   appleRemindersReducer(state.services.appleReminders, s.action);
                               },
                               [&state](const RemindersServicesAction::DataSource& s) -> void {
                                   state.services.dataSource = s.dataSource;
                               },
                           },
                           asVariant(a.action));
                   },
               },
        asVariant(action));
}

} // namespace tidemark
