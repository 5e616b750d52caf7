#include "menubar/PopoverBanners.hpp"
#include "menubar/PopoverListRows.hpp"
#include "menubar/PopoverToolbarMenus.hpp"
#include "menubar/RemoveSelectedCommandView.hpp"
#include "platform/foundation/TestDates.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "support/TestMainQueue.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidemark {
namespace {

using testing::ElementsAre;

AnyReminder reminder(const std::string& id, std::optional<Date> due = std::nullopt,
    const std::string& title = "title")
{
    AnyReminder r;
    r.id = id;
    r.title = title;
    if (due) {
        setStartDate(r, dateByAdding(*due, -600));
        setDueDate(r, *due);
    }
    return r;
}

// An undoable action that registers its inverse when it runs, as every real one does.
void registerReversible(UndoManager& manager)
{
    manager.registerUndo(&manager, [&manager] { registerReversible(manager); });
}

const Date now = test::utc(2024, 6, 10, 10, 0);
Date in(double seconds)
{
    return dateByAdding(now, seconds);
}

std::vector<std::string> ids(const std::vector<AnyReminder>& reminders)
{
    std::vector<std::string> result;
    for (const auto& r : reminders)
        result.push_back(r.id);
    return result;
}

TEST(PopoverRemoveTitle, CountsTheRemindersUnlessAllOfAtLeastTwoGo)
{
    struct Case {
        std::size_t count;
        std::size_t total;
        const char* title;
    };
    const Case cases[] = {
        { 0, 0, "Remove 0 Reminders" },
        { 0, 3, "Remove 0 Reminders" },
        { 1, 1, "Remove 1 Reminder" }, // the only one: still counted
        { 2, 3, "Remove 2 Reminders" },
        { 3, 5, "Remove 3 Reminders" },
        { 2, 2, "Remove All" },
        { 3, 3, "Remove All" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(removeSelectedTitle(c.count, c.total), c.title) << c.count << " of " << c.total;
        const EditMenuContent content { c.count, c.total, true };
        EXPECT_EQ(content.title(), c.title);
    }
    EXPECT_FALSE((EditMenuContent { 1, 1, false }.isEnabled()));
}

class PopoverMenus : public testing::Test {
protected:
    PopoverToolbar::State state(std::set<std::string> selection, int items = 3)
    {
        PopoverToolbar::State s;
        s.itemCount = items;
        for (int i = 0; i < items; ++i) {
            const auto id = "r" + std::to_string(i);
            if (selection.contains(id))
                s.selectedItems.insert(reminder(id, in(60 * (i + 1))));
        }
        s.selectionCount = int(selection.size());
        s.selection = std::move(selection);
        return s;
    }
    void TearDown() override { test::drainMainQueue(); }
};

TEST_F(PopoverMenus, RemoveAndSelectAllFollowTheSelectionAndTheItems)
{
    struct Case {
        const char* name;
        std::set<std::string> selection;
        int items;
        std::string removeTitle;
        bool hasSelection;
        bool isNotEmpty;
    };
    const Case cases[] = {
        { "nothing selected", {}, 3, "Remove 0 Reminders", false, true },
        { "two of three", { "r0", "r1" }, 3, "Remove 2 Reminders", true, true },
        { "all three", { "r0", "r1", "r2" }, 3, "Remove All", true, true },
        { "the only one", { "r0" }, 1, "Remove 1 Reminder", true, true },
        { "no reminders", {}, 0, "Remove 0 Reminders", false, false },
        // Ids that no reminder has any more still count, as the selection says.
        { "stale ids", { "gone1", "gone2" }, 2, "Remove All", true, true },
    };
    for (const auto& c : cases) {
        const auto menu = popoverActionMenu(state(c.selection, c.items), nullptr);
        EXPECT_EQ(menu.removeTitle, c.removeTitle) << c.name;
        EXPECT_EQ(menu.hasSelection, c.hasSelection) << c.name;
        EXPECT_EQ(menu.isNotEmpty, c.isNotEmpty) << c.name;
        EXPECT_EQ(menu.selectAllTitle, "Select All");
    }
}

TEST_F(PopoverMenus, UndoAndRedoReadTheManagerAsItStandsNow)
{
    // Without a manager: nothing to undo, the plain titles.
    auto menu = popoverActionMenu(state({}), nullptr);
    EXPECT_EQ(menu.undoTitle, "Undo");
    EXPECT_EQ(menu.redoTitle, "Redo");
    EXPECT_FALSE(menu.canUndo);
    EXPECT_FALSE(menu.canRedo);

    UndoManager manager;
    manager.setGroupsByEvent(false);
    EXPECT_FALSE(popoverActionMenu(state({}), &manager).canUndo);
    registerReversible(manager);
    manager.setActionName("Remove");
    menu = popoverActionMenu(state({}), &manager);
    EXPECT_TRUE(menu.canUndo);
    EXPECT_FALSE(menu.canRedo);
    EXPECT_EQ(menu.undoTitle, "Undo Remove");
    EXPECT_EQ(menu.redoTitle, "Redo");

    manager.undo();
    menu = popoverActionMenu(state({}), &manager);
    EXPECT_FALSE(menu.canUndo);
    EXPECT_TRUE(menu.canRedo);
    EXPECT_EQ(menu.undoTitle, "Undo");
    EXPECT_EQ(menu.redoTitle, "Redo Remove");
}

TEST_F(PopoverMenus, TheMoreMenuNamesTheApplicationInQuit)
{
    const auto menu = popoverMoreMenu("Tidemark");
    EXPECT_EQ(menu.settingsTitle, "Settings…");
    EXPECT_EQ(menu.whatsNewTitle, "What's New");
    EXPECT_EQ(menu.helpTitle, "Help");
    EXPECT_EQ(menu.quitTitle, "Quit Tidemark");
}

TEST_F(PopoverMenus, RemoveArchivesTheStoredSelectedOrDeletesTheIds)
{
    auto s = state({ "r1", "gone" });
    s.removalMode = ReminderRemovalMode::archive;
    const PopoverToolbar::Action archiving = popoverRemoveSelectedAction(s);
    const auto* archive = caseOf<PopoverToolbar::Action::Archive>(archiving);
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->reminders.size(), 1u);
    EXPECT_EQ(archive->reminders.begin()->id, "r1");

    s.removalMode = ReminderRemovalMode::delete_;
    EXPECT_EQ(popoverRemoveSelectedAction(s),
        PopoverToolbar::Action(PopoverToolbar::Action::Delete { { "r1", "gone" } }));
}

TEST(PopoverContextMenu, RemovesTheWholeSelectionWhenThereIsOneElseTheRow)
{
    struct Case {
        const char* name;
        std::set<std::string> selection;
        std::string row;
        std::size_t selectionCount;
        std::set<std::string> targets;
        std::string title;
    };
    const Case cases[] = {
        { "nothing selected", {}, "a", 1, { "a" }, "Remove 1 Reminder" },
        { "the row selected", { "a" }, "a", 1, { "a" }, "Remove 1 Reminder" },
        { "three others selected", { "b", "c", "d" }, "a", 3, { "b", "c", "d" },
            "Remove 3 Reminders" },
        { "all of them", { "a", "b", "c", "d", "e" }, "a", 5, { "a", "b", "c", "d", "e" },
            "Remove All" },
    };
    for (const auto& c : cases) {
        const auto menu = popoverRowContextMenu(c.selection, c.row, 5);
        EXPECT_EQ(menu.content.selectionCount, c.selectionCount) << c.name;
        EXPECT_EQ(menu.content.itemCount, 5u) << c.name;
        EXPECT_EQ(menu.targets, c.targets) << c.name;
        EXPECT_EQ(menu.content.title(), c.title) << c.name;
        EXPECT_TRUE(menu.content.isEnabled()) << c.name;
    }
}

TEST(PopoverListRowsTest, AHeaderStandsBeforeEachSectionThatHasReminders)
{
    using Kind = PopoverListRow::Kind;
    using Section = PopoverListSection;
    EXPECT_TRUE(popoverListRows({}, {}).empty());
    EXPECT_THAT(popoverListRows({}, { reminder("p") }),
        ElementsAre(PopoverListRow { Kind::header, Section::past, "" },
            PopoverListRow { Kind::reminder, Section::past, "p" }));
    const auto rows = popoverListRows({ reminder("c1"), reminder("c2") }, { reminder("p") });
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].kind, Kind::header);
    EXPECT_EQ(rows[3], (PopoverListRow { Kind::header, Section::past, "" }));
    // Header keys never meet a reminder's, whatever its id.
    EXPECT_NE(popoverListRowKey(rows[0]),
        popoverListRowKey({ Kind::reminder, Section::current, "current" }));
    EXPECT_NE(popoverListRowKey(rows[0]),
        popoverListRowKey({ Kind::reminder, Section::current, "hcurrent" }));
}

TEST(PopoverListEditsTest, TurnOneListIntoTheOtherKeepingEveryKeptRow)
{
    using Kind = PopoverListEdit::Kind;
    struct Case {
        const char* name;
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        { "same", { "a", "b", "c" }, { "a", "b", "c" } },
        { "from nothing", {}, { "a", "b" } },
        { "to nothing", { "a", "b" }, {} },
        { "insert at the head", { "b", "c" }, { "a", "b", "c" } },
        { "insert a run in the middle", { "a", "d" }, { "a", "b", "c", "d" } },
        { "remove the middle", { "a", "b", "c", "d" }, { "a", "d" } },
        { "remove scattered", { "a", "b", "c", "d", "e" }, { "b", "d" } },
        { "one moves down", { "a", "b", "c", "d" }, { "b", "c", "a", "d" } },
        { "one moves up", { "a", "b", "c", "d" }, { "d", "a", "b", "c" } },
        { "reversed", { "a", "b", "c", "d", "e" }, { "e", "d", "c", "b", "a" } },
        // A reminder falls due: its section changes and the past section appears.
        { "into the past", { "hc", "r1", "r2", "r3" }, { "hc", "r2", "r3", "hp", "r1" } },
        { "everything changes", { "a", "b", "c", "x" }, { "y", "c", "z", "a" } },
    };
    for (const auto& c : cases) {
        const auto edits = popoverListEdits(c.before, c.after);
        // Play the edits on the list, inserting exactly the new keys.
        std::vector<std::string> inserted;
        for (const auto& key : c.after) {
            if (std::find(c.before.begin(), c.before.end(), key) == c.before.end())
                inserted.push_back(key);
        }
        std::vector<std::string> rows = c.before;
        std::size_t next = 0;
        applyPopoverListEdits(rows, edits, inserted, next);
        EXPECT_EQ(rows, c.after) << c.name;
        EXPECT_EQ(next, inserted.size()) << c.name;

        std::size_t removed = 0;
        for (const auto& edit : edits) {
            if (edit.kind == Kind::remove)
                removed += std::size_t(edit.count);
            if (edit.kind == Kind::move) {
                EXPECT_LT(edit.to, edit.row) << c.name << ": moves go up";
            }
        }
        std::size_t gone = 0;
        for (const auto& key : c.before)
            gone += std::find(c.after.begin(), c.after.end(), key) == c.after.end();
        EXPECT_EQ(removed, gone) << c.name << ": only keys that went are removed";
    }
    // Runs are announced as one step each.
    EXPECT_THAT(popoverListEdits({ "a", "d" }, { "a", "b", "c", "d" }),
        ElementsAre(PopoverListEdit { Kind::insert, 1, 2, 0 }));
    EXPECT_THAT(popoverListEdits({ "a", "b", "c", "d" }, { "a", "d" }),
        ElementsAre(PopoverListEdit { Kind::remove, 1, 2, 0 }));
    EXPECT_TRUE(popoverListEdits({ "a" }, { "a" }).empty());
}

TEST(PopoverListDueTimes, ARemindersFallingDueMovesToThePastAtItsDueTime)
{
    const std::vector<AnyReminder> current
        = { reminder("undated"), reminder("in10", in(10)), reminder("in20", in(20)) };
    const std::vector<AnyReminder> past = { reminder("ago5", in(-5)) };

    EXPECT_EQ(nextPopoverListTransition(current, now), in(10));
    EXPECT_EQ(nextPopoverListTransition({ reminder("undated") }, now), std::nullopt);

    struct Case {
        double seconds;
        std::vector<std::string> current;
        std::vector<std::string> past;
    };
    const Case cases[] = {
        { 0, { "undated", "in10", "in20" }, { "ago5" } },
        // Due exactly now: not past yet.
        { 10, { "undated", "in10", "in20" }, { "ago5" } },
        { 10.5, { "undated", "in20" }, { "in10", "ago5" } },
        // Both fell due: the most recently due stands first.
        { 25, { "undated" }, { "in20", "in10", "ago5" } },
    };
    for (const auto& c : cases) {
        const auto split = advancePopoverList(current, past, in(c.seconds));
        EXPECT_EQ(ids(split.currentItems), c.current) << c.seconds;
        EXPECT_EQ(ids(split.pastItems), c.past) << c.seconds;
    }
    // At 10.5 s the next transition is the second reminder's.
    const auto later = advancePopoverList(current, past, in(10.5));
    EXPECT_EQ(nextPopoverListTransition(later.currentItems, in(10.5)), in(20));
    for (const double seconds : { 0.0, 10.0, 10.5, 25.0 }) {
        const auto advanced = advancePopoverListAt(current, past, in(seconds));
        EXPECT_EQ(advanced.split, advancePopoverList(current, past, in(seconds))) << seconds;
        EXPECT_EQ(advanced.nextTransition,
            nextPopoverListTransition(advanced.split.currentItems, in(seconds)))
            << seconds;
    }
}

TEST(PopoverListFocus, TheRowLeftIsCommittedBeforeTheRowEnteredIsSelected)
{
    using Action = PopoverListContainerView::Action;
    const AnyReminder left = withTitle(reminder("a", in(60)), "typed");

    // From one title to another: commit, then the entered row alone (the commit emptied the
    // selection).
    EXPECT_THAT(popoverFocusChange(left, std::string("b"), { "a", "c" }),
        ElementsAre(Action(Action::Update { { left } }), Action(Action::Selection { { "b" } })));
    // Into a title from nowhere: the row joins the selection.
    EXPECT_THAT(popoverFocusChange(std::nullopt, std::string("b"), { "c" }),
        ElementsAre(Action(Action::Selection { { "b", "c" } })));
    // Out of a title to nowhere: the commit alone.
    EXPECT_THAT(popoverFocusChange(left, std::nullopt, { "a" }),
        ElementsAre(Action(Action::Update { { left } })));
    EXPECT_TRUE(popoverFocusChange(std::nullopt, std::nullopt, {}).empty());

    EXPECT_THAT(
        ids(replacingReminder({ reminder("a"), reminder("b") }, withTitle(reminder("b"), "x"))),
        ElementsAre("a", "b"));
}

TEST(PopoverListDividers, NoLineUnderTheLastRowASelectedRowOrAboveOne)
{
    EXPECT_TRUE(popoverRowShowsDivider(false, false, false));
    EXPECT_FALSE(popoverRowShowsDivider(true, false, false));
    EXPECT_FALSE(popoverRowShowsDivider(false, true, false));
    EXPECT_FALSE(popoverRowShowsDivider(false, false, true));
}

TEST(PopoverBannersTest, AClickRemovesTheBannerOnlyOnceItsAddressWasOpened)
{
    struct Case {
        const char* name;
        std::optional<std::string> address;
        bool opened;
        bool goes;
    };
    const Case cases[] = {
        { "opened", "https://example.org/review", true, true },
        { "nothing could open it", "https://example.org/review", false, false },
        { "no address", std::nullopt, false, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(popoverBannerGoesAfterAcceptance(c.address, c.opened), c.goes) << c.name;

    EXPECT_EQ(popoverBannerText(PopoverNotification::review, "Tidemark"),
        "Enjoying Tidemark? A short review helps a lot.");
    EXPECT_TRUE(
        dismissingPopoverBanner({ PopoverNotification::review }, PopoverNotification::review)
            .empty());
    EXPECT_THAT(sortedPopoverBanners({ PopoverNotification::review }),
        ElementsAre(PopoverNotification::review));
}

} // namespace
} // namespace tidemark
