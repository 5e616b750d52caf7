#include "settings/SettingsSlice.hpp"

#include "core/Overloaded.hpp"
#include "core/RelativeTimeFormatter.hpp"

namespace tidemark {

GeneralSettingsState::GeneralSettingsState()
    : relativeTimeFormatter(sharedRelativeTimeFormatter())
{
}

void settingsReducer(SettingsState& state, const SettingsAction& action)
{
    std::visit(
        overloaded {
            [&](const SettingsAction::Appearance& a) -> void {
                state.appearance.showDockIcon = a.action.showDockIcon;
            },
            [&](const SettingsAction::General& a) -> void {
                state.general.openAtLogin = a.action.openAtLogin;
                state.general.openAtLoginFailure.reset();
            },
            [&](const SettingsAction::IsPresented& a) -> void { state.isPresented = a.value; },
            [&](const SettingsAction::Read& a) -> void { reduce(state.submit, a.action); },
            [&](const SettingsAction::SelectedTab& a) -> void { state.selectedTab = a.tab; },
            [&](const SettingsAction::OpenAtLoginFailed& a) -> void {
                state.general.openAtLoginFailure = a.reason;
            },
        },
        action);
}

} // namespace tidemark
