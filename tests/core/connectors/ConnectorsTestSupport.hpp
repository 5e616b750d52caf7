#pragma once

#include "core/Store.hpp"
#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/TestDates.hpp"
#include "reminders/Reminder.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidemark::test {

using AppStore = Store<AppState, AppAction>;

// A reminder due `due` (none: undated), starting ten minutes before its due date.
inline AnyReminder reminder(std::string id, std::optional<Date> due, std::string title = "title")
{
    AnyReminder r { std::move(id), std::nullopt, std::nullopt, std::move(title), "list",
        std::nullopt };
    if (due) {
        setStartDate(r, dateByAdding(*due, -600));
        setDueDate(r, *due);
    }
    return r;
}

// The root requests on the reminders, built out of line (inlined into a table of cases
// they set off g++ 12's maybe-uninitialized false positives).
AppAction createRequest(std::set<AnyReminder> reminders);
AppAction updateRequest(std::set<AnyReminder> reminders);
AppAction deleteRequest(std::set<std::string> ids);

// A clock standing at 2024-06-10 10:00 UTC, a UTC calendar, and the real root reducer over
// them.
class ConnectorsTest : public testing::Test {
protected:
    Date now() const { return clock->now(); }
    Date in(TimeInterval seconds) const { return dateByAdding(clock->now(), seconds); }

    AppState initialState() const { return AppState::initial(clock->now(), calendar); }

    std::shared_ptr<AppStore> makeStore(
        AppState state, std::vector<AppStore::Middleware> middlewares = {})
    {
        const ReducerEnvironment environment { clock };
        return AppStore::make(
            std::move(state),
            [environment](AppState& s, const AppAction& a) { appReducer(s, a, environment); },
            std::move(middlewares));
    }
    std::shared_ptr<AppStore> makeStore() { return makeStore(initialState()); }

    // Stores reminders as a successful read would.
    static AppAction readItems(std::set<AnyReminder> items)
    {
        return actions::itemsAction(RemindersItemsAction::read(
            RemindersItemsAction::ReadAction::success(std::move(items))));
    }

    void TearDown() override { drainMainQueue(); }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(utc(2024, 6, 10, 10, 0));
    Calendar calendar { "UTC" };
};

} // namespace tidemark::test
