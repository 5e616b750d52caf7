#include "reminders/RemindersSlice.hpp"
#include "platform/foundation/TestDates.hpp"

#include <gtest/gtest.h>

#include <functional>

using namespace tidemark;
using test::utc;

namespace {

using Auth = AuthorizationRequestAction;

RemindersState initialState()
{
    return RemindersState::initial(utc(2024, 5, 5, 12, 0), Calendar("UTC"));
}

RemindersAction services(RemindersServicesAction action)
{
    return RemindersAction::Services { std::move(action) };
}
RemindersAction authorization(Auth action)
{
    return services(RemindersServicesAction::AppleReminders {
        AppleRemindersAction::RequestAuthorization { action } });
}

} // namespace

TEST(RemindersSlice, InitialState)
{
    const auto state = initialState();
    EXPECT_EQ(state.automaticRemoval,
        AutomaticRemovalState(480, utc(2024, 5, 5, 12, 0), Calendar("UTC")));
    EXPECT_EQ(state.automaticRemoval.date, utc(2024, 5, 5, 4, 0));
    EXPECT_EQ(state.editing, std::nullopt);
    EXPECT_EQ(state.removalMode, ReminderRemovalMode::archive);
    EXPECT_EQ(state.selectedList, std::nullopt);
    EXPECT_TRUE(state.selection.empty());
    EXPECT_EQ(state.services.dataSource, RemindersDataSource::local);
    EXPECT_EQ(state.services.appleReminders.requestAuthorization, SubmittableState {});
}

TEST(RemindersSlice, EachActionChangesItsFieldOnly)
{
    const AnyReminder edited { "1", std::nullopt, std::nullopt, "x", std::nullopt, std::nullopt };
    const Error denied("denied");
    struct Case {
        const char* name;
        std::vector<RemindersAction> actions;
        std::function<void(RemindersState&)> expect;
    };
    const Case cases[] = {
        { "editing is left to the root reducer",
            { RemindersAction::Editing { std::set<AnyReminder> { edited } } },
            [](RemindersState&) {} },
        { "selected list", { RemindersAction::SelectedList { AnyList { "l", "List" } } },
            [](RemindersState& s) {
                s.selectedList = AnyList { "l", "List" };
            } },
        { "no list clears it",
            { RemindersAction::SelectedList { AnyList { "l", "List" } },
                RemindersAction::SelectedList { std::nullopt } },
            [](RemindersState&) {} },
        { "selection replaces the set",
            { RemindersAction::Selection { { "1", "2" } }, RemindersAction::Selection { { "3" } } },
            [](RemindersState& s) { s.selection = { "3" }; } },
        { "empty selection",
            { RemindersAction::Selection { { "1" } }, RemindersAction::Selection { {} } },
            [](RemindersState&) {} },
        { "data source",
            { services(
                RemindersServicesAction::DataSource { RemindersDataSource::appleReminders }) },
            [](RemindersState& s) {
                s.services.dataSource = RemindersDataSource::appleReminders;
            } },
        { "the data source in use again",
            { services(RemindersServicesAction::DataSource { RemindersDataSource::local }) },
            [](RemindersState&) {} },
        { "a first result completes the request without a submit",
            { authorization(Auth::success({})) },
            [](RemindersState& s) {
                s.services.appleReminders.requestAuthorization.status = Status::completed;
            } },
        { "a failure stays after a later success",
            { authorization(Auth::failure(denied)), authorization(Auth::submit({})),
                authorization(Auth::success({})) },
            [&denied](RemindersState& s) {
                s.services.appleReminders.requestAuthorization
                    = SubmittableState { denied, Status::completed };
            } },
        { "automatic removal switch",
            { RemindersAction::AutomaticRemoval { AutomaticRemovalAction::IsEnabled { true } } },
            [](RemindersState& s) { s.automaticRemoval.isEnabled = true; } },
    };
    for (const auto& c : cases) {
        auto state = initialState();
        auto expected = initialState();
        c.expect(expected);
        for (const auto& action : c.actions)
            remindersReducer(state, action);
        EXPECT_EQ(state, expected) << c.name;
        EXPECT_EQ(state.removalMode, ReminderRemovalMode::archive) << c.name;
    }
}
