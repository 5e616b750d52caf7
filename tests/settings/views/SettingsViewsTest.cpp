// The settings window and its panes on a real main store (the root reducer, no effects): what
// each control sends, what it shows once the store has changed, and what the window tells.
#include "core/connectors/SettingsConnectors.hpp"
#include "core/state/AppReducer.hpp"
#include "core/state/AppState.hpp"
#include "menubar/views/PopoverEnvironment.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "platform/foundation/TestDates.hpp"
#include "settings/views/GeneralSettingsView.hpp"
#include "settings/views/OtherSettingsView.hpp"
#include "settings/views/SettingsForm.hpp"
#include "settings/views/SettingsWindow.hpp"
#include "support/TestMainQueue.hpp"
#include "toolkit/Availability.hpp"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimeEdit>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace tidemark {
namespace {

using test::utc;

// A main store over the root reducer that records every action it is sent.
class SettingsViewsTest : public testing::Test {
protected:
    void SetUp() override
    {
        AppState state = AppState::initial(utc(2024, 6, 10, 10, 0), Calendar("UTC"));
        state.update.canCheck = true;
        auto clock = std::make_shared<ManualClock>(utc(2024, 6, 10, 10, 0));
        store = AppStore::make(std::move(state),
            [reducing = ReducerEnvironment { clock }](
                AppState& s, const AppAction& a) { appReducer(s, a, reducing); },
            { [this](const AppState&,
                  const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
                sent.push_back(action);
                return rx::Empty<AppAction>();
            } });
    }

    void TearDown() override { settle(); }

    // The derived stores take the new state on the next turns of the main queue.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            test::drainMainQueue();
            QApplication::processEvents();
        }
    }

    std::unique_ptr<SettingsContainerView> container()
    {
        auto view = std::make_unique<SettingsContainerView>(
            store, SettingsPaneFactory {}, Calendar("UTC"));
        view->show();
        view->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(view.get()));
        settle();
        sent.clear();
        return view;
    }

    template <class Case> int countOf() const
    {
        int count = 0;
        for (const AppAction& action : sent) {
            if (auto settings = caseOf<AppAction::Settings>(action);
                settings && caseOf<Case>(settings->action))
                ++count;
        }
        return count;
    }

    AppStoreRef store;
    std::vector<AppAction> sent;
};

TEST_F(SettingsViewsTest, EachPickSendsOneSelectedTabAndTheTabIsKeptForTheNextOpening)
{
    auto view = container();
    QTabWidget* tabs = view->tabWidget();
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->currentIndex(), 0) << "the first opening shows the general tab";

    // A click on the tab bar, then the keys.
    const QRect syncTab = tabs->tabBar()->tabRect(2);
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, syncTab.center());
    settle();
    EXPECT_EQ(countOf<SettingsAction::SelectedTab>(), 1);
    EXPECT_EQ(store->state().settings.selectedTab, SettingsTabs::sync);
    EXPECT_EQ(tabs->currentIndex(), 2);

    QTest::keyClick(tabs, Qt::Key_PageDown, Qt::ControlModifier);
    settle();
    EXPECT_EQ(store->state().settings.selectedTab, SettingsTabs::other);
    QTest::keyClick(tabs, Qt::Key_PageDown, Qt::ControlModifier);
    settle();
    EXPECT_EQ(store->state().settings.selectedTab, SettingsTabs::general) << "round again";
    QTest::keyClick(tabs, Qt::Key_PageUp, Qt::ControlModifier);
    settle();
    EXPECT_EQ(store->state().settings.selectedTab, SettingsTabs::other);
    EXPECT_EQ(countOf<SettingsAction::SelectedTab>(), 4) << "one per pick";
    EXPECT_EQ(tabs->currentIndex(), 3);

    // The tab view never changes the selection itself: a selection the store does not take
    // is not shown.
    auto fixed = AppStore::constant(store->state());
    SettingsContainerView refusing(fixed, {}, Calendar("UTC"));
    refusing.pickTab(SettingsTabs::general);
    EXPECT_EQ(refusing.tabWidget()->currentIndex(), 3);

    // Another opening shows the tab last picked; a change of the store from elsewhere shows.
    view.reset();
    auto again = container();
    EXPECT_EQ(again->tabWidget()->currentIndex(), 3);
    store->dispatch(
        AppAction::Settings { SettingsAction::SelectedTab { SettingsTabs::notifications } });
    settle();
    EXPECT_EQ(again->tabWidget()->currentIndex(), 1);
    EXPECT_EQ(countOf<SettingsAction::SelectedTab>(), 1) << "showing it sends nothing back";
}

TEST_F(SettingsViewsTest, TheWindowSaysItIsPresentedWhenKeyAndNotOnceWhenClosed)
{
    WindowRef window = makeSettingsWindow(store);
    settle();
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    settle();
    EXPECT_EQ(countOf<SettingsAction::IsPresented>(), 1);
    EXPECT_TRUE(store->state().settings.isPresented);

    // Another window taking the keyboard says nothing; coming back says presented again.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    settle();
    EXPECT_EQ(countOf<SettingsAction::IsPresented>(), 1);
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    settle();
    EXPECT_EQ(countOf<SettingsAction::IsPresented>(), 2);

    // Ctrl+W closes; closing what is closed already says nothing more.
    sent.clear();
    QTest::keyClick(window.get(), Qt::Key_W, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(countOf<SettingsAction::IsPresented>(), 1);
    EXPECT_FALSE(store->state().settings.isPresented);
    window->close();
    settle();
    EXPECT_EQ(countOf<SettingsAction::IsPresented>(), 1);

    // Reused: shown again, Escape closes it the same way.
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    settle();
    sent.clear();
    QTest::keyClick(window.get(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(sent,
        std::vector<AppAction> {
            AppAction(AppAction::Settings { SettingsAction::IsPresented { false } }) });
}

TEST_F(SettingsViewsTest, RaisingTheWindowForThePopoverLeavesTheKeyboardWhereItIs)
{
    WindowRef window = makeSettingsWindow(store);
    window->makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QWidget popover;
    popover.show();
    popover.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&popover));
    settle();
    sent.clear();

    SettingsWindowHandle handle(window);
    EXPECT_TRUE(handle.isVisible());
    handle.orderFrontRegardless();
    settle();
    EXPECT_EQ(QApplication::activeWindow(), &popover);
    EXPECT_TRUE(sent.empty());

    // The handle does not keep the window: once the owner lets go, it reaches nothing.
    window.reset();
    settle();
    EXPECT_FALSE(handle.isVisible());
    handle.makeKeyAndOrderFront();
}

TEST_F(SettingsViewsTest, TheTitleIsTheNameAndVersionAndTheWindowFitsItsPane)
{
    auto view = container();
    EXPECT_EQ(view->title(), QStringLiteral("Tidemark 1.2.5 (125)"));
    EXPECT_GE(view->width(), 500);
    EXPECT_GE(view->height(), 310);
    const QSize general = view->size();
    view->pickTab(SettingsTabs::other);
    settle();
    EXPECT_NE(view->size(), general) << "the window takes the selected pane's size";
    EXPECT_GE(view->height(), 310);
}

TEST_F(SettingsViewsTest, EveryControlHasANameAndAMnemonic)
{
    auto view = container();
    const QTabBar* bar = view->tabWidget()->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        EXPECT_FALSE(bar->accessibleTabName(i).isEmpty()) << i;
        EXPECT_TRUE(bar->tabText(i).contains(QLatin1Char('&'))) << bar->tabText(i).toStdString();
    }
    EXPECT_FALSE(view->tabWidget()->accessibleName().isEmpty());
    int controls = 0;
    for (const SettingsTabs tab : { SettingsTabs::general, SettingsTabs::other }) {
        for (QWidget* control : view->pane(tab)->findChildren<QWidget*>()) {
            if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QAbstractSlider*>(control)
                && !qobject_cast<QTimeEdit*>(control))
                continue;
            ++controls;
            EXPECT_FALSE(control->accessibleName().isEmpty())
                << control->metaObject()->className() << " in tab " << int(tab);
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                EXPECT_TRUE(button->text().contains(QLatin1Char('&')))
                    << button->text().toStdString();
            }
        }
    }
    EXPECT_GE(controls, 12);

    Mnemonics mnemonics;
    EXPECT_EQ(mnemonics.mark(QStringLiteral("Show")), QStringLiteral("&Show"));
    EXPECT_EQ(mnemonics.mark(QStringLiteral("Sync")), QStringLiteral("S&ync"));
    EXPECT_EQ(mnemonics.mark(QStringLiteral("R & D")), QStringLiteral("&R && D"));
    EXPECT_EQ(mnemonics.mark(QStringLiteral("Sy")), QStringLiteral("Sy")) << "nothing left";
}

TEST_F(SettingsViewsTest, TheGeneralPaneSendsEachChangeAndShowsOnlyWhatTheStoreHolds)
{
    auto view = container();
    auto* general = static_cast<GeneralSettingsView*>(view->pane(SettingsTabs::general));

    // A switch shows the store's value: clicking sends the action, the store decides.
    general->openAtLoginToggle()->click();
    settle();
    EXPECT_TRUE(store->state().settings.general.openAtLogin);
    EXPECT_TRUE(general->openAtLoginToggle()->isChecked());
    auto fixed = AppStore::constant(store->state());
    GeneralSettingsView refusing(
        fixed->connect(Connectors::GeneralSettingsConnector {}), std::nullopt, Calendar("UTC"));
    refusing.openAtLoginToggle()->click();
    EXPECT_TRUE(refusing.openAtLoginToggle()->isChecked()) << "the store did not change";

    // The desktop's refusal shows under the switch until the next change.
    EXPECT_TRUE(general->openAtLoginFailure()->isHidden());
    store->dispatch(
        AppAction::Settings { SettingsAction::OpenAtLoginFailed { "no autostart folder" } });
    settle();
    EXPECT_FALSE(general->openAtLoginFailure()->isHidden());
    EXPECT_EQ(general->openAtLoginFailure()->text(), QStringLiteral("no autostart folder"));
    general->openAtLoginToggle()->click();
    settle();
    EXPECT_TRUE(general->openAtLoginFailure()->isHidden());

    // The sensitivity: one step of the slider, one action, the points mirrored.
    sent.clear();
    QSlider* sensitivity = general->sensitivitySlider();
    EXPECT_EQ(sensitivity->value(), 1600) << "4 points per interval show as 17";
    sensitivity->triggerAction(QAbstractSlider::SliderPageStepAdd);
    settle();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_DOUBLE_EQ(store->state().dragGesture.pointPerInterval, 3);

    // The removal time: disabled while the removal is off, set on the stored day.
    store->dispatch(AppAction::Reminders {
        RemindersAction::AutomaticRemoval { AutomaticRemovalAction::IsEnabled { false } } });
    settle();
    EXPECT_FALSE(general->removalTimeEdit()->isEnabled());
    EXPECT_EQ(general->removalTimeEdit()->time(), QTime(4, 0)) << "still showing the stored time";
    general->removalToggle()->click();
    settle();
    EXPECT_TRUE(general->removalTimeEdit()->isEnabled());
    EXPECT_EQ(general->removalTimeEdit()->time(), QTime(4, 0)) << "switching on keeps the time";
    const Date stored = store->state().reminders.automaticRemoval.date;
    general->removalTimeEdit()->setTime(QTime(5, 30));
    settle();
    EXPECT_EQ(store->state().reminders.automaticRemoval.date, dateByAdding(stored, 90 * 60));

    // The menu-bar section: the countdown off disables what depends on it.
    MenuBarSettingsView* menuBar = general->menuBarSettings();
    menuBar->countdownToggle()->click();
    settle();
    EXPECT_FALSE(store->state().countdown.isEnabled);
    EXPECT_FALSE(menuBar->progressBarToggle()->isEnabled());
    EXPECT_FALSE(menuBar->opacitySlider()->isEnabled());
    EXPECT_TRUE(menuBar->progressBarToggle()->isChecked()) << "disabled, still showing";
    menuBar->countdownToggle()->click();
    settle();
    EXPECT_TRUE(menuBar->opacitySlider()->isEnabled());
    menuBar->opacitySlider()->setValue(1);
    settle();
    EXPECT_EQ(store->state().countdown.progressBar.opacity, 0.1);
    menuBar->progressBarToggle()->click();
    settle();
    EXPECT_TRUE(menuBar->progressBarToggle()->isEnabled());
    EXPECT_FALSE(menuBar->opacitySlider()->isEnabled());

    // Showing the store's values sends nothing back.
    sent.clear();
    store->dispatch(AppAction::DragGesture { DragGestureAction::PointPerInterval { 10 } });
    store->dispatch(AppAction::Countdown {
        CountdownAction::ProgressBar { CountdownProgressBarAction::Opacity { 0.7 } } });
    settle();
    EXPECT_EQ(sensitivity->value(), 1000) << "10 points per interval: sensitivity 11";
    EXPECT_EQ(menuBar->opacitySlider()->value(), 7);
    EXPECT_EQ(sent.size(), 2u) << "only the two dispatched here";
}

TEST_F(SettingsViewsTest, TheOtherPaneShowsTheReportsStatesAndFailures)
{
    auto view = container();
    auto* other = static_cast<OtherSettingsView*>(view->pane(SettingsTabs::other));
    LoggingViewWidget* logging = other->logging();

    // The hiding switch works and is sent like the logging switch.
    logging->hideDescriptionsToggle()->click();
    logging->loggingToggle()->click();
    settle();
    EXPECT_TRUE(logging->hideDescriptionsToggle()->isEnabled());
    EXPECT_TRUE(store->state().logger.hideReminderDescriptions);
    EXPECT_TRUE(store->state().logger.isEnabled);

    // A report under way: spinner, button disabled; answered with a failure: shown.
    logging->bugReportButton()->click();
    settle();
    EXPECT_EQ(store->state().logger.submit.status, Status::loading);
    EXPECT_FALSE(logging->bugReportButton()->isEnabled());
    EXPECT_FALSE(logging->bugReportProgress()->isHidden());
    store->dispatch(AppAction::Logger {
        LoggerAction::SubmitBugReport { BugReportAction::failure(Error("no mail program")) } });
    settle();
    EXPECT_TRUE(logging->bugReportButton()->isEnabled());
    EXPECT_TRUE(logging->bugReportProgress()->isHidden());
    EXPECT_FALSE(logging->bugReportFailure()->isHidden());
    EXPECT_EQ(logging->bugReportFailure()->text(), QStringLiteral("no mail program"));

    sent.clear();
    logging->feedbackButton()->click();
    store->dispatch(
        AppAction::Logger { LoggerAction::SendFeedbackFailed { Error("no mail program") } });
    settle();
    EXPECT_FALSE(logging->feedbackFailure()->isHidden());
    logging->supportButton()->click();
    settle();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], AppAction(AppAction::Logger { LoggerAction::SendFeedback {} }));
    EXPECT_EQ(sent[2], actions::viewAction(ViewAction::HelpIsPresented { true }))
        << "the website is help, not a logger action";

    // Checking for updates, while the updater can.
    sent.clear();
    QPushButton* check = other->about()->checkForUpdatesButton();
    EXPECT_TRUE(check->isEnabled());
    check->click();
    EXPECT_EQ(
        sent, std::vector<AppAction> { AppAction(AppAction::Update { UpdateAction::Check {} }) });
    store->dispatch(AppAction::Update { UpdateAction::CanCheck { false } });
    settle();
    EXPECT_FALSE(check->isEnabled());

    // The review button opens the review page and sends nothing.
    std::vector<std::string> opened;
    setEnvironmentValue(view.get(), openURLKey, OpenURLAction([&](const std::string& url) {
        opened.push_back(url);
        return true;
    }));
    sent.clear();
    other->reviewButton()->setAddress(
        [] { return std::optional<std::string>("https://example.org/review"); });
    other->reviewButton()->click();
    other->reviewButton()->setAddress([] { return std::optional<std::string>(); });
    other->reviewButton()->click();
    EXPECT_EQ(opened, std::vector<std::string> { "https://example.org/review" });
    EXPECT_TRUE(sent.empty());

    // The about section: the icon at 128, the name and the version.
    EXPECT_EQ(other->about()->icon()->size(), QSize(128, 128));
    EXPECT_EQ(other->about()->nameLabel()->text(), QStringLiteral("Tidemark"));
    EXPECT_EQ(other->about()->versionLabel()->text(), QStringLiteral("1.2.5 (125)"));
}

TEST_F(SettingsViewsTest, BothFormStylesBuildEveryPane)
{
    for (const bool older : { false, true }) {
        SCOPED_TRACE(older ? "plain" : "grouped");
        QWidget host;
        if (older)
            setEnvironmentValue(
                &host, availablePreviewVersionKey, OperatingSystemVersion { 12, 0, 0 });
        auto* view = new SettingsContainerView(store, {}, Calendar("UTC"), &host);
        EXPECT_EQ(view->formStyle(), older ? std::nullopt : std::optional(FormStyle::grouped));
        const int padding = view->layout()->contentsMargins().left();
        EXPECT_EQ(padding, older ? 20 : 0);
        for (const SettingsTabs tab : SettingsContainer::tabs())
            ASSERT_NE(view->pane(tab), nullptr);
    }
}

} // namespace
} // namespace tidemark
