#include "TaskListsFixture.hpp"

#include "platform/foundation/StringTables.hpp"
#include "reminders/applereminders/AppleRemindersError.hpp"
#include "reminders/applereminders/EventStoreAdapters.hpp"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <filesystem>

#include <sys/stat.h>

namespace tidemark::test {
namespace {

using testing::ElementsAre;
using testing::SizeIs;

class AppleRemindersServiceTest : public TaskListsFixture {
protected:
    std::optional<AnyReminder> stored(AppleRemindersService& service, const std::string& id)
    {
        auto found = service.appleReminders().eventStore().calendarItemWithIdentifier(id);
        return found ? std::optional(anyReminder(*found)) : std::nullopt;
    }
    std::vector<Alarm> alarmsOf(AppleRemindersService& service, const std::string& id)
    {
        return service.appleReminders().eventStore().calendarItemWithIdentifier(id)->alarms();
    }
    std::set<std::string> titles(const std::set<AnyReminder>& reminders)
    {
        std::set<std::string> result;
        for (const auto& r : reminders)
            result.insert(r.title);
        return result;
    }
};

TEST_F(AppleRemindersServiceTest, readsEverySourceWithItsOwnLists)
{
    auto service = makeService();
    const std::set<AnySource> expected {
        AnySource { "bare", "bare", {} },
        AnySource { "personal", "Personal",
            { AnyList { "personal/home", "Home" }, AnyList { "personal/work", "Work" } } },
    };
    EXPECT_EQ(service->sources(), expected);
}

TEST_F(AppleRemindersServiceTest, createsInTheNamedOrDefaultListUnderNewIdentifiers)
{
    auto service = makeService();
    const auto formatter = titleFormatter();
    const AnyReminder call = reminder("Call", at(9, 0), 30, "personal/work");
    const AnyReminder untitled = reminder("", at(10, 0), 15);
    const AnyReminder stray = reminder("Stray", at(11, 0), 5, "personal/nowhere", "other");

    const auto created = service->create({ call, untitled, stray }, formatter);

    ASSERT_THAT(created, SizeIs(3));
    for (const AnyReminder& r : created) {
        EXPECT_NE(r.id, "given");
        EXPECT_NE(r.id, "other");
        EXPECT_EQ(r.startDateComponents.has_value(), true);
    }
    EXPECT_EQ(titles(created),
        (std::set<std::string> { "Call", defaultTitle(untitled, *formatter), "Stray" }))
        << "an untitled reminder is stored with its span as title";
    EXPECT_FALSE(defaultTitle(untitled, *formatter).empty());
    EXPECT_THAT(icsFiles("personal/work"), SizeIs(1));
    EXPECT_THAT(icsFiles("personal/home"), SizeIs(3))
        << "no list, or an unknown one: the default list";

    // Read back: the span title reads as empty with the formatter, as stored without.
    const auto home = service->fetchReminders({ "personal/home" }, formatter);
    EXPECT_EQ(titles(home), (std::set<std::string> { "Seed", "", "Stray" }));
    EXPECT_EQ(titles(service->fetchReminders({ "personal/home" }, nullptr)),
        (std::set<std::string> { "Seed", defaultTitle(untitled, *formatter), "Stray" }));

    const auto work = service->fetchReminders({ "personal/work" }, formatter);
    ASSERT_THAT(work, SizeIs(1));
    const AnyReminder& read = *work.begin();
    EXPECT_EQ(read.title, "Call");
    EXPECT_EQ(read.listID, "personal/work");
    EXPECT_EQ(startDate(read), at(9, 0));
    EXPECT_EQ(dueDate(read), at(9, 30));
    EXPECT_TRUE(std::any_of(
        created.begin(), created.end(), [&](const AnyReminder& r) { return r.id == read.id; }));
}

// Folder names, name files, UIDs and titles whose bytes are not UTF-8 reach the rest of
// the application as text, which the settings and the logs write as JSON.
TEST_F(AppleRemindersServiceTest, readsBytesThatAreNotTextAsTextTheSettingsCanStore)
{
    const std::string list = (root() + "/personal/").toStdString() + "l\xFF";
    ASSERT_EQ(::mkdir(list.c_str(), 0700), 0);
    {
        std::FILE* file = std::fopen((list + "/displayname").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs("Caf\xE9\n", file);
        std::fclose(file);
        file = std::fopen((list + "/t.ics").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(taskFile("UID:t\xFE\r\nSUMMARY:Th\xE9\r\n").constData(), file);
        std::fclose(file);
    }
    auto service = makeService();
    const auto sources = service->sources();
    std::optional<AnyList> found;
    for (const AnySource& source : sources)
        for (const AnyList& l : source.lists)
            if (l.title != "Home" && l.title != "Work")
                found = l;
    ASSERT_TRUE(found);
    EXPECT_NO_THROW(nlohmann::json(*found).dump());
    const auto reminders = service->fetchReminders({ found->id }, nullptr);
    ASSERT_THAT(reminders, SizeIs(1));
    const AnyReminder& r = *reminders.begin();
    EXPECT_EQ(r.title, "Th\xEF\xBF\xBD");
    EXPECT_NO_THROW((nlohmann::json { r.id, r.title, *r.listID }.dump()));
    std::filesystem::remove_all(list);
}

TEST_F(AppleRemindersServiceTest, fetchFallsBackToTheDefaultListAndSkipsCompletedTasks)
{
    auto service = makeService();
    writeFile("personal/home/done.ics",
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//"
        "EN\r\nBEGIN:VTODO\r\nUID:done\r\nSUMMARY:Done\r\n"
        "STATUS:COMPLETED\r\nCOMPLETED:20300101T000000Z\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    for (const std::vector<std::string>& ids :
        { std::vector<std::string> {}, std::vector<std::string> { "personal/nowhere" },
            std::vector<std::string> { "personal/home" } }) {
        const auto read = service->fetchReminders(ids, nullptr);
        EXPECT_EQ(titles(read), (std::set<std::string> { "Seed" })) << ids.size();
    }
    EXPECT_THAT(service->fetchReminders({ "personal/work" }, nullptr), SizeIs(0));
}

TEST_F(AppleRemindersServiceTest, withoutAnyListNothingIsReadAndACreateFailsWithoutUndo)
{
    QDir(pathOf("personal")).removeRecursively();
    auto service = makeService();
    auto undo = std::make_shared<UndoManager>();
    service->setUndoManager(undo);
    EXPECT_THAT(service->fetchReminders({}, nullptr), SizeIs(0));
    EXPECT_THROW(service->create({ reminder("Lost", at(9, 0), 5) }, nullptr), std::exception);
    drainMainQueue();
    EXPECT_FALSE(undo->canUndo());
}

TEST_F(AppleRemindersServiceTest, updatesKeepOneAlarmAtTheDueDateAndTheListWhenTheNamedOneIsUnknown)
{
    auto service = makeService();
    const AnyReminder created
        = *service->create({ reminder("Call", at(9, 0), 30, "personal/work") }, nullptr).begin();
    EXPECT_THAT(alarmsOf(*service, created.id), ElementsAre(Alarm::withAbsoluteDate(at(9, 30))));

    AnyReminder later = created;
    later.title = "Call back";
    setDueDate(later, at(10, 0));
    service->update({ later }, {}, nullptr);
    service->update({ later }, {}, nullptr);
    EXPECT_THAT(alarmsOf(*service, created.id), ElementsAre(Alarm::withAbsoluteDate(at(10, 0))))
        << "every write keeps exactly one alarm, at the due date";
    EXPECT_EQ(stored(*service, created.id)->title, "Call back");

    AnyReminder astray = later;
    astray.listID = "personal/nowhere";
    astray.title = "Astray";
    service->update({ astray }, {}, nullptr);
    EXPECT_EQ(stored(*service, created.id)->listID, "personal/work")
        << "an unknown list keeps the reminder's list";
    EXPECT_EQ(stored(*service, created.id)->title, "Astray");

    AnyReminder moved = astray;
    moved.listID = "personal/home";
    service->update({ moved }, {}, nullptr);
    EXPECT_EQ(stored(*service, created.id)->listID, "personal/home");
    EXPECT_THAT(icsFiles("personal/work"), SizeIs(0));
}

// Another device's change, synced in between the read the user acted on and the update,
// stays; the field the user changed takes the user's value, also over the other device's.
// Undo takes back the user's change, and only that.
TEST_F(AppleRemindersServiceTest, anUpdateWritesWhatTheUserChangedOntoTheTaskAsItIsNow)
{
    struct Case {
        const char* name;
        QByteArray synced; // the task after the other device's change
        std::function<void(AnyReminder&)> userChange;
        std::string title;
        Date due;
        bool completed;
    };
    const QByteArray start = "UID:call\r\nDTSTART:20300101T090000Z\r\n";
    const Case cases[] = {
        { "a snooze keeps a title synced in",
            start + "SUMMARY:Call back\r\nDUE:20300101T093000Z\r\n",
            [](AnyReminder& r) { setDueDate(r, at(10, 0)); }, "Call back", at(10, 0), false },
        { "a rename wins over a title synced in",
            start + "SUMMARY:Call back\r\nDUE:20300101T093000Z\r\n",
            [](AnyReminder& r) { r.title = "Ring"; }, "Ring", at(9, 30), false },
        { "a completion keeps a due date synced in",
            start + "SUMMARY:Call\r\nDUE:20300101T110000Z\r\n",
            [](AnyReminder& r) { r.completionDate = at(9, 45); }, "Call", at(11, 0), true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        replaceFile(
            "personal/work/call.ics", taskFile(start + "SUMMARY:Call\r\nDUE:20300101T093000Z\r\n"));
        auto service = makeService();
        auto undo = std::make_shared<UndoManager>();
        service->setUndoManager(undo);
        const AnyReminder read = *service->fetchReminders({ "personal/work" }, nullptr).begin();
        replaceFile("personal/work/call.ics", taskFile(c.synced));
        const AnyReminder synced = *stored(*service, "call");

        AnyReminder request = read;
        c.userChange(request);
        service->update({ request }, { { read.id, read } }, nullptr);
        const AnyReminder now = *stored(*service, "call");
        EXPECT_EQ(now.title, c.title);
        EXPECT_EQ(dueDate(now), c.due);
        EXPECT_EQ(now.completionDate.has_value(), c.completed);

        ASSERT_TRUE(waitUntil([&] { return undo->canUndo(); }));
        undo->undo();
        EXPECT_EQ(stored(*service, "call"), synced);
    }
}

TEST_F(AppleRemindersServiceTest, completesAndDeletes)
{
    auto service = makeService();
    const auto created = service->create({ reminder("A", at(9, 0), 5, "personal/work"),
                                             reminder("B", at(9, 0), 10, "personal/work") },
        nullptr);
    ASSERT_THAT(created, SizeIs(2));
    const AnyReminder a = *created.begin();
    const AnyReminder b = *std::next(created.begin());

    service->complete({ a });
    EXPECT_TRUE(stored(*service, a.id)->completionDate.has_value());
    const auto open = service->fetchReminders({ "personal/work" }, nullptr);
    ASSERT_THAT(open, SizeIs(1));
    EXPECT_EQ(open.begin()->id, b.id);

    service->delete_({ b.id, "unknown" }, nullptr);
    EXPECT_EQ(stored(*service, b.id), std::nullopt);
    EXPECT_THAT(service->fetchReminders({ "personal/work" }, nullptr), SizeIs(0));
    EXPECT_THAT(icsFiles("personal/work"), SizeIs(1)) << "the completed one stays";
}

TEST_F(AppleRemindersServiceTest, writesNothingAndRegistersNothingWhenNothingChanges)
{
    auto service = makeService();
    auto undo = std::make_shared<UndoManager>();
    service->setUndoManager(undo);
    const auto seed = *service->fetchReminders({ "personal/home" }, nullptr).begin();
    const QByteArray before = readFile("personal/home/seed.ics");

    service->update({}, {}, nullptr);
    service->update({ seed }, {}, nullptr); // the same values
    service->update(
        { reminder("Ghost", at(9, 0), 5, std::nullopt, "ghost") }, {}, nullptr); // unknown
    service->delete_({ "ghost" }, nullptr);
    EXPECT_THAT(service->create({}, nullptr), SizeIs(0));
    drainMainQueue();

    EXPECT_EQ(readFile("personal/home/seed.ics"), before);
    EXPECT_FALSE(undo->canUndo());

    // Without write access an empty request still succeeds: it sends nothing.
    auto denied = makeService(AuthorizationStatus::denied);
    EXPECT_NO_THROW(denied->update({}, {}, nullptr));
    EXPECT_NO_THROW(denied->delete_({ "seed" }, nullptr));
}

// Each write can be undone and redone; the undo step is named from the "Undo" table.
TEST_F(AppleRemindersServiceTest, undoesAndRedoesCreateUpdateAndDelete)
{
    auto service = makeService();
    auto undo = std::make_shared<UndoManager>();
    service->setUndoManager(undo);
    auto workTitles = [&] { return titles(service->fetchReminders({ "personal/work" }, nullptr)); };

    // create
    service->create({ reminder("Made", at(9, 0), 5, "personal/work") }, nullptr);
    ASSERT_TRUE(waitUntil([&] { return undo->canUndo(); }));
    undo->closeEventGroup();
    EXPECT_EQ(undo->undoActionName(), localized("Undo", "new_reminder_label"));
    undo->undo();
    EXPECT_EQ(workTitles(), std::set<std::string> {});
    EXPECT_EQ(undo->redoActionName(), localized("Undo", "new_reminder_label"));
    undo->redo();
    EXPECT_EQ(workTitles(), std::set<std::string> { "Made" });
    undo->undo();
    EXPECT_EQ(workTitles(), std::set<std::string> {});
    undo->removeAllActions();

    // update
    AnyReminder seed = *service->fetchReminders({ "personal/home" }, nullptr).begin();
    AnyReminder renamed = seed;
    renamed.title = "Renamed";
    service->update({ renamed }, {}, nullptr);
    ASSERT_TRUE(waitUntil([&] { return undo->canUndo(); }));
    undo->closeEventGroup();
    EXPECT_EQ(undo->undoActionName(), localized("Undo", "update_reminder_label"));
    undo->undo();
    EXPECT_EQ(stored(*service, seed.id)->title, "Seed");
    undo->redo();
    EXPECT_EQ(stored(*service, seed.id)->title, "Renamed");
    undo->undo();
    EXPECT_EQ(stored(*service, seed.id)->title, "Seed");
    undo->removeAllActions();

    // delete: undo makes it anew under a new identifier, redo deletes that one
    service->delete_({ seed.id }, nullptr);
    ASSERT_TRUE(waitUntil([&] { return undo->canUndo(); }));
    undo->closeEventGroup();
    EXPECT_EQ(undo->undoActionName(), localized("Undo", "delete_reminder_label"));
    EXPECT_THAT(icsFiles("personal/home"), SizeIs(0));
    undo->undo();
    const auto back = service->fetchReminders({ "personal/home" }, nullptr);
    ASSERT_THAT(back, SizeIs(1));
    EXPECT_EQ(back.begin()->title, "Seed");
    EXPECT_NE(back.begin()->id, seed.id);
    EXPECT_EQ(undo->redoActionName(), localized("Undo", "delete_reminder_label"));
    undo->redo();
    EXPECT_THAT(service->fetchReminders({ "personal/home" }, nullptr), SizeIs(0));
    EXPECT_THAT(icsFiles("personal/home"), SizeIs(0));
}

TEST_F(AppleRemindersServiceTest, accessIsGrantedOnceOrRefusedAsAFailure)
{
    struct Case {
        const char* name;
        std::optional<bool> answer; // none: nobody can be asked
        bool granted;
        std::string error;
    };
    const Case cases[] = {
        { "granted", true, true, "" },
        { "refused", false, false,
            description(AppleRemindersError::requestFailedInsufficientPermission) },
        { "no prompt", std::nullopt, false,
            "access to the calendar task lists cannot be asked for here" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(stateDir() + "/eventstore-access");
        int asked = 0;
        EventStoreAccessPrompt prompt;
        if (c.answer) {
            prompt = [&asked, answer = *c.answer](EntityType, std::function<void(bool)> reply) {
                ++asked;
                reply(answer);
            };
        }
        auto service = makeService(AuthorizationStatus::notDetermined, prompt);
        for (int round = 0; round < 2; ++round) {
            std::optional<rx::Completion<Error>> completion;
            int values = 0;
            auto token = service->requestAccess().sink([&](const EquatableVoid&) { ++values; },
                [&](const rx::Completion<Error>& done) { completion = done; });
            ASSERT_TRUE(waitUntil([&] { return completion.has_value(); }));
            EXPECT_EQ(values, c.granted ? 1 : 0);
            EXPECT_EQ(completion->failure.has_value(), !c.granted);
            if (completion->failure) {
                EXPECT_EQ(completion->failure->description, c.error);
            }
        }
        EXPECT_EQ(asked, c.answer ? 1 : 0) << "the user is asked once";
        EXPECT_EQ(service->hasFullAccess(), c.granted);
    }
}

TEST_F(AppleRemindersServiceTest, changesArriveWhileObservedAndEndAfterStopObserving)
{
    auto service = makeService();
    int changes = 0;
    bool finished = false;
    auto token = service->changes().sink([&](const rx::Unit&) { ++changes; },
        [&](const rx::Completion<rx::Never>&) { finished = true; });
    writeTask("personal/work", "outside", "From another program");
    ASSERT_TRUE(waitUntil([&] { return changes > 0; }));

    service->stopObserving();
    writeTask("personal/work", "again", "Again");
    ASSERT_TRUE(waitUntil([&] { return finished; }));
    EXPECT_EQ(changes, 1);
}

TEST_F(AppleRemindersServiceTest, createsAndRemovesLists)
{
    auto service = makeService();
    const auto made = service->createLists(
        { AnyList { "", "Groceries" } }, AnySource { "personal", "Personal", {} });
    ASSERT_THAT(made, SizeIs(1));
    EXPECT_EQ(made[0].title, "Groceries");
    EXPECT_EQ(made[0].id.rfind("personal/", 0), 0u);
    EXPECT_THAT(service->createLists({ AnyList { "", "Orphan" } }, AnySource { "nobody", "", {} }),
        SizeIs(0));
    service->removeLists({ made[0].id, "personal/nowhere" });
    EXPECT_EQ(service->sources().rbegin()->lists,
        (std::set<AnyList> {
            AnyList { "personal/home", "Home" }, AnyList { "personal/work", "Work" } }));
}

} // namespace
} // namespace tidemark::test
