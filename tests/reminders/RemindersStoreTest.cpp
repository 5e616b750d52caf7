#include "reminders/RemindersStore.hpp"

#include <gtest/gtest.h>

#include <functional>

using namespace tidemark;

namespace {

using Items = RemindersItemsAction;
using Sources = RemindersSourcesAction;

AnyReminder reminder(std::string id, std::string title)
{
    return AnyReminder { std::move(id), std::nullopt, std::nullopt, std::move(title), std::nullopt,
        std::nullopt };
}

const AnyReminder one = reminder("1", "one");
const AnyReminder oneEdited = reminder("1", "one, edited");
const AnyReminder two = reminder("2", "two");
const AnyReminder three = reminder("3", "three");
const AnySource account { "s", "Account", { AnyList { "l", "List" } } };

RemindersStoreAction items(Items action)
{
    return RemindersStoreAction::Items { std::move(action) };
}
RemindersStoreAction sources(Sources action)
{
    return RemindersStoreAction::Sources { std::move(action) };
}

// Two reminders read, nothing pending.
RemindersStore readStore()
{
    RemindersStore store;
    store.items.value = { one, two };
    store.items.status = Status::completed;
    return store;
}

} // namespace

TEST(RemindersStoreSlice, StartsWithNoRemindersAndSourcesNeverRead)
{
    const RemindersStore store;
    EXPECT_EQ(store.items.status, Status::idle);
    EXPECT_TRUE(store.items.value.empty());
    EXPECT_EQ(store.items.submittedValues, SubmittedValues<RemindersStore::Items> {});
    EXPECT_EQ(store.sources.value, std::nullopt) << "never read differs from read and empty";
    EXPECT_EQ(store.sources.error, std::nullopt);
}

TEST(RemindersStoreSlice, RequestStepsFoldIntoTheirTargetOnly)
{
    struct Case {
        const char* name;
        RemindersStoreAction action;
        std::function<void(RemindersStore&)> expect; // changes from readStore()
    };
    const Error failure("disk full");
    const Case cases[] = {
        { "create submit records the new reminder, the value waits for a read",
            items(Items::create(Items::CreateAction::submit({ three }))),
            [](RemindersStore& s) {
                s.items.status = Status::loading;
                s.items.submittedValues.create = RemindersStore::Items { three };
            } },
        { "update submit takes the old version out at once",
            items(Items::update(Items::UpdateAction::submit({ oneEdited }))),
            [](RemindersStore& s) {
                s.items.status = Status::loading;
                s.items.value = { two };
                s.items.submittedValues.update = RemindersStore::Items { oneEdited };
            } },
        { "delete submit keeps the reminders and records them",
            items(Items::delete_(Items::DeleteAction::submit({ "2", "unknown" }))),
            [](RemindersStore& s) {
                s.items.status = Status::loading;
                s.items.submittedValues.delete_ = RemindersStore::Items { two };
            } },
        { "read success replaces the value",
            items(Items::read(Items::ReadAction::success({ three }))),
            [](RemindersStore& s) { s.items.value = { three }; } },
        { "read failure keeps the reminders and stores the error",
            items(Items::read(Items::ReadAction::failure(failure))),
            [&failure](RemindersStore& s) { s.items.error = failure; } },
        { "update result changes neither value nor submitted values",
            items(Items::update(Items::UpdateAction::success({}))), [](RemindersStore&) {} },
        { "reset goes back to idle", items(Items::read(Items::ReadAction::reset())),
            [](RemindersStore& s) { s.items.status = Status::idle; } },
        { "sources read success stores them",
            sources(Sources::read(Sources::ReadAction::success(std::set<AnySource> { account }))),
            [](RemindersStore& s) {
                s.sources.status = Status::completed;
                s.sources.value = std::set<AnySource> { account };
            } },
        { "sources read of none keeps none",
            sources(Sources::read(Sources::ReadAction::success(std::nullopt))),
            [](RemindersStore& s) { s.sources.status = Status::completed; } },
        { "sources update submit only loads",
            sources(
                Sources::Update { Sources::UpdateAction::submit(std::set<AnySource> { account }) }),
            [](RemindersStore& s) { s.sources.status = Status::loading; } },
        { "sources delete submit only loads",
            sources(Sources::delete_(Sources::DeleteAction::submit({ "s" }))),
            [](RemindersStore& s) { s.sources.status = Status::loading; } },
        { "sources create submit records nothing",
            sources(
                Sources::create(Sources::CreateAction::submit(std::set<AnySource> { account }))),
            [](RemindersStore& s) { s.sources.status = Status::loading; } },
    };
    for (const auto& c : cases) {
        RemindersStore state = readStore();
        RemindersStore expected = readStore();
        c.expect(expected);
        remindersStoreReducer(state, c.action);
        EXPECT_EQ(state, expected) << c.name;
    }
}

TEST(RemindersStoreSlice, PendingWritesLastUntilTheNextReadAndErrorsUntilAReset)
{
    RemindersStore state = readStore();
    const Error failure("denied");
    remindersStoreReducer(state, items(Items::update(Items::UpdateAction::submit({ oneEdited }))));
    remindersStoreReducer(state, items(Items::create(Items::CreateAction::submit({ three }))));
    remindersStoreReducer(state, items(Items::update(Items::UpdateAction::failure(failure))));
    EXPECT_EQ(state.items.status, Status::completed);
    EXPECT_EQ(state.items.error, failure);
    EXPECT_EQ(state.items.submittedValues.update, RemindersStore::Items { oneEdited });
    EXPECT_EQ(state.items.submittedValues.create, RemindersStore::Items { three });

    remindersStoreReducer(state, items(Items::read(Items::ReadAction::submit({}))));
    remindersStoreReducer(
        state, items(Items::read(Items::ReadAction::success({ oneEdited, two, three }))));
    EXPECT_EQ(state.items.value, (RemindersStore::Items { oneEdited, two, three }));
    EXPECT_EQ(state.items.submittedValues, SubmittedValues<RemindersStore::Items> {});
    EXPECT_EQ(state.items.error, failure) << "a later success does not clear the error";

    remindersStoreReducer(state, items(Items::delete_(Items::DeleteAction::reset())));
    EXPECT_EQ(state.items.error, std::nullopt);
    EXPECT_EQ(state.items.status, Status::idle);
    EXPECT_EQ(state.sources, RemindersStore {}.sources);
}
