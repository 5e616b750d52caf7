#pragma once

#include "platform/reactive/Result.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace tidemark {

// One release in an update feed.
struct AppcastItem {
    std::string title;
    // The build version compared with the running one ("sparkle:version").
    std::string versionString;
    // The version shown to people ("sparkle:shortVersionString"); the build version when
    // the feed gives none.
    std::string displayVersionString;
    std::string fileUrl;
    std::string infoUrl;
    std::string releaseNotesUrl;

    bool operator==(const AppcastItem&) const = default;
};

struct Appcast {
    std::vector<AppcastItem> items;

    // The release with the highest build version, or nothing for a feed without releases.
    const AppcastItem* newestItem() const;
    bool operator==(const Appcast&) const = default;
};

// Reads an RSS update feed. Versions come from the item's <sparkle:version> and
// <sparkle:shortVersionString> elements, or else from the attributes of the same names on
// its <enclosure>. Items without a version are skipped; a feed that is not RSS, not well
// formed, or whose items all lack a version fails with a reason.
rx::Result<Appcast, std::string> parseAppcast(std::string_view xml);

// Compares version texts as people mean them: numbers numerically (1.10 is newer than
// 1.9), a letter part marks a pre-release (1.0b2 is older than 1.0), missing trailing
// zeros do not matter (1.2 equals 1.2.0). Negative when `a` is older than `b`.
int compareVersions(std::string_view a, std::string_view b);

} // namespace tidemark
