#pragma once

// The test store over the application's root state and reducer (see TestStore.hpp):
//
//   test::AppTestStore store(AppState::initial(now, calendar), test::rootReducer(clock),
//       { makeViewMiddleware(clock) });

#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "support/TestStore.hpp"

#include <memory>
#include <ostream>

namespace tidemark {

// The timer compares by its identifier alone; print that and whether it runs.
inline void PrintTo(const TimerState& timer, std::ostream* out)
{
    *out << "TimerState(id: " << test::describe(timer.id)
         << (timer.isRunning() ? ", running)" : ", stopped)");
}

// A model operation by the name of its case ("Create(Submit(…))"): the cases share one
// template, whose own name says nothing.
template <class Value, class Query, class Identifier>
void PrintTo(const ModelOperationAction<Value, Query, Identifier>& action, std::ostream* out)
{
    if (auto create = action.asCreate())
        *out << "Create(" << test::describe(*create) << ")";
    else if (auto read = action.asRead())
        *out << "Read(" << test::describe(*read) << ")";
    else if (auto update = action.asUpdate())
        *out << "Update(" << test::describe(*update) << ")";
    else if (auto remove = action.asDelete())
        *out << "Delete(" << test::describe(*remove) << ")";
}

// Parts of the state that have a constructor, walked field by field all the same.
inline auto describedFields(const CountdownState& state)
{
    return test::namedFields({ "formatter", "isEnabled", "progressBar", "reminderID" },
        state.formatter, state.isEnabled, state.progressBar, state.reminderID);
}
inline auto describedFields(const NotificationsState& state)
{
    return test::namedFields(
        { "user", "defaultTitleFormatter" }, state.user, state.defaultTitleFormatter);
}
inline auto describedFields(const GeneralSettingsState& state)
{
    return test::namedFields({ "openAtLogin", "openAtLoginFailure", "relativeTimeFormatter" },
        state.openAtLogin, state.openAtLoginFailure, state.relativeTimeFormatter);
}
inline auto describedFields(const AutomaticRemovalState& state)
{
    return test::namedFields({ "isEnabled", "date", "timeInterval", "unit", "value" },
        state.isEnabled, state.date, state.timeInterval, state.unit, state.value);
}
inline auto describedFields(const Rect& rect)
{
    return test::namedFields({ "origin", "size" }, rect.origin, rect.size);
}

} // namespace tidemark

namespace tidemark::test {

using AppTestStore = TestStore<AppState, AppAction>;

// The root reducer over a clock of the test's own.
inline AppTestStore::Reducer rootReducer(std::shared_ptr<const Clock> clock)
{
    return [environment = ReducerEnvironment { std::move(clock) }](AppState& state,
               const AppAction& action) { appReducer(state, action, environment); };
}

} // namespace tidemark::test
