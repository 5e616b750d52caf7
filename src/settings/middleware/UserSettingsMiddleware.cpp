#include "settings/middleware/UserSettingsMiddleware.hpp"

#include "core/Action.hpp"
#include "core/Overloaded.hpp"
#include "platform/foundation/AppInfo.hpp"

namespace tidemark {

namespace {

std::optional<UserSettings> applyingReminders(UserSettings s, const RemindersAction& action)
{
    if (auto removal = caseOf<RemindersAction::AutomaticRemoval>(action)) {
        if (auto enabled = caseOf<AutomaticRemovalAction::IsEnabled>(removal->action)) {
            s.reminders.automaticRemoval.isEnabled = enabled->isEnabled;
            return s;
        }
        if (auto date = caseOf<AutomaticRemovalAction::Date>(removal->action)) {
            s.reminders.automaticRemoval.date = date->date;
            return s;
        }
        return std::nullopt;
    }
    if (auto list = caseOf<RemindersAction::SelectedList>(action)) {
        s.reminders.selectedList = list->list;
        return s;
    }
    if (auto services = caseOf<RemindersAction::Services>(action)) {
        if (auto source = caseOf<RemindersServicesAction::DataSource>(services->action)) {
            s.reminders.dataSource = source->dataSource;
            return s;
        }
    }
    return std::nullopt;
}

std::optional<UserSettings> applyingCountdown(UserSettings s, const CountdownAction& action)
{
    if (auto enabled = caseOf<CountdownAction::IsEnabled>(action)) {
        s.menubar.countdownIsEnabled = enabled->value;
        return s;
    }
    if (auto bar = caseOf<CountdownAction::ProgressBar>(action)) {
        if (auto enabled = caseOf<CountdownProgressBarAction::IsEnabled>(bar->action)) {
            s.menubar.progressBar.isEnabled = enabled->value;
            return s;
        }
        if (auto opacity = caseOf<CountdownProgressBarAction::Opacity>(bar->action)) {
            s.menubar.progressBar.opacity = opacity->value;
            return s;
        }
    }
    return std::nullopt;
}

std::optional<UserSettings> applyingView(
    UserSettings s, const AppState& state, const ViewAction& action)
{
    if (auto onboarding = caseOf<ViewAction::Onboarding>(action)) {
        if (auto presented = caseOf<OnboardingAction::IsPresented>(onboarding->action);
            presented && presented->value) {
            s.onboarding.lastPresentedVersion = AppInfo::shortVersion();
            return s;
        }
        return std::nullopt;
    }
    if (auto whatsNew = caseOf<ViewAction::WhatsNew>(action);
        whatsNew && whatsNew->action.isPresented) {
        s.whatsNew.lastPresentedVersion = state.view.whatsNew.version;
        return s;
    }
    return std::nullopt;
}

} // namespace

std::optional<UserSettings> applyingToSettings(
    UserSettings s, const AppState& state, const AppAction& action)
{
    return std::visit(
        overloaded {
            [&](const AppAction::Logger& a) -> std::optional<UserSettings> {
                if (auto enabled = caseOf<LoggerAction::IsEnabled>(a.action)) {
                    s.logging.isEnabled = enabled->value;
                    return s;
                }
                // Hiding reminder titles works, so the choice is kept like the others.
                if (auto hide = caseOf<LoggerAction::HideReminderDescriptions>(a.action)) {
                    s.logging.isRedacted = hide->value;
                    return s;
                }
                return std::nullopt;
            },
            [&](const AppAction::Notifications& a) -> std::optional<UserSettings> {
                if (auto enabled
                    = caseAt<NotificationsAction, UserNotificationsAction::IsEnabled>(a.action)) {
                    s.notifications.isEnabled = enabled->value;
                    return s;
                }
                return std::nullopt;
            },
            [&](const AppAction::View& a) -> std::optional<UserSettings> {
                return applyingView(s, state, a.action);
            },
            [&](const AppAction::Reminders& a) -> std::optional<UserSettings> {
                return applyingReminders(s, a.action);
            },
            [&](const AppAction::Settings& a) -> std::optional<UserSettings> {
                if (auto general = caseOf<SettingsAction::General>(a.action)) {
                    s.general.openAtLogin = general->action.openAtLogin;
                    return s;
                }
                return std::nullopt;
            },
            [&](const AppAction::Countdown& a) -> std::optional<UserSettings> {
                return applyingCountdown(s, a.action);
            },
            [&](const AppAction::DragGesture& a) -> std::optional<UserSettings> {
                if (auto points = caseOf<DragGestureAction::PointPerInterval>(a.action)) {
                    s.gesture.dragGesturePointPerInterval = points->pointPerInterval;
                    return s;
                }
                return std::nullopt;
            },
            [&](const auto&) -> std::optional<UserSettings> { return std::nullopt; },
        },
        action);
}

AppMiddleware userSettingsMiddleware(std::shared_ptr<UserSettingsServicable> service)
{
    return [service](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (auto read = caseAt<AppAction::Settings, SettingsAction::Read>(action)) {
            if (!read->action.asSubmit())
                return rx::Empty<AppAction>();
            auto loaded = service->load();
            auto answer = loaded.isSuccess() ? SettingsReadAction::success(loaded.value())
                                             : SettingsReadAction::failure(loaded.error());
            return rx::Just<AppAction>(actions::settingsRead(std::move(answer)));
        }
        if (auto changed = applyingToSettings(service->data(), state, action)) {
            // A failed save leaves the stored value and `data` as they were; the next
            // change saves the whole value again.
            (void)service->save(*changed);
        }
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
