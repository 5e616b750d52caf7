#include "settings/SettingsService.hpp"

#include "platform/logging/LogCategories.hpp"

namespace tidemark {

namespace {

// Where the application registers itself; older systems enable the launcher instead.
constexpr OperatingSystemVersion selfRegisteringVersion { 13, 0 };
// Where activating the application alone brings the window forward.
constexpr OperatingSystemVersion activatingVersion { 14, 0 };

} // namespace

SettingsService::SettingsService(std::shared_ptr<LoginItems> loginItems, SettingsServiceHooks hooks)
    : m_loginItems(std::move(loginItems))
    , m_hooks(std::move(hooks))
{
}

rx::Result<rx::Unit, Error> SettingsService::setOpenAtLogin(bool enabled)
{
    using Outcome = rx::Result<rx::Unit, Error>;
    const auto launcher = m_loginItems->launcherIdentifier();
    if (m_loginItems->isOperatingSystemAtLeast(selfRegisteringVersion)) {
        // A launcher entry left from the older path would start the application twice.
        m_loginItems->setLoginItemEnabled(launcher, false);
        (void)m_loginItems->loginItemService(launcher).unregisterService();
        auto app = m_loginItems->mainAppService();
        if (enabled) {
            if (app.status() == AppServiceStatus::enabled)
                return Outcome::success({});
            auto registered = app.registerService();
            if (!registered.isSuccess())
                return Outcome::failure(Error(registered.error().localizedDescription()));
            return Outcome::success({});
        }
        auto removed = app.unregisterService();
        if (!removed.isSuccess())
            return Outcome::failure(Error(removed.error().localizedDescription()));
        return Outcome::success({});
    }
    const bool result = m_loginItems->setLoginItemEnabled(launcher, enabled);
    appLogger(logcategory::settings)
        .info(std::string("openAtLogin set to ") + (enabled ? "true" : "false")
            + ". Result: " + (result ? "true" : "false"));
    if (!result) {
        auto service = m_loginItems->loginItemService(launcher);
        return Outcome::failure(Error("The login item " + service.entryPath().string()
            + " could not be " + (enabled ? "written" : "removed") + "."));
    }
    return Outcome::success({});
}

void SettingsService::presentSettings(bool isPresented)
{
    m_isPresented = isPresented;
    if (!isPresented)
        return;
    if (m_loginItems->isOperatingSystemAtLeast(activatingVersion)) {
        if (m_hooks.activateApplication)
            m_hooks.activateApplication();
        if (m_window)
            m_window->makeKeyAndOrderFront();
        return;
    }
    if (!m_window || m_window->isVisible())
        return;
    if (m_hooks.showSettingsWindow)
        m_hooks.showSettingsWindow();
    if (m_hooks.activateApplication)
        m_hooks.activateApplication();
    m_window->makeKeyAndOrderFront();
}

void SettingsService::keepSettingsWindowInFront()
{
    if (m_window && m_window->isVisible())
        m_window->orderFrontRegardless();
}

} // namespace tidemark
