#include "ConnectorsTestSupport.hpp"

#include "core/connectors/ScrollEntryConnectors.hpp"

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;

namespace {

class ScrollEntryConnectors : public ConnectorsTest {
protected:
    YoyoScrollFrontConnector connector() const { return { clock }; }
    static AppAction scrollCard(bool presented)
    {
        return AppAction::View { ViewAction::Yoyo {
            YoyoAction::Scroll { YoyoScrollAction::DataEntryIsPresented { presented } } } };
    }
};

using A = YoyoScrollFrontView::Action;

} // namespace

TEST_F(ScrollEntryConnectors, WithNoEntryTheCardShowsNowAZeroIntervalAndAZeroFrame)
{
    AppState state = initialState();
    const YoyoScrollFrontView::State mapped = connector().mapState(state);
    EXPECT_EQ(mapped.startDate, now());
    EXPECT_EQ(mapped.timeInterval, 0);
    EXPECT_EQ(mapped.reminder, std::nullopt);
    EXPECT_EQ(mapped.startFrame, Rect {});
    EXPECT_EQ(mapped.deltaTranslation, (Size { 0, 0 }));
    EXPECT_EQ(mapped.deltaCount, 0u);
    EXPECT_FALSE(mapped.isPresented);
    EXPECT_FALSE(mapped.dataEntryIsPresented);
    EXPECT_EQ(mapped.formatter, state.settings.general.relativeTimeFormatter);

    // "Now" moves with the clock while no entry is under way.
    clock->advance(5);
    EXPECT_EQ(connector().mapState(state).startDate, now());
}

TEST_F(ScrollEntryConnectors, AnEntryCarriesItsStartIntervalFrameAndTheSelectedList)
{
    struct Case {
        const char* name;
        std::optional<AnyList> selected;
        std::optional<std::string> listID;
    };
    const Case cases[] = {
        { "a selected list is the reminder's list", AnyList { "l", "List" }, "l" },
        { "without one the reminder has none", std::nullopt, std::nullopt },
    };
    for (const Case& c : cases) {
        AppState state = initialState();
        state.reminders.selectedList = c.selected;
        state.view.statusItem.scrollFrame = Rect(1400, 0, 56, 24);
        auto store = makeStore(state);
        store->dispatch(scrollCard(true));
        const Date start = now();
        clock->advance(30);
        for (int notch = 0; notch < 4; ++notch)
            store->dispatch(connector().mapAction(A::DeltaTranslation { { 0, 24 } }));
        const YoyoScrollFrontView::State mapped = connector().mapState(store->state());
        EXPECT_EQ(mapped.startDate, start) << c.name;
        EXPECT_EQ(mapped.timeInterval, 12) << c.name;
        ASSERT_TRUE(mapped.reminder) << c.name;
        EXPECT_EQ(mapped.reminder->listID, c.listID) << c.name;
        EXPECT_EQ(mapped.reminder->id, store->state().dataEntry.editing->id) << c.name;
        EXPECT_EQ(mapped.startFrame, Rect(1400, 0, 56, 24)) << c.name;
        EXPECT_EQ(mapped.deltaCount, 4u) << "equal deltas each count: " << c.name;
        EXPECT_TRUE(mapped.dataEntryIsPresented) << c.name;
    }
}

TEST_F(ScrollEntryConnectors, EachActionBecomesOneRootAction)
{
    const AnyReminder r = test::reminder("r", in(600));
    const struct {
        const char* name;
        A action;
        AppAction expected;
    } cases[] = {
        { "delta", A::DeltaTranslation { { 1, 24 } },
            AppAction::ScrollGesture { ScrollGestureAction::DeltaTranslation { Size { 1, 24 } } } },
        { "presented", A::IsPresented { true },
            AppAction::View { ViewAction::Yoyo {
                YoyoAction::Scroll { YoyoScrollAction::IsPresented { true } } } } },
        { "dismissed", A::IsPresented { false },
            AppAction::View { ViewAction::Yoyo {
                YoyoAction::Scroll { YoyoScrollAction::IsPresented { false } } } } },
        { "data entry", A::DataEntryIsPresented { true }, scrollCard(true) },
        { "reminder", A::Reminder { r }, AppAction::DataEntry { DataEntryAction::Editing { r } } },
        { "no reminder", A::Reminder { std::nullopt },
            AppAction::DataEntry { DataEntryAction::Editing { std::nullopt } } },
        { "save", A::Save { r }, test::createRequest({ r }) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(connector().mapAction(c.action), c.expected) << c.name;
}
