#include "VdirFixture.hpp"

#include "platform/eventstore/ComponentsDate.hpp"

#include <QSignalSpy>
#include <QTest>

#include <future>
#include <thread>

namespace tidemark::test {
namespace {

using eventstore::dateFromComponents;

Date utc(int year, int month, int day, int hour, int minute)
{
    return *dateFromComponents(components(year, month, day, hour, minute, "UTC"));
}

class EventStoreTest : public VdirFixture { };

TEST_F(EventStoreTest, readsSourcesAndListsFromTheFolderTree)
{
    makeUsualTree();
    makeDir("personal/empty"); // neither tasks nor a name: not a list
    makeDir("personal/.hidden"); // hidden: ignored
    writeFile("personal/.hidden/a.ics", todoFile("UID:h\r\n"));
    makeDir(".cache"); // hidden source: ignored
    auto store = makeStore();

    const auto sources = store->sources();
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0], (Source { "bare", "bare" }));
    EXPECT_EQ(sources[1], (Source { "personal", "Personal" }));

    const auto lists = store->calendars(EntityType::reminder);
    ASSERT_EQ(lists.size(), 2u);
    EXPECT_EQ(lists[0].calendarIdentifier, "personal/home");
    EXPECT_EQ(lists[0].title, "home");
    EXPECT_EQ(lists[0].color, std::nullopt);
    EXPECT_EQ(lists[1].calendarIdentifier, "personal/work");
    EXPECT_EQ(lists[1].title, "Work");
    EXPECT_EQ(lists[1].color, "#ff0000");
    EXPECT_EQ(lists[1].source, sources[1]);

    EXPECT_TRUE(store->calendars(sources[0], EntityType::reminder).empty());
    EXPECT_EQ(store->calendars(sources[1], EntityType::reminder), lists);
    EXPECT_TRUE(store->calendars(EntityType::event).empty());
    EXPECT_EQ(store->calendarWithIdentifier("personal/work"), lists[1]);
    EXPECT_EQ(store->calendarWithIdentifier("personal/empty"), std::nullopt);
    EXPECT_EQ(store->calendarWithIdentifier("personal/../personal/work"), std::nullopt);
    EXPECT_EQ(store->calendarWithIdentifier("nothing"), std::nullopt);
    EXPECT_EQ(store->defaultCalendarForNewReminders(), lists[0]);
}

TEST_F(EventStoreTest, aMissingRootHasNoSourcesAndNoDefaultList)
{
    EventStoreOptions options;
    options.rootPath = m_dir.path() + "/does/not/exist";
    options.accessPrompt = [](EntityType, std::function<void(bool)> answer) { answer(true); };
    EventStore store(options);
    bool done = false;
    store.requestFullAccessToReminders(
        [&](bool granted, std::optional<EventStoreError>) { done = granted; });
    drainMainQueue();
    ASSERT_TRUE(done);
    EXPECT_TRUE(store.sources().empty());
    EXPECT_EQ(store.defaultCalendarForNewReminders(), std::nullopt);
    Reminder r = Reminder::create();
    EXPECT_THROW(store.saveReminder(r, true), EventStoreError);
}

TEST_F(EventStoreTest, createsReadsUpdatesCompletesAndDeletesAReminder)
{
    makeUsualTree();
    auto store = makeStore();
    const auto work = store->calendarWithIdentifier("personal/work");
    ASSERT_TRUE(work);

    Reminder created = Reminder::create();
    created.setTitle("Tea is ready");
    created.setStartDateComponents(components(2030, 5, 1, 9, 0, "Europe/Berlin"));
    created.setDueDateComponents(components(2030, 5, 1, 9, 5, "Europe/Berlin"));
    created.setCalendar(work);
    created.addAlarm(Alarm::withAbsoluteDate(utc(2030, 5, 1, 7, 5)));
    created.addAlarm(Alarm::withAbsoluteDate(utc(2030, 5, 1, 7, 5)));
    store->saveReminder(created, true);
    const std::string id = created.calendarItemIdentifier();

    // A new file is named after its UID.
    EXPECT_EQ(icsFiles("personal/work"), QStringList { QString::fromStdString(id) + ".ics" });

    auto fetched = store->fetchReminders(
        store->predicateForIncompleteReminders({}, {}, std::vector { *work }));
    ASSERT_EQ(fetched.size(), 1u);
    const Reminder& read = fetched[0];
    EXPECT_EQ(read.calendarItemIdentifier(), id);
    EXPECT_EQ(read.title(), "Tea is ready");
    EXPECT_EQ(read.startDateComponents(), components(2030, 5, 1, 9, 0, "Europe/Berlin"));
    EXPECT_EQ(read.dueDateComponents(), components(2030, 5, 1, 9, 5, "Europe/Berlin"));
    EXPECT_FALSE(read.isCompleted());
    EXPECT_EQ(read.calendar(), work);
    EXPECT_EQ(read.alarms(), std::vector { Alarm::withAbsoluteDate(utc(2030, 5, 1, 7, 5)) });
    EXPECT_EQ(store->calendarItemWithIdentifier(id)->title(), "Tea is ready");

    // An update adds no second alarm: the one alarm follows the due date.
    Reminder changed = *store->calendarItemWithIdentifier(id);
    changed.setTitle("Tea, really ready");
    changed.setDueDateComponents(components(2030, 5, 1, 9, 10, "Europe/Berlin"));
    changed.addAlarm(Alarm::withAbsoluteDate(utc(2030, 5, 1, 7, 10)));
    store->saveReminder(changed, true);
    Reminder again = *store->calendarItemWithIdentifier(id);
    EXPECT_EQ(again.title(), "Tea, really ready");
    EXPECT_EQ(again.alarms(), std::vector { Alarm::withAbsoluteDate(utc(2030, 5, 1, 7, 10)) });
    EXPECT_EQ(icsFiles("personal/work").size(), 1);

    // Without a due date there is no alarm.
    again.setDueDateComponents(std::nullopt);
    store->saveReminder(again, true);
    EXPECT_TRUE(store->calendarItemWithIdentifier(id)->alarms().empty());
    EXPECT_FALSE(
        readFile("personal/work/" + QString::fromStdString(id) + ".ics").contains("VALARM"));

    // Completing hides it from the incomplete ones and keeps the completion date.
    Reminder done = *store->calendarItemWithIdentifier(id);
    done.setCompleted(true);
    store->saveReminder(done, true);
    EXPECT_TRUE(
        store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::vector { *work }))
            .empty());
    auto all = store->fetchReminders(store->predicateForReminders(std::vector { *work }));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].isCompleted());
    ASSERT_TRUE(all[0].completionDate());
    EXPECT_LT(std::chrono::abs(*all[0].completionDate() - std::chrono::system_clock::now()),
        std::chrono::minutes(5));

    // And back to incomplete.
    Reminder undone = all[0];
    undone.setCompleted(false);
    store->saveReminder(undone, true);
    EXPECT_EQ(
        store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::vector { *work }))
            .size(),
        1u);

    store->removeReminder(undone, true);
    EXPECT_TRUE(icsFiles("personal/work").isEmpty());
    EXPECT_EQ(store->calendarItemWithIdentifier(id), std::nullopt);
    // Removing what is gone already changes nothing and fails nothing.
    EXPECT_NO_THROW(store->removeReminder(undone, true));
}

TEST_F(EventStoreTest, aFileKeepsItsNameAndItsOtherPropertiesWhenItChanges)
{
    makeUsualTree();
    const QByteArray original
        = todoFile("UID:abc-123\r\n"
                   "SUMMARY:Old title\r\n"
                   "DESCRIPTION:Some notes\\, with a comma\r\n"
                   "CATEGORIES:home,errands\r\n"
                   "X-SORT-ORDER:42\r\n"
                   "FOO-BAR;X=1:kept even though libical does not know it\r\n"
                   "DUE;TZID=Europe/Berlin:20300101T100000\r\n"
                   "SEQUENCE:3\r\n"
                   "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:"
                   "20300101T090000Z\r\nEND:VALARM\r\n"
                   "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER;VALUE=DATE-TIME:"
                   "20300101T090000Z\r\nEND:VALARM\r\n"
                   "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n");
    writeFile("personal/work/some-other-name.ics", original);
    auto store = makeStore();

    Reminder r = *store->calendarItemWithIdentifier("abc-123");
    EXPECT_EQ(r.alarms().size(), 2u);
    r.setTitle("New title");
    store->saveReminder(r, true);

    EXPECT_EQ(icsFiles("personal/work"), QStringList { "some-other-name.ics" });
    const QByteArray written = readFile("personal/work/some-other-name.ics");
    for (const char* kept : { "DESCRIPTION:Some notes\\, with a comma", "CATEGORIES:home,errands",
             "X-SORT-ORDER:42", "FOO-BAR;X=1:kept even though libical does not know it",
             "DUE;TZID=Europe/Berlin:20300101T100000", "TRIGGER:-PT15M", "SEQUENCE:4",
             "SUMMARY:New title" })
        EXPECT_TRUE(written.contains(kept)) << kept << "\n" << written.toStdString();
    EXPECT_FALSE(written.contains("Old title"));
    EXPECT_FALSE(written.contains("X-LIC-ERROR"));
    EXPECT_EQ(written.count("VALUE=DATE-TIME:20300101T090000Z"), 1) << written.toStdString();
    EXPECT_TRUE(
        written.contains("BEGIN:VTIMEZONE") == false || written.count("TZID:Europe/Berlin") == 1);

    const Reminder back = *store->calendarItemWithIdentifier("abc-123");
    EXPECT_EQ(back.alarms(), std::vector { Alarm::withAbsoluteDate(utc(2030, 1, 1, 9, 0)) });

    // Saving what did not change writes nothing.
    const QByteArray before = readFile("personal/work/some-other-name.ics");
    Reminder same = back;
    store->saveReminder(same, true);
    EXPECT_EQ(readFile("personal/work/some-other-name.ics"), before);
}

TEST_F(EventStoreTest, aNewZoneGetsItsDefinitionInTheFile)
{
    makeUsualTree();
    auto store = makeStore();
    Reminder r = Reminder::create();
    r.setTitle("Zoned");
    r.setDueDateComponents(components(2030, 7, 1, 8, 0, "America/New_York"));
    r.setCalendar(store->calendarWithIdentifier("personal/work"));
    store->saveReminder(r, true);
    const QByteArray text
        = readFile("personal/work/" + QString::fromStdString(r.calendarItemIdentifier()) + ".ics");
    EXPECT_TRUE(text.contains("DUE;TZID=America/New_York:20300701T080000")) << text.toStdString();
    EXPECT_TRUE(text.contains("BEGIN:VTIMEZONE\r\nTZID:America/New_York\r\n"))
        << text.toStdString();
    EXPECT_EQ(store->calendarItemWithIdentifier(r.calendarItemIdentifier())->alarms(),
        std::vector { Alarm::withAbsoluteDate(utc(2030, 7, 1, 12, 0)) });
}

TEST_F(EventStoreTest, stagedChangesWaitForTheCommitAndResetDropsThem)
{
    makeUsualTree();
    auto store = makeStore();
    const auto home = store->calendarWithIdentifier("personal/home");

    Reminder a = Reminder::create();
    a.setTitle("A");
    Reminder b = Reminder::create();
    b.setTitle("B");
    b.setCalendar(home);
    store->saveReminder(a, false);
    store->saveReminder(b, false);
    Reminder seed = *store->calendarItemWithIdentifier("seed");
    store->removeReminder(seed, false);
    EXPECT_EQ(icsFiles("personal/home"), QStringList { "seed.ics" });

    store->commit();
    EXPECT_EQ(icsFiles("personal/home").size(), 2);
    EXPECT_FALSE(exists("personal/home/seed.ics"));
    // Without a list, a new reminder went to the default list, and says so.
    EXPECT_EQ(a.calendar(), home);
    EXPECT_TRUE(store->calendarItemWithIdentifier(a.calendarItemIdentifier()));

    Reminder c = Reminder::create();
    store->saveReminder(c, false);
    store->reset();
    store->commit();
    EXPECT_EQ(store->calendarItemWithIdentifier(c.calendarItemIdentifier()), std::nullopt);
}

TEST_F(EventStoreTest, anUnknownListKeepsTheReminderWhereItIsAndAKnownOneMovesIt)
{
    makeUsualTree();
    auto store = makeStore();
    Reminder seed = *store->calendarItemWithIdentifier("seed");

    EventCalendar gone = *store->calendarWithIdentifier("personal/work");
    gone.calendarIdentifier = "personal/gone";
    seed.setCalendar(gone);
    seed.setTitle("Still at home");
    store->saveReminder(seed, true);
    EXPECT_EQ(
        store->calendarItemWithIdentifier("seed")->calendar()->calendarIdentifier, "personal/home");

    Reminder moving = *store->calendarItemWithIdentifier("seed");
    moving.setCalendar(store->calendarWithIdentifier("personal/work"));
    store->saveReminder(moving, true);
    EXPECT_EQ(icsFiles("personal/home"), QStringList {});
    EXPECT_EQ(icsFiles("personal/work"), QStringList { "seed.ics" });
    const Reminder moved = *store->calendarItemWithIdentifier("seed");
    EXPECT_EQ(moved.calendar()->calendarIdentifier, "personal/work");
    EXPECT_EQ(moved.title(), "Still at home");

    // A new reminder in a list that does not exist is refused.
    Reminder lost = Reminder::create();
    lost.setCalendar(gone);
    EXPECT_THROW(store->saveReminder(lost, true), EventStoreError);
}

TEST_F(EventStoreTest, createsAndRemovesLists)
{
    makeUsualTree();
    auto store = makeStore();
    const auto sources = store->sources();

    EventCalendar groceries = EventCalendar::forEntityType(EntityType::reminder);
    groceries.title = "Groceries";
    groceries.color = "#00ff00";
    groceries.source = sources[0]; // "bare"
    store->saveCalendar(groceries, false);
    ASSERT_FALSE(groceries.calendarIdentifier.empty());
    EXPECT_EQ(groceries.calendarIdentifier.rfind("bare/", 0), 0u);

    // A reminder can go into the new list in the same batch.
    Reminder milk = Reminder::create();
    milk.setTitle("Milk");
    milk.setCalendar(groceries);
    store->saveReminder(milk, false);
    store->commit();

    const auto made = store->calendarWithIdentifier(groceries.calendarIdentifier);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->title, "Groceries");
    EXPECT_EQ(made->color, "#00ff00");
    EXPECT_EQ(made->source, sources[0]);
    EXPECT_EQ(readFile(QString::fromStdString(groceries.calendarIdentifier) + "/displayname"),
        "Groceries\n");
    EXPECT_EQ(
        store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::vector { *made }))
            .size(),
        1u);

    // Renaming writes the name file.
    EventCalendar renamed = *made;
    renamed.title = "Food";
    store->saveCalendar(renamed, true);
    EXPECT_EQ(store->calendarWithIdentifier(groceries.calendarIdentifier)->title, "Food");

    store->removeCalendar(renamed, true);
    EXPECT_EQ(store->calendarWithIdentifier(groceries.calendarIdentifier), std::nullopt);
    EXPECT_FALSE(QDir(pathOf(QString::fromStdString(groceries.calendarIdentifier))).exists());
    EXPECT_EQ(
        QDir(pathOf("bare")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList {});

    EventCalendar orphan = EventCalendar::forEntityType(EntityType::reminder);
    orphan.source = Source { "nowhere", "Nowhere" };
    try {
        store->saveCalendar(orphan, true);
        FAIL() << "a list without an existing source was saved";
    } catch (const EventStoreError& error) {
        EXPECT_EQ(error.code(), EventStoreError::Code::sourceNotFound);
    }
    EventCalendar events = EventCalendar::forEntityType(EntityType::event);
    events.source = sources[0];
    EXPECT_THROW(store->saveCalendar(events, true), EventStoreError);
}

TEST_F(EventStoreTest, aFailingCommitWritesNothing)
{
    makeUsualTree();
    auto store = makeStore();
    Reminder a = Reminder::create();
    a.setTitle("A");
    a.setCalendar(store->calendarWithIdentifier("personal/home"));
    Reminder b = Reminder::create();
    b.setTitle("B");
    b.setCalendar(store->calendarWithIdentifier("personal/work"));
    store->saveReminder(a, false);
    store->saveReminder(b, false);
    // Another program removes the second list before the commit.
    ASSERT_TRUE(QDir(pathOf("personal/work")).removeRecursively());
    try {
        store->commit();
        FAIL() << "the commit succeeded";
    } catch (const EventStoreError& error) {
        EXPECT_EQ(error.code(), EventStoreError::Code::writeFailed);
    }
    EXPECT_EQ(icsFiles("personal/home"), QStringList { "seed.ics" });
    EXPECT_TRUE(
        QDir(pathOf("personal/home")).entryList({ "*.tmp" }, QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(EventStoreTest, fetchesOnlyWhatThePredicateAsksFor)
{
    makeUsualTree();
    writeFile("personal/work/early.ics",
        todoFile("UID:early\r\nSUMMARY:Early\r\nDUE:20300101T080000Z\r\n"));
    writeFile(
        "personal/work/late.ics", todoFile("UID:late\r\nSUMMARY:Late\r\nDUE:20300301T080000Z\r\n"));
    writeFile("personal/work/done.ics",
        todoFile("UID:done\r\nSUMMARY:Done\r\nSTATUS:COMPLETED\r\nCOMPLETED:20291231T080000Z\r\n"));
    writeFile("personal/work/cancelled.ics", todoFile("UID:cancelled\r\nSTATUS:CANCELLED\r\n"));
    auto store = makeStore();
    const auto work = *store->calendarWithIdentifier("personal/work");

    auto ids = [&](const ReminderPredicate& p) {
        std::vector<std::string> result;
        for (const Reminder& r : store->fetchReminders(p))
            result.push_back(r.calendarItemIdentifier());
        std::sort(result.begin(), result.end());
        return result;
    };
    EXPECT_EQ(ids(store->predicateForIncompleteReminders({}, {}, std::vector { work })),
        (std::vector<std::string> { "early", "late" }));
    EXPECT_EQ(ids(store->predicateForIncompleteReminders({}, {}, std::nullopt)),
        (std::vector<std::string> { "early", "late", "seed" }));
    EXPECT_EQ(ids(store->predicateForIncompleteReminders({}, {}, std::vector<EventCalendar> {})),
        std::vector<std::string> {});
    EXPECT_EQ(ids(store->predicateForIncompleteReminders(utc(2030, 2, 1, 0, 0), {}, std::nullopt)),
        std::vector<std::string> { "late" });
    EXPECT_EQ(ids(store->predicateForReminders(std::vector { work })),
        (std::vector<std::string> { "cancelled", "done", "early", "late" }));
    const auto done = store->calendarItemWithIdentifier("done");
    EXPECT_TRUE(done->isCompleted());
    EXPECT_EQ(done->completionDate(), utc(2029, 12, 31, 8, 0));

    // The same from the background queue.
    std::promise<std::optional<std::vector<Reminder>>> promise;
    store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::vector { work }),
        [&promise](
            std::optional<std::vector<Reminder>> result) { promise.set_value(std::move(result)); });
    const auto background = promise.get_future().get();
    ASSERT_TRUE(background);
    EXPECT_EQ(background->size(), 2u);
}

TEST_F(EventStoreTest, signalsChangesOfItsOwnAndOfOtherPrograms)
{
    makeUsualTree();
    auto store = makeStore(AuthorizationStatus::fullAccess, 200);
    QSignalSpy spy(store.get(), &EventStore::changed);
    int published = 0;
    auto token = store->changes().sink([&published](const rx::Unit&) { ++published; });

    // Our own write.
    Reminder r = Reminder::create();
    r.setTitle("Ours");
    store->saveReminder(r, true);
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(400);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(published, 1);

    // Another program writes a burst of files: one signal.
    spy.clear();
    for (int i = 0; i < 20; ++i)
        writeFile(QString("personal/work/other-%1.ics").arg(i),
            todoFile(QString("UID:o%1\r\n").arg(i).toUtf8()));
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(400);
    EXPECT_EQ(spy.count(), 1);

    // A list another program makes is watched too.
    spy.clear();
    makeDir("bare/new-list");
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(400);
    spy.clear();
    writeFile("bare/new-list/x.ics", todoFile("UID:x\r\n"));
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(
        store->calendarItemWithIdentifier("x")->calendar()->calendarIdentifier, "bare/new-list");

    // A change in place by another program, written atomically as vdir tools do.
    spy.clear();
    writeFile("personal/work/other-0.ics.tmp", todoFile("UID:o0\r\nSUMMARY:Renamed\r\n"));
    QFile::remove(pathOf("personal/work/other-0.ics"));
    ASSERT_TRUE(QFile::rename(
        pathOf("personal/work/other-0.ics.tmp"), pathOf("personal/work/other-0.ics")));
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(store->calendarItemWithIdentifier("o0")->title(), "Renamed");
    token.cancel();
}

TEST_F(EventStoreTest, aRootThatAppearsLaterIsWatched)
{
    QDir(root()).removeRecursively();
    auto store = makeStore();
    QSignalSpy spy(store.get(), &EventStore::changed);
    makeDir("");
    ASSERT_TRUE(spy.wait(5000));
    QTest::qWait(200);
    spy.clear();
    makeDir("acc");
    ASSERT_TRUE(spy.wait(5000));
    EXPECT_EQ(store->sources().size(), 1u);
}

TEST_F(EventStoreTest, asksForAccessOnceAndKeepsTheAnswer)
{
    makeUsualTree();
    int asked = 0;
    auto open = [&](bool answer) {
        EventStoreOptions options;
        options.rootPath = root();
        options.stateDirectory = stateDir();
        options.accessPrompt = [&asked, answer](EntityType type, std::function<void(bool)> reply) {
            EXPECT_EQ(type, EntityType::reminder);
            ++asked;
            reply(answer);
        };
        return std::make_unique<EventStore>(options);
    };

    auto refused = open(false);
    EXPECT_EQ(
        refused->authorizationStatus(EntityType::reminder), AuthorizationStatus::notDetermined);
    std::optional<bool> granted;
    refused->requestFullAccessToReminders([&](bool g, std::optional<EventStoreError> error) {
        EXPECT_FALSE(error);
        granted = g;
    });
    drainMainQueue();
    EXPECT_EQ(granted, false);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(refused->authorizationStatus(EntityType::reminder), AuthorizationStatus::denied);
    EXPECT_EQ(static_cast<int>(refused->authorizationStatus(EntityType::reminder)), 2);
    EXPECT_TRUE(refused->sources().empty());
    EXPECT_TRUE(refused->fetchReminders(refused->predicateForReminders(std::nullopt)).empty());
    EXPECT_EQ(refused->calendarItemWithIdentifier("seed"), std::nullopt);
    Reminder r = Reminder::create();
    try {
        refused->saveReminder(r, true);
        FAIL() << "a refused store wrote";
    } catch (const EventStoreError& error) {
        EXPECT_EQ(error.code(), EventStoreError::Code::accessDenied);
    }
    refused.reset();

    // The answer is kept: a new store does not ask again, even with another prompt.
    auto later = open(true);
    EXPECT_EQ(later->authorizationStatus(EntityType::reminder), AuthorizationStatus::denied);
    granted.reset();
    later->requestAccessToEntityType(
        EntityType::reminder, [&](bool g, std::optional<EventStoreError>) { granted = g; });
    drainMainQueue();
    EXPECT_EQ(granted, false);
    EXPECT_EQ(asked, 1);
    later.reset();

    // A fresh state asks, and a grant opens the lists.
    QFile::remove(stateDir() + "/eventstore-access");
    auto granting = open(true);
    granting->requestFullAccessToReminders(
        [&](bool g, std::optional<EventStoreError>) { granted = g; });
    drainMainQueue();
    EXPECT_EQ(granted, true);
    EXPECT_EQ(granting->authorizationStatus(EntityType::reminder), AuthorizationStatus::fullAccess);
    EXPECT_EQ(granting->sources().size(), 2u);
    EXPECT_EQ(granting->authorizationStatus(EntityType::event), AuthorizationStatus::restricted);
}

TEST_F(EventStoreTest, anUndeterminedStoreWithoutPromptReportsAnError)
{
    EventStoreOptions options;
    options.rootPath = root();
    EventStore store(options);
    std::optional<EventStoreError> failure;
    store.requestFullAccessToReminders(
        [&](bool, std::optional<EventStoreError> error) { failure = error; });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code(), EventStoreError::Code::noAccessPrompt);
    EXPECT_EQ(store.authorizationStatus(EntityType::reminder), AuthorizationStatus::notDetermined);
}

TEST_F(EventStoreTest, servesSeveralThreadsAtOnce)
{
    makeUsualTree();
    auto store = makeStore();
    std::vector<std::jthread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&store, t] {
            for (int i = 0; i < 10; ++i) {
                Reminder r = Reminder::create();
                r.setTitle("t" + std::to_string(t) + "-" + std::to_string(i));
                store->saveReminder(r, i % 2 == 0);
                store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::nullopt));
            }
            store->commit();
        });
    }
    threads.clear();
    EXPECT_EQ(
        store->fetchReminders(store->predicateForIncompleteReminders({}, {}, std::nullopt)).size(),
        41u);
}

TEST(ComponentsDate, readsSkippedAndRepeatedWallTimesAsTheStandardSays)
{
    // 02:30 does not exist in Berlin on 2024-03-31: the offset before the gap applies.
    EXPECT_EQ(dateFromComponents(components(2024, 3, 31, 2, 30, "Europe/Berlin")),
        dateFromComponents(components(2024, 3, 31, 1, 30, "UTC")));
    // 02:30 happens twice on 2024-10-27: the first one counts.
    EXPECT_EQ(dateFromComponents(components(2024, 10, 27, 2, 30, "Europe/Berlin")),
        dateFromComponents(components(2024, 10, 27, 0, 30, "UTC")));
    EXPECT_EQ(dateFromComponents(components(2024, 7, 1, 12, 0, "Europe/Berlin")),
        dateFromComponents(components(2024, 7, 1, 10, 0, "UTC")));
    EXPECT_EQ(dateFromComponents(components(2024, 3, 31, 0, 0, "Mars/Olympus")), std::nullopt);
    DateComponents noDay;
    noDay.year = 2024;
    EXPECT_EQ(dateFromComponents(noDay), std::nullopt);
}

} // namespace
} // namespace tidemark::test
