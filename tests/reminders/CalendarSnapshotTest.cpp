#include "reminders/CalendarSnapshot.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>

using tidemark::AnyList;
using tidemark::AnyListObjectWrapper;
using namespace tidemark::snapshot;

namespace {

const SourceIdentifier iCloud { "SRC-1", 2, "iCloud" };
const CalendarIdentifier groceries { "Groceries", 1, 2, iCloud, 0, "CAL-1" };

LiveCalendar liveGroceries()
{
    return LiveCalendar { "CAL-1", "Groceries", 1, 2, LiveSource { "SRC-1", 2, "iCloud" }, 0 };
}

} // namespace

TEST(CalendarSnapshot, MatchesByIdentifierElseByEveryOtherProperty)
{
    struct Case {
        const char* name;
        std::function<void(LiveCalendar&)> change;
        bool expected;
    };
    const Case cases[] = {
        { "the same calendar", [](LiveCalendar&) {}, true },
        { "same identifier, everything else differs",
            [](LiveCalendar& c) {
                c.title = "Other";
                c.type = 4;
                c.allowedEntityTypes = 1;
                c.source.reset();
                c.supportedEventAvailabilities = 15;
            },
            true },
        { "new identifier, all else agrees",
            [](LiveCalendar& c) { c.calendarIdentifier = "CAL-2"; }, true },
        { "new identifier, source known by type and title",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.source->sourceIdentifier = "SRC-9";
            },
            true },
        { "new identifier and title",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.title = "groceries";
            },
            false },
        { "new identifier and type",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.type = 0;
            },
            false },
        { "new identifier and entity types",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.allowedEntityTypes = 3;
            },
            false },
        { "new identifier and availabilities",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.supportedEventAvailabilities = 1;
            },
            false },
        { "new identifier, another account",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                *c.source = LiveSource { "SRC-9", 2, "Work" };
            },
            false },
        { "new identifier, no account",
            [](LiveCalendar& c) {
                c.calendarIdentifier = "CAL-2";
                c.source.reset();
            },
            false },
    };
    for (const auto& c : cases) {
        auto live = liveGroceries();
        c.change(live);
        EXPECT_EQ(groceries.isEqual(live), c.expected) << c.name;
    }

    EXPECT_TRUE(iCloud.isEqual(LiveSource { "SRC-1", 7, "Other" }));
    EXPECT_TRUE(iCloud.isEqual(LiveSource { "SRC-2", 2, "iCloud" }));
    EXPECT_FALSE(iCloud.isEqual(LiveSource { "SRC-2", 3, "iCloud" }));
    EXPECT_FALSE(iCloud.isEqual(LiveSource { "SRC-2", 2, "icloud" }));
}

TEST(CalendarSnapshot, CodingKeepsKeyOrderAndUnknownValuesAndRejectsMissingKeys)
{
    const CalendarIdentifier odd { "Odd", 99, 0xFFFFFFFFFFFFFFFFull,
        SourceIdentifier { "S", -5, "T" }, 7, "C" };
    const nlohmann::ordered_json encoded = odd;
    EXPECT_EQ(encoded.dump(),
        R"({"title":"Odd","type":99,"allowedEntityTypes":18446744073709551615,)"
        R"("source":{"sourceIdentifier":"S","sourceType":-5,"title":"T"},)"
        R"("supportedEventAvailabilities":7,"calendarIdentifier":"C"})");
    EXPECT_EQ(nlohmann::ordered_json::parse(encoded.dump()).get<CalendarIdentifier>(), odd);
    EXPECT_EQ(nlohmann::json::parse(encoded.dump()).get<CalendarIdentifier>(), odd);

    const std::string valid = encoded.dump();
    struct Case {
        const char* name;
        std::function<void(nlohmann::json&)> breakIt;
    };
    const Case cases[] = {
        { "source lacks sourceType", [](nlohmann::json& j) { j["source"].erase("sourceType"); } },
        { "no calendar identifier", [](nlohmann::json& j) { j.erase("calendarIdentifier"); } },
        { "type as text", [](nlohmann::json& j) { j["type"] = "1"; } },
        { "type with a fraction", [](nlohmann::json& j) { j["type"] = 1.5; } },
        { "type beyond signed 64 bits",
            [](nlohmann::json& j) { j["type"] = 9223372036854775808ull; } },
        { "negative mask", [](nlohmann::json& j) { j["allowedEntityTypes"] = -1; } },
        { "title as number", [](nlohmann::json& j) { j["title"] = 5; } },
        { "source as text", [](nlohmann::json& j) { j["source"] = "S"; } },
    };
    for (const auto& c : cases) {
        auto json = nlohmann::json::parse(valid);
        c.breakIt(json);
        EXPECT_THROW(json.get<CalendarIdentifier>(), nlohmann::json::exception) << c.name;
    }
}

namespace {

class UppercaseTitle : public AnyListObjectWrapper {
public:
    using AnyListObjectWrapper::AnyListObjectWrapper;
    std::string title() const override
    {
        auto text = AnyListObjectWrapper::title();
        for (auto& ch : text)
            ch = char(std::toupper(static_cast<unsigned char>(ch)));
        return text;
    }
};

} // namespace

TEST(CalendarSnapshot, ListWrapperReadsThroughItsAccessors)
{
    UppercaseTitle wrapper("L", "home");
    EXPECT_EQ(wrapper.toAnyList(), (AnyList { "L", "HOME" }));
    wrapper.setId("M");
    wrapper.setTitle("work");
    EXPECT_EQ(wrapper.toAnyList(), (AnyList { "M", "WORK" }));
}
