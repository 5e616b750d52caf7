#pragma once

#include <charconv>
#include <compare>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace tidemark {

// The version of the system the program behaves as. Linux has no such single number, so our
// platform layer reports one: the newest by default, an older one where a test or a user asks
// for it, so that every branch that older systems take is built and tried. The order is
// numeric per component: 13.10.0 comes after 13.9.0, and 10.0.0 after 9.9.9.
struct OperatingSystemVersion {
    std::int64_t majorVersion = 14;
    std::int64_t minorVersion = 0;
    std::int64_t patchVersion = 0;

    auto operator<=>(const OperatingSystemVersion&) const = default;
    bool operator==(const OperatingSystemVersion&) const = default;

    static constexpr OperatingSystemVersion newest() { return { 14, 0, 0 }; }
};

// "13.0.0": the three numbers in decimal, joined by full stops.
inline std::string versionText(const OperatingSystemVersion& version)
{
    return std::to_string(version.majorVersion) + '.' + std::to_string(version.minorVersion) + '.'
        + std::to_string(version.patchVersion);
}

// Reads "12", "12.6" or "12.6.1" (missing numbers are 0); none for anything else.
inline std::optional<OperatingSystemVersion> parseOperatingSystemVersion(std::string_view text)
{
    std::int64_t numbers[3] = { 0, 0, 0 };
    const char* position = text.data();
    const char* end = text.data() + text.size();
    for (int i = 0; i < 3; ++i) {
        const auto [next, error] = std::from_chars(position, end, numbers[i]);
        if (error != std::errc() || numbers[i] < 0)
            return std::nullopt;
        position = next;
        if (position == end)
            return OperatingSystemVersion { numbers[0], numbers[1], numbers[2] };
        if (*position != '.' || i == 2)
            return std::nullopt;
        ++position;
    }
    return std::nullopt;
}

// The version this system behaves as, read afresh on every call: the newest, unless the
// environment variable TIDEMARK_PLATFORM_VERSION names another ("12", "12.6" or "12.6.1"). A
// value that cannot be read is reported once on stderr and the newest is used.
inline OperatingSystemVersion currentOperatingSystemVersion()
{
    const char* text = std::getenv("TIDEMARK_PLATFORM_VERSION");
    if (!text || !*text)
        return OperatingSystemVersion::newest();
    if (const auto version = parseOperatingSystemVersion(text))
        return *version;
    static bool reported = false;
    if (!reported) {
        reported = true;
        std::fprintf(stderr,
            "TIDEMARK_PLATFORM_VERSION=\"%s\" is not a version such as 12, 12.6 or 12.6.1; "
            "behaving as the newest system\n",
            text);
    }
    return OperatingSystemVersion::newest();
}

} // namespace tidemark
