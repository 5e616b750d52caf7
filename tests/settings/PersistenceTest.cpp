#include "SettingsTestSupport.hpp"

#include "platform/foundation/Calendar.hpp"
#include "settings/PersistentSettingsService.hpp"

#include <nlohmann/json.hpp>

namespace tidemark {
namespace {

using nlohmann::json;
using test::TemporaryFolder;

UserSettings defaults()
{
    return UserSettings::makeDefault(
        Calendar("Europe/Berlin"), dateFromTimeIntervalSince1970(1'700'000'000));
}

// The settings service of one launch over the domain file in `folder`.
struct Launch {
    explicit Launch(const test::fs::path& folder)
        : defaults(UserDefaults::suite("com.tidemark.Tidemark", folder))
        , service(tidemark::defaults(), defaults)
    {
    }
    json stored() const { return defaults->persistentDomain().value(settingsKey(), json()); }

    std::shared_ptr<UserDefaults> defaults;
    PersistentSettingsService<UserSettings> service;
};

test::fs::path domainFile(const TemporaryFolder& folder)
{
    return folder / "com.tidemark.Tidemark.json";
}

void writeStored(const TemporaryFolder& folder, const json& settings)
{
    test::writeFile(domainFile(folder), json { { settingsKey(), settings } }.dump(2));
}

std::vector<test::fs::path> copiesBeside(const test::fs::path& file)
{
    std::vector<test::fs::path> copies;
    for (const auto& entry : test::fs::directory_iterator(file.parent_path())) {
        const auto name = entry.path().filename().string();
        if (name.starts_with(file.filename().string() + ".") && name.ends_with(".bak"))
            copies.push_back(entry.path());
    }
    return copies;
}

std::size_t occurrences(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

TEST(SettingsPersistenceTest, settingsSurviveARestart)
{
    TemporaryFolder folder;
    UserSettings changed = defaults();
    {
        Launch first(folder.path());
        EXPECT_EQ(first.service.data(), defaults());
        EXPECT_EQ(first.stored(), json(defaults())) << "the first launch stores the defaults";
        changed.general.openAtLogin = true;
        changed.menubar.progressBar.opacity = 0.8;
        changed.reminders.selectedList = AnyList { "L1", "Work" };
        changed.reminders.dataSource = RemindersDataSource::appleReminders;
        changed.onboarding.lastPresentedVersion = "1.2.5";
        ASSERT_TRUE(first.service.save(changed).isSuccess());
    }
    Launch second(folder.path());
    EXPECT_EQ(second.service.data(), changed);
    auto loaded = second.service.load();
    ASSERT_TRUE(loaded.isSuccess());
    EXPECT_EQ(loaded.value(), changed);
}

TEST(SettingsPersistenceTest, aHandEditedFileLosesNothingAndReadsWhatItCan)
{
    TemporaryFolder folder;
    json stored = defaults();
    stored["general"]["openAtLogin"] = true;
    stored["notifications"]["isEnabled"] = true;
    stored["menubar"]["countdownIsEnabled"] = false;
    stored["menubar"]["progressBar"]["isEnabled"] = false;
    stored["menubar"]["progressBar"]["opacity"] = "rather high"; // wrong kind
    stored["reminders"]["dataSource"] = "dropbox"; // no such source
    stored["reminders"]["selectedList"] = { { "id", "L1" } }; // no title
    stored["whatsNew"]["lastPresentedVersion"] = "1.2.4";
    stored.erase("logging"); // an older file
    stored["futureGroup"] = { { "x", 1 } };
    writeStored(folder, stored);

    UserSettings expected = defaults();
    expected.general.openAtLogin = true;
    expected.notifications.isEnabled = true;
    expected.menubar.countdownIsEnabled = false;
    expected.menubar.progressBar.isEnabled = false;
    expected.whatsNew.lastPresentedVersion = "1.2.4";
    {
        Launch launch(folder.path());
        EXPECT_EQ(launch.service.data(), expected)
            << "every readable value kept, the rest from the defaults";
        EXPECT_EQ(launch.service.store().setAsideValues(),
            (json { { "menubar.progressBar.opacity", "rather high" },
                { "reminders.dataSource", "dropbox" },
                { "reminders.selectedList", { { "id", "L1" } } } }));

        // A change saves the readable value: no stored choice goes back to its default.
        expected.gesture.dragGesturePointPerInterval = 7;
        ASSERT_TRUE(launch.service.save(expected).isSuccess());
    }
    Launch next(folder.path());
    EXPECT_EQ(next.service.data(), expected);
    EXPECT_EQ(next.service.store().setAsideValues().size(), 3u)
        << "what could not be read is still kept";
}

TEST(SettingsPersistenceTest, aCorruptFileIsKeptAsideAndTheDefaultsServed)
{
    TemporaryFolder folder;
    test::writeFile(domainFile(folder), "{ \"com.tidemark.Tidemark.settings\": { \"general\": ");
    {
        Launch launch(folder.path());
        EXPECT_EQ(launch.service.data(), defaults());
    }
    int asideFiles = 0;
    for (const auto& entry : test::fs::directory_iterator(folder.path())) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            ++asideFiles;
            EXPECT_EQ(test::readFile(entry.path()),
                "{ \"com.tidemark.Tidemark.settings\": { \"general\": ");
        }
    }
    EXPECT_EQ(asideFiles, 1);

    // A value under the key that is no settings object at all is kept aside too, and the
    // file as it was beside it.
    TemporaryFolder other;
    const std::string written = json { { settingsKey(), "not settings" } }.dump();
    test::writeFile(domainFile(other), written);
    Launch launch(other.path());
    EXPECT_EQ(launch.service.data(), defaults());
    EXPECT_EQ(launch.service.store().setAsideValues(), (json { { ".", "not settings" } }));
    const auto copies = copiesBeside(domainFile(other));
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(test::readFile(copies[0]), written);
}

TEST(SettingsPersistenceTest, textThatIsNotUtf8IsSavedAsValidUtf8)
{
    TemporaryFolder folder;
    UserSettings changed = defaults();
    changed.reminders.selectedList = AnyList { "L\xC3", "Work \xFF\xFE" };
    {
        Launch launch(folder.path());
        ASSERT_TRUE(launch.service.save(changed).isSuccess());
    }
    Launch next(folder.path());
    ASSERT_TRUE(next.service.data().reminders.selectedList);
    EXPECT_EQ(*next.service.data().reminders.selectedList,
        (AnyList { "L\xEF\xBF\xBD", "Work \xEF\xBF\xBD\xEF\xBF\xBD" }));
}

// A hand-written settings file with one value of the wrong kind: the file is copied as it
// was before anything of it is moved or dropped, every readable value is read, and the
// unreadable one is reported once, however often the settings are loaded and saved.
TEST(SettingsPersistenceTest, aWrongTypedFileIsCopiedVerbatimReadWhereItCanAndReportedOnce)
{
    const std::string key = settingsKey();
    const auto file = [&](const std::string& logging, const std::string& reminders) {
        return "{\n  \"" + key + "\": {\n    \"general\": {\"openAtLogin\": true},\n"
            + "    \"logging\": " + logging + ",\n    \"reminders\": " + reminders
            + ",\n    \"gesture\": {\"dragGesturePointPerInterval\": 9}\n  }\n}\n";
    };
    const std::string readableLogging = "{\"isEnabled\": true, \"isRedacted\": true}";
    const std::string readableReminders = "{\"dataSource\": \"appleReminders\"}";
    const struct {
        const char* name;
        std::string text;
        std::string unreadable;
    } cases[] {
        { "a Boolean written as text",
            file("{\"isEnabled\": \"yes\", \"isRedacted\": true}", readableReminders),
            "logging.isEnabled" },
        { "a group written as text", file("\"yes\"", readableReminders), "logging" },
        { "an unknown data source", file(readableLogging, "{\"dataSource\": \"dropbox\"}"),
            "reminders.dataSource" },
        { "a removal date no date can hold",
            file(readableLogging,
                "{\"dataSource\": \"appleReminders\", \"automaticRemoval\": "
                "{\"isEnabled\": false, \"date\": 1e300}}"),
            "reminders.automaticRemoval.date" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder;
        test::writeFile(domainFile(folder), c.text);
        testing::internal::CaptureStderr();
        UserSettings saved;
        {
            Launch launch(folder.path());
            // What the application does: a read at launch, then a save of a changed value.
            auto loaded = launch.service.load();
            ASSERT_TRUE(loaded.isSuccess());
            saved = loaded.value();
            saved.menubar.countdownIsEnabled = false;
            ASSERT_TRUE(launch.service.save(saved).isSuccess());
            ASSERT_TRUE(launch.service.load().isSuccess());
        }
        const std::string printed = testing::internal::GetCapturedStderr();

        const auto copies = copiesBeside(domainFile(folder));
        ASSERT_EQ(copies.size(), 1u) << printed;
        EXPECT_EQ(test::readFile(copies[0]), c.text);
        EXPECT_TRUE(saved.general.openAtLogin);
        EXPECT_EQ(saved.gesture.dragGesturePointPerInterval, 9);
        EXPECT_EQ(saved.reminders.dataSource == RemindersDataSource::appleReminders,
            c.unreadable != "reminders.dataSource");
        EXPECT_EQ(saved.logging.isRedacted, c.unreadable != "logging");
        EXPECT_EQ(occurrences(printed, "at \"" + c.unreadable + "\" could not be read"), 1u)
            << printed;
        EXPECT_EQ(occurrences(printed, copies[0].string()), 1u) << printed;

        // The next start reads what was saved and copies nothing more.
        Launch next(folder.path());
        EXPECT_EQ(next.service.data(), saved);
        EXPECT_EQ(copiesBeside(domainFile(folder)).size(), 1u);
    }
}

// A settings file nested far deeper than any setting starts without crashing and without
// rewriting the nesting: what can be read is read, the file is copied aside as it was.
TEST(SettingsPersistenceTest, aDeeplyNestedFileIsReadAsFarAsSettingsGo)
{
    for (const int depth : { 100'000, 30'000 }) {
        SCOPED_TRACE(depth);
        TemporaryFolder folder;
        json stored = defaults();
        stored["general"]["openAtLogin"] = true;
        std::string text = json { { settingsKey(), stored } }.dump();
        text.insert(
            text.size() - 2, ", \"deep\": " + std::string(depth, '[') + std::string(depth, ']'));
        test::writeFile(domainFile(folder), text);
        testing::internal::CaptureStderr();
        {
            Launch launch(folder.path());
            EXPECT_TRUE(launch.service.data().general.openAtLogin);
            UserSettings changed = launch.service.data();
            changed.notifications.isEnabled = true;
            ASSERT_TRUE(launch.service.save(changed).isSuccess());
        }
        testing::internal::GetCapturedStderr();
        EXPECT_LT(test::fs::file_size(domainFile(folder)), 16'384u);
        const auto copies = copiesBeside(domainFile(folder));
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(test::readFile(copies[0]), text);
    }
}

TEST(SettingsPersistenceTest, aGroupOfTheWrongKindFallsBackAloneEvenAtCreation)
{
    TemporaryFolder folder;
    json stored = defaults();
    stored["reminders"] = "text instead of a group";
    stored["general"]["openAtLogin"] = true;
    writeStored(folder, stored);
    Launch launch(folder.path());
    auto loaded = launch.service.load();
    ASSERT_TRUE(loaded.isSuccess());
    EXPECT_TRUE(loaded.value().general.openAtLogin);
    EXPECT_EQ(loaded.value().reminders, defaults().reminders);
    EXPECT_EQ(launch.stored()["reminders"], "text instead of a group")
        << "not overwritten by merely reading";
}

TEST(SettingsPersistenceTest, theStoredValueIsCompletedFromTheDefaultAtEveryDepth)
{
    struct Case {
        const char* name;
        json stored;
        json defaults;
        json merged;
    };
    const Case cases[] = {
        { "a missing group is added", { { "a", 1 } }, { { "a", 2 }, { "g", { { "x", 1 } } } },
            { { "a", 1 }, { "g", { { "x", 1 } } } } },
        { "a missing key two levels down", { { "m", { { "p", { { "on", false } } } } } },
            { { "m", { { "p", { { "on", true }, { "opacity", 0.5 } } } } } },
            { { "m", { { "p", { { "on", false }, { "opacity", 0.5 } } } } } } },
        { "a key the default lacks stays", { { "old", "x" } }, { { "new", 1 } },
            { { "old", "x" }, { "new", 1 } } },
        { "a value of another kind stays", { { "g", "text" } }, { { "g", { { "x", 1 } } } },
            { { "g", "text" } } },
        { "an empty stored object takes all", json::object(), { { "g", { { "x", 1 } } } },
            { { "g", { { "x", 1 } } } } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(deepMerging(c.stored, c.defaults), c.merged) << c.name;

    // The same, through a launch: an older file without the menu-bar group and without the
    // progress bar's opacity gains them, its own values kept.
    TemporaryFolder folder;
    json stored = defaults();
    stored.erase("menubar");
    stored["gesture"]["dragGesturePointPerInterval"] = 9;
    writeStored(folder, stored);
    {
        Launch launch(folder.path());
        EXPECT_EQ(launch.stored()["menubar"], json(defaults().menubar));
        EXPECT_EQ(launch.stored()["gesture"]["dragGesturePointPerInterval"], 9);
    }
    stored = defaults();
    stored["menubar"]["progressBar"].erase("opacity");
    stored["menubar"]["progressBar"]["isEnabled"] = false;
    writeStored(folder, stored);
    Launch launch(folder.path());
    EXPECT_EQ(launch.stored()["menubar"]["progressBar"],
        (json { { "isEnabled", false }, { "opacity", 0.5 } }));
}

TEST(SettingsPersistenceTest, savingAnAbsentOptionalRemovesItsKeyAndInMemoryStoresStayApart)
{
    PersistentUserDefaultsService<UserSettings> first("k", defaults(), true);
    PersistentUserDefaultsService<UserSettings> second("k", defaults(), true);
    auto value = defaults();
    value.review.lastVersionPrompted = "1.2.5";
    ASSERT_TRUE(first.save(value).isSuccess());
    EXPECT_TRUE(first.defaults()->object("k")->at("review").contains("lastVersionPrompted"));
    EXPECT_EQ(second.load().value(), defaults());
    value.review.lastVersionPrompted.reset();
    ASSERT_TRUE(first.save(value).isSuccess());
    EXPECT_FALSE(first.defaults()->object("k")->at("review").contains("lastVersionPrompted"));
}

} // namespace
} // namespace tidemark
