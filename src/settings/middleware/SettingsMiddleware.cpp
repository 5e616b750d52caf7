#include "settings/middleware/SettingsMiddleware.hpp"

#include "core/Action.hpp"
#include "platform/logging/LogCategories.hpp"

namespace tidemark {

AppMiddleware makeSettingsMiddleware(
    std::shared_ptr<SettingsServicable> service, SettingsProblemReporter report)
{
    if (!report)
        report
            = [](const std::string& message) { appLogger(logcategory::settings).error(message); };

    auto apply = [service, report](bool enabled) -> std::optional<rx::Publisher<AppAction>> {
        auto result = service->setOpenAtLogin(enabled);
        if (result.isSuccess())
            return rx::Empty<AppAction>();
        report(std::string("Failed to ") + (enabled ? "enable" : "disable")
            + " launch at login: " + result.error().description);
        // The reason goes to the settings pane as well, after the switch is turned back (which
        // would clear it).
        auto failed = rx::Just<AppAction>(AppAction::Settings {
            SettingsAction::OpenAtLoginFailed { result.error().description } });
        if (!enabled)
            return failed;
        return rx::merge(rx::Just<AppAction>(AppAction::Settings {
                             SettingsAction::General { GeneralSettingsAction { false } } }),
            failed);
    };

    return [service, apply](const AppState&,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (auto presented
            = caseAt<AppAction::View, ViewAction::Popover, PopoverAction::IsPresented>(action)) {
            if (presented->value)
                service->keepSettingsWindowInFront();
            return rx::Empty<AppAction>();
        }
        auto settings = caseOf<AppAction::Settings>(action);
        if (!settings)
            return rx::Empty<AppAction>();
        if (auto general = caseOf<SettingsAction::General>(settings->action))
            return apply(general->action.openAtLogin);
        if (auto read = caseOf<SettingsAction::Read>(settings->action)) {
            if (auto stored = read->action.successValue())
                return apply(stored->general.openAtLogin);
            return rx::Empty<AppAction>();
        }
        if (auto presented = caseOf<SettingsAction::IsPresented>(settings->action))
            service->presentSettings(presented->value);
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
