#include "entry/DataEntrySlice.hpp"

#include <gtest/gtest.h>

using namespace tidemark;

namespace {

AnyReminder reminder(std::string id, std::string title)
{
    AnyReminder r;
    r.id = std::move(id);
    r.title = std::move(title);
    return r;
}

} // namespace

TEST(DataEntrySlice, EachCaseReplacesItsFieldOnly)
{
    DataEntryState state;
    EXPECT_EQ(state, (DataEntryState { std::nullopt, true }));

    dataEntryReducer(state, DataEntryAction::Editing { reminder("a", "Tea") });
    const DataEntryState afterFirst = state;
    dataEntryReducer(state, DataEntryAction::Editing { reminder("a", "Tea") });
    EXPECT_EQ(state, afterFirst);

    dataEntryReducer(state, DataEntryAction::IsEnabled { false });
    EXPECT_EQ(state, (DataEntryState { reminder("a", "Tea"), false }))
        << "the switch keeps the reminder";

    dataEntryReducer(state, DataEntryAction::Editing { reminder("b", "") });
    EXPECT_EQ(state.editing, reminder("b", "")) << "a new entry replaces an unsaved one";

    dataEntryReducer(state, DataEntryAction::Editing { std::nullopt });
    EXPECT_EQ(state, (DataEntryState { std::nullopt, false }))
        << "none clears the entry and keeps the switch";
}

TEST(DataEntrySlice, ComparesReminderAndSwitch)
{
    EXPECT_NE((DataEntryState { reminder("a", "x"), true }),
        (DataEntryState { reminder("a", "x"), false }));
    EXPECT_NE((DataEntryState { reminder("a", "x"), true }),
        (DataEntryState { reminder("a", "y"), true }));
    EXPECT_NE(
        (DataEntryState { std::nullopt, true }), (DataEntryState { reminder("a", ""), true }));
    EXPECT_NE(DataEntryAction(DataEntryAction::Editing { std::nullopt }),
        DataEntryAction(DataEntryAction::IsEnabled { true }));
}
