#include "settings/middleware/UserSettingsMiddleware.hpp"

#include "core/Overloaded.hpp"
#include "platform/foundation/AppInfo.hpp"

namespace tidemark {

namespace {

template <class Case, class V> const Case* as(const V& value)
{
    return std::get_if<Case>(&asVariant(value));
}

std::optional<UserSettings> applyingReminders(UserSettings s, const RemindersAction& action)
{
    if (auto removal = as<RemindersAction::AutomaticRemoval>(action)) {
        if (auto enabled = as<AutomaticRemovalAction::IsEnabled>(removal->action)) {
            s.reminders.automaticRemoval.isEnabled = enabled->isEnabled;
            return s;
        }
        if (auto date = as<AutomaticRemovalAction::Date>(removal->action)) {
            s.reminders.automaticRemoval.date = date->date;
            return s;
        }
        return std::nullopt;
    }
    if (auto list = as<RemindersAction::SelectedList>(action)) {
        s.reminders.selectedList = list->list;
        return s;
    }
    if (auto services = as<RemindersAction::Services>(action)) {
        if (auto source = as<RemindersServicesAction::DataSource>(services->action)) {
            s.reminders.dataSource = source->dataSource;
            return s;
        }
    }
    return std::nullopt;
}

std::optional<UserSettings> applyingCountdown(UserSettings s, const CountdownAction& action)
{
    if (auto enabled = as<CountdownAction::IsEnabled>(action)) {
        s.menubar.countdownIsEnabled = enabled->value;
        return s;
    }
    if (auto bar = as<CountdownAction::ProgressBar>(action)) {
        if (auto enabled = as<CountdownProgressBarAction::IsEnabled>(bar->action)) {
            s.menubar.progressBar.isEnabled = enabled->value;
            return s;
        }
        if (auto opacity = as<CountdownProgressBarAction::Opacity>(bar->action)) {
            s.menubar.progressBar.opacity = opacity->value;
            return s;
        }
    }
    return std::nullopt;
}

std::optional<UserSettings> applyingView(
    UserSettings s, const AppState& state, const ViewAction& action)
{
    if (auto onboarding = as<ViewAction::Onboarding>(action)) {
        if (auto presented = as<OnboardingAction::IsPresented>(onboarding->action);
            presented && presented->value) {
            s.onboarding.lastPresentedVersion = AppInfo::shortVersion();
            return s;
        }
        return std::nullopt;
    }
    if (auto whatsNew = as<ViewAction::WhatsNew>(action);
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
                if (auto enabled = as<LoggerAction::IsEnabled>(a.action)) {
                    s.logging.isEnabled = enabled->value;
                    return s;
                }
                // Hiding reminder titles works, so the choice is kept like the others.
                if (auto hide = as<LoggerAction::HideReminderDescriptions>(a.action)) {
                    s.logging.isRedacted = hide->value;
                    return s;
                }
                return std::nullopt;
            },
            [&](const AppAction::Notifications& a) -> std::optional<UserSettings> {
                if (auto enabled = as<UserNotificationsAction::IsEnabled>(a.action.user)) {
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
                if (auto general = as<SettingsAction::General>(a.action)) {
                    s.general.openAtLogin = general->action.openAtLogin;
                    return s;
                }
                return std::nullopt;
            },
            [&](const AppAction::Countdown& a) -> std::optional<UserSettings> {
                return applyingCountdown(s, a.action);
            },
            [&](const AppAction::DragGesture& a) -> std::optional<UserSettings> {
                if (auto points = as<DragGestureAction::PointPerInterval>(a.action)) {
                    s.gesture.dragGesturePointPerInterval = points->pointPerInterval;
                    return s;
                }
                return std::nullopt;
            },
            [&](const auto&) -> std::optional<UserSettings> { return std::nullopt; },
        },
        static_cast<const AppAction::variant&>(action));
}

AppMiddleware userSettingsMiddleware(std::shared_ptr<UserSettingsServicable> service)
{
    return [service](const AppState& state,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (auto settings = caseOf<AppAction::Settings>(action)) {
            if (auto read = as<SettingsAction::Read>(settings->action)) {
                if (!read->action.asSubmit())
                    return rx::Empty<AppAction>();
                auto loaded = service->load();
                auto answer = loaded.isSuccess() ? SettingsReadAction::success(loaded.value())
                                                 : SettingsReadAction::failure(loaded.error());
                return rx::Just<AppAction>(actions::settingsRead(std::move(answer)));
            }
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
