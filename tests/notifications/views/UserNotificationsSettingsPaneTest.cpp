// The notification pane sends what the user does, in order, and nothing when it only shows a
// state; it reads the settings again when a permission request completes; the desktop's
// settings open through the settings program, and a missing one is explained in the pane.
#include "notifications/views/UserNotificationsSettingsPane.hpp"
#include "core/Store.hpp"
#include "notifications/SystemSettings.hpp"
#include "notifications/UserNotificationsSettings.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <gmock/gmock.h>

#include <variant>

namespace tidemark {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using Pane = UserNotificationsSettingsConnectingView;
using A = Pane::Action;

// A store of the pane's state that also takes whole states from the test, standing for the
// settings window's or the onboarding's store; the pane's actions are only recorded.
struct PaneStores {
    using Input = std::variant<Pane::State, Pane::Action>;
    std::shared_ptr<std::vector<Pane::Action>> sent = std::make_shared<std::vector<Pane::Action>>();
    std::shared_ptr<Store<Pane::State, Input>> parent;
    std::shared_ptr<UserNotificationsSettingsStore> pane;

    explicit PaneStores(Pane::State initial)
    {
        auto log = sent;
        parent
            = Store<Pane::State, Input>::make(initial, [log](Pane::State& state, const Input& in) {
                  if (const auto* whole = std::get_if<Pane::State>(&in))
                      state = *whole;
                  else
                      log->push_back(std::get<Pane::Action>(in));
              });
        pane = parent->derived<Pane::State, Pane::Action>(
            [](const Pane::State& s) { return s; }, [](const Pane::Action& a) { return Input(a); });
    }

    void set(Pane::State state)
    {
        parent->dispatch(Input(std::move(state)));
        test::drainMainQueue();
    }

    std::vector<Pane::Action> take() { return std::exchange(*sent, {}); }
};

// Finds programs in a list and records what it starts.
class FakeLauncher final : public ProcessLauncher {
public:
    std::set<std::string> installed;
    std::vector<std::string> started;

    std::optional<std::filesystem::path> findExecutable(const std::string& name) const override
    {
        if (!installed.count(name))
            return std::nullopt;
        return std::filesystem::path("/usr/bin") / name;
    }
    rx::Result<int, WorkspaceError> startDetached(
        const std::filesystem::path& program, const std::vector<std::string>& arguments) override
    {
        std::string call = program.filename().string();
        for (const auto& argument : arguments)
            call += " " + argument;
        started.push_back(call);
        return rx::Result<int, WorkspaceError>::success(42);
    }
};

Pane::State allowed()
{
    Pane::State state;
    state.isEnabled = true;
    state.authorizationStatus = UNAuthorizationStatus::authorized;
    state.alertStyle = UNAlertStyle::alert;
    state.soundSetting = true;
    state.requestAuthorizationStatus = Status::completed;
    return state;
}

Pane::State refused()
{
    Pane::State state;
    state.authorizationStatus = UNAuthorizationStatus::denied;
    state.requestAuthorizationStatus = Status::completed;
    return state;
}

class UserNotificationsSettingsPaneTest : public testing::Test {
protected:
    void SetUp() override { qputenv("XDG_CURRENT_DESKTOP", "GNOME"); }
    void TearDown() override { test::drainMainQueue(); }

    // Shows the pane in a window of its own, made active as the user would see it.
    static void show(QWidget& pane)
    {
        pane.setAttribute(Qt::WA_DontShowOnScreen);
        pane.show();
        pane.activateWindow();
        QApplication::processEvents();
        test::drainMainQueue();
        QApplication::processEvents();
    }

    std::shared_ptr<FakeLauncher> launcher = std::make_shared<FakeLauncher>();
    std::shared_ptr<SystemSettings> systemSettings = std::make_shared<SystemSettings>(launcher);
};

TEST_F(UserNotificationsSettingsPaneTest, TheSwitchSendsItsTwoActionsInOrderAndShowsOnlyTheStore)
{
    PaneStores stores({});
    UserNotificationsSettingsPane pane(stores.pane, systemSettings);
    EXPECT_THAT(stores.take(), IsEmpty()) << "building shows the state, sending nothing";
    show(pane);
    EXPECT_THAT(stores.take(), testing::Contains(A(A::ReadNotificationSettings {})))
        << "shown and active: the settings are read";
    pane.toggle()->click();
    EXPECT_THAT(
        stores.take(), ElementsAre(A(A::IsEnabled { true }), A(A::RequestAuthorization {})));
    EXPECT_FALSE(pane.toggle()->isChecked()) << "on only once the store says so";

    stores.set(allowed());
    EXPECT_THAT(stores.take(), ElementsAre(A(A::ReadNotificationSettings {})))
        << "the request completed";
    EXPECT_TRUE(pane.toggle()->isChecked());
    EXPECT_TRUE(pane.previewButton()->isVisible());
    pane.toggle()->click();
    EXPECT_THAT(
        stores.take(), ElementsAre(A(A::IsEnabled { false }), A(A::ResetAuthorizationStatus {})));
    pane.previewButton()->click();
    EXPECT_THAT(stores.take(), ElementsAre(A(A::PreviewNotification {})));
}

TEST_F(UserNotificationsSettingsPaneTest, ShowingStatesSendsNothingButACompletedRequestRereads)
{
    Pane::State waiting;
    waiting.isEnabled = true;
    waiting.requestAuthorizationStatus = Status::loading;
    PaneStores stores(waiting);
    UserNotificationsSettingsPane pane(stores.pane, systemSettings);
    show(pane);
    stores.take();
    EXPECT_TRUE(pane.waiting()->isVisible());
    EXPECT_FALSE(pane.alertStyleSection()->isVisible()) << "no checklist while asking";

    stores.set(refused());
    EXPECT_THAT(stores.take(), ElementsAre(A(A::ReadNotificationSettings {})))
        << "the request completed: what was decided is read";
    stores.set(allowed());
    stores.set(refused());
    Pane::State idle = refused();
    idle.requestAuthorizationStatus = Status::idle;
    stores.set(idle);
    EXPECT_THAT(stores.take(), IsEmpty()) << "no new completion, nothing read";
}

TEST_F(UserNotificationsSettingsPaneTest, ARefusalOffersTheStepsAndAskingAgain)
{
    PaneStores stores(refused());
    UserNotificationsSettingsPane pane(stores.pane, systemSettings);
    show(pane);
    stores.take();
    EXPECT_FALSE(pane.toggle()->isEnabled());
    EXPECT_TRUE(pane.deniedSection()->isVisible());
    EXPECT_FALSE(pane.previewButton()->isVisible());
    EXPECT_FALSE(pane.alertStyleSection()->isVisible());
    pane.askAgainButton()->click();
    EXPECT_THAT(stores.take(),
        ElementsAre(
            A(A::ForgetAuthorization {}), A(A::IsEnabled { true }), A(A::RequestAuthorization {})));

    stores.set(allowed());
    EXPECT_FALSE(pane.deniedSection()->isVisible());
    EXPECT_TRUE(pane.toggle()->isEnabled());
    EXPECT_TRUE(pane.alertStyleSection()->isVisible());
    EXPECT_TRUE(pane.alertStyleIndicator()->isGood());
    EXPECT_TRUE(pane.soundIndicator()->isGood());
}

TEST_F(UserNotificationsSettingsPaneTest, WithoutAServerThePaneSaysWhatToInstall)
{
    Pane::State state = allowed();
    state.isServerAvailable = false;
    PaneStores stores(state);
    UserNotificationsSettingsPane pane(stores.pane, systemSettings);
    show(pane);
    stores.take();
    EXPECT_TRUE(pane.serverSection()->isVisible());
    EXPECT_FALSE(pane.alertStyleSection()->isVisible());
    stores.set(allowed());
    EXPECT_FALSE(pane.serverSection()->isVisible());
}

// The label right after a button in its section: where a failure to open is shown.
QLabel* problemOf(QPushButton* button)
{
    for (auto* label : button->window()->findChildren<QLabel*>()) {
        if (label->isVisible() && label->text().contains(QStringLiteral("installed")))
            return label;
    }
    return nullptr;
}

TEST_F(UserNotificationsSettingsPaneTest, SettingsButtonsOpenTheDesktopsProgramOrSayWhatIsMissing)
{
    PaneStores stores(allowed());
    UserNotificationsSettingsPane pane(stores.pane, systemSettings);
    show(pane);
    stores.take();

    pane.notificationSettingsButton()->click();
    QLabel* problem = problemOf(pane.notificationSettingsButton());
    ASSERT_NE(problem, nullptr) << "nothing installed: the pane says so";
    EXPECT_THAT(problem->text().toStdString(), testing::HasSubstr("gnome-control-center"));
    EXPECT_THAT(launcher->started, IsEmpty());

    launcher->installed = { "gnome-control-center" };
    pane.notificationSettingsButton()->click();
    pane.soundSettingsButton()->click();
    EXPECT_THAT(launcher->started,
        ElementsAre("gnome-control-center notifications", "gnome-control-center sound"));
    EXPECT_EQ(problemOf(pane.notificationSettingsButton()), nullptr) << "the message goes";
    EXPECT_THAT(stores.take(), IsEmpty()) << "opening settings sends nothing";
}

// On the main store, through the connector: the switch reaches the notifications slice, and
// the answers coming back through the slice are what the pane shows.
TEST_F(UserNotificationsSettingsPaneTest, OnTheMainStoreThePaneFollowsTheNotificationsSlice)
{
    const Date now = dateFromTimeIntervalSince1970(1'750'000'000);
    auto store = AppStore::make(AppState::initial(now, Calendar("UTC")),
        test::rootReducer(std::make_shared<ManualClock>(now)));
    std::unique_ptr<QWidget> widget(makeNotificationSettingsPane(store, nullptr, systemSettings));
    auto& pane = dynamic_cast<UserNotificationsSettingsPane&>(*widget);
    show(pane);
    const auto& user
        = [&]() -> const UserNotificationsState& { return store->state().notifications.user; };
    EXPECT_EQ(user().settings.submit.status, Status::loading) << "shown: the settings are read";

    pane.toggle()->click();
    test::drainMainQueue();
    EXPECT_TRUE(user().isEnabled);
    EXPECT_EQ(user().requestAuthorization.status, Status::loading);
    EXPECT_TRUE(pane.waiting()->isVisible());

    auto notifications = [&](UserNotificationsAction action) {
        store->dispatch(AppAction::Notifications { NotificationsAction { std::move(action) } });
        test::drainMainQueue();
    };
    notifications(UserNotificationsAction::RequestAuthorization {
        NotificationAuthorizationRequestAction::success(EquatableVoid {}) });
    EXPECT_FALSE(pane.waiting()->isVisible());
    UNNotificationSettings granted;
    granted.authorizationStatus = UNAuthorizationStatus::authorized;
    granted.alertStyle = UNAlertStyle::alert;
    granted.isServerAvailable = true;
    notifications(UserNotificationsAction::Settings {
        NotificationSettingsAction { NotificationSettingsReadAction::success(granted) } });
    EXPECT_TRUE(pane.toggle()->isChecked());
    EXPECT_TRUE(pane.alertStyleSection()->isVisible());
    EXPECT_FALSE(pane.soundIndicator()->isGood()) << "the server plays no sound";
}

} // namespace
} // namespace tidemark
