#pragma once

#include "core/Error.hpp"
#include "platform/loginitems/LoginItems.hpp"
#include "platform/reactive/Publisher.hpp"
#include "platform/reactive/Result.hpp"

#include <functional>
#include <memory>
#include <string>

namespace tidemark {

// The settings window as the service sees it; the window itself hands this over once it
// exists.
class SettingsWindow {
public:
    virtual ~SettingsWindow() = default;
    virtual bool isVisible() const = 0;
    // Shows the window in front and gives it the keyboard.
    virtual void makeKeyAndOrderFront() = 0;
    // Raises the window, if shown, without taking the keyboard.
    virtual void orderFrontRegardless() = 0;
};

// What the service asks of the application around the window.
struct SettingsServiceHooks {
    // Brings the application to the front.
    std::function<void()> activateApplication;
    // Opens the settings window (the older path, where the window is made on request).
    std::function<void()> showSettingsWindow;
};

// The two effects of the settings that reach the desktop: open at login, and bringing the
// settings window forward.
class SettingsServicable {
public:
    virtual ~SettingsServicable() = default;
    // Applies open at login to the desktop's autostart; fails with the reason it could not.
    virtual rx::Result<rx::Unit, Error> setOpenAtLogin(bool enabled) = 0;
    // Records the wanted presentation and, when true, brings the window forward.
    virtual void presentSettings(bool isPresented) = 0;
    // Raises the settings window when it is shown (the popover opened over it).
    virtual void keepSettingsWindowInFront() = 0;
};

class SettingsService final : public SettingsServicable {
public:
    explicit SettingsService(
        std::shared_ptr<LoginItems> loginItems, SettingsServiceHooks hooks = {});

    rx::Result<rx::Unit, Error> setOpenAtLogin(bool enabled) override;
    void presentSettings(bool isPresented) override;
    void keepSettingsWindowInFront() override;

    const std::shared_ptr<SettingsWindow>& window() const { return m_window; }
    void setWindow(std::shared_ptr<SettingsWindow> window) { m_window = std::move(window); }
    bool isPresented() const { return m_isPresented; }

    // The launcher's identifier: the bundle identifier followed by "-OpenAtLogin".
    std::string launcherIdentifier() const { return m_loginItems->launcherIdentifier(); }

private:
    std::shared_ptr<LoginItems> m_loginItems;
    SettingsServiceHooks m_hooks;
    std::shared_ptr<SettingsWindow> m_window;
    bool m_isPresented = false;
};

} // namespace tidemark
