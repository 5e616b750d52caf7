#include "core/RelativeTimeFormatter.hpp"
#include "core/connectors/MenuBarConnectors.hpp"
#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "menubar/views/PopoverBannersView.hpp"
#include "menubar/views/PopoverContainerView.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "menubar/views/PopoverListContainerWidget.hpp"
#include "menubar/views/PopoverListModel.hpp"
#include "menubar/views/PopoverListView.hpp"
#include "menubar/views/PopoverPanelContent.hpp"
#include "menubar/views/PopoverToolbarView.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/UndoManager.hpp"
#include "platform/ui/ColorScheme.hpp"
#include "platform/ui/Environment.hpp"
#include "support/TestMainQueue.hpp"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tidemark {
namespace {

const Date now = dateFromTimeIntervalSince1970(1718012460);

Date in(double seconds)
{
    return dateByAdding(now, seconds);
}

// A reminder due `due` seconds from now, set `length` seconds before it is due.
AnyReminder reminder(
    const std::string& id, double due, const std::string& title = "title", double length = 600)
{
    AnyReminder r;
    r.id = id;
    r.title = title;
    setStartDate(r, in(due - length));
    setDueDate(r, in(due));
    return r;
}

std::vector<std::string> idsOf(const std::vector<AnyReminder>& reminders)
{
    std::vector<std::string> ids;
    for (const auto& r : reminders)
        ids.push_back(r.id);
    return ids;
}

// An undoable step that registers its inverse when it runs, as every real one does.
void registerReversible(UndoManager& manager)
{
    manager.registerUndo(&manager, [&manager] { registerReversible(manager); });
}

AppAction setUndoManager(std::shared_ptr<UndoManager> manager)
{
    return AppAction::UndoManager { UndoManagerAction::SetManager { std::move(manager) } };
}

// The main store over the root reducer, its clock standing still, with every action it is
// sent written down, and an optional stand-in for a data source.
class PopoverViews : public testing::Test {
protected:
    void makeStore(const std::vector<AnyReminder>& reminders,
        ReminderRemovalMode mode = ReminderRemovalMode::delete_,
        std::function<void(const AppAction&)> dataSource = {})
    {
        AppState state = AppState::initial(now, Calendar("UTC"));
        for (const auto& r : reminders)
            state.remindersStore.items.value.insert(r);
        state.reminders.removalMode = mode;
        state.view.popover.isPresented = true;
        m_store = AppStore::make(std::move(state),
            [environment = ReducerEnvironment { m_clock }](
                AppState& s, const AppAction& action) { appReducer(s, action, environment); },
            { [this, dataSource](const AppState&,
                  const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                m_sent.push_back(action);
                if (dataSource)
                    dataSource(action);
                return std::nullopt;
            } });
    }

    // The root actions sent to the main store of the kind `Case`, oldest first.
    template <class Case> std::vector<AppAction> sent() const
    {
        std::vector<AppAction> found;
        for (const auto& action : m_sent) {
            if (caseOf<Case>(action))
                found.push_back(action);
        }
        return found;
    }

    static void show(QWidget* widget, QSize size = QSize(230, 306))
    {
        widget->resize(size);
        widget->show();
        QCoreApplication::processEvents();
    }

    void TearDown() override
    {
        test::drainMainQueue();
        QCoreApplication::processEvents();
    }

    std::shared_ptr<ManualClock> m_clock = std::make_shared<ManualClock>(now);
    AppStoreRef m_store;
    std::vector<AppAction> m_sent;
};

// --- Undo and redo in the header ---------------------------------------------------------

TEST_F(PopoverViews, UndoAndRedoFollowEachNewManagerAndEachOfItsChanges)
{
    makeStore({ reminder("a", 60) });
    auto toolbar = PopoverToolbarDelegate::make(m_store);
    PopoverHeaderView header(toolbar->bridge.get());
    QAction* undo = header.actionMenu()->actions().at(0);
    QAction* redo = header.actionMenu()->actions().at(1);
    auto entries = [&] {
        return std::make_tuple(undo->text().toStdString(), undo->isEnabled(),
            redo->text().toStdString(), redo->isEnabled());
    };
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo", false));

    // A manager that already holds a step: read when it arrives, before any change of it.
    auto first = std::make_shared<UndoManager>();
    first->setGroupsByEvent(false);
    registerReversible(*first);
    first->setActionName("Remove");
    m_store->dispatch(setUndoManager(first));
    test::drainMainQueue();
    EXPECT_EQ(entries(), std::make_tuple("Undo Remove", true, "Redo", false));

    // Its own changes, whoever makes them.
    first->undo();
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo Remove", true));
    first->redo();
    first->setActionName("Edit Title");
    EXPECT_EQ(entries(), std::make_tuple("Undo Edit Title", true, "Redo", false));

    // Another manager, empty: nothing to undo; the first one's changes are no longer heard.
    auto second = std::make_shared<UndoManager>();
    m_store->dispatch(setUndoManager(second));
    test::drainMainQueue();
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo", false));
    first->undo();
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo", false));

    // No manager at all: disabled, with the plain titles.
    m_store->dispatch(setUndoManager(first));
    test::drainMainQueue();
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo Edit Title", true));
    m_store->dispatch(setUndoManager(nullptr));
    test::drainMainQueue();
    EXPECT_EQ(entries(), std::make_tuple("Undo", false, "Redo", false));
}

// --- Removal from the list ---------------------------------------------------------------

TEST_F(PopoverViews, ARemovalNamesOnlyTheStepItRegistered)
{
    struct Case {
        const char* name;
        ReminderRemovalMode mode;
        std::set<std::string> ids;
        bool sourceRegisters;
        std::string undoName;
    };
    const Case cases[] = {
        { "deleted, step registered", ReminderRemovalMode::delete_, { "a" }, true, "Remove" },
        { "archived, step registered", ReminderRemovalMode::archive, { "a" }, true, "Remove" },
        // The data source registered nothing (the write failed, the reminder was gone): the
        // older step keeps its name.
        { "deleted, nothing registered", ReminderRemovalMode::delete_, { "a" }, false, "Older" },
        // Archiving ids that match nothing sends an empty update: nothing to name.
        { "empty archive", ReminderRemovalMode::archive, { "gone" }, true, "Older" },
    };
    for (const auto& c : cases) {
        auto manager = std::make_shared<UndoManager>();
        registerReversible(*manager);
        manager->setActionName("Older");
        test::drainMainQueue();
        makeStore({ reminder("a", 60) }, c.mode, [&c, manager](const AppAction& action) {
            const auto* store = caseOf<AppAction::RemindersStore>(action);
            if (!c.sourceRegisters || !store)
                return;
            const auto* items = caseOf<RemindersStoreAction::Items>(store->action);
            if (!items)
                return;
            const auto* update = items->action.asUpdate();
            if (update && update->asSubmit() && update->asSubmit()->input.empty())
                return;
            registerReversible(*manager);
            manager->setActionName("Write Reminders");
        });
        QWidget window;
        setEnvironmentValue<std::shared_ptr<UndoManager>>(&window, undoManagerKey, manager);
        auto* list = new PopoverListContainerWidget(
            m_store->connect(Connectors::PopoverListConnector { m_clock }), m_clock, &window);
        list->remove(c.ids);
        test::drainMainQueue();
        EXPECT_EQ(manager->undoActionName(), c.undoName) << c.name;
    }
}

// --- Rows --------------------------------------------------------------------------------

TEST_F(PopoverViews, ARowCountsTheTimeLeftFromItsFirstPainting)
{
    // Set 30 minutes long, 20 minutes ago, so due in 10: before any tick the row says what is
    // left, not the whole interval.
    PopoverListView list(m_clock);
    list.setFormatter(sharedRelativeTimeFormatter());
    list.setLists({ reminder("a", 600, "Tea", 1800) }, {});
    const auto line = list.rowDelegate()->relativeLine(
        *list.listModel()->reminder(list.listModel()->rowOf("a")), m_clock->now());
    ASSERT_TRUE(line);
    EXPECT_EQ(line->text(), "in 10 min");
    const QString name = list.listModel()
                             ->index(list.listModel()->rowOf("a"))
                             .data(Qt::AccessibleTextRole)
                             .toString();
    EXPECT_THAT(name.toStdString(), testing::HasSubstr("in 10 min"));
    EXPECT_THAT(name.toStdString(), testing::HasSubstr("Tea"));
}

TEST_F(PopoverViews, AReminderFallingDueWhileTheListIsOpenMovesUnderPastAtItsDueTime)
{
    PopoverListView list(m_clock);
    show(&list);
    list.setLists({ reminder("soon", 0.05), reminder("later", 3600) }, { reminder("old", -60) });
    const PopoverListModel* model = list.listModel();
    EXPECT_EQ(model->section(model->rowOf("soon")), PopoverListSection::current);
    m_clock->advance(1); // its due time passes; no new state comes
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return model->section(model->rowOf("soon")) == PopoverListSection::past; }, 20000));
    EXPECT_THAT(idsOf(model->currentItems()), testing::ElementsAre("later"));
    EXPECT_THAT(idsOf(model->pastItems()), testing::ElementsAre("soon", "old"));
}

TEST_F(PopoverViews, SharedListsAreKeptAsTheyAreYetStillAdvanceAndGiveWayToEqualOnes)
{
    auto shared = [](std::vector<AnyReminder> items) {
        return std::make_shared<const std::vector<AnyReminder>>(std::move(items));
    };
    PopoverListView list(m_clock);
    const PopoverListModel* model = list.listModel();
    const auto current = shared({ reminder("soon", 0.05), reminder("later", 3600) });
    const auto past = shared({ reminder("old", -60) });
    list.setLists(current, past);
    EXPECT_EQ(model->sharedCurrentItems(), current) << "not copied";

    // The same lists again once a due time has passed, before the timer could move it.
    m_clock->advance(1);
    list.setLists(current, past);
    EXPECT_THAT(idsOf(model->currentItems()), testing::ElementsAre("later"));
    EXPECT_THAT(idsOf(model->pastItems()), testing::ElementsAre("soon", "old"));

    // Equal lists in new objects: nothing to tell, and the old ones are no longer held.
    std::weak_ptr<const std::vector<AnyReminder>> before = model->sharedCurrentItems();
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);
    list.setLists(shared(model->currentItems()), shared(model->pastItems()));
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(before.expired());
}

TEST_F(PopoverViews, NewListsKeepTheSelectionTheOpenEditorAndTheScrollPosition)
{
    std::vector<AnyReminder> current;
    for (int i = 0; i < 40; ++i)
        current.push_back(reminder("r" + std::to_string(i), 60.0 * (i + 1)));
    PopoverListView list(m_clock);
    show(&list);
    list.setLists(current, {});
    PopoverListModel* model = list.listModel();
    list.setSelectedIDs({ "r20" });
    list.editTitle(model->rowOf("r22"));
    QLineEdit* editor = list.titleEditor();
    ASSERT_TRUE(editor);
    QTest::keyClicks(editor, " typed");
    list.scrollTo(model->index(model->rowOf("r25")), QAbstractItemView::PositionAtTop);
    QCoreApplication::processEvents();
    const int scrolled = list.verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(model, &QAbstractItemModel::dataChanged);

    // One goes below, one comes at the end, one changes its title, two swap, one falls due.
    std::vector<AnyReminder> next = current;
    next.erase(next.begin() + 35);
    next.push_back(reminder("new", 7200));
    next[30].title = "renamed";
    std::swap(next[31], next[32]);
    AnyReminder due = next[38];
    next.erase(next.begin() + 38);
    list.setLists(next, { due });
    QCoreApplication::processEvents();

    EXPECT_EQ(resets.count(), 0);
    EXPECT_GE(changes.count(), 1);
    EXPECT_EQ(list.selectedIDs(), std::set<std::string> { "r20" });
    EXPECT_EQ(list.titleEditor(), editor);
    ASSERT_TRUE(list.editedReminder());
    EXPECT_EQ(list.editedReminder()->id, "r22");
    EXPECT_EQ(list.editedReminder()->title, "title typed");
    EXPECT_EQ(list.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(idsOf(model->currentItems()), idsOf(next));
    EXPECT_THAT(idsOf(model->pastItems()), testing::ElementsAre(due.id));

    // The same rows with one title changed: that row alone is told, nothing moves.
    QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    changes.clear();
    next[3].title = "typed elsewhere";
    list.setLists(next, { due });
    EXPECT_EQ(inserted.count() + removed.count() + resets.count(), 0);
    ASSERT_EQ(changes.count(), 1);
    const int row = model->rowOf(next[3].id);
    EXPECT_EQ(changes.front().at(0).toModelIndex().row(), row);
    EXPECT_EQ(changes.front().at(1).toModelIndex().row(), row);
    EXPECT_EQ(model->reminder(row)->title, "typed elsewhere");
    EXPECT_EQ(list.selectedIDs(), std::set<std::string> { "r20" });
    EXPECT_EQ(list.titleEditor(), editor);
}

TEST_F(PopoverViews, FocusMovingToAnotherTitleCommitsTheRowLeftThenSelectsTheRowEntered)
{
    makeStore({ reminder("a", 600, "Tea"), reminder("b", 1200, "Bread") });
    auto* container = new PopoverListContainerWidget(
        m_store->connect(Connectors::PopoverListConnector { m_clock }), m_clock);
    std::unique_ptr<QWidget> owner(container);
    show(container);
    test::drainMainQueue();
    PopoverListView* list = container->list();
    list->editTitle(list->listModel()->rowOf("a"));
    ASSERT_TRUE(list->titleEditor());
    QTest::keyClicks(list->titleEditor(), " time");
    test::drainMainQueue();
    m_sent.clear();

    list->editTitle(list->listModel()->rowOf("b"));
    test::drainMainQueue();
    const auto storeActions = sent<AppAction::RemindersStore>();
    const auto remindersActions = sent<AppAction::Reminders>();
    ASSERT_EQ(storeActions.size(), 1u);
    ASSERT_FALSE(remindersActions.empty());
    // The commit came first, the selection after it.
    const auto commit = std::find(m_sent.begin(), m_sent.end(), storeActions.front());
    const auto selection = std::find(m_sent.begin(), m_sent.end(), remindersActions.back());
    EXPECT_LT(commit, selection);
    const auto* items = caseOf<RemindersStoreAction::Items>(
        caseOf<AppAction::RemindersStore>(storeActions.front())->action);
    ASSERT_TRUE(items && items->action.asUpdate() && items->action.asUpdate()->asSubmit());
    const auto& committed = items->action.asUpdate()->asSubmit()->input;
    ASSERT_EQ(committed.size(), 1u);
    EXPECT_EQ(committed.begin()->title, "Tea time");
    EXPECT_EQ(m_store->state().reminders.selection, std::set<std::string> { "b" });
    EXPECT_TRUE(list->selectedIDs().contains("b"));
}

// --- Banners -----------------------------------------------------------------------------

TEST_F(PopoverViews, AClickedBannerGoesOnlyWhenItsAddressWasOpened)
{
    struct Case {
        const char* name;
        std::optional<std::string> address;
        bool opens;
        bool stays;
    };
    const Case cases[] = {
        { "opened", "https://example.org/review", true, false },
        { "nothing could open it", "https://example.org/review", false, true },
        { "no address", std::nullopt, true, true },
    };
    for (const auto& c : cases) {
        makeStore({});
        m_store->dispatch(
            AppAction::View { ViewAction::Popover { PopoverAction::PresentedNotification {
                PresentedNotificationAction::Insert { PopoverNotification::review } } } });
        std::vector<std::string> opened;
        QWidget window;
        setEnvironmentValue(&window, openURLKey, OpenURLAction([&](const std::string& url) {
            opened.push_back(url);
            return c.opens;
        }));
        auto* banners = new PopoverBannersView(
            m_store->connect(Connectors::PopoverNotificationsConnector {}),
            [&c] { return c.address; }, &window);
        show(&window);
        banners->setGeometry(0, 0, 230, banners->sizeHint().height());
        ASSERT_EQ(banners->rows().size(), 1u) << c.name;
        QWidget* row = banners->rows().front();
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, row->height() / 2));
        test::drainMainQueue();
        EXPECT_EQ(m_store->state().view.popover.presentedNotification.contains(
                      PopoverNotification::review),
            c.stays)
            << c.name;
        EXPECT_EQ(opened.size(), c.address ? 1u : 0u) << c.name;
    }
}

// --- The panel's keys, names and colours -------------------------------------------------

class PopoverPanelKeys : public PopoverViews {
protected:
    void SetUp() override
    {
        // Each set now: each row's time left is its whole interval.
        makeStore({ reminder("a", 600, "Tea", 600), reminder("b", 1200, "Bread", 1200),
            reminder("c", 1800, "Post", 1800) });
        m_content = std::make_unique<PopoverPanelContent>(
            m_store, PopoverToolbarDelegate::make(m_store), m_clock);
        show(m_content.get(), m_content->sizeHint());
        m_content->activateWindow();
        QApplication::setActiveWindow(m_content.get());
        test::drainMainQueue();
        m_list = m_content->container()->popoverView()->listContainer()->list();
        m_list->setFocus(Qt::OtherFocusReason);
    }
    void TearDown() override
    {
        m_content.reset();
        PopoverViews::TearDown();
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : m_list;
        QTest::keyClick(target, Qt::Key(key), modifiers);
        test::drainMainQueue();
    }
    const std::set<std::string>& selection() const { return m_store->state().reminders.selection; }

    std::unique_ptr<PopoverPanelContent> m_content;
    PopoverListView* m_list = nullptr;
};

TEST_F(PopoverPanelKeys, ArrowsSelectAllAndRemovalUndoRedoAndEscape)
{
    using Ids = std::set<std::string>;
    m_list->setCurrentIndex(m_list->listModel()->index(m_list->listModel()->rowOf("a")));
    test::drainMainQueue();
    ASSERT_EQ(selection(), Ids { "a" });

    struct Step {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        Ids selection;
    };
    const Step steps[] = {
        { "down", Qt::Key_Down, Qt::NoModifier, { "b" } },
        { "shift down extends", Qt::Key_Down, Qt::ShiftModifier, { "b", "c" } },
        { "ctrl up moves without selecting", Qt::Key_Up, Qt::ControlModifier, { "b", "c" } },
        { "up", Qt::Key_Up, Qt::NoModifier, { "a" } },
        { "ctrl a", Qt::Key_A, Qt::ControlModifier, { "a", "b", "c" } },
    };
    for (const auto& step : steps) {
        press(step.key, step.modifiers);
        EXPECT_EQ(selection(), step.selection) << step.name;
    }

    const auto deletion = [](Ids ids) {
        return Connectors::PopoverToolbarConnector {}.mapAction(
            PopoverToolbar::Action::Delete { std::move(ids) });
    };
    press(Qt::Key_Delete);
    ASSERT_FALSE(sent<AppAction::RemindersStore>().empty());
    EXPECT_EQ(sent<AppAction::RemindersStore>().back(), deletion({ "a", "b", "c" }));
    m_store->dispatch(AppAction::Reminders { RemindersAction::Selection { { "b" } } });
    test::drainMainQueue();
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(sent<AppAction::RemindersStore>().back(), deletion({ "b" }));
    // Nothing selected: nothing to remove.
    const std::size_t removals = sent<AppAction::RemindersStore>().size();
    press(Qt::Key_Delete);
    EXPECT_EQ(sent<AppAction::RemindersStore>().size(), removals);

    m_sent.clear();
    press(Qt::Key_Z, Qt::ControlModifier);
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_THAT(sent<AppAction::UndoManager>(),
        testing::ElementsAre(AppAction(AppAction::UndoManager { UndoManagerAction::Undo {} }),
            AppAction(AppAction::UndoManager { UndoManagerAction::Redo {} })));

    press(Qt::Key_Escape);
    EXPECT_FALSE(m_store->state().view.popover.isPresented);
}

TEST_F(PopoverPanelKeys, TabReachesTheHeaderAndComesBackToTheList)
{
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_list->hasFocus(); }, 10000));
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), m_content->header()->actionButton());
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), m_content->header()->moreButton());
    press(Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), m_list);
}

TEST_F(PopoverPanelKeys, EveryPartHasAnAccessibleName)
{
    auto nameOf = [](QObject* object) {
        QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(object);
        return interface ? interface->text(QAccessible::Name).toStdString() : std::string();
    };
    EXPECT_EQ(nameOf(m_list), "All Reminders");
    PopoverHeaderView* header = m_content->header();
    EXPECT_EQ(nameOf(header->actionButton()), "Actions");
    EXPECT_EQ(nameOf(header->moreButton()), "More");
    for (QMenu* menu : { header->actionMenu(), header->moreMenu() }) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                EXPECT_FALSE(action->text().isEmpty());
        }
    }

    // Each row reads its title and the time left.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(m_list);
    ASSERT_TRUE(list);
    std::vector<std::string> rows;
    for (int i = 0; i < list->childCount(); ++i) {
        if (QAccessibleInterface* child = list->child(i))
            rows.push_back(child->text(QAccessible::Name).toStdString());
    }
    EXPECT_THAT(rows, testing::Contains(testing::StartsWith("Tea, in 10 min")));
    EXPECT_THAT(rows, testing::Contains(testing::StartsWith("Bread, in 20 min")));
}

TEST_F(PopoverPanelKeys, ThePanelFollowsTheLightOrDarkPaletteAsItChanges)
{
    m_content->setTranslucent(false);
    auto background = [this] {
        QImage image(m_content->size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        m_content->render(&image);
        return image.pixelColor(m_content->width() / 2, m_content->height() - 3);
    };
    m_content->setPalette(lightPalette());
    EXPECT_GT(background().lightness(), 160);
    m_content->setPalette(darkPalette());
    EXPECT_LT(background().lightness(), 100);
    EXPECT_EQ(colorScheme(m_list), ColorScheme::dark);

    // A row's context menu draws its glyph in the text colour of the palette it has now.
    std::unique_ptr<QMenu> menu(m_list->makeContextMenu(m_list->listModel()->rowOf("a")));
    ASSERT_TRUE(menu);
    auto glyphLightness = [&menu] {
        const QImage image = menu->actions().front()->icon().pixmap(32, 32).toImage();
        int lightness = -1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor color = image.pixelColor(x, y);
                if (color.alpha() > 200)
                    lightness = std::max(lightness, color.lightness());
            }
        }
        return lightness;
    };
    menu->setPalette(lightPalette());
    EXPECT_LT(glyphLightness(), 100);
    menu->setPalette(darkPalette());
    EXPECT_GT(glyphLightness(), 160);
}

} // namespace
} // namespace tidemark
