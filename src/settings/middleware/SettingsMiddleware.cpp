#include "settings/middleware/SettingsMiddleware.hpp"

#include "platform/logging/LogCategories.hpp"

namespace tidemark {

namespace {

template <class Case, class V> const Case* as(const V& value)
{
    return std::get_if<Case>(&asVariant(value));
}

} // namespace

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
        if (!enabled)
            return rx::Empty<AppAction>();
        return rx::Just<AppAction>(
            AppAction::Settings { SettingsAction::General { GeneralSettingsAction { false } } });
    };

    return [service, apply](const AppState&,
               const AppAction& action) -> std::optional<rx::Publisher<AppAction>> {
        if (auto view = caseOf<AppAction::View>(action)) {
            if (auto popover = as<ViewAction::Popover>(view->action)) {
                if (auto presented = as<PopoverAction::IsPresented>(popover->action);
                    presented && presented->value)
                    service->keepSettingsWindowInFront();
            }
            return rx::Empty<AppAction>();
        }
        auto settings = caseOf<AppAction::Settings>(action);
        if (!settings)
            return rx::Empty<AppAction>();
        if (auto general = as<SettingsAction::General>(settings->action))
            return apply(general->action.openAtLogin);
        if (auto read = as<SettingsAction::Read>(settings->action)) {
            if (auto stored = read->action.successValue())
                return apply(stored->general.openAtLogin);
            return rx::Empty<AppAction>();
        }
        if (auto presented = as<SettingsAction::IsPresented>(settings->action))
            service->presentSettings(presented->value);
        return rx::Empty<AppAction>();
    };
}

} // namespace tidemark
