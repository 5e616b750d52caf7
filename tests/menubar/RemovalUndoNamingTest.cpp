#include "menubar/RemovalUndoNaming.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/reactive/Scheduler.hpp"
#include "support/TestMainQueue.hpp"

#include <gtest/gtest.h>

namespace tidemark {
namespace {

// An undoable action that registers its inverse when it runs, as every real one does.
void registerReversible(UndoManager& manager)
{
    manager.registerUndo(&manager, [&manager] { registerReversible(manager); });
}

// An undo manager with one older step, named as a data source names its steps.
class RemovalUndoNaming : public testing::Test {
protected:
    void SetUp() override
    {
        registerReversible(*m_manager);
        m_manager->setActionName("Older");
        test::drainMainQueue(); // the event group closes: the older step stands
    }
    void TearDown() override { test::drainMainQueue(); }

    // What the local store does: registers while the request is dispatched.
    std::function<void()> registersAtOnce()
    {
        return [this] {
            registerReversible(*m_manager);
            m_manager->setActionName("Update Reminder");
        };
    }
    // What the calendar task lists do: register after the write, on a later turn.
    std::function<void()> registersLater()
    {
        return [this] {
            rx::mainQueue().post([this] {
                registerReversible(*m_manager);
                m_manager->setActionName("Delete Reminder");
            });
        };
    }

    std::shared_ptr<UndoManager> m_manager = std::make_shared<UndoManager>();
    RemovalUndoNamer m_namer;
};

TEST_F(RemovalUndoNaming, AStepRegisteredDuringTheRequestIsNamedAtOnce)
{
    m_namer.perform(m_manager, "Remove", true, registersAtOnce());
    EXPECT_FALSE(m_namer.isWaiting());
    test::drainMainQueue();
    EXPECT_EQ(m_manager->undoActionName(), "Remove");
    m_manager->undo();
    EXPECT_EQ(m_manager->undoActionName(), "Older");
}

TEST_F(RemovalUndoNaming, AStepRegisteredAfterTheWriteIsNamedWhenItComes)
{
    m_namer.perform(m_manager, "Remove", true, registersLater());
    EXPECT_TRUE(m_namer.isWaiting());
    EXPECT_EQ(m_manager->undoActionName(), "Older"); // not renamed in the meantime
    test::drainMainQueue();
    EXPECT_FALSE(m_namer.isWaiting());
    EXPECT_EQ(m_manager->undoActionName(), "Remove");
    m_manager->undo();
    EXPECT_EQ(m_manager->undoActionName(), "Older");
    EXPECT_EQ(m_manager->redoActionName(), "Remove");
}

TEST_F(RemovalUndoNaming, ARemovalThatRegistersNothingNamesNothing)
{
    // An empty archive: nothing can be registered.
    m_namer.perform(m_manager, "Remove", false, [] {});
    EXPECT_FALSE(m_namer.isWaiting());
    EXPECT_EQ(m_manager->undoActionName(), "Older");

    // A request answered without a step (the reminders were gone): a later step of
    // something else keeps its own name.
    m_namer.perform(m_manager, "Remove", true, [] {});
    EXPECT_TRUE(m_namer.isWaiting());
    m_namer.requestAnswered();
    registersAtOnce()();
    test::drainMainQueue();
    EXPECT_EQ(m_manager->undoActionName(), "Update Reminder");
}

TEST_F(RemovalUndoNaming, UndoAndRedoAreNotTakenForTheRemoval)
{
    m_namer.perform(m_manager, "Remove", true, [] {});
    m_manager->undo(); // takes back "Older"; the redo step it makes is not the removal's
    EXPECT_TRUE(m_namer.isWaiting());
    EXPECT_EQ(m_manager->redoActionName(), "Older");
    registersLater()();
    test::drainMainQueue();
    EXPECT_EQ(m_manager->undoActionName(), "Remove");
}

TEST_F(RemovalUndoNaming, WithoutAManagerTheRequestIsStillSent)
{
    int sent = 0;
    m_namer.perform(nullptr, "Remove", true, [&sent] { ++sent; });
    EXPECT_EQ(sent, 1);
    EXPECT_FALSE(m_namer.isWaiting());
}

} // namespace
} // namespace tidemark
