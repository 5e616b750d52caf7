// The reminder-list picker groups the lists by account and reports the user's pick; the sync
// pane offers the picker only while reminders live in the task lists, and sends only what the
// user changes.
#include "reminders/views/SyncSettingsPane.hpp"
#include "core/Store.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/ui/Environment.hpp"
#include "reminders/RemindersListPickerRows.hpp"
#include "reminders/views/RemindersListPicker.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"
#include "toolkit/FormStyle.hpp"

#include <QCheckBox>
#include <QStandardItemModel>

#include <gmock/gmock.h>

#include <variant>

namespace tidemark {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using Kind = RemindersListPickerRow::Kind;
using Sync = AppleRemindersConnectingView;

AnySource source(std::string id, std::string title, std::set<AnyList> lists)
{
    return { std::move(id), std::move(title), std::move(lists) };
}

// Listed out of display order on purpose: the picker sorts each account's lists by title,
// then identifier, and keeps the accounts in the order it is given.
const AnySource home = source("home", "Home", { { "h2", "Shopping" }, { "h1", "Chores" } });
const AnySource work = source("a-work", "Work", { { "w2", "Todo" }, { "w1", "Todo" } });
const AnySource empty = source("empty", "Empty", {});

std::vector<std::pair<Kind, std::string>> shape(const std::vector<RemindersListPickerRow>& rows)
{
    std::vector<std::pair<Kind, std::string>> out;
    for (const auto& row : rows)
        out.emplace_back(row.kind, row.kind == Kind::header ? row.title : row.list->id);
    return out;
}

TEST(RemindersListPickerRows, AccountsHeadTheirListsOnlyWhenThereAreSeveral)
{
    struct Case {
        const char* name;
        std::vector<AnySource> sources;
        std::vector<std::pair<Kind, std::string>> rows;
    };
    const Case cases[] = {
        { "none", {}, {} },
        { "one account: no heading", { home }, { { Kind::list, "h1" }, { Kind::list, "h2" } } },
        { "several, in the order given; equal titles by identifier", { home, work, empty },
            { { Kind::header, "Home" }, { Kind::list, "h1" }, { Kind::list, "h2" },
                { Kind::header, "Work" }, { Kind::list, "w1" }, { Kind::list, "w2" },
                { Kind::header, "Empty" } } },
        { "the other order", { work, home },
            { { Kind::header, "Work" }, { Kind::list, "w1" }, { Kind::list, "w2" },
                { Kind::header, "Home" }, { Kind::list, "h1" }, { Kind::list, "h2" } } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(shape(remindersListPickerRows(c.sources)), c.rows) << c.name;

    const auto rows = remindersListPickerRows({ home, work });
    EXPECT_EQ(remindersListPickerIndex(rows, AnyList { "w2", "Todo" }), 5u);
    EXPECT_EQ(remindersListPickerIndex(rows, std::nullopt), std::nullopt);
    EXPECT_EQ(remindersListPickerIndex(rows, AnyList { "w2", "Renamed" }), std::nullopt)
        << "a list is the same list only with the same title";
}

TEST(RemindersListPickerWidget, HeadingsCannotBeChosenAndAPickIsOnlyReported)
{
    RemindersListPicker picker;
    std::vector<AnyList> picked;
    picker.setChooseHandler([&](const AnyList& list) { picked.push_back(list); });
    picker.setSources({ home, work });
    picker.setSelectedList(AnyList { "h2", "Shopping" });

    auto* model = qobject_cast<QStandardItemModel*>(picker.model());
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->rowCount(), 6);
    for (int row : { 0, 3 }) {
        EXPECT_FALSE(model->item(row)->isEnabled()) << row;
        EXPECT_FALSE(model->item(row)->isSelectable()) << row;
    }
    EXPECT_EQ(model->item(3)->text(), QStringLiteral("Work"));
    EXPECT_EQ(model->item(4)->text(), QStringLiteral("Todo"));
    EXPECT_EQ(picker.currentIndex(), 2);

    // The user picks the second "Todo": reported, while the owner's list stays shown.
    Q_EMIT picker.activated(5);
    EXPECT_THAT(picked, ElementsAre(AnyList { "w2", "Todo" }));
    EXPECT_EQ(picker.currentIndex(), 2);
    Q_EMIT picker.activated(3);
    EXPECT_EQ(picked.size(), 1u) << "a heading chooses nothing";

    picker.setSelectedList(AnyList { "gone", "Gone" });
    EXPECT_EQ(picker.currentIndex(), -1) << "a list no row holds selects no row";
    picker.setSources({});
    EXPECT_EQ(model->rowCount(), 0);
}

TEST(RemindersListPickerWidget, IsAtMost200WideUnlessTheFormIsGrouped)
{
    QWidget form;
    auto* picker = new RemindersListPicker(&form);
    EXPECT_EQ(picker->maximumWidth(), RemindersListPicker::plainMaximumWidth);
    setEnvironmentValue(&form, formStyleKey, std::optional<FormStyle>(FormStyle::grouped));
    EXPECT_EQ(picker->maximumWidth(), QWIDGETSIZE_MAX);

    // Built first and put into a grouped form later, inside a pane of its own.
    QWidget grouped;
    setEnvironmentValue(&grouped, formStyleKey, std::optional<FormStyle>(FormStyle::grouped));
    auto* pane = new QWidget;
    auto* inner = new RemindersListPicker(pane);
    EXPECT_EQ(inner->maximumWidth(), RemindersListPicker::plainMaximumWidth);
    pane->setParent(&grouped);
    EXPECT_EQ(inner->maximumWidth(), QWIDGETSIZE_MAX);
}

// A store of the pane's state that also takes whole states from the test, standing for the
// settings window's or the onboarding's store; the pane's actions are recorded and applied.
struct PaneStores {
    using Input = std::variant<Sync::State, Sync::Action>;
    std::shared_ptr<std::vector<Sync::Action>> sent = std::make_shared<std::vector<Sync::Action>>();
    std::shared_ptr<Store<Sync::State, Input>> parent;
    std::shared_ptr<AppleRemindersSettingsStore> pane;

    explicit PaneStores(Sync::State initial)
    {
        auto log = sent;
        parent
            = Store<Sync::State, Input>::make(initial, [log](Sync::State& state, const Input& in) {
                  if (const auto* whole = std::get_if<Sync::State>(&in)) {
                      state = *whole;
                      return;
                  }
                  const auto& action = std::get<Sync::Action>(in);
                  log->push_back(action);
                  if (const auto* enabled = std::get_if<Sync::Action::IsEnabled>(&action))
                      state.isEnabled = enabled->isEnabled;
                  if (const auto* list = std::get_if<Sync::Action::SelectedList>(&action))
                      state.selectedList = list->list;
              });
        pane = parent->derived<Sync::State, Sync::Action>(
            [](const Sync::State& s) { return s; }, [](const Sync::Action& a) { return Input(a); });
    }

    void set(Sync::State state)
    {
        parent->dispatch(Input(std::move(state)));
        test::drainMainQueue();
    }
};

TEST(SyncSettingsPane, ThePickerIsOfferedOnlyWhileTheTaskListsAreInUse)
{
    const AnyList chores { "h1", "Chores" };
    struct Case {
        Sync::State state;
        bool pickerEnabled;
    };
    const Case cases[] = {
        { { false, std::nullopt, {} }, false },
        { { false, chores, { home } }, false },
        { { true, chores, { home } }, true },
        { { true, std::nullopt, {} }, true },
    };
    PaneStores stores({});
    SyncSettingsPane pane(stores.pane);
    for (const auto& c : cases) {
        stores.set(c.state);
        EXPECT_EQ(pane.toggle()->isChecked(), c.state.isEnabled);
        EXPECT_EQ(pane.picker()->isEnabled(), c.pickerEnabled) << c.state.isEnabled;
        EXPECT_EQ(pane.picker()->selectedList(), c.state.selectedList)
            << "the list stays shown while off";
        EXPECT_EQ(pane.picker()->count(), int(remindersListPickerRows(c.state.sources).size()));
    }
    EXPECT_THAT(*stores.sent, IsEmpty()) << "showing a state sends nothing";
}

TEST(SyncSettingsPane, TheUsersChangesSendOneActionEach)
{
    PaneStores stores({ false, std::nullopt, { home, work } });
    SyncSettingsPane pane(stores.pane);
    pane.toggle()->click();
    test::drainMainQueue();
    EXPECT_TRUE(pane.picker()->isEnabled());
    Q_EMIT pane.picker()->activated(5);
    test::drainMainQueue();
    pane.toggle()->click();
    test::drainMainQueue();

    using A = Sync::Action;
    EXPECT_THAT(*stores.sent,
        ElementsAre(A(A::IsEnabled { true }), A(A::SelectedList { AnyList { "w2", "Todo" } }),
            A(A::IsEnabled { false })));
    EXPECT_EQ(pane.picker()->currentIndex(), 5);
    EXPECT_FALSE(pane.picker()->isEnabled());
}

// On the main store, through the connector: the switch names the data source and the pick
// becomes the reminders slice's list.
TEST(SyncSettingsPane, OnTheMainStoreItEditsTheRemindersSlice)
{
    const Date now = dateFromTimeIntervalSince1970(1'750'000'000);
    auto store = AppStore::make(AppState::initial(now, Calendar("UTC")),
        test::rootReducer(std::make_shared<ManualClock>(now)));
    std::unique_ptr<QWidget> widget(makeSyncSettingsPane(store));
    auto& pane = dynamic_cast<SyncSettingsPane&>(*widget);
    EXPECT_FALSE(pane.picker()->isEnabled());

    pane.toggle()->click();
    test::drainMainQueue();
    EXPECT_EQ(store->state().reminders.services.dataSource, RemindersDataSource::appleReminders);
    ASSERT_TRUE(pane.picker()->isEnabled());
    // The task lists' accounts are read, as the storage middleware would.
    store->dispatch(actions::sourcesAction(RemindersSourcesAction::read(
        RemindersSourcesAction::ReadAction::success(std::set { home, work }))));
    test::drainMainQueue();
    // The set yields "a-work" first: the accounts come in its order.
    EXPECT_EQ(pane.picker()->itemText(0), QStringLiteral("Work"));
    Q_EMIT pane.picker()->activated(5);
    test::drainMainQueue();
    EXPECT_EQ(store->state().reminders.selectedList, (AnyList { "h2", "Shopping" }));
    EXPECT_EQ(pane.picker()->currentIndex(), 5);
}

} // namespace
} // namespace tidemark
