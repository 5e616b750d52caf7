// The update feed, as it comes from the network: whatever the bytes, parsing ends with a
// feed or a reason; a feed's releases all have a version, its newest is newest, and the
// comparison of versions is an order.

#include "FuzzCheck.hpp"

#include "platform/updater/Appcast.hpp"

using namespace tidemark;

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

std::string pair(std::string_view a, std::string_view b)
{
    return "\"" + std::string(a) + "\" against \"" + std::string(b) + "\"";
}

void checkOrder(std::string_view a, std::string_view b, std::string_view c)
{
    FUZZ_CHECK_THAT(compareVersions(a, a) == 0, pair(a, a));
    const int ab = sign(compareVersions(a, b));
    FUZZ_CHECK_THAT(ab == -sign(compareVersions(b, a)), pair(a, b));
    const int bc = sign(compareVersions(b, c));
    const int ac = sign(compareVersions(a, c));
    if (ab <= 0 && bc <= 0) {
        const int expected = ab == 0 && bc == 0 ? 0 : -1;
        FUZZ_CHECK_THAT(ac == expected, pair(a, b) + ", " + pair(b, c));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto input = fuzz::text(data, size);

    // The input split in three as three versions.
    const auto third = input.size() / 3;
    checkOrder(input.substr(0, third), input.substr(third, third), input.substr(2 * third));

    const auto parsed = parseAppcast(input);
    if (!parsed.isSuccess()) {
        FUZZ_CHECK(!parsed.error().empty());
        return 0;
    }
    const auto& appcast = parsed.value();
    for (const auto& item : appcast.items) {
        FUZZ_CHECK(!item.versionString.empty());
        FUZZ_CHECK(!item.displayVersionString.empty());
    }
    const auto* newest = appcast.newestItem();
    FUZZ_CHECK(appcast.items.empty() == (newest == nullptr));
    for (std::size_t i = 0; i < appcast.items.size(); ++i) {
        const auto& version = appcast.items[i].versionString;
        FUZZ_CHECK_THAT(compareVersions(version, newest->versionString) <= 0,
            pair(version, newest->versionString));
        const auto& next = appcast.items[(i + 1) % appcast.items.size()].versionString;
        checkOrder(version, next, newest->versionString);
    }
    return 0;
}
