#include "settings/views/SettingsPreviews.hpp"

#include "core/state/AppState.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/foundation/Clock.hpp"
#include "settings/views/SettingsWindow.hpp"
#include "toolkit/Availability.hpp"
#include "toolkit/Previews.hpp"

#include <QVBoxLayout>

#include <functional>
#include <string>

namespace tidemark {

namespace {

enum class Style {
    grouped,
    plain,
};

// The window's content on a tab, over a main store that holds the changed state and never
// changes. The plain style is the older systems' path: the preview version says so.
QWidget* settingsOn(SettingsTabs tab, Style style, std::function<void(AppState&)> change = {})
{
    AppState state
        = AppState::initial(dateFromTimeIntervalSince1970(1'700'000'000), Calendar("UTC"));
    state.settings.selectedTab = tab;
    state.settings.isPresented = true;
    state.update.canCheck = true;
    if (change)
        change(state);
    auto* host = new QWidget;
    if (style == Style::plain)
        setEnvironmentValue(host, availablePreviewVersionKey, OperatingSystemVersion { 12, 0, 0 });
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(
        new SettingsContainerView(AppStore::constant(std::move(state)), {}, Calendar("UTC"), host));
    return host;
}

void addBothStyles(std::vector<PreviewState>& states, const std::string& name, SettingsTabs tab,
    std::function<void(AppState&)> change = {})
{
    states.push_back(
        { name + ", grouped", [=] { return settingsOn(tab, Style::grouped, change); } });
    states.push_back({ name + ", plain", [=] { return settingsOn(tab, Style::plain, change); } });
}

} // namespace

void registerSettingsPreviews(PreviewRegistry& registry)
{
    std::vector<PreviewState> states;
    addBothStyles(states, "General", SettingsTabs::general);
    addBothStyles(states, "General, countdown off, removal off, open at login refused",
        SettingsTabs::general, [](AppState& s) {
            s.countdown.isEnabled = false;
            s.reminders.automaticRemoval.isEnabled = false;
            s.settings.general.openAtLoginFailure
                = "The autostart folder ~/.config/autostart could not be written.";
        });
    addBothStyles(states, "Other", SettingsTabs::other);
    addBothStyles(
        states, "Other, logging on, bug report under way", SettingsTabs::other, [](AppState& s) {
            s.logger.isEnabled = true;
            s.logger.hideReminderDescriptions = true;
            s.logger.submit.status = Status::loading;
            s.update.canCheck = false;
        });
    addBothStyles(
        states, "Other, bug report and feedback failed", SettingsTabs::other, [](AppState& s) {
            s.logger.submit
                = { Error("No mail program could be started (xdg-email)."), Status::completed };
            s.logger.feedbackError = Error("No mail program could be started (xdg-email).");
        });
    addBothStyles(states, "Notifications (placeholder)", SettingsTabs::notifications);
    registry.add({ "Settings", std::move(states) });
}

} // namespace tidemark
