#include "platform/foundation/UndoManager.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemark {
namespace {

// A small document whose edits register their own reversal, as the stores do.
struct Document {
    explicit Document(UndoManager& manager)
        : undoManager(manager)
    {
    }
    UndoManager& undoManager;
    std::vector<std::string> items;
    std::string name = "New Item";

    void add(const std::string& item)
    {
        items.push_back(item);
        undoManager.registerUndo(this, [this, item] { remove(item); });
        if (!undoManager.isUndoing())
            undoManager.setActionName(name);
    }
    void remove(const std::string& item)
    {
        std::erase(items, item);
        undoManager.registerUndo(this, [this, item] { add(item); });
    }
};

class UndoManagerTest : public testing::Test {
protected:
    void TearDown() override { test::drainMainQueue(); }
    UndoManager manager;
    Document document { manager };
};

TEST_F(UndoManagerTest, EverythingRegisteredInOneTurnIsOneStep)
{
    document.add("a");
    document.add("b");
    EXPECT_TRUE(manager.canUndo());
    EXPECT_EQ(manager.groupingLevel(), 1); // the event group is open until the turn ends
    test::drainMainQueue();
    EXPECT_EQ(manager.groupingLevel(), 0);
    document.add("c");
    test::drainMainQueue();

    manager.undo();
    EXPECT_EQ(document.items, (std::vector<std::string> { "a", "b" }));
    manager.undo();
    EXPECT_TRUE(document.items.empty());
    EXPECT_FALSE(manager.canUndo());
    EXPECT_TRUE(manager.canRedo());
    manager.redo();
    EXPECT_EQ(document.items, (std::vector<std::string> { "a", "b" }));
}

TEST_F(UndoManagerTest, UndoWithinTheTurnTakesBackWhatWasJustDone)
{
    document.add("a");
    test::drainMainQueue();
    document.add("b");
    manager.undo(); // closes the open event group first
    EXPECT_EQ(document.items, (std::vector<std::string> { "a" }));
    test::drainMainQueue();
    EXPECT_EQ(manager.groupingLevel(), 0);
    manager.undo();
    EXPECT_TRUE(document.items.empty());
}

TEST_F(UndoManagerTest, ExplicitGroupsAndManualGrouping)
{
    manager.setGroupsByEvent(false);
    manager.beginUndoGrouping();
    document.add("a");
    manager.beginUndoGrouping(); // nested groups join the outer one
    document.add("b");
    manager.endUndoGrouping();
    EXPECT_EQ(manager.groupingLevel(), 1);
    manager.undo(); // not allowed while a group is open
    EXPECT_EQ(document.items.size(), 2u);
    manager.endUndoGrouping();
    EXPECT_EQ(test::drainMainQueue(), 0u);

    // Without grouping by event, each registration outside a group is its own step.
    document.add("c");
    document.add("d");
    manager.undo();
    EXPECT_EQ(document.items, (std::vector<std::string> { "a", "b", "c" }));
    manager.undo();
    manager.undo();
    EXPECT_TRUE(document.items.empty());

    // An empty group leaves no step; an unbalanced end is ignored.
    manager.beginUndoGrouping();
    manager.endUndoGrouping();
    manager.endUndoGrouping();
    EXPECT_EQ(manager.groupingLevel(), 0);
    EXPECT_FALSE(manager.canUndo());
}

TEST_F(UndoManagerTest, ActionNamesFollowTheStepsBothWays)
{
    document.name = "Add A";
    document.add("a");
    test::drainMainQueue();
    document.name = "Add B";
    document.add("b");
    test::drainMainQueue();
    EXPECT_EQ(manager.undoActionName(), "Add B");
    EXPECT_EQ(manager.redoActionName(), "");
    manager.undo();
    EXPECT_EQ(manager.undoActionName(), "Add A");
    EXPECT_EQ(manager.redoActionName(), "Add B"); // the redo step keeps the undone step's name
    manager.redo();
    EXPECT_EQ(manager.undoActionName(), "Add B");
    EXPECT_EQ(manager.redoActionName(), "");
}

TEST_F(UndoManagerTest, UndoingAndRedoingAreVisibleToTheActions)
{
    std::vector<std::string> seen;
    auto record = [&] {
        seen.push_back(manager.isUndoing() ? "undoing"
                : manager.isRedoing()      ? "redoing"
                                           : "neither");
    };
    std::function<void()> undoStep;
    std::function<void()> redoStep;
    undoStep = [&] {
        record();
        manager.registerUndo(this, redoStep);
    };
    redoStep = [&] {
        record();
        manager.registerUndo(this, undoStep);
    };
    manager.registerUndo(this, undoStep);
    test::drainMainQueue();
    manager.undo();
    manager.redo();
    manager.undo();
    EXPECT_EQ(seen, (std::vector<std::string> { "undoing", "redoing", "undoing" }));
    EXPECT_FALSE(manager.isUndoing());
    EXPECT_FALSE(manager.isRedoing());
    EXPECT_TRUE(manager.canRedo());
}

TEST_F(UndoManagerTest, NewWorkClearsRedo)
{
    document.add("a");
    test::drainMainQueue();
    manager.undo();
    EXPECT_TRUE(manager.canRedo());
    document.add("b");
    test::drainMainQueue();
    EXPECT_FALSE(manager.canRedo());
}

TEST_F(UndoManagerTest, RemovingTheActionsOfOneTarget)
{
    Document other { manager };
    document.add("a");
    other.add("x");
    test::drainMainQueue();
    other.add("y");
    test::drainMainQueue();

    manager.removeAllActions(&other);
    // The first step keeps only the document's action; the second step is gone.
    EXPECT_TRUE(manager.canUndo());
    manager.undo();
    EXPECT_TRUE(document.items.empty());
    EXPECT_EQ(other.items, (std::vector<std::string> { "x", "y" }));
    EXPECT_FALSE(manager.canUndo());

    manager.removeAllActions();
    EXPECT_FALSE(manager.canRedo());
}

TEST_F(UndoManagerTest, ChangesAreAnnouncedAndAPostedCloseOutlivesTheManager)
{
    int changes = 0;
    auto subscription = manager.changes().sink([&](const rx::Unit&) { ++changes; });
    document.add("a");
    test::drainMainQueue();
    EXPECT_GT(changes, 0);
    const int before = changes;
    manager.undo();
    EXPECT_GT(changes, before);

    {
        UndoManager shortLived;
        shortLived.registerUndo(this, [] {});
    }
    test::drainMainQueue(); // the close posted by the gone manager does nothing
}

} // namespace
} // namespace tidemark
