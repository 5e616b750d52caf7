#pragma once

#include "core/Store.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "settings/GeneralSettingsConnectingView.hpp"
#include "settings/views/SettingsForm.hpp"

#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QLabel;
class QSlider;
class QTimeEdit;

namespace tidemark {

using GeneralSettingsStore
    = Store<GeneralSettingsConnectingView::State, GeneralSettingsConnectingView::Action>;
using MenuBarSettingsStore
    = Store<MenuBarSettingsConnectingView::State, MenuBarSettingsConnectingView::Action>;

// The general pane's last section: the countdown in the menu bar, its progress bar and the
// bar's opacity. Rows that cannot take a change are disabled, still showing their values.
class MenuBarSettingsView final : public QWidget {
public:
    MenuBarSettingsView(std::shared_ptr<MenuBarSettingsStore> store, Mnemonics& mnemonics,
        QWidget* parent = nullptr);

    QCheckBox* countdownToggle() const { return m_countdown; }
    QCheckBox* progressBarToggle() const { return m_progressBar; }
    QSlider* opacitySlider() const { return m_opacity; }

    void render(const MenuBarSettingsConnectingView::State& state);

private:
    std::shared_ptr<MenuBarSettingsStore> m_store;
    QCheckBox* m_countdown;
    QCheckBox* m_progressBar;
    QSlider* m_opacity;
    rx::Cancellable m_subscription;
};

// The general pane: open at login (with the desktop's reason when it refused), the drag
// sensitivity, the automatic removal and its time, and the menu-bar section. Built once;
// each new state of the store is shown with the controls' signals blocked, so showing a
// value sends nothing back, and every change the user makes goes to the store as an action.
class GeneralSettingsView final : public QWidget {
public:
    GeneralSettingsView(std::shared_ptr<GeneralSettingsStore> store, std::optional<FormStyle> style,
        Calendar calendar = Calendar::autoupdatingCurrent(), QWidget* parent = nullptr);

    QCheckBox* openAtLoginToggle() const { return m_openAtLogin; }
    QLabel* openAtLoginFailure() const { return m_openAtLoginFailure; }
    QSlider* sensitivitySlider() const { return m_sensitivity; }
    QCheckBox* removalToggle() const { return m_removal; }
    QTimeEdit* removalTimeEdit() const { return m_removalTime; }
    MenuBarSettingsView* menuBarSettings() const { return m_menuBar; }

private:
    void render(const GeneralSettingsConnectingView::State& state);

    std::shared_ptr<GeneralSettingsStore> m_store;
    Calendar m_calendar;
    QCheckBox* m_openAtLogin;
    QLabel* m_openAtLoginFailure;
    QSlider* m_sensitivity;
    QCheckBox* m_removal;
    QTimeEdit* m_removalTime;
    MenuBarSettingsView* m_menuBar;
    rx::Cancellable m_subscription;
};

} // namespace tidemark
