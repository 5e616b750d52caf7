#pragma once

#include "core/Action.hpp"

#include <variant>

namespace tidemark {

struct CheckForUpdatesButtonActionCases {
    struct Check {
        bool operator==(const Check&) const = default;
    };
    using Variant = std::variant<Check>;
};

// The about section's button that checks for updates now; offered only while the updater
// can check.
struct CheckForUpdatesButton {
    struct State {
        bool canCheck = false;
        bool operator==(const State&) const = default;
    };

    struct Action : ActionOf<CheckForUpdatesButtonActionCases> {
        using ActionOf::ActionOf;
    };
};

} // namespace tidemark
