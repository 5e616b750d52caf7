#include "settings/UserSettings.hpp"
#include "platform/foundation/Calendar.hpp"
#include "settings/LoggerSlice.hpp"
#include "settings/SettingsSlice.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using namespace tidemark;
using nlohmann::json;

namespace {

Date berlin(int year, int month, int day, int hour, int minute)
{
    return *Calendar("Europe/Berlin")
                .date({ CalendarIdentifier::gregorian, "Europe/Berlin", year, month, day, hour,
                    minute, 0 });
}

UserSettings defaults()
{
    return UserSettings::makeDefault(Calendar("Europe/Berlin"), berlin(2026, 3, 10, 12, 0));
}

} // namespace

TEST(UserSettings, DefaultsAndTheirStoredForm)
{
    const UserSettings settings = defaults();
    const json stored = settings;
    const json expected = json::parse(R"({
        "general": {"openAtLogin": false},
        "gesture": {"dragGesturePointPerInterval": 4.0},
        "logging": {"isEnabled": false, "isRedacted": false},
        "notifications": {"isEnabled": false},
        "onboarding": {},
        "menubar": {"countdownIsEnabled": true, "progressBar": {"isEnabled": true, "opacity": 0.5}},
        "reminders": {"automaticRemoval": {"isEnabled": true, "date": 794804400.0}, "dataSource": "local"},
        "review": {},
        "whatsNew": {}
    })");
    EXPECT_EQ(stored, expected) << stored.dump(2);
    EXPECT_EQ(stored.at("reminders").count("selectedList"), 0u);
    EXPECT_EQ(stored.get<UserSettings>(), settings);
}

TEST(UserSettings, DefaultRemovalDateIsFourOClockOfTheDay)
{
    const Calendar calendar("Europe/Berlin");
    struct Case {
        const char* name;
        Date now;
        Date expected;
    };
    const Case cases[] = {
        { "made at 23:59 holds 04:00 earlier that day", berlin(2026, 3, 10, 23, 59),
            berlin(2026, 3, 10, 4, 0) },
        { "made at 03:00 holds 04:00 an hour later", berlin(2026, 3, 10, 3, 0),
            berlin(2026, 3, 10, 4, 0) },
        { "the day of the forward change still has 04:00", berlin(2026, 3, 29, 12, 0),
            berlin(2026, 3, 29, 4, 0) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(
            UserSettings::Reminders::AutomaticRemoval::defaultDate(calendar, c.now), c.expected)
            << c.name;

    // Days whose clocks jump forward, as the zone's own calendar has them.
    const auto utc = [](int year, unsigned month, unsigned day, int hour) {
        using namespace std::chrono;
        return Date(sys_days(std::chrono::year(year) / month / day) + hours(hour));
    };
    struct Jump {
        const char* name;
        const char* zone;
        Date jump; // the first moment after the jump
        int hourBefore; // the local hour of the second before it
        int hourAfter; // the local hour it jumps to
        Date expected;
    };
    const Jump jumps[] = {
        // Baku's last forward change (it kept standard time afterwards): 04:00 never came that
        // day, so the next existing time, 05:00 (+05), is taken.
        { "a zone that skips 04:00", "Asia/Baku", utc(2015, 3, 29, 0), 3, 5, utc(2015, 3, 29, 0) },
        // Havana moves from 00:00 to 01:00: its day starts at 01:00 (-04) and still has 04:00.
        { "a zone that skips midnight", "America/Havana", utc(2026, 3, 8, 5), 23, 1,
            utc(2026, 3, 8, 8) },
    };
    for (const auto& j : jumps) {
        SCOPED_TRACE(j.name);
        const Calendar zone(j.zone);
        EXPECT_EQ(zone.component(CalendarComponent::hour, j.jump - std::chrono::seconds(1)),
            j.hourBefore);
        EXPECT_EQ(zone.component(CalendarComponent::hour, j.jump), j.hourAfter);
        const Date laterThatDay = j.jump + std::chrono::hours(8);
        EXPECT_EQ(
            UserSettings::Reminders::AutomaticRemoval::defaultDate(zone, laterThatDay), j.expected);
    }
}

TEST(UserSettings, DecodingRejectsWhatIsMissingOrWrong)
{
    const json good = defaults();
    struct Case {
        const char* name;
        std::function<void(json&)> damage;
        bool decodes;
    };
    const Case cases[] = {
        { "apple reminders data source",
            [](json& j) { j["reminders"]["dataSource"] = "appleReminders"; }, true },
        { "unknown data source", [](json& j) { j["reminders"]["dataSource"] = "cloud"; }, false },
        { "selected list without title",
            [](json& j) {
                j["reminders"]["selectedList"] = { { "id", "L" } };
            },
            false },
        { "selected list present",
            [](json& j) {
                j["reminders"]["selectedList"] = { { "id", "L" }, { "title", "Home" } };
            },
            true },
        { "null optional version", [](json& j) { j["whatsNew"]["lastPresentedVersion"] = nullptr; },
            true },
        { "missing required group", [](json& j) { j.erase("gesture"); }, false },
        { "Boolean given as a number", [](json& j) { j["general"]["openAtLogin"] = 1; }, false },
        { "integer opacity", [](json& j) { j["menubar"]["progressBar"]["opacity"] = 1; }, true },
    };
    for (const auto& c : cases) {
        json damaged = good;
        c.damage(damaged);
        bool decoded = true;
        try {
            (void)damaged.get<UserSettings>();
        } catch (const json::exception&) {
            decoded = false;
        }
        EXPECT_EQ(decoded, c.decodes) << c.name;
    }
}

TEST(UserSettings, RemovalDatesDifferingByAFractionAreUnequal)
{
    UserSettings a = defaults();
    UserSettings b = a;
    b.reminders.automaticRemoval.date += std::chrono::milliseconds(1);
    EXPECT_NE(a, b);
    const json stored = b;
    const Date decoded = stored.get<UserSettings>().reminders.automaticRemoval.date;
    EXPECT_NE(decoded, a.reminders.automaticRemoval.date) << "the fraction survives coding";
    EXPECT_LT(std::chrono::abs(decoded - b.reminders.automaticRemoval.date),
        std::chrono::microseconds(1));
}

TEST(SettingsSlice, ReadStepsMoveOnlyTheRequestState)
{
    SettingsState state;
    EXPECT_EQ(state.selectedTab, SettingsTabs::general);
    EXPECT_TRUE(state.appearance.showDockIcon);
    settingsReducer(state, SettingsAction::General { { true } });
    settingsReducer(state, SettingsAction::Read { SettingsReadAction::submit({}) });
    EXPECT_EQ(state.submit.status, Status::loading);
    settingsReducer(
        state, SettingsAction::Read { SettingsReadAction::failure(Error("unreadable")) });
    EXPECT_EQ(state.submit, (SubmittableState { Error("unreadable"), Status::completed }));
    EXPECT_TRUE(state.general.openAtLogin) << "a failed read leaves the group alone";

    SettingsState other;
    EXPECT_EQ(other.general.relativeTimeFormatter, state.general.relativeTimeFormatter)
        << "one shared formatter";
}

TEST(LoggerSlice, FlagsAndBugReportProgress)
{
    LoggerState state;
    loggerReducer(state, LoggerAction::IsEnabled { true });
    loggerReducer(state, LoggerAction::HideReminderDescriptions { true });
    loggerReducer(state, LoggerAction::SubmitBugReport { BugReportAction::submit({}) });
    const LoggerState before = state;
    loggerReducer(state, LoggerAction::SendFeedback {});
    EXPECT_EQ(state, before);
    EXPECT_EQ(state, (LoggerState { true, true, { std::nullopt, Status::loading }, std::nullopt }));

    // The pane shows failures from the state: a feedback message that could not be opened
    // stays until the next try, and a new bug report drops the error of the one before.
    loggerReducer(state, LoggerAction::SubmitBugReport { BugReportAction::failure(Error("no")) });
    loggerReducer(state, LoggerAction::SendFeedbackFailed { Error("no mail program") });
    EXPECT_EQ(state.submit, (SubmittableState { Error("no"), Status::completed }));
    EXPECT_EQ(state.feedbackError, Error("no mail program"));
    loggerReducer(state, LoggerAction::SubmitBugReport { BugReportAction::submit({}) });
    loggerReducer(state, LoggerAction::SendFeedback {});
    EXPECT_EQ(state.submit, (SubmittableState { std::nullopt, Status::loading }));
    EXPECT_EQ(state.feedbackError, std::nullopt);
}
