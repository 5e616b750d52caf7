#include "ConnectorsTestSupport.hpp"

#include "core/connectors/NotificationConnectors.hpp"
#include "core/connectors/OnboardingConnectors.hpp"
#include "core/connectors/RootActions.hpp"
#include "core/connectors/SettingsConnectors.hpp"

#include <string>

using namespace tidemark;
using namespace tidemark::Connectors;
using test::ConnectorsTest;

namespace {

class OnboardingConnectors : public ConnectorsTest { };

using Page = OnboardingPage;
using Authorization = UNAuthorizationStatus;

// What the pages wait on, as one situation of the user's.
struct Situation {
    RemindersDataSource dataSource = RemindersDataSource::local;
    bool notificationsOn = false;
    std::optional<Authorization> status; // none: the system's settings were never read
    bool openAtLogin = false;

    std::string describe() const
    {
        return std::string(dataSource == RemindersDataSource::local ? "local" : "task lists")
            + (notificationsOn ? ", notifications on" : ", notifications off") + ", status "
            + (status ? std::to_string(int(*status)) : "unread")
            + (openAtLogin ? ", open at login" : "");
    }
};

std::vector<Situation> everySituation()
{
    std::vector<Situation> all;
    const std::optional<Authorization> statuses[]
        = { std::nullopt, Authorization::notDetermined, Authorization::denied,
              Authorization::authorized, Authorization::provisional, Authorization::ephemeral };
    for (const auto source : { RemindersDataSource::local, RemindersDataSource::appleReminders })
        for (const bool on : { false, true })
            for (const auto& status : statuses)
                for (const bool login : { false, true })
                    all.push_back({ source, on, status, login });
    return all;
}

AppState onPage(AppState state, Page page, const Situation& s)
{
    state.view.onboarding.selection = page;
    state.reminders.services.dataSource = s.dataSource;
    state.notifications.user.isEnabled = s.notificationsOn;
    if (s.status) {
        UNNotificationSettings settings;
        settings.authorizationStatus = *s.status;
        state.notifications.user.settings.settings = settings;
    }
    state.settings.general.openAtLogin = s.openAtLogin;
    return state;
}

AppAction onboarding(OnboardingAction action)
{
    return root::onboarding(std::move(action));
}

} // namespace

TEST_F(OnboardingConnectors, EachPageInEachSituationShowsItsButtons)
{
    struct Row {
        Page page;
        bool leadingHidden;
        bool backHidden;
        OnboardingPrimaryButton primary;
        // Whether the page's task is done, so that Continue is enabled.
        std::function<bool(const Situation&)> done;
    };
    const auto always = [](const Situation&) { return true; };
    const Row rows[] = {
        { Page::root, true, true, OnboardingPrimaryButton::getStarted, always },
        { Page::notifications, false, false, OnboardingPrimaryButton::continue_,
            [](const Situation& s) {
                return s.notificationsOn && s.status == Authorization::authorized;
            } },
        { Page::sync, false, false, OnboardingPrimaryButton::continue_,
            [](const Situation& s) {
                return s.dataSource == RemindersDataSource::appleReminders;
            } },
        { Page::general, false, false, OnboardingPrimaryButton::continue_,
            [](const Situation& s) { return s.openAtLogin; } },
        { Page::completion, true, false, OnboardingPrimaryButton::close, always },
    };
    const OnboardingControlsConnector controls;
    const OnboardingTrailingItemsConnector trailing;
    for (const Row& row : rows) {
        for (const Situation& situation : everySituation()) {
            SCOPED_TRACE("page " + std::to_string(int(row.page)) + ", " + situation.describe());
            const AppState state = onPage(initialState(), row.page, situation);
            const OnboardingControls::State shown = controls.mapState(state);
            EXPECT_EQ(shown.trailing, trailing.mapState(state));
            EXPECT_EQ(shown.leading.isHidden, row.leadingHidden);
            EXPECT_EQ(shown.trailing.back.isHidden, row.backHidden);
            EXPECT_FALSE(shown.trailing.back.isDisabled);
            EXPECT_EQ(shown.trailing.continue_.isDisabled, !row.done(situation));
            EXPECT_EQ(primaryButton(shown.trailing.continue_), row.primary);
            EXPECT_EQ(primaryButtonTakesReturn(row.primary),
                row.primary != OnboardingPrimaryButton::continue_);
        }
    }
}

TEST_F(OnboardingConnectors, OddPageListsLabelThePrimaryButton)
{
    struct Case {
        const char* name;
        std::vector<Page> pages;
        Page selection;
        bool backHidden;
        OnboardingPrimaryButton primary;
    };
    const Case cases[] = {
        { "one page is first and last: Close wins", { Page::general }, Page::general, true,
            OnboardingPrimaryButton::close },
        { "no pages: neither first nor last", {}, Page::root, false,
            OnboardingPrimaryButton::continue_ },
        { "a selection outside the list", { Page::root, Page::completion }, Page::sync, false,
            OnboardingPrimaryButton::continue_ },
        { "the first of two", { Page::sync, Page::completion }, Page::sync, true,
            OnboardingPrimaryButton::getStarted },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppState state = initialState();
        state.view.onboarding.pages = c.pages;
        state.view.onboarding.selection = c.selection;
        const auto shown = OnboardingTrailingItemsConnector {}.mapState(state);
        EXPECT_EQ(shown.back.isHidden, c.backHidden);
        EXPECT_EQ(primaryButton(shown.continue_), c.primary);
    }
}

// g++ 12 takes the nested action variants copied into the table for uninitialised.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
TEST_F(OnboardingConnectors, EveryButtonAndPaneActionBecomesOneRootAction)
{
    using Trailing = OnboardingTrailingItems::Action;
    using Controls = OnboardingControls::Action;
    using View = OnboardingView::Action;
    const AppAction back = onboarding(OnboardingAction::Back {});
    const AppAction next = onboarding(OnboardingAction::Next {});
    const AppAction close = onboarding(OnboardingAction::IsPresented { false });
    const AppleRemindersConnectingView::Action useLists
        = AppleRemindersConnectingView::Action::IsEnabled { true };
    const UserNotificationsSettingsConnectingView::Action switchOn
        = UserNotificationsSettingsActionCases::IsEnabled { true };

    struct Case {
        const char* name;
        AppAction mapped;
        AppAction expected;
    };
    const OnboardingTrailingItemsConnector trailing;
    const OnboardingControlsConnector controls;
    const OnboardingConnector view;
    const Case cases[] = {
        { "Back", trailing.mapAction(Trailing::Back {}), back },
        { "Continue and Get Started", trailing.mapAction(Trailing::Next {}), next },
        { "Close ends the onboarding", trailing.mapAction(Trailing::Close {}), close },
        { "Set Up Later moves on like Continue",
            OnboardingLeadingItemsConnector {}.mapAction(OnboardingLeadingItems::Action::Skip {}),
            next },
        { "the controls' Back", controls.mapAction(Controls::Trailing { Trailing::Back {} }),
            back },
        { "the controls' Close", controls.mapAction(Controls::Trailing { Trailing::Close {} }),
            close },
        { "the controls' Set Up Later",
            controls.mapAction(Controls::Leading { OnboardingLeadingItems::Action::Skip {} }),
            next },
        { "the pager settling on a page", view.mapAction(View::Selection { Page::general }),
            onboarding(OnboardingAction::Selection { Page::general }) },
        { "the sync pane, as in the settings window",
            view.mapAction(View::AppleReminders { useLists }),
            AppleRemindersConnector {}.mapAction(useLists) },
        { "the open-at-login switch",
            view.mapAction(View::General { OnboardingGeneralView::Action::OpenAtLogin { true } }),
            AppAction::Settings { SettingsAction::General { GeneralSettingsAction { true } } } },
        { "the notification switch, as in the settings window",
            view.mapAction(View::UserNotifications { switchOn }),
            UserNotificationsSettingsConnector {}.mapAction(switchOn) },
        { "the controls through the view",
            view.mapAction(View::Controls { Controls::Trailing { Trailing::Next {} } }), next },
        { "the view's close", view.mapAction(View::Close {}), close },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.mapped, c.expected) << c.name;
}
#pragma GCC diagnostic pop

TEST_F(OnboardingConnectors, TheViewFollowsThePagesAndEachPanesSetting)
{
    const Situation situation { RemindersDataSource::appleReminders, true,
        Authorization::authorized, true };
    AppState state = onPage(initialState(), Page::general, situation);
    state.view.onboarding.pages = { Page::root, Page::general, Page::completion };
    const OnboardingView::State shown = OnboardingConnector {}.mapState(state);
    EXPECT_EQ(shown.pages, state.view.onboarding.pages);
    EXPECT_EQ(shown.selection, Page::general);
    EXPECT_TRUE(shown.general.openAtLogin);
    EXPECT_EQ(shown.userNotifications, UserNotificationsSettingsConnector {}.mapState(state));
    EXPECT_EQ(shown.appleReminders, AppleRemindersConnector {}.mapState(state));
    EXPECT_TRUE(shown.appleReminders.isEnabled);
    EXPECT_EQ(shown.controls, OnboardingControlsConnector {}.mapState(state));

    // The same settings change through the onboarding as through the settings window.
    auto store = makeStore(state);
    store->dispatch(OnboardingConnector {}.mapAction(
        OnboardingView::Action::General { OnboardingGeneralView::Action::OpenAtLogin { false } }));
    EXPECT_FALSE(store->state().settings.general.openAtLogin);
    EXPECT_TRUE(
        OnboardingConnector {}.mapState(store->state()).controls.trailing.continue_.isDisabled);
}
