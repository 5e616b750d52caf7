#include "PersistenceFixture.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using namespace tidemark::test;
using testing::ElementsAre;

namespace {

using Ids = std::set<std::string>;

class ManagedObjectContextTest : public PersistenceTest {
protected:
    // Four reminders: two open (one without due date), one completed, one without identifier.
    void insertSample()
    {
        context().insert(reminder("A", "alpha", std::nullopt, at(1'700'000'300)));
        context().insert(reminder("B", "bravo"));
        context().insert(reminder("C", "charlie", at(1'700'000'500), at(1'700'000'200)));
        CDReminder anonymous;
        anonymous.title = "nameless";
        context().insert(anonymous);
    }
};

struct PredicateCase {
    const char* name;
    Predicate predicate;
    Ids expected;
};

} // namespace

TEST_F(ManagedObjectContextTest, PredicatesMatchAlikeInTheStoreAndOnUnsavedObjects)
{
    const std::vector<PredicateCase> cases {
        { "all", Predicate::truePredicate(), { "A", "B", "C", "" } },
        { "none", Predicate::falsePredicate(), {} },
        { "not completed", Predicate::notCompleted(), { "A", "B", "" } },
        { "one identifier", Predicate::equal(ReminderAttribute::identifier, std::string("B")),
            { "B" } },
        { "identifier set", Predicate::identifierIn({ "A", "C", "Z" }), { "A", "C" } },
        { "empty identifier set", Predicate::identifierIn({}), {} },
        { "or of none", Predicate::anyOf({}), {} },
        { "or of identifiers",
            Predicate::anyOf({ Predicate::equal(ReminderAttribute::identifier, std::string("A")),
                Predicate::equal(ReminderAttribute::identifier, std::string("C")) }),
            { "A", "C" } },
        { "identifier != A (none counts as different)",
            Predicate::notEqual(ReminderAttribute::identifier, std::string("A")),
            { "B", "C", "" } },
        { "no identifier", Predicate::equal(ReminderAttribute::identifier, std::monostate()),
            { "" } },
        { "not in set (none is not in it)", Predicate::negation(Predicate::identifierIn({ "A" })),
            { "B", "C", "" } },
        { "due date equal", Predicate::equal(ReminderAttribute::dueDate, at(1'700'000'300)),
            { "A" } },
        { "open with due date",
            Predicate::allOf({ Predicate::notCompleted(),
                Predicate::notEqual(ReminderAttribute::dueDate, std::monostate()) }),
            { "A" } },
    };

    insertSample();
    for (const auto& testCase : cases)
        EXPECT_EQ(identifiers(fetchAll(testCase.predicate)), testCase.expected)
            << "unsaved: " << testCase.name;
    context().save();
    for (const auto& testCase : cases) {
        EXPECT_EQ(identifiers(fetchAll(testCase.predicate)), testCase.expected)
            << "stored: " << testCase.name;
        EXPECT_FALSE(testCase.predicate.description().empty());
    }
    EXPECT_EQ(Predicate::notCompleted().description(), "isCompleted != true");
}

TEST_F(ManagedObjectContextTest, SortsByDescriptorsThenByIdentityAlikeInTheStoreAndUnsaved)
{
    insertSample();
    FetchRequest byDue;
    byDue.sortDescriptors = { { ReminderAttribute::dueDate, false } };
    FetchRequest byTitle;
    byTitle.sortDescriptors
        = { { ReminderAttribute::isCompleted, true }, { ReminderAttribute::title, true } };
    byTitle.fetchLimit = 3;
    auto titles = [&](const FetchRequest& request) {
        std::vector<std::string> result;
        for (const auto& object : context().fetch(request))
            result.push_back(*object.title);
        return result;
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "unsaved" : "stored");
        // Descending puts objects without a value last; ties keep the order of insertion.
        EXPECT_THAT(titles(byDue), ElementsAre("alpha", "charlie", "bravo", "nameless"));
        EXPECT_THAT(titles(byTitle), ElementsAre("alpha", "bravo", "nameless"));
        context().save();
    }
}

TEST_F(ManagedObjectContextTest, CreatesReadsUpdatesAndDeletes)
{
    auto created = context().insert(reminder("A", "first"));
    EXPECT_TRUE(created.objectID.isValid());
    EXPECT_TRUE(context().hasChanges());
    EXPECT_THAT(context().insertedObjects(), ElementsAre(created));
    EXPECT_TRUE(storedTitles().empty()) << "nothing is written before the save";
    context().save();
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(storedTitles(), (std::map<std::string, std::string> { { "A", "first" } }));

    auto fetched = fetchAll(Predicate::identifierIn({ "A" }));
    ASSERT_EQ(fetched.size(), 1u);
    EXPECT_EQ(fetched.front(), created);

    auto changed = fetched.front();
    changed.title = "second";
    changed.completionDate = at(1'700'000'900);
    changed.isCompleted = true;
    context().update(changed);
    EXPECT_THAT(context().updatedObjects(), ElementsAre(changed));
    EXPECT_TRUE(fetchAll(Predicate::notCompleted()).empty()) << "fetches see unsaved changes";
    context().save();
    EXPECT_EQ(storedTitles(), (std::map<std::string, std::string> { { "A", "second" } }));
    EXPECT_EQ(context().existingObject(created.objectID), changed);

    // Writing the values it already has is no change.
    context().update(changed);
    EXPECT_FALSE(context().hasChanges());
    // A change written back to the stored values is no change either.
    auto other = changed;
    other.title = "third";
    context().update(other);
    context().update(changed);
    EXPECT_FALSE(context().hasChanges());

    context().deleteObject(changed);
    EXPECT_TRUE(fetchAll().empty());
    EXPECT_FALSE(context().existingObject(created.objectID));
    EXPECT_THROW(context().update(changed), PersistenceError);
    context().save();
    EXPECT_TRUE(storedTitles().empty());

    try {
        context().update(changed);
        FAIL() << "updating a deleted object must fail";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.code(), PersistenceError::Code::objectNotFound);
    }
    EXPECT_THROW(context().deleteObject(ManagedObjectID { 999 }), PersistenceError);
    FetchRequest unknown;
    unknown.entityName = "CDList";
    EXPECT_THROW(context().fetch(unknown), PersistenceError);
}

TEST_F(ManagedObjectContextTest, KeepsDatesToTheMicrosecond)
{
    const Date precise = Date(std::chrono::nanoseconds(1'700'000'000'123'456'789));
    auto object = reminder("A", "a", std::nullopt, precise);
    object.startDate = at(-86400.5); // before 1970
    const auto created = context().insert(object);
    context().save();
    open();
    const auto stored = fetchAll().front();
    EXPECT_EQ(stored, created);
    EXPECT_EQ(*stored.dueDate, Date(std::chrono::microseconds(1'700'000'000'123'456)));
    EXPECT_EQ(*stored.startDate, at(-86400.5));
    EXPECT_EQ(
        identifiers(fetchAll(Predicate::equal(ReminderAttribute::dueDate, precise))), Ids { "A" });
}

TEST_F(ManagedObjectContextTest, DatesNoDateCanHoldReadAsNone)
{
    {
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READWRITE);
        database.exec("INSERT INTO CDReminder (identifier, title, startDate, dueDate, "
                      "completionDate) VALUES ('far', 'far', -1e300, 1e300, 9.3e9), "
                      "('endless', 'endless', 1e999, -1e999, 1700000000.5)");
    }
    open();
    const auto objects = fetchAll();
    ASSERT_EQ(objects.size(), 2u);
    for (const auto& object : objects) {
        SCOPED_TRACE(object.identifierString());
        EXPECT_FALSE(object.startDate);
        EXPECT_FALSE(object.dueDate);
    }
    EXPECT_FALSE(objects[0].completionDate);
    EXPECT_EQ(objects[1].completionDate, at(1'700'000'000.5));
}

TEST_F(ManagedObjectContextTest, BatchDeleteIsMergedIntoTheContext)
{
    insertSample();
    context().save();
    drainMainQueue();
    auto open = fetchAll(Predicate::notCompleted());
    auto b = *std::find_if(
        open.begin(), open.end(), [](const auto& o) { return o.identifier == "B"; });
    b.title = "changed but not saved";
    context().update(b);

    std::vector<ChangeSet> changes;
    auto token
        = context().objectsDidChange().sink([&](const ChangeSet& c) { changes.push_back(c); });
    drainMainQueue();
    changes.clear();

    BatchDeleteRequest request { FetchRequest {} };
    request.fetchRequest.predicate = Predicate::identifierIn({ "B", "C" });
    const auto result = context().execute(request);
    EXPECT_EQ(identifiers(result.deletedObjects), (Ids { "B", "C" }));
    EXPECT_EQ(result.deletedObjectIDs().size(), 2u);
    EXPECT_EQ(storedTitles().size(), 2u);

    context().mergeChanges(result.changes());
    EXPECT_FALSE(context().hasChanges()) << "the pending change of a deleted object is dropped";
    EXPECT_EQ(identifiers(fetchAll()), (Ids { "A", "" }));
    context().save();
    drainMainQueue();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(identifiers(changes.front().deleted), (Ids { "B", "C" }));

    const auto all = context().execute(BatchDeleteRequest {});
    context().mergeChanges(all.changes());
    EXPECT_EQ(all.deletedObjects.size(), 2u);
    EXPECT_TRUE(storedTitles().empty());
    EXPECT_TRUE(fetchAll().empty());
}

TEST_F(ManagedObjectContextTest, AFailedSaveWritesNothingAndDiscardsThePendingChanges)
{
    context().insert(reminder("A", "stored"));
    context().save();
    {
        // Stands for any failure inside the transaction, after some rows were written.
        SQLite::Database database(storeFile().string(), SQLite::OPEN_READWRITE);
        database.exec("CREATE TRIGGER refuse BEFORE INSERT ON CDReminder WHEN NEW.title = 'poison' "
                      "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    auto undoManager = std::make_shared<UndoManager>();
    context().setUndoManager(undoManager);

    auto a = fetchAll().front();
    a.title = "changed";
    context().update(a);
    context().insert(reminder("B", "fine"));
    context().insert(reminder("P", "poison"));
    try {
        context().save();
        FAIL() << "the save must fail";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error.code(), PersistenceError::Code::saveFailed);
        EXPECT_NE(error.description().find("refused"), std::string::npos) << error.what();
    }
    EXPECT_EQ(storedTitles(), (std::map<std::string, std::string> { { "A", "stored" } }));
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(identifiers(fetchAll()), Ids { "A" });
    EXPECT_EQ(*fetchAll().front().title, "stored");
    EXPECT_FALSE(undoManager->canUndo()) << "undo must not take back changes that never landed";

    // The failed request does not go out with the next save.
    context().insert(reminder("C", "next"));
    context().save();
    EXPECT_EQ(storedTitles(),
        (std::map<std::string, std::string> { { "A", "stored" }, { "C", "next" } }));
}

TEST_F(ManagedObjectContextTest, ASaveBlockedByAnotherWriterFailsCleanly)
{
    open(StoreDescription { {}, false, 0 });
    context().insert(reminder("A", "stored"));
    context().save();

    SQLite::Database other(storeFile().string(), SQLite::OPEN_READWRITE);
    other.exec("BEGIN IMMEDIATE");
    context().deleteObject(fetchAll().front());
    context().insert(reminder("B", "blocked"));
    EXPECT_THROW(context().save(), PersistenceError);
    other.exec("ROLLBACK");

    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(identifiers(fetchAll()), Ids { "A" });
    context().save();
    EXPECT_EQ(storedTitles(), (std::map<std::string, std::string> { { "A", "stored" } }));
}

TEST_F(ManagedObjectContextTest, RollbackDiscardsEveryKindOfChange)
{
    insertSample();
    context().save();
    auto objects = fetchAll();
    auto changed = objects[0];
    changed.title = "changed";
    context().update(changed);
    context().deleteObject(objects[1]);
    context().insert(reminder("N", "new"));
    context().rollback();
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(fetchAll(), objects);
}
