#include "platform/foundation/StringTables.hpp"
#include "platform/foundation/AppInfo.hpp"
#include "platform/foundation/Uuid.hpp"

#include <gtest/gtest.h>

#include <unicode/msgfmt.h>

#include <set>

namespace tidemark {
namespace {

TEST(StringTablesTest, EveryNamedTableIsBuiltInAndEveryTextIsAValidPattern)
{
    const std::set<std::string> expected { "Localizable", "Controls", "Time", "Notifications",
        "Navigation", "Settings", "Onboarding", "WhatsNew", "Reminders", "MainMenu", "Support",
        "Undo" };
    const auto names = stringTableNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), expected);
    for (const auto& table : names) {
        for (const auto& key : stringTableKeys(table)) {
            UErrorCode status = U_ZERO_ERROR;
            icu::MessageFormat format(icu::UnicodeString::fromUTF8(localized(table, key)),
                icu::Locale::getEnglish(), status);
            EXPECT_TRUE(U_SUCCESS(status)) << table << "/" << key;
        }
    }
}

TEST(StringTablesTest, LookUpWithArgumentsAndPlurals)
{
    EXPECT_EQ(localized("Undo", "new_reminder_label"), "New Reminder");
    EXPECT_EQ(localized("MainMenu", "remove_selected_items_label %d", 1), "Remove 1 Reminder");
    EXPECT_EQ(localized("MainMenu", "remove_selected_items_label %d", 3), "Remove 3 Reminders");
    EXPECT_EQ(localized("MainMenu", "quit_label %@", AppInfo::name()), "Quit Tidemark");
    EXPECT_EQ(localized("WhatsNew", "page_indicator %d %d", 2, 5), "2 of 5");
    EXPECT_EQ(localized("WhatsNew", "whats_new_in_app_name_title %@", "Tidemark"),
        "What's New in Tidemark");
    EXPECT_EQ(localized("Localizable", "snooze_minute_button_label %lld", 15), "Snooze 15 Minutes");
    EXPECT_EQ(localized("Localizable", "snooze_hour_button_label %lld", 1), "Snooze 1 Hour");
    // A text without arguments is taken as it stands, apostrophes and all.
    EXPECT_EQ(localized("WhatsNew", "menu_item_label"), "What's New");
}

TEST(StringTablesTest, MissingKeysAndTablesGiveTheKey)
{
    EXPECT_EQ(localized("Undo", "no_such_key"), "no_such_key");
    EXPECT_EQ(localized("NoSuchTable", "new_reminder_label"), "new_reminder_label");
    EXPECT_EQ(localized("Undo", "no_such_key {0}", 4), "no_such_key 4");
    EXPECT_FALSE(hasLocalizedString("Undo", "no_such_key"));
    EXPECT_TRUE(hasLocalizedString("Undo", "delete_reminder_label"));
}

TEST(AppInfoTest, BuildFactsAndShortVersion)
{
    EXPECT_EQ(AppInfo::name(), "Tidemark");
    EXPECT_EQ(AppInfo::shortVersion(), "1.2.5");
    EXPECT_FALSE(AppInfo::buildVersion().empty());
    EXPECT_FALSE(AppInfo::bundleIdentifier().empty());
    EXPECT_EQ(AppInfo::infoDictionary()["CFBundleName"], "Tidemark");
    // Only a text counts as a version.
    EXPECT_EQ(AppInfo::shortVersion(nlohmann::json { { "CFBundleShortVersionString", 125 } }),
        std::nullopt);
    EXPECT_EQ(AppInfo::shortVersion(nlohmann::json::object()), std::nullopt);
    EXPECT_EQ(AppInfo::shortVersion(nlohmann::json()), std::nullopt);
}

TEST(UuidTest, FreshUppercaseVersionFourIdentifiers)
{
    const auto a = Uuid::make();
    const auto b = Uuid::make();
    EXPECT_NE(a, b);
    for (const auto& id : { a, b }) {
        EXPECT_TRUE(Uuid::isValid(id)) << id;
        EXPECT_EQ(id[14], '4') << id;
        EXPECT_NE(std::string("89AB").find(id[19]), std::string::npos) << id;
    }
    EXPECT_FALSE(Uuid::isValid("3f2504e0-4f89-41d3-9a0c-0305e82c3301"));
    auto next = Uuid::sequentialGenerator();
    EXPECT_EQ(next(), "00000000-0000-4000-8000-000000000001");
    EXPECT_EQ(next(), "00000000-0000-4000-8000-000000000002");
}

} // namespace
} // namespace tidemark
