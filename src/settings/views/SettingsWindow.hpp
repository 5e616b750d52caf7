#pragma once

#include "core/Store.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/reactive/Cancellable.hpp"
#include "platform/ui/Window.hpp"
#include "settings/SettingsService.hpp"
#include "settings/SettingsWindowView.hpp"
#include "toolkit/FormStyle.hpp"
#include "toolkit/MainStore.hpp"

#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QTabWidget;

namespace tidemark {

// Where the notifications and sync tabs come from: each is made once, from the main store and
// the form style in force. A pane left out shows a plain placeholder.
struct SettingsPaneFactory {
    using MakePane = std::function<QWidget*(const AppStoreRef& store, std::optional<FormStyle>)>;
    MakePane notifications;
    MakePane sync;
};

using SettingsContainerStore = Store<SettingsContainer::State, SettingsContainer::Action>;

// The settings window's content: a tab view of the general, notifications, sync and other
// panes, each built once. The selected tab is the settings slice's: a pick is sent as one
// `selectedTab` and shown as the store then says, so it is kept after closing and reopening.
// The content takes the selected pane's size (at least 500 × 309.017) and fixes its window to
// it. It tells the store when its window becomes key and, once, when it closes. Ctrl+Page Up
// and Ctrl+Page Down go through the tabs, Ctrl+W and Escape close the window.
class SettingsContainerView final : public QWidget {
public:
    // With a parent, the form style follows the parent's surroundings (the preview version),
    // as they stand when the panes are made.
    SettingsContainerView(const AppStoreRef& store, SettingsPaneFactory panes = {},
        Calendar calendar = Calendar::autoupdatingCurrent(), QWidget* parent = nullptr);

    QTabWidget* tabWidget() const { return m_tabs; }
    QWidget* pane(SettingsTabs tab) const;
    std::optional<FormStyle> formStyle() const { return m_style; }
    QString title() const;

    // Picks a tab as the user does: sends it to the store, and shows what the store holds.
    void pickTab(SettingsTabs tab);
    // Takes the selected pane's size (never below the minimum) and fixes the window to it.
    void fitToSelectedPane();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showSelection();

    AppStoreRef m_store;
    std::shared_ptr<SettingsContainerStore> m_container;
    std::optional<FormStyle> m_style;
    QTabWidget* m_tabs;
    std::map<SettingsTabs, QWidget*> m_panes;
    rx::Cancellable m_subscription;
};

// The settings window: titled by the application's name and version, its size fixed by its
// content. Closing hides it; it is reused for the next showing.
class SettingsSceneWindow final : public Window {
public:
    explicit SettingsSceneWindow(const QString& title);
};

// Makes the window with its content bound to the main store.
WindowRef makeSettingsWindow(const AppStoreRef& store, SettingsPaneFactory panes = {});

// The window as the settings service reaches it. It does not keep the window alive: the
// windows store owns it.
class SettingsWindowHandle final : public SettingsWindow {
public:
    explicit SettingsWindowHandle(const WindowRef& window);

    bool isVisible() const override;
    void makeKeyAndOrderFront() override;
    void orderFrontRegardless() override;

private:
    std::weak_ptr<Window> m_window;
};

} // namespace tidemark
