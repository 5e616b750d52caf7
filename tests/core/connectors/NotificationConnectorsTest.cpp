#include "ConnectorsTestSupport.hpp"

#include "core/connectors/NotificationConnectors.hpp"

#include <gmock/gmock.h>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;
using testing::ElementsAre;

namespace {

using Pane = UserNotificationsSettingsConnectingView;
using UA = UserNotificationsAction;
using S = UNAuthorizationStatus;

class NotificationConnectors : public ConnectorsTest {
protected:
    // The notifications slice after a read of `settings` (none: nothing read yet).
    AppState stateWith(bool isEnabled, std::optional<UNNotificationSettings> settings,
        Status request = Status::idle) const
    {
        AppState state = initialState();
        state.notifications.user.isEnabled = isEnabled;
        state.notifications.user.settings.settings = std::move(settings);
        state.notifications.user.requestAuthorization.status = request;
        return state;
    }

    static UNNotificationSettings settings(S status, UNAlertStyle style = UNAlertStyle::alert,
        UNNotificationSetting sound = UNNotificationSetting::enabled)
    {
        UNNotificationSettings s;
        s.authorizationStatus = status;
        s.alertStyle = style;
        s.soundSetting = sound;
        s.isServerAvailable = true;
        return s;
    }

    UserNotificationsSettingsContent contentOf(const AppState& state) const
    {
        return userNotificationsSettingsContent(connector.mapState(state));
    }

    std::vector<AppAction> rootActions(const std::vector<Pane::Action>& actions) const
    {
        std::vector<AppAction> mapped;
        for (const auto& action : actions)
            mapped.push_back(connector.mapAction(action));
        return mapped;
    }

    static AppAction notifications(UserNotificationsAction action)
    {
        return AppAction::Notifications { NotificationsAction { std::move(action) } };
    }

    const UserNotificationsSettingsConnector connector {};
};

const char* name(S status)
{
    switch (status) {
    case S::notDetermined:
        return "notDetermined";
    case S::denied:
        return "denied";
    case S::authorized:
        return "authorized";
    case S::provisional:
        return "provisional";
    case S::ephemeral:
        return "ephemeral";
    }
    return "?";
}

} // namespace

// What the pane shows: the switch reads on only when the user's switch is on and the
// application is authorized; a refusal disables it and shows the steps; the checklist waits
// for the request to finish.
TEST_F(NotificationConnectors, StatusSwitchAndWaitingDecideWhatThePaneShows)
{
    struct Case {
        S status;
        bool isEnabled;
        bool waiting;
        bool toggleOn, toggleEnabled, preview, steps, checklist;
    };
    const Case cases[] = {
        // status           switch waiting  on     enabled preview steps  checklist
        { S::notDetermined, false, false, false, true, false, false, false },
        { S::notDetermined, true, false, false, true, false, false, false },
        { S::notDetermined, true, true, false, true, false, false, false },
        { S::denied, false, false, false, false, false, true, false },
        { S::denied, true, false, false, false, false, true, false },
        { S::denied, true, true, false, false, false, true, false },
        { S::authorized, false, false, false, true, false, false, false },
        { S::authorized, false, true, false, true, false, false, false },
        { S::authorized, true, false, true, true, true, false, true },
        { S::authorized, true, true, true, true, true, false, false },
        { S::provisional, true, false, false, true, false, false, false },
        { S::provisional, false, false, false, true, false, false, false },
        { S::ephemeral, true, false, false, true, false, false, false },
    };
    for (const auto& c : cases) {
        const auto content = contentOf(stateWith(
            c.isEnabled, settings(c.status), c.waiting ? Status::loading : Status::completed));
        const std::string at = std::string(name(c.status)) + (c.isEnabled ? " on" : " off")
            + (c.waiting ? " waiting" : "");
        EXPECT_EQ(content.toggleIsOn, c.toggleOn) << at;
        EXPECT_EQ(content.toggleIsEnabled, c.toggleEnabled) << at;
        EXPECT_EQ(content.showsWaiting, c.waiting) << at;
        EXPECT_EQ(content.showsPreviewButton, c.preview) << at;
        EXPECT_EQ(content.showsDeniedSteps, c.steps) << at;
        EXPECT_EQ(content.showsChecklist, c.checklist) << at;
        EXPECT_FALSE(content.showsServerMissing) << at;
    }
}

TEST_F(NotificationConnectors, NothingReadYetShowsTheSwitchOffAndAssumesAServer)
{
    const auto pane = connector.mapState(stateWith(true, std::nullopt, Status::idle));
    EXPECT_EQ(pane,
        (Pane::State { UNAlertStyle::none, S::notDetermined, true, Status::idle, false,
            UNNotificationSetting::notSupported, true }));
    const auto content = userNotificationsSettingsContent(pane);
    EXPECT_FALSE(content.toggleIsOn);
    EXPECT_FALSE(content.showsChecklist);
    EXPECT_FALSE(content.showsServerMissing);
}

TEST_F(NotificationConnectors, WithoutAServerThePaneSaysSoInsteadOfTheChecklist)
{
    auto read = settings(S::authorized, UNAlertStyle::none, UNNotificationSetting::notSupported);
    read.isServerAvailable = false;
    const auto content = contentOf(stateWith(true, read, Status::completed));
    EXPECT_TRUE(content.showsServerMissing);
    EXPECT_TRUE(content.toggleIsOn) << "the switch stays usable";
    EXPECT_FALSE(content.showsChecklist) << "no server: nothing to say about style and sound";
}

TEST_F(NotificationConnectors, TheIndicatorsFollowTheStyleAndTheSound)
{
    struct Case {
        UNAlertStyle style;
        UNNotificationSetting sound;
        NotificationSettingIndicator alertStyle;
        std::string_view footer;
        bool recommendation;
        NotificationSettingIndicator soundIndicator;
    };
    const NotificationSettingIndicator on { true, "Settings", "on_label" };
    const NotificationSettingIndicator off { false, "Settings", "off_label" };
    const Case cases[] = {
        { UNAlertStyle::alert, UNNotificationSetting::enabled,
            { true, "Notifications", "alert_style_alerts_label" }, "alert_style_alert_footer_label",
            false, on },
        { UNAlertStyle::banner, UNNotificationSetting::disabled,
            { true, "Notifications", "alert_style_banners_label" },
            "alert_style_banner_footer_label", true, off },
        { UNAlertStyle::none, UNNotificationSetting::notSupported,
            { false, "Notifications", "alert_style_none_label" }, "", true, off },
        { static_cast<UNAlertStyle>(7), UNNotificationSetting::enabled,
            { false, "Localizable", "?" }, "", true, on },
    };
    for (const auto& c : cases) {
        const auto content
            = contentOf(stateWith(true, settings(S::authorized, c.style, c.sound), Status::idle));
        const int style = static_cast<int>(c.style);
        EXPECT_EQ(content.alertStyle, c.alertStyle) << style;
        EXPECT_EQ(content.alertStyleFooterKey, c.footer) << style;
        EXPECT_EQ(content.showsRecommendation, c.recommendation) << style;
        EXPECT_EQ(content.sound, c.soundIndicator) << style;
        EXPECT_TRUE(content.showsChecklist) << style;
    }
}

TEST_F(NotificationConnectors, TheSwitchSendsItsTwoActionsInOrder)
{
    const auto ask
        = notifications(UA::RequestAuthorization { NotificationAuthorizationRequestAction::submit(
            UNAuthorizationOptions::alert | UNAuthorizationOptions::sound) });
    EXPECT_THAT(rootActions(Pane::toggleActions(true)),
        ElementsAre(notifications(UA::IsEnabled { true }), ask));
    EXPECT_THAT(rootActions(Pane::toggleActions(false)),
        ElementsAre(notifications(UA::IsEnabled { false }),
            notifications(
                UA::RequestAuthorization { NotificationAuthorizationRequestAction::reset() })));
    EXPECT_THAT(rootActions(Pane::askAgainActions()),
        ElementsAre(
            notifications(UA::ForgetAuthorization {}), notifications(UA::IsEnabled { true }), ask));

    // Through the root reducer: on waits for the answer, off clears the request.
    auto store = makeStore();
    for (const auto& action : rootActions(Pane::toggleActions(true)))
        store->dispatch(action);
    EXPECT_TRUE(store->state().notifications.user.isEnabled);
    EXPECT_TRUE(userNotificationsSettingsContent(connector.mapState(store->state())).showsWaiting);
    for (const auto& action : rootActions(Pane::toggleActions(false)))
        store->dispatch(action);
    EXPECT_FALSE(store->state().notifications.user.isEnabled);
    EXPECT_EQ(store->state().notifications.user.requestAuthorization, SubmittableState {});
}

TEST_F(NotificationConnectors, ThePanesOtherActionsReadPreviewAndReset)
{
    EXPECT_EQ(connector.mapAction(Pane::Action::ReadNotificationSettings {}),
        notifications(UA::Settings {
            NotificationSettingsAction { NotificationSettingsReadAction::submit({}) } }));
    EXPECT_EQ(connector.mapAction(Pane::Action::PreviewNotification {}),
        notifications(
            UA::CreateNotification { "Send a notification to see how reminders will look.", 0.4 }));
}
