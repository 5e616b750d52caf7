#include "TaskListsFixture.hpp"

#include "reminders/applereminders/MockAppleRemindersService.hpp"

#include <gmock/gmock.h>

namespace tidemark::test {
namespace {

using testing::SizeIs;

TEST(MockAppleRemindersService, holdsTwoListsOfOneSourceUnderFreshIdentifiers)
{
    MockAppleRemindersService first;
    MockAppleRemindersService second;
    const auto lists = first.mockLists();
    ASSERT_THAT(lists, SizeIs(2));
    EXPECT_EQ(lists[0].title, "First List");
    EXPECT_EQ(lists[1].title, "Second List");
    ASSERT_THAT(first.sources(), SizeIs(1));
    const AnySource source = *first.sources().begin();
    EXPECT_EQ(source.title, "Mock Source");
    EXPECT_EQ(source.lists, (std::set<AnyList> { lists[0], lists[1] }));
    EXPECT_EQ(first.mockDictionary(),
        (MockAppleRemindersService::Dictionary { { lists[0].id, {} }, { lists[1].id, {} } }));

    EXPECT_NE(second.mockLists()[0].id, lists[0].id);
    EXPECT_NE(second.sources().begin()->id, source.id);
    EXPECT_EQ(first.firstList(), lists[0]);
    EXPECT_EQ(first.list(lists[1].id), lists[1]);
    EXPECT_EQ(first.list("nothing"), std::nullopt);
    EXPECT_NE(first.undoManager(), nullptr);
}

TEST(MockAppleRemindersService, createsIntoTheNamedOrFirstListUnderNewIdentifiers)
{
    MockAppleRemindersService mock;
    const auto lists = mock.mockLists();
    const AnyReminder unlisted = reminder("Unlisted", at(9, 0), 15);
    const AnyReminder second = reminder("Second", at(9, 0), 15, lists[1].id);
    const AnyReminder stray = reminder("Stray", at(9, 0), 15, "nowhere");

    const auto created = mock.create({ unlisted, second, stray }, nullptr);
    ASSERT_THAT(created, SizeIs(3));
    std::map<std::string, AnyReminder> byTitle;
    for (const AnyReminder& r : created) {
        EXPECT_NE(r.id, "given");
        EXPECT_EQ(startDate(r), at(9, 0));
        EXPECT_EQ(dueDate(r), at(9, 15));
        byTitle[r.title] = r;
    }
    EXPECT_EQ(byTitle["Unlisted"].listID, lists[0].id);
    EXPECT_EQ(byTitle["Second"].listID, lists[1].id);
    EXPECT_EQ(byTitle["Stray"].listID, "nowhere");

    EXPECT_EQ(mock.fetchReminders({ lists[0].id }, nullptr),
        (std::set<AnyReminder> { byTitle["Unlisted"] }));
    EXPECT_EQ(mock.fetchReminders({ lists[0].id, lists[1].id }, nullptr),
        (std::set<AnyReminder> { byTitle["Unlisted"], byTitle["Second"] }));
    EXPECT_THAT(mock.fetchReminders({ "nowhere" }, nullptr), SizeIs(0)) << "stored nowhere";
    EXPECT_THAT(mock.fetchReminders({}, nullptr), SizeIs(0)) << "no list is assumed";
    EXPECT_EQ(mock.reminders(std::nullopt), (std::set<AnyReminder> { byTitle["Unlisted"] }));
    EXPECT_FALSE(mock.undoManager()->canUndo()) << "no undo steps";
}

TEST(MockAppleRemindersService, updatesAndDeletesInTheFirstListOnly)
{
    MockAppleRemindersService mock;
    const auto lists = mock.mockLists();
    const auto created = mock.create(
        { reminder("One", at(9, 0), 5), reminder("Two", at(9, 0), 5, lists[1].id) }, nullptr);
    AnyReminder one, two;
    for (const AnyReminder& r : created)
        (r.title == "One" ? one : two) = r;

    AnyReminder oneDone = one;
    oneDone.title = "One, done";
    oneDone.completionDate = at(10, 0);
    oneDone.listID = lists[1].id; // a new list does not move it
    AnyReminder twoRenamed = two;
    twoRenamed.title = "Renamed";
    AnyReminder unknown = reminder("Unknown", at(9, 0), 5, lists[0].id, "unknown");
    mock.update({ oneDone, twoRenamed, unknown }, {}, nullptr);

    EXPECT_EQ(mock.fetchReminders({ lists[0].id }, nullptr), (std::set<AnyReminder> { oneDone }))
        << "replaced in place; completed reminders are not filtered; unknown ones not added";
    EXPECT_EQ(mock.fetchReminders({ lists[1].id }, nullptr), (std::set<AnyReminder> { two }));

    mock.delete_({ one.id, two.id }, nullptr);
    EXPECT_THAT(mock.fetchReminders({ lists[0].id }, nullptr), SizeIs(0));
    EXPECT_EQ(mock.fetchReminders({ lists[1].id }, nullptr), (std::set<AnyReminder> { two }));
}

TEST(MockAppleRemindersService, changesFinishAtOnceAndAccessIsGrantedAtOnce)
{
    MockAppleRemindersService mock;
    for (int round = 0; round < 2; ++round) {
        int values = 0;
        bool finished = false;
        auto token = mock.changes().sink([&](const rx::Unit&) { ++values; },
            [&](const rx::Completion<rx::Never>&) { finished = true; });
        EXPECT_TRUE(finished);
        EXPECT_EQ(values, 0);
        mock.create({ reminder("Any", at(9, 0), 5) }, nullptr);
    }
    int granted = 0;
    bool failed = true;
    auto token = mock.requestAccess().sink([&](const EquatableVoid&) { ++granted; },
        [&](const rx::Completion<Error>& done) { failed = !done.isFinished(); });
    EXPECT_EQ(granted, 1);
    EXPECT_FALSE(failed);
}

} // namespace
} // namespace tidemark::test
