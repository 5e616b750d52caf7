#include "reminders/SourceOrder.hpp"

#include <gtest/gtest.h>

using namespace tidemark;

TEST(SourceOrder, SourcesAndListsGoByTitleThenIdentifier)
{
    const AnyList b1 { "1", "Beta" };
    const AnyList a9 { "9", "Alpha" };
    const AnyList a2 { "2", "Alpha" };
    const AnySource work { "A", "Work", { b1 } };
    const AnySource home { "Z", "Home", { b1, a9, a2 } };
    const AnySource home2 { "B", "Home", {} };

    EXPECT_EQ(sortedLists({ b1, a9, a2 }), (std::vector<AnyList> { a2, a9, b1 }));
    EXPECT_EQ(sortedSources({ work, home, home2 }), (std::vector<AnySource> { home2, home, work }));

    struct Case {
        const char* name;
        std::optional<std::set<AnySource>> sources;
        std::optional<AnyList> expected;
    };
    const Case cases[] = {
        { "never read", std::nullopt, std::nullopt },
        { "no sources", std::set<AnySource> {}, std::nullopt },
        { "only a source without lists", std::set<AnySource> { home2 }, std::nullopt },
        { "first list of the first source by title, skipping one without lists",
            std::set<AnySource> { work, home, home2 }, a2 },
        { "set order (by identifier) does not decide",
            std::set<AnySource> { work, AnySource { "Z", "Home", { a9 } } }, a9 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(firstList(c.sources), c.expected) << c.name;
}
