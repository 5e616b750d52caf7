#include "notifications/views/NotificationSettingsPreviews.hpp"

#include "notifications/views/UserNotificationsSettingsPane.hpp"
#include "toolkit/FormStyle.hpp"

#include <QVBoxLayout>

#include <stdexcept>

namespace tidemark {

UserNotificationsSettingsConnectingView::State notificationSettingsPreviewState(
    const std::string& name)
{
    UserNotificationsSettingsConnectingView::State state;
    if (name == "not asked")
        return state;
    if (name == "waiting") {
        state.isEnabled = true;
        state.requestAuthorizationStatus = Status::loading;
        return state;
    }
    state.isEnabled = true;
    state.requestAuthorizationStatus = Status::completed;
    state.authorizationStatus = UNAuthorizationStatus::authorized;
    state.alertStyle = UNAlertStyle::alert;
    state.soundSetting = true;
    state.timeSensitiveSetting = UNNotificationSetting::enabled;
    if (name == "allowed with alerts")
        return state;
    if (name == "allowed with banners") {
        state.alertStyle = UNAlertStyle::banner;
        state.soundSetting = false;
        return state;
    }
    if (name == "refused") {
        state.isEnabled = false;
        state.authorizationStatus = UNAuthorizationStatus::denied;
        state.alertStyle = UNAlertStyle::none;
        state.soundSetting = false;
        return state;
    }
    if (name == "without a server") {
        state.isServerAvailable = false;
        state.alertStyle = UNAlertStyle::none;
        state.soundSetting = false;
        return state;
    }
    throw std::invalid_argument("no preview state named " + name);
}

namespace {

PreviewState paneState(const std::string& name, bool grouped = true)
{
    return { grouped ? name : name + ", plain form",
        [name, grouped]() -> QWidget* {
            auto* form = new QWidget;
            if (grouped)
                groupedFormStyle(form);
            auto* layout = new QVBoxLayout(form);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->addWidget(makeNotificationSettingsPane(
                UserNotificationsSettingsStore::constant(notificationSettingsPreviewState(name)),
                form));
            form->setFixedWidth(480);
            return form;
        } };
}

} // namespace

void registerNotificationSettingsPreviews(PreviewRegistry& registry)
{
    registry.add({ "UserNotificationsSettingsPane",
        {
            paneState("not asked"),
            paneState("waiting"),
            paneState("allowed with alerts"),
            paneState("allowed with banners"),
            paneState("refused"),
            paneState("without a server"),
            paneState("allowed with banners", false),
        } });
}

} // namespace tidemark
