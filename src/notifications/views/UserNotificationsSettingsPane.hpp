#pragma once

#include "core/Store.hpp"
#include "notifications/UserNotificationsSettings.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "toolkit/FormPane.hpp"
#include "toolkit/MainStore.hpp"

#include <QLabel>

#include <memory>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tidemark {

class SystemSettings;
enum class SystemSettingsPage;

using UserNotificationsSettingsStore = Store<UserNotificationsSettingsConnectingView::State,
    UserNotificationsSettingsConnectingView::Action>;

// A text in the secondary colour (the text colour at reduced opacity), its font `scale` times
// the surrounding one; both follow the surroundings.
class SecondaryLabel final : public QLabel {
public:
    explicit SecondaryLabel(
        const QString& text = {}, double scale = 12.0 / 13.0, QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    void follow();

    double m_scale;
    bool m_following = false;
};

// A setting's state: a green or red dot and its text.
class NotificationSettingIndicatorView final : public QWidget {
public:
    explicit NotificationSettingIndicatorView(bool secondaryText, QWidget* parent = nullptr);

    void setIndicator(const NotificationSettingIndicator& indicator);
    bool isGood() const { return m_good; }
    QLabel* text() const { return m_text; }

private:
    class Dot;
    Dot* m_dot;
    QLabel* m_text;
    bool m_good = false;
};

// The notification pane: the switch that allows notifications (with the waiting line while
// the permission is asked for and the preview button once allowed); after a refusal, the steps
// to the desktop's notification settings and the offer to ask again; without a notification
// server, what to install; and while notifications are on and allowed, how the server shows
// them and whether it plays their sound, with buttons that open the desktop's notification and
// sound settings (a failure to open them is shown under the button).
//
// It takes any store of its state and action (the settings window's and the onboarding's),
// is built once, and shows each new state with the controls' signals blocked. It reads the
// notification settings when shown, whenever its window becomes active (the user may come
// back from the desktop's settings) and when a permission request completes.
class UserNotificationsSettingsPane final : public FormPane {
public:
    explicit UserNotificationsSettingsPane(std::shared_ptr<UserNotificationsSettingsStore> store,
        std::shared_ptr<SystemSettings> systemSettings = nullptr, QWidget* parent = nullptr);
    ~UserNotificationsSettingsPane() override;

    QCheckBox* toggle() const { return m_toggle; }
    QWidget* waiting() const { return m_waiting; }
    QPushButton* previewButton() const { return m_previewButton; }
    QGroupBox* deniedSection() const { return m_deniedSection; }
    QPushButton* deniedSettingsButton() const { return m_deniedSettingsButton; }
    QPushButton* askAgainButton() const { return m_askAgainButton; }
    QGroupBox* serverSection() const { return m_serverSection; }
    QGroupBox* alertStyleSection() const { return m_alertStyleSection; }
    QGroupBox* soundSection() const { return m_soundSection; }
    NotificationSettingIndicatorView* alertStyleIndicator() const { return m_alertStyle; }
    NotificationSettingIndicatorView* soundIndicator() const { return m_sound; }
    QPushButton* notificationSettingsButton() const { return m_notificationSettingsButton; }
    QPushButton* soundSettingsButton() const { return m_soundSettingsButton; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Rows;
    void buildToggleSection();
    void buildServerSection();
    void buildDeniedSection();
    void buildChecklist();
    QPushButton* settingsButton(const QString& title, SystemSettingsPage page, QLabel* problem);
    void arrange(std::optional<FormStyle> style);
    void render(const UserNotificationsSettingsConnectingView::State& state);
    void send(const std::vector<UserNotificationsSettingsConnectingView::Action>& actions);

    std::shared_ptr<UserNotificationsSettingsStore> m_store;
    std::shared_ptr<SystemSettings> m_systemSettings;
    std::unique_ptr<Rows> m_rows;

    QCheckBox* m_toggle = nullptr;
    QWidget* m_waiting = nullptr;
    QWidget* m_previewFooter = nullptr;
    QPushButton* m_previewButton = nullptr;
    QGroupBox* m_serverSection = nullptr;
    QGroupBox* m_deniedSection = nullptr;
    QPushButton* m_deniedSettingsButton = nullptr;
    QPushButton* m_askAgainButton = nullptr;
    QGroupBox* m_alertStyleSection = nullptr;
    QGroupBox* m_soundSection = nullptr;
    NotificationSettingIndicatorView* m_alertStyle = nullptr;
    NotificationSettingIndicatorView* m_sound = nullptr;
    QPushButton* m_notificationSettingsButton = nullptr;
    QPushButton* m_soundSettingsButton = nullptr;

    UserNotificationsSettingsContent m_content;
    Status m_requestStatus = Status::idle;
    rx::Cancellable m_subscription;
};

// The pane on a store of its own state and action. `systemSettings` opens the desktop's
// settings (none: the session's desktop).
QWidget* makeNotificationSettingsPane(std::shared_ptr<UserNotificationsSettingsStore> store,
    QWidget* parent = nullptr, std::shared_ptr<SystemSettings> systemSettings = nullptr);
// The pane on the main store, through the notification settings connector.
QWidget* makeNotificationSettingsPane(const AppStoreRef& store, QWidget* parent = nullptr,
    std::shared_ptr<SystemSettings> systemSettings = nullptr);

} // namespace tidemark
