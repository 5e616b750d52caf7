#pragma once

#include <optional>
#include <string>

namespace tidemark {

// The what's-new window's slice: whether it is shown, and the version whose news it shows.
struct WhatsNewState {
    bool isPresented = false;
    std::string version = "1.2.5";

    bool operator==(const WhatsNewState&) const = default;
};

struct WhatsNewAction {
    bool isPresented;
    bool operator==(const WhatsNewAction&) const = default;
};

void whatsNewReducer(WhatsNewState& state, const WhatsNewAction& action);

// Compares version strings number by number ("1.10" is higher than "1.2.5"); a missing
// number counts as 0 and a part that is not a number compares as text.
int compareVersions(const std::string& left, const std::string& right);

// The launch rule: show what's new when a version was presented before and it is lower
// than the current one (a fresh installation gets the onboarding instead).
bool shouldPresentWhatsNew(
    const std::optional<std::string>& lastPresentedVersion, const std::string& version);

} // namespace tidemark
