#include "settings/middleware/AppDescription.hpp"

#include "settings/Description.hpp"

namespace tidemark {

std::string describe(const AppAction& action)
{
    return std::visit(
        [](const auto& alternative) -> std::string {
            using A = std::decay_t<decltype(alternative)>;
            return description::caseName(description::typeName<A>()) + "("
                + describeValue(alternative.action) + ")";
        },
        action);
}

std::string describe(const AppState& s)
{
    return "AppState(remindersStore: " + describeValue(s.remindersStore)
        + ", dataEntry: " + describeValue(s.dataEntry)
        + ", countdown: CountdownState(isEnabled: " + describeValue(s.countdown.isEnabled)
        + ", progressBar: " + describeValue(s.countdown.progressBar) + ", reminderID: "
        + describeValue(s.countdown.reminderID) + "), logger: " + describeValue(s.logger)
        + ", notifications: " + describeValue(s.notifications.user)
        + ", reminders: " + describeValue(s.reminders) + ", settings: SettingsState(isPresented: "
        + describeValue(s.settings.isPresented) + ", submit: " + describeValue(s.settings.submit)
        + ", openAtLogin: " + describeValue(s.settings.general.openAtLogin)
        + ", selectedTab: " + describeValue(s.settings.selectedTab)
        + "), timer: " + describeValue(s.timer) + ", undoManager: " + describeValue(s.undoManager)
        + ", view: " + describeValue(s.view) + ")";
}

} // namespace tidemark
