#pragma once

#include "app/shell/AppWindows.hpp"
#include "core/state/AppState.hpp"
#include "platform/ui/Application.hpp"

#include <chrono>

#include <functional>
#include <optional>
#include <string>

namespace tidemark {

using AppMiddleware = AppStore::Middleware;

// What the application commands do outside the store.
struct AppCommandsEnvironment {
    // Ends the application.
    std::function<void()> terminate;
    // Opens an address in the default browser.
    std::function<void(const std::string&)> openUrl;
    // The support page.
    std::string supportAddress;

    // The shared application, the desktop's browser and the maker's support page.
    static AppCommandsEnvironment standard();
};

// True for an absolute address with a scheme and a host, the only kind worth opening.
bool isOpenableAddress(const std::string& address);

// The windows to present once the stored settings are read: onboarding on a first start,
// what's new after an update, onboarding first when both apply; none when neither does.
std::optional<rx::Publisher<AppAction>> launchPresentationsPublisher(
    const UserSettings& settings, const AppState& state);
// What's new after an update: only when a version was presented before and it is lower than
// the current one, compared number by number (1.10 is above 1.9).
std::optional<rx::Publisher<AppAction>> whatsNewPresentationPublisher(
    const UserSettings& settings, const AppState& state);

// Quits, opens the support page, and answers a successful settings read with the launch
// presentations.
AppMiddleware makeAppCommandsMiddleware(
    AppCommandsEnvironment environment = AppCommandsEnvironment::standard());

// The policy the application should have: regular while onboarding, what's new or the
// settings window is presented, accessory otherwise.
ActivationPolicy activationPolicyFor(const AppState& state);
// Applies that policy whenever one of those three presentations is changed.
AppMiddleware activationPolicyMiddleware();

// How long after a read of the reminder sources the onboarding window is brought back to
// the front on its sync page (the access prompt of the sources may have covered it).
inline constexpr std::chrono::milliseconds onboardingReactivationDelay { 400 };

// Shows and closes the onboarding window, and fronts it again after a sources read on its
// sync page.
AppMiddleware windowActivationMiddleware(AppWindowsStoreRef windowsStore);
// Forwards popover presentations to the windows store, asks for the popover when onboarding
// closes, and opens it once after a start by the user when the status item has reported
// where it is.
AppMiddleware popoverPresentationMiddleware(AppWindowsStoreRef windowsStore);
// Shows and closes the what's-new window.
AppMiddleware whatsNewMiddleware(AppWindowsStoreRef windowsStore);
// Opens the drag overlay windows when a drag changes and closes them when the last
// animate-out has ended.
AppMiddleware makeDragGestureMiddleware(AppWindowsStoreRef windowsStore);
// Opens the scroll entry's window when the scroll entry is presented (once its scroll frame
// is known) and closes it when the entry is no longer presented.
AppMiddleware viewActionMiddleware(AppWindowsStoreRef windowsStore);

} // namespace tidemark
