#pragma once

#include "app/shell/AppModel.hpp"
#include "platform/foundation/Calendar.hpp"
#include "platform/ui/Application.hpp"
#include "platform/ui/StatusBar.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <vector>

namespace tidemark::test {

inline void processEvents()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline AppAction onboardingPresented(bool value)
{
    return actions::viewAction(ViewAction::Onboarding { OnboardingAction::IsPresented { value } });
}
// The read the onboarding's notification pane sends whenever it is shown, and its change.
inline AppAction readNotificationSettings()
{
    return AppAction::Notifications { NotificationsAction { UserNotificationsAction::Settings {
        NotificationSettingsAction { NotificationSettingsReadAction::submit({}) } } } };
}
inline void readingNotificationSettings(AppState& state)
{
    state.notifications.user.settings.submit.status = Status::loading;
}
inline AppAction whatsNewPresented(bool value)
{
    return actions::viewAction(ViewAction::WhatsNew { WhatsNewAction { value } });
}
inline AppAction settingsPresented(bool value)
{
    return AppAction::Settings { SettingsAction::IsPresented { value } };
}
inline AppAction statusItem(StatusItemAction action)
{
    return actions::viewAction(ViewAction::StatusItem { action });
}

// The application object, a status bar of the test's own, and windows that count how often
// each was made.
class ShellFixture : public testing::Test {
public:
    static AppState initialState()
    {
        return AppState::initial(dateFromTimeIntervalSince1970(0), Calendar("UTC"));
    }

protected:
    ShellFixture()
    {
        m_windows = AppWindowsEnvironment::standard();
        m_windows.statusBar = &m_bar;
        auto counted = [](int& counter, auto make) {
            return [&counter, make](auto&&... arguments) {
                ++counter;
                return make(arguments...);
            };
        };
        m_windows.makeOnboardingWindow = counted(m_madeOnboarding, m_windows.makeOnboardingWindow);
        m_windows.makeWhatsNewWindow = counted(m_madeWhatsNew, m_windows.makeWhatsNewWindow);
        m_windows.makePopoverWindow = counted(m_madePopover, m_windows.makePopoverWindow);
    }

    void TearDown() override
    {
        mainQueue().drain();
        processEvents();
    }

    // A main store over the root reducer and the given middlewares.
    AppStoreRef makeStore(
        std::vector<AppStore::Middleware> middlewares, AppState state = initialState())
    {
        return AppStore::make(std::move(state), test::rootReducer(m_clock), std::move(middlewares));
    }

    // A test store over the root reducer (its clock standing at the start of 1970) and the
    // given middlewares.
    test::AppTestStore makeTestStore(std::vector<AppStore::Middleware> middlewares,
        AppState state = initialState(),
        tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
    {
        return test::AppTestStore(
            std::move(state), test::rootReducer(m_clock), std::move(middlewares), where);
    }

    std::shared_ptr<ManualClock> m_clock
        = std::make_shared<ManualClock>(dateFromTimeIntervalSince1970(0));
    Application m_application { qApp };
    QSignalSpy m_activations { &m_application, &Application::activationRequested };
    StatusBar m_bar;
    AppWindowsEnvironment m_windows;
    int m_madeOnboarding = 0;
    int m_madeWhatsNew = 0;
    int m_madePopover = 0;
};

} // namespace tidemark::test
