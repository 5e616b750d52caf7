#include "PersistenceFixture.hpp"

#include <functional>

using namespace tidemark;
using namespace tidemark::test;

namespace {

using Titles = std::map<std::string, std::string>;

class UndoTest : public PersistenceTest {
protected:
    void SetUp() override
    {
        PersistenceTest::SetUp();
        context().insert(reminder("A", "alpha"));
        context().save();
        m_undoManager = std::make_shared<UndoManager>();
        context().setUndoManager(m_undoManager);
        drainMainQueue();
    }

public:
    CDReminder stored(const std::string& identifier)
    {
        return fetchAll(Predicate::identifierIn({ identifier })).at(0);
    }

protected:
    std::shared_ptr<UndoManager> m_undoManager;
};

struct UndoCase {
    const char* name;
    std::function<void(UndoTest&, ManagedObjectContext&)> change;
    Titles after;
};

} // namespace

// Each change is saved, then undone (the store goes back and is saved at once), then redone.
TEST_F(UndoTest, UndoesAndRedoesEachKindOfChangeInTheStore)
{
    const Titles before { { "A", "alpha" } };
    const std::vector<UndoCase> cases {
        { "insert", [](UndoTest&, ManagedObjectContext& c) { c.insert(reminder("B", "bravo")); },
            { { "A", "alpha" }, { "B", "bravo" } } },
        { "update",
            [](UndoTest& t, ManagedObjectContext& c) {
                auto a = t.stored("A");
                a.title = "renamed";
                c.update(a);
            },
            { { "A", "renamed" } } },
        { "delete", [](UndoTest& t, ManagedObjectContext& c) { c.deleteObject(t.stored("A")); },
            {} },
        { "update then delete in one step",
            [](UndoTest& t, ManagedObjectContext& c) {
                auto a = t.stored("A");
                a.title = "renamed";
                c.update(a);
                c.deleteObject(a);
            },
            {} },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const auto objectsBefore = fetchAll();
        testCase.change(*this, context());
        context().save();
        drainMainQueue(); // ends the turn, and with it the undo group
        ASSERT_EQ(storedTitles(), testCase.after);
        const auto objectsAfter = fetchAll();

        ASSERT_TRUE(m_undoManager->canUndo());
        m_undoManager->undo();
        EXPECT_FALSE(context().hasChanges()) << "undo saves at once";
        EXPECT_EQ(storedTitles(), before);
        EXPECT_EQ(fetchAll(), objectsBefore) << "undo brings back the same objects";

        ASSERT_TRUE(m_undoManager->canRedo());
        m_undoManager->redo();
        EXPECT_FALSE(context().hasChanges());
        EXPECT_EQ(storedTitles(), testCase.after);
        EXPECT_EQ(fetchAll(), objectsAfter);

        m_undoManager->undo();
        EXPECT_EQ(storedTitles(), before);
        m_undoManager->removeAllActions();
        drainMainQueue();
    }
}

TEST_F(UndoTest, UndoesChangesThatWereNotSavedYet)
{
    context().insert(reminder("B", "bravo"));
    context().deleteObject(stored("A"));
    drainMainQueue();
    m_undoManager->undo();
    EXPECT_FALSE(context().hasChanges());
    EXPECT_EQ(storedTitles(), (Titles { { "A", "alpha" } }));
    m_undoManager->redo();
    EXPECT_EQ(storedTitles(), (Titles { { "B", "bravo" } }));
}

TEST_F(UndoTest, OneTurnOfChangesIsOneStep)
{
    for (const char* id : { "B", "C", "D" })
        context().insert(reminder(id, id));
    context().save();
    drainMainQueue();
    m_undoManager->undo();
    EXPECT_EQ(storedTitles(), (Titles { { "A", "alpha" } }));
    EXPECT_FALSE(m_undoManager->canUndo());
    m_undoManager->redo();
    EXPECT_EQ(storedTitles().size(), 4u);
}

TEST_F(UndoTest, RegistersNothingWithoutAnUndoManagerAndForgetsActionsWhenGone)
{
    context().setUndoManager(nullptr);
    context().insert(reminder("B", "bravo"));
    context().save();
    drainMainQueue();
    EXPECT_FALSE(m_undoManager->canUndo());

    context().setUndoManager(m_undoManager);
    EXPECT_EQ(context().undoManager(), m_undoManager);
    context().insert(reminder("C", "charlie"));
    drainMainQueue();
    EXPECT_TRUE(m_undoManager->canUndo());
    m_container.reset();
    EXPECT_FALSE(m_undoManager->canUndo()) << "a closed store leaves no actions behind";
}

TEST_F(UndoTest, AnUndoThatCannotBeSavedIsReported)
{
    auto a = stored("A");
    a.title = "renamed";
    context().update(a);
    context().save();
    drainMainQueue();
    // The reminder disappears behind the undo manager's back.
    context().mergeChanges(context().execute(BatchDeleteRequest {}).changes());

    std::vector<PersistenceError> failures;
    auto token = context().undoSaveFailures().sink(
        [&](const PersistenceError& e) { failures.push_back(e); });
    m_undoManager->undo();
    EXPECT_TRUE(failures.empty()) << "reported through the main queue";
    drainMainQueue();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures.front().code(), PersistenceError::Code::objectNotFound);
    EXPECT_TRUE(storedTitles().empty());
    EXPECT_FALSE(context().hasChanges());
}

TEST_F(UndoTest, AnnouncesChangesAndSavesOnTheMainQueue)
{
    std::vector<ChangeSet> saves;
    std::vector<ChangeSet> changes;
    std::vector<std::string> order;
    auto saveToken = context().didSave().sink([&](const ChangeSet& c) {
        saves.push_back(c);
        order.push_back("save");
    });
    auto changeToken = context().objectsDidChange().sink([&](const ChangeSet& c) {
        changes.push_back(c);
        order.push_back("change");
    });

    auto a = stored("A");
    a.title = "renamed";
    context().update(a);
    a.title = "renamed twice";
    context().update(a);
    const auto b = context().insert(reminder("B", "bravo"));
    auto gone = context().insert(reminder("X", "made and dropped"));
    context().deleteObject(gone);
    context().save();
    EXPECT_TRUE(saves.empty() && changes.empty())
        << "nothing is delivered before the main queue runs";
    drainMainQueue();

    ASSERT_EQ(changes.size(), 1u) << "one announcement per turn";
    EXPECT_EQ(changes[0].inserted, std::vector<CDReminder> { b });
    EXPECT_EQ(changes[0].updated, std::vector<CDReminder> { a });
    EXPECT_TRUE(changes[0].deleted.empty());
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(identifiersOf(saves[0].inserted), std::vector<std::string> { "B" });
    EXPECT_EQ(identifiersOf(saves[0].updated), std::vector<std::string> { "A" });
    EXPECT_TRUE(saves[0].deleted.empty());
    EXPECT_EQ(order, (std::vector<std::string> { "change", "save" }));

    // Undo changes the context (and so announces) and saves.
    m_undoManager->undo();
    drainMainQueue();
    ASSERT_EQ(saves.size(), 2u);
    EXPECT_EQ(identifiersOf(saves[1].deleted), std::vector<std::string> { "B" });
    EXPECT_EQ(identifiersOf(saves[1].updated), std::vector<std::string> { "A" });
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(identifiersOf(changes[1].deleted), std::vector<std::string> { "B" });

    // A save without changes says nothing.
    context().save();
    drainMainQueue();
    EXPECT_EQ(saves.size(), 2u);
    EXPECT_EQ(changes.size(), 2u);
}
