#pragma once

#include "../SettingsTestSupport.hpp"
#include "support/AppTestStore.hpp"
#include "support/TestMainQueue.hpp"

#include "core/Store.hpp"
#include "core/state/AppReducer.hpp"
#include "settings/PersistentSettingsService.hpp"
#include "settings/middleware/UserSettingsMiddleware.hpp"

#include <nlohmann/json.hpp>

namespace tidemark::test {

using AppStore = Store<AppState, AppAction>;

inline const Calendar& testCalendar()
{
    static const Calendar calendar("Europe/Berlin");
    return calendar;
}

inline Date testStart()
{
    return dateFromTimeIntervalSince1970(1'714'550'400);
} // 1 May 2024

// The real store with the root reducer and the given middlewares.
inline std::shared_ptr<AppStore> makeAppStore(std::vector<AppMiddleware> middlewares)
{
    ReducerEnvironment environment;
    environment.clock = std::make_shared<ManualClock>(testStart());
    return AppStore::make(
        AppState::initial(testStart(), testCalendar()),
        [environment](
            AppState& state, const AppAction& action) { appReducer(state, action, environment); },
        std::move(middlewares));
}

// A test store over the root reducer and the given middlewares, from the state at launch.
inline AppTestStore makeAppTestStore(std::vector<AppMiddleware> middlewares,
    tidemark::test::SourceLocation where = tidemark::test::SourceLocation::current())
{
    return AppTestStore(AppState::initial(testStart(), testCalendar()),
        rootReducer(std::make_shared<ManualClock>(testStart())), std::move(middlewares), where);
}

inline UserSettings defaultSettings()
{
    return UserSettings::makeDefault(testCalendar(), testStart());
}

// The settings of one launch, kept in the domain file of a temporary folder.
struct StoredSettings {
    TemporaryFolder folder;
    std::shared_ptr<UserDefaults> defaults
        = UserDefaults::suite("com.tidemark.Tidemark", folder.path());
    std::shared_ptr<PersistentSettingsService<UserSettings>> service
        = std::make_shared<PersistentSettingsService<UserSettings>>(defaultSettings(), defaults);

    nlohmann::json stored() const { return defaults->persistentDomain().at(settingsKey()); }
};

inline AppAction openAtLogin(bool value)
{
    return AppAction::Settings { SettingsAction::General { GeneralSettingsAction { value } } };
}
inline AppAction readSettings()
{
    return actions::settingsRead(SettingsReadAction::submit(EquatableVoid {}));
}
inline AppAction loggerAction(LoggerAction action)
{
    return AppAction::Logger { std::move(action) };
}

} // namespace tidemark::test
