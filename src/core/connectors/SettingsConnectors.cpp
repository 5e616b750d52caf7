#include "core/connectors/SettingsConnectors.hpp"

#include "core/Overloaded.hpp"
#include "core/connectors/RootActions.hpp"
#include "entry/DragTimeInterval.hpp"

namespace tidemark::Connectors {

MenuBarSettingsConnectingView::State MenuBarSettingsConnector::mapState(const AppState& state) const
{
    return {
        .progressBar = state.countdown.progressBar,
        .menuBarCountdownIsEnabled = state.countdown.isEnabled,
    };
}

AppAction MenuBarSettingsConnector::mapAction(const ViewAction& action) const
{
    using A = MenuBarSettingsConnectingView::Action;
    return std::visit(overloaded {
                          [](const A::ProgressBar& a) -> AppAction {
                              return root::countdown(CountdownAction::ProgressBar { a.action });
                          },
                          [](const A::MenuBarCountdownIsEnabled& a) -> AppAction {
                              return root::countdown(CountdownAction::IsEnabled { a.isEnabled });
                          },
                      },
        asVariant(action));
}

GeneralSettingsConnectingView::State GeneralSettingsConnector::mapState(const AppState& state) const
{
    return {
        .dataEntryIsEnabled = state.dataEntry.isEnabled,
        .dragSensitivity = dragSensitivity(state.dragGesture.pointPerInterval),
        .openAtLogin = state.settings.general.openAtLogin,
        .openAtLoginFailure = state.settings.general.openAtLoginFailure,
        .remindersAutomaticRemoval = state.reminders.automaticRemoval,
        .menuBarSettings = MenuBarSettingsConnector {}.mapState(state),
    };
}

AppAction GeneralSettingsConnector::mapAction(const ViewAction& action) const
{
    using A = GeneralSettingsConnectingView::Action;
    return std::visit(
        overloaded {
            [](const A::DataEntryIsEnabled& a) -> AppAction {
                return AppAction::DataEntry { DataEntryAction::IsEnabled { a.isEnabled } };
            },
            [](const A::DragSensitivity& a) -> AppAction {
                return root::dragGesture(
                    DragGestureAction::PointPerInterval { pointPerInterval(a.sensitivity) });
            },
            [](const A::OpenAtLogin& a) -> AppAction {
                return AppAction::Settings { SettingsAction::General {
                    GeneralSettingsAction { a.openAtLogin } } };
            },
            [](const A::RemindersAutomaticRemoval& a) -> AppAction {
                return root::reminders(RemindersAction::AutomaticRemoval { a.action });
            },
            [](const A::MenuBarSettings& a) -> AppAction {
                return MenuBarSettingsConnector {}.mapAction(a.action);
            },
        },
        asVariant(action));
}

AutomaticRemindersRemovalState AutomaticRemindersRemovalConnector::mapState(
    const AppState& state) const
{
    return {
        .isEnabled = state.reminders.automaticRemoval.isEnabled,
        .date = state.reminders.automaticRemoval.date,
        .items = state.remindersStore.items.value,
    };
}

AppAction AutomaticRemindersRemovalConnector::mapAction(const ViewAction& action) const
{
    if (auto request = automaticRemovalRequest(action, clock->now(), calendar))
        return AppAction::RemindersStore { std::move(*request) };
    return root::countdown(CountdownAction::ReadDueDate {});
}

bool AutomaticRemindersRemovalConnector::isDue(Date dueDate, Date removalTime) const
{
    return tidemark::isDue(dueDate, removalTime, clock->now(), calendar);
}

AppleRemindersConnectingView::State AppleRemindersConnector::mapState(const AppState& state) const
{
    AppleRemindersConnectingView::State view {
        .isEnabled = state.reminders.services.dataSource == RemindersDataSource::appleReminders,
        .selectedList = state.reminders.selectedList,
        .sources = {},
    };
    if (const auto& sources = state.remindersStore.sources.value)
        view.sources.assign(sources->begin(), sources->end());
    return view;
}

AppAction AppleRemindersConnector::mapAction(const ViewAction& action) const
{
    using A = AppleRemindersConnectingView::Action;
    return std::visit(overloaded {
                          [](const A::IsEnabled& a) -> AppAction {
                              return root::reminders(
                                  RemindersAction::Services { RemindersServicesAction::DataSource {
                                      a.isEnabled ? RemindersDataSource::appleReminders
                                                  : RemindersDataSource::local } });
                          },
                          [](const A::SelectedList& a) -> AppAction {
                              return root::reminders(RemindersAction::SelectedList { a.list });
                          },
                      },
        asVariant(action));
}

SettingsContainer::State SettingsContainerConnector::mapState(const AppState& state) const
{
    return { .selectedTab = state.settings.selectedTab };
}

AppAction SettingsContainerConnector::mapAction(const ViewAction& action) const
{
    using A = SettingsContainer::Action;
    return std::visit(
        overloaded {
            [](const A::SelectedTab& a) -> AppAction {
                return AppAction::Settings { SettingsAction::SelectedTab { a.tab } };
            },
            [](const A::IsPresented& a) -> AppAction {
                return AppAction::Settings { SettingsAction::IsPresented { a.value } };
            },
        },
        asVariant(action));
}

LoggingView::State LoggingConnector::mapState(const AppState& state) const
{
    const LoggerState& logger = state.logger;
    LoggingView::State view {
        .isEnabled = logger.isEnabled,
        .hideReminderDescriptions = logger.hideReminderDescriptions,
        .status = logger.submit.status,
        .bugReportFailure = std::nullopt,
        .feedbackFailure = std::nullopt,
    };
    if (logger.submit.status == Status::completed && logger.submit.error)
        view.bugReportFailure = logger.submit.error->description;
    if (logger.feedbackError)
        view.feedbackFailure = logger.feedbackError->description;
    return view;
}

AppAction LoggingConnector::mapAction(const ViewAction& action) const
{
    using A = LoggingView::Action;
    return std::visit(
        overloaded {
            [](const A::IsEnabled& a) -> AppAction {
                return AppAction::Logger { LoggerAction::IsEnabled { a.value } };
            },
            [](const A::HideReminderDescriptions& a) -> AppAction {
                return AppAction::Logger { LoggerAction::HideReminderDescriptions { a.value } };
            },
            [](const A::SubmitBugReport&) -> AppAction {
                return AppAction::Logger { LoggerAction::SubmitBugReport {
                    BugReportAction::submit(EquatableVoid {}) } };
            },
            [](const A::SendFeedback&) -> AppAction {
                return AppAction::Logger { LoggerAction::SendFeedback {} };
            },
            [](const A::Help&) -> AppAction {
                return actions::viewAction(tidemark::ViewAction::HelpIsPresented { true });
            },
        },
        asVariant(action));
}

CheckForUpdatesButton::State CheckForUpdatesConnector::mapState(const AppState& state) const
{
    return { .canCheck = state.update.canCheck };
}

AppAction CheckForUpdatesConnector::mapAction(const ViewAction&) const
{
    return AppAction::Update { UpdateAction::Check {} };
}

DebugSettingsView::State DebugSettingsConnector::mapState(const AppState&) const
{
    return {};
}

AppAction DebugSettingsConnector::mapAction(const ViewAction& action) const
{
    const auto& presented
        = std::get<DebugSettingsView::Action::OnboardingIsPresented>(asVariant(action));
    return root::onboarding(OnboardingAction::IsPresented { presented.isPresented });
}

OnboardingLeadingItems::State OnboardingLeadingItemsConnector::mapState(const AppState& state) const
{
    const auto page = state.view.onboarding.selection;
    return { .isHidden = page == OnboardingPage::root || page == OnboardingPage::completion };
}

AppAction OnboardingLeadingItemsConnector::mapAction(const ViewAction&) const
{
    return root::onboarding(OnboardingAction::Next {});
}

} // namespace tidemark::Connectors
